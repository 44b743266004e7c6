#pragma once
// Synthetic input for dialogs: clicks at a widget's point and typed text,
// sent as the window system delivers them, and a bounded wait for a condition.
#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <functional>

// The window system's entry for mouse input, as QTest uses it.
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);

namespace velmorin::testing {

// Press and release of the left button at `at` (the widget's centre by
// default), through the window the widget is shown in, so that the click
// also moves the keyboard focus as a real one does.
inline void ClickWidget(QWidget* widget, QPoint at = QPoint(-1, -1)) {
    if (at == QPoint(-1, -1)) at = widget->rect().center();
    QWidget* top = widget->window();
    QWindow* window = top->windowHandle();
    if (!window) {
        ADD_FAILURE() << "the widget is not shown";
        return;
    }
    const QPointF local(widget->mapTo(top, at));
    const QPointF global(widget->mapToGlobal(at));
    // Far apart in time: two clicks are never taken for a double click.
    static int timestamp = 0;
    timestamp += 10000;
    qt_handleMouseEvent(window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, Qt::NoModifier,
                        timestamp);
    qt_handleMouseEvent(window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, Qt::NoModifier,
                        timestamp + 1);
}

// A click on row `row` of a list.
inline void ClickRow(QAbstractItemView* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    ClickWidget(list->viewport(), list->visualRect(index).center());
}

inline void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

// Replaces an edit box's text as a user does: select everything, then type.
inline void TypeOver(QWidget* edit, const QString& text) {
    SendKey(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) SendKey(edit, Qt::Key_Delete);
    for (const QChar c : text) SendKey(edit, Qt::Key_unknown, Qt::NoModifier, QString(c));
}

// Handles events until `done` holds or two seconds have passed.
inline bool WaitFor(const std::function<bool()>& done, int milliseconds = 2000) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > milliseconds) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace velmorin::testing
