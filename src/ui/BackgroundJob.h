#pragma once
// The one way the program runs work off the interface thread: a transfer,
// the ROM query, a poll worker, a compilation. The job runs on a thread of
// its own and never touches a widget; what it reports (progress, the poll
// cycles, its result) reaches this object's thread as queued calls, in the
// order the job posted them. A window that must wait for the job runs a
// local event loop that the job's end finishes: no polling, no sleeping.
#include <QEventLoop>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace velmorin {

class BackgroundJob : public QObject {
    Q_OBJECT
public:
    explicit BackgroundJob(QObject* parent = nullptr);
    // Waits for a job still running, without an event loop: its owner must
    // have asked it to end first. What it posted meanwhile is dropped.
    ~BackgroundJob() override;
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Starts `job` on a thread of its own. When it returns, `done` runs on
    // this object's thread with its result (nothing for a job without one),
    // after every report the job posted. False, and nothing started, while
    // an earlier job has not ended or when no thread can be started.
    template <typename Job, typename Done>
    bool Start(Job job, Done done);
    template <typename Job>
    bool Start(Job job) {
        return Start(std::move(job), [](auto&&...) {});
    }

    // For the job's thread: `report` runs on this object's thread, after
    // what the job posted before it and before the job's end.
    void Post(std::function<void()> report);

    // From Start until `done` has run.
    bool running() const { return running_; }

    // Runs a local event loop until the job has ended and `done` has run;
    // returns at once when no job runs. `flags` may hold the user's input
    // back meanwhile.
    void Wait(QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);

signals:
    // The job has ended and its `done` has run.
    void finished();

private slots:
    // On this object's thread: the oldest report. Called by name, so that
    // the queued call carries no data of ours.
    void Deliver();

private:
    bool Launch(std::function<void()> body);
    // On this object's thread: the job's thread is over, then `done`.
    void End(const std::function<void()>& done);

    std::thread thread_;
    bool running_ = false;
    // The reports on their way, oldest first. Qt's event queue already
    // orders a report after its posting, inside a library ThreadSanitizer
    // cannot see into; handing them over under this lock shows it the same
    // order.
    std::mutex handoff_;
    std::deque<std::function<void()>> reports_;
};

template <typename Job, typename Done>
bool BackgroundJob::Start(Job job, Done done) {
    using Out = std::invoke_result_t<Job&>;
    if constexpr (std::is_void_v<Out>) {
        return Launch([this, job = std::move(job), done = std::move(done)]() mutable {
            job();
            Post([this, done = std::move(done)]() mutable { End([&done] { done(); }); });
        });
    } else {
        return Launch([this, job = std::move(job), done = std::move(done)]() mutable {
            auto result = std::make_shared<Out>(job());
            Post([this, result, done = std::move(done)]() mutable {
                End([&done, &result] { done(std::move(*result)); });
            });
        });
    }
}

}  // namespace velmorin
