#pragma once
// The poll worker of both monitors: a PollCycle run while the running flag
// is set, on a thread its window provides. It owns no window, and its own
// image: every exchange stores its reply there, and each cycle's end hands
// what was received since the last one, whole, to the callbacks. Callbacks
// run on the worker's thread; a window forwards them to the interface
// thread with queued calls and takes the bytes into the image it shows.
// The port belongs to the worker while it is alive.
//
// Stopping: RequestStop clears the running flag; the exchange under way
// ends (at most about 300 ms) and no other starts. The window waits for the
// job it started to end, which comes after every report the worker made.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "link/controller_image.h"
#include "link/poll_cycle.h"
#include "model/result.h"

namespace velmorin {

struct PollWorkerCallbacks {
    std::function<void(const Lights&)> started;  // heartbeat red
    // Lights, figures, and the bytes received in the cycle; the window
    // refreshes its values from them.
    std::function<void(const CycleEnd&, const ReceivedBytes&)> cycleEnded;
};

struct PollWorkerOptions {
    // An empty list sends nothing; each pass is a cycle without reply, one
    // per interval, so the heartbeat still blinks.
    std::chrono::milliseconds emptyPassInterval{100};
    PollCycle::Clock clock;  // the steady clock when empty
};

// One polling exchange for a and b, its reply stored into `into`; true when
// a reply was accepted.
using ImageExchange = std::function<bool(int a, int b, ControllerImage& into)>;

// Runs `job` on a thread of its own; false when no thread could be started.
using JobLauncher = std::function<bool(std::function<void()> job)>;

class PollWorker {
public:
    PollWorker() = default;
    // Stops a run still alive and waits for its end.
    ~PollWorker();
    PollWorker(const PollWorker&) = delete;
    PollWorker& operator=(const PollWorker&) = delete;

    // Sets the running and alive flags and hands the run to `launch`; fails
    // with "Error al iniciar comunicación" when no thread can be started or
    // a previous run is still alive. The worker is the channel's only reader
    // until it has stopped.
    Result Start(const JobLauncher& launch, PollListChannel& channel, ImageExchange exchange, PollPlan plan,
                 PollWorkerCallbacks callbacks, PollWorkerOptions options = {});

    void RequestStop();
    // Cleared by RequestStop, or by the worker itself when a renewed list is empty.
    bool running() const { return running_.load(); }
    // Set by Start, cleared by the worker as its very last act.
    bool alive() const;
    // Blocks until a run has ended. For tearing down only: a window waits
    // for its job through its event loop instead.
    void WaitForEnd();

private:
    void Run(PollCycle& cycle, const PollWorkerCallbacks& callbacks, std::chrono::milliseconds emptyPassInterval);
    void WaitBeforeNextPass(std::chrono::milliseconds interval);

    std::atomic<bool> running_{false};
    // The image the worker's exchanges fill; touched only by its run.
    ControllerImage image_;
    ReceivedBytes received_;
    // Guards `alive_`, and wakes an empty pass early when a stop is requested.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool alive_ = false;
};

}  // namespace velmorin
