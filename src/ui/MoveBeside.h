#pragma once
// Puts a dialog beside what it is about (a cell of the diagram) instead of
// over it, where the core's PlaceBeside says.
#include <QRect>

class QWidget;

namespace velmorin {

// Moves the top-level `window`, at its present size, next to `target`
// (screen coordinates), on the screen that shows the target.
void MoveBeside(QWidget& window, const QRect& target);

}  // namespace velmorin
