#pragma once
// A bounded wait for the GUI tests: events are processed until the
// condition holds or the time is up.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace velmorin::testing {

inline bool ProcessEventsUntil(const std::function<bool()>& condition, int milliseconds = 10000) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

}  // namespace velmorin::testing
