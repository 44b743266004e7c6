#pragma once
// Drives modal dialogs from a test: while the code under test sits in a
// dialog's exec(), a timer looks at the active modal window every 10 ms and
// runs the next step once that step is ready for it. The step's action runs
// from the event queue, so an action that itself waits (a transfer behind
// the busy window) leaves the later steps free to act meanwhile. A modal
// window that no step takes within the bound fails the test and is closed,
// so that a dialog that should not have opened never hangs the suite.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>

namespace velmorin::testing {

class ModalScript {
public:
    explicit ModalScript(int strayBoundMs = 15000) : strayBoundMs_(strayBoundMs) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(10);
    }

    // Runs `act` once on the first active modal window of type T for which `ready` holds.
    template <typename T>
    void On(std::function<void(T&)> act, std::function<bool(T&)> ready = {}) {
        steps_.push_back({[ready](QWidget* modal) {
                              T* widget = qobject_cast<T*>(modal);
                              return widget && (!ready || ready(*widget));
                          },
                          [act](QWidget* modal) {
                              if (T* widget = qobject_cast<T*>(modal)) act(*widget);
                          }});
    }

    // Called on every tick with the active modal window (or nullptr), to watch it.
    std::function<void(QWidget* modal)> watch;
    // Modal windows of this type come and go by themselves and are never stray.
    std::function<bool(QWidget* modal)> transient;

    bool finished() const { return steps_.empty() && pending_ == 0; }

private:
    struct Step {
        std::function<bool(QWidget*)> ready;
        std::function<void(QWidget*)> act;
    };

    void Tick() {
        QWidget* modal = QApplication::activeModalWidget();
        if (watch) watch(modal);
        if (!modal || (transient && transient(modal))) {
            stray_ = nullptr;
            return;
        }
        if (!steps_.empty() && steps_.front().ready(modal)) {
            const Step step = steps_.front();
            steps_.pop_front();
            stray_ = nullptr;
            ++pending_;
            QPointer<QWidget> target(modal);
            QTimer::singleShot(0, [this, step, target] {
                if (target) step.act(target);
                --pending_;
            });
            return;
        }
        if (pending_ > 0) return;
        if (stray_ != modal) {
            stray_ = modal;
            strayDeadline_ = QDeadlineTimer(strayBoundMs_);
        } else if (strayDeadline_.hasExpired()) {
            ADD_FAILURE() << "a modal window no step took: " << modal->objectName().toStdString() << " \""
                          << modal->windowTitle().toStdString() << "\"";
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            stray_ = nullptr;
        }
    }

    QTimer timer_;
    std::deque<Step> steps_;
    int pending_ = 0;
    int strayBoundMs_;
    QPointer<QWidget> stray_;
    QDeadlineTimer strayDeadline_;
};

// Escape, as the user presses it on a window.
inline void PressEscape(QWidget& window) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
}

}  // namespace velmorin::testing
