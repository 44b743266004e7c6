#pragma once
// Dialog units, as dialog templates measure: a horizontal unit is a quarter
// of the font's average character width, a vertical unit an eighth of its
// height. Both directions scale by the font, so proportions are kept.
#include <QFont>
#include <QSize>

namespace velmorin {

QSize DialogUnitsToPixels(const QFont& font, int x, int y);

}  // namespace velmorin
