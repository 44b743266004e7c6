#pragma once
// Synthetic mouse input for the diagram view: events are sent to its
// viewport as the window system delivers them, at points named by cell and
// half (the view's scroll position is taken into account).
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include "editor/geometry.h"
#include "editor/ui/CVelmorinView.h"

namespace velmorin::testing {

// The viewport point in the middle of a half of cell (row, column), at the view's zoom.
inline QPointF ViewPoint(const CVelmorinView& view, int row, int column, int xHalf = 1, int yHalf = 1) {
    const PixelPoint p = view.zoom().ToScreen(HalfPoint({column, row}, xHalf, yHalf));
    return QPointF(p.x - view.horizontalScrollBar()->value(), p.y - view.verticalScrollBar()->value());
}

inline void SendMouse(CVelmorinView& view, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
                      Qt::KeyboardModifiers modifiers) {
    QWidget* viewport = view.viewport();
    QMouseEvent event(type, at, viewport->mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(viewport, &event);
}

inline void MouseMove(CVelmorinView& view, QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      Qt::MouseButtons held = Qt::NoButton) {
    SendMouse(view, QEvent::MouseMove, at, Qt::NoButton, held, modifiers);
}

inline void MousePress(CVelmorinView& view, QPointF at, Qt::MouseButton button = Qt::LeftButton,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendMouse(view, QEvent::MouseButtonPress, at, button, button, modifiers);
}

inline void MouseRelease(CVelmorinView& view, QPointF at, Qt::MouseButton button = Qt::LeftButton,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendMouse(view, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
}

// The mouse comes to the point, presses and lets go.
inline void MouseClick(CVelmorinView& view, QPointF at, Qt::MouseButton button = Qt::LeftButton,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    MouseMove(view, at, modifiers);
    MousePress(view, at, button, modifiers);
    MouseRelease(view, at, button, modifiers);
}

}  // namespace velmorin::testing
