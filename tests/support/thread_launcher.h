#pragma once
// The thread a test gives a poll worker, where the program gives it a
// BackgroundJob: the test's own, joined before the next one starts and when
// the launcher goes (declare it before the worker, so that it goes after).
#include <functional>
#include <thread>
#include <utility>

#include "link/poll_worker.h"

namespace velmorin::testing {

class ThreadLauncher {
public:
    ThreadLauncher() = default;
    ThreadLauncher(const ThreadLauncher&) = delete;
    ThreadLauncher& operator=(const ThreadLauncher&) = delete;
    ~ThreadLauncher() { Join(); }

    JobLauncher launch() {
        return [this](std::function<void()> job) {
            Join();
            thread_ = std::thread(std::move(job));
            return true;
        };
    }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
};

}  // namespace velmorin::testing
