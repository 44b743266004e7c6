#include "link/poll_worker.h"

#include <memory>
#include <utility>

#include "link/monitor_messages.h"

namespace velmorin {

PollWorker::~PollWorker() {
    RequestStop();
    WaitForEnd();
}

bool PollWorker::alive() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return alive_;
}

Result PollWorker::Start(const JobLauncher& launch, PollListChannel& channel, ImageExchange exchange, PollPlan plan,
                         PollWorkerCallbacks callbacks, PollWorkerOptions options) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (alive_) return Result::Fail(msg::PollStartError);
        alive_ = true;
    }
    running_.store(true);
    // Every exchange of the run stores into the worker's own image and notes
    // what it received for the next report.
    PairExchange own = [this, exchange = std::move(exchange)](int a, int b) {
        const bool replied = exchange(a, b, image_);
        if (replied) {
            for (const int address : {a, a + 1, b, b + 1})
                if (ControllerImage::Holds(address)) received_.received.set(static_cast<size_t>(address));
        }
        return replied;
    };
    auto cycle = std::make_shared<PollCycle>(channel, std::move(own), std::move(plan), std::move(options.clock));
    const std::chrono::milliseconds interval = options.emptyPassInterval;
    const bool launched =
        launch([this, cycle, callbacks = std::move(callbacks), interval] { Run(*cycle, callbacks, interval); });
    if (!launched) {
        running_.store(false);
        const std::lock_guard<std::mutex> lock(mutex_);
        alive_ = false;
        return Result::Fail(msg::PollStartError);
    }
    return Result::Ok();
}

void PollWorker::RequestStop() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        running_.store(false);
    }
    wake_.notify_all();
}

void PollWorker::WaitForEnd() {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return !alive_; });
}

void PollWorker::WaitBeforeNextPass(std::chrono::milliseconds interval) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, interval, [this] { return !running_.load(); });
}

void PollWorker::Run(PollCycle& cycle, const PollWorkerCallbacks& callbacks,
                     std::chrono::milliseconds emptyPassInterval) {
    received_ = ReceivedBytes{};
    const Lights startLights = cycle.Start();
    if (callbacks.started) callbacks.started(startLights);
    while (running_.load()) {
        const PollStep step = cycle.Step();
        if (step.cycleEnd) {
            // Not running any more before the window hears of it, so that it
            // never sees an idle map with a worker it believes is polling.
            if (step.cycleEnd->stoppedEmpty) running_.store(false);
            received_.bytes = image_.Snapshot();
            if (callbacks.cycleEnded) callbacks.cycleEnded(*step.cycleEnd, received_);
            received_.received.reset();
            if (step.cycleEnd->stoppedEmpty) break;
        }
        if (!step.exchanged) WaitBeforeNextPass(emptyPassInterval);
    }
    // The last act: once the lock is let go nothing here is touched again,
    // so the worker may be destroyed as soon as a waiter sees it.
    const std::lock_guard<std::mutex> lock(mutex_);
    alive_ = false;
    wake_.notify_all();
}

}  // namespace velmorin
