#include "link/poll_worker.h"

#include <system_error>
#include <utility>

#include "link/monitor_messages.h"

namespace velmorin {

PollWorker::~PollWorker() {
    RequestStop();
    Join();
}

Result PollWorker::Start(PollListChannel& channel, PairExchange exchange, PollPlan plan, PollWorkerCallbacks callbacks,
                         PollWorkerOptions options) {
    if (alive_.load()) return Result::Fail(msg::PollStartError);
    Join();  // a finished run's thread
    PollCycle cycle(channel, std::move(exchange), std::move(plan), std::move(options.clock));
    running_.store(true);
    alive_.store(true);
    try {
        thread_ =
            std::thread(&PollWorker::Run, this, std::move(cycle), std::move(callbacks), options.emptyPassInterval);
    } catch (const std::system_error&) {
        running_.store(false);
        alive_.store(false);
        return Result::Fail(msg::PollStartError);
    }
    return Result::Ok();
}

void PollWorker::RequestStop() {
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        running_.store(false);
    }
    wake_.notify_all();
}

void PollWorker::Join() {
    if (thread_.joinable()) thread_.join();
}

void PollWorker::WaitBeforeNextPass(std::chrono::milliseconds interval) {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    wake_.wait_for(lock, interval, [this] { return !running_.load(); });
}

void PollWorker::Run(PollCycle cycle, PollWorkerCallbacks callbacks, std::chrono::milliseconds emptyPassInterval) {
    const Lights startLights = cycle.Start();
    if (callbacks.started) callbacks.started(startLights);
    while (running_.load()) {
        const PollStep step = cycle.Step();
        if (step.cycleEnd) {
            // Not running any more before the window hears of it, so that it
            // never sees an idle map with a worker it believes is polling.
            if (step.cycleEnd->stoppedEmpty) running_.store(false);
            if (callbacks.cycleEnded) callbacks.cycleEnded(*step.cycleEnd);
            if (step.cycleEnd->stoppedEmpty) break;
        }
        if (!step.exchanged) WaitBeforeNextPass(emptyPassInterval);
    }
    alive_.store(false);
}

}  // namespace velmorin
