#pragma once
// The poll worker of both monitors: a PollCycle on its own thread while the
// running flag is set. It owns no window; it reports through callbacks,
// invoked on its thread, that a window forwards to the interface thread
// with queued invocations. The port belongs to the worker while it is alive.
//
// Stopping: RequestStop clears the running flag; the exchange under way ends
// (at most about 300 ms) and no other starts. The window keeps processing
// events until alive() is false. Every report is posted before the alive
// flag clears, so processing the pending events once after that wait
// delivers the last of them before the window shows its idle look.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "link/poll_cycle.h"
#include "model/result.h"

namespace velmorin {

struct PollWorkerCallbacks {
    std::function<void(const Lights&)> started;       // heartbeat red
    std::function<void(const CycleEnd&)> cycleEnded;  // lights, figures; the window refreshes its values
};

struct PollWorkerOptions {
    // An empty list sends nothing; each pass is a cycle without reply, one
    // per interval, so the heartbeat still blinks.
    std::chrono::milliseconds emptyPassInterval{100};
    PollCycle::Clock clock;  // the steady clock when empty
};

class PollWorker {
public:
    PollWorker() = default;
    ~PollWorker();
    PollWorker(const PollWorker&) = delete;
    PollWorker& operator=(const PollWorker&) = delete;

    // Sets the running and alive flags and starts the thread; fails with
    // "Error al iniciar comunicación" when no thread can be started or a
    // previous run is still alive. The worker is the channel's only reader
    // until it has stopped.
    Result Start(PollListChannel& channel, PairExchange exchange, PollPlan plan, PollWorkerCallbacks callbacks,
                 PollWorkerOptions options = {});

    void RequestStop();
    // Cleared by RequestStop, or by the worker itself when a renewed list is empty.
    bool running() const { return running_.load(); }
    // Set by Start, cleared by the worker as its very last act.
    bool alive() const { return alive_.load(); }
    // Waits for the thread to end; returns at once after alive() went false.
    void Join();

private:
    void Run(PollCycle cycle, PollWorkerCallbacks callbacks, std::chrono::milliseconds emptyPassInterval);
    void WaitBeforeNextPass(std::chrono::milliseconds interval);

    std::atomic<bool> running_{false};
    std::atomic<bool> alive_{false};
    std::thread thread_;
    // Only for waking an empty pass early when a stop is requested.
    std::mutex wakeMutex_;
    std::condition_variable wake_;
};

}  // namespace velmorin
