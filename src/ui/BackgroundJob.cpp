#include "ui/BackgroundJob.h"

#include <QMetaObject>

#include <system_error>

namespace velmorin {

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob() {
    if (thread_.joinable()) thread_.join();
}

bool BackgroundJob::Launch(std::function<void()> body) {
    if (running_) return false;
    try {
        thread_ = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return false;
    }
    running_ = true;
    return true;
}

void BackgroundJob::Post(std::function<void()> report) {
    {
        const std::lock_guard<std::mutex> lock(handoff_);
        reports_.push_back(std::move(report));
    }
    // One queued call per report, carrying nothing: the report itself goes
    // through the queue above, under a lock ThreadSanitizer can see.
    QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
}

void BackgroundJob::Deliver() {
    std::function<void()> report;
    {
        const std::lock_guard<std::mutex> lock(handoff_);
        if (reports_.empty()) return;
        report = std::move(reports_.front());
        reports_.pop_front();
    }
    report();
}

void BackgroundJob::End(const std::function<void()>& done) {
    // The job's last act was to post this: its thread is ending, if not gone.
    thread_.join();
    running_ = false;
    done();
    emit finished();
}

void BackgroundJob::Wait(QEventLoop::ProcessEventsFlags flags) {
    if (!running_) return;
    QEventLoop loop;
    connect(this, &BackgroundJob::finished, &loop, &QEventLoop::quit);
    loop.exec(flags);
}

}  // namespace velmorin
