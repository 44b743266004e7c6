// MonitorLink on a fake line: the worker runs the real polling exchange with
// the identifier of the moment into its own image and hands the bytes over
// at each cycle's end, the write exchange waits for the worker to be gone,
// and closing never leaves the port under a running worker. `make tsan` runs
// this with the test thread changing the identifier meanwhile.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "link/monitor_link.h"
#include "support/fake_link.h"
#include "support/thread_launcher.h"

namespace velmorin {
namespace {

using namespace std::chrono_literals;

TEST(MonitorLink, WorkerPollsWithTheCurrentIdentifierAndWritesWaitForItsEnd) {
    testing::FakeClock clock;
    testing::FakeLink line(clock);
    testing::FakeController controller;
    // Bytes 2..5 of a reply: the two addresses asked for, each twice.
    controller.answer = [](const CommandFrame& request) -> std::optional<testing::FakeController::Answer> {
        if (request[1] != static_cast<uint8_t>(CommandCode::ReadWords)) return std::nullopt;
        return testing::FakeController::Answer{{request[0], 8, request[2], request[2], request[4], request[4], 0},
                                               30ms};
    };
    controller.Attach(line);
    ControllerImage image;  // the window's, fed by the worker's reports
    testing::ThreadLauncher thread;
    MonitorLink monitor(line, clock, 2);
    ASSERT_TRUE(monitor.Open().ok);
    monitor.SetControllerId(7);
    const int32_t list[] = {40, 41, 50};
    monitor.channel().Publish(list);

    std::mutex mutex;
    std::condition_variable changed;
    int ends = 0;
    PollWorkerCallbacks callbacks;
    callbacks.cycleEnded = [&](const CycleEnd& end, const ReceivedBytes& received) {
        EXPECT_TRUE(end.replySeen);
        std::lock_guard<std::mutex> lock(mutex);
        image.Take(received);
        ++ends;
        changed.notify_all();
    };
    auto cycles = [&](int count) {
        std::unique_lock<std::mutex> lock(mutex);
        const int target = ends + count;
        return changed.wait_for(lock, 10s, [&] { return ends >= target; });
    };
    ASSERT_TRUE(monitor.StartPolling(thread.launch(), {ListPolicy::FollowEveryPair, {}}, callbacks).ok);
    ASSERT_TRUE(cycles(2));
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(image.Byte(50), 50);
    }
    const WriteRow row{60, false, 1};
    EXPECT_FALSE(monitor.Write(std::span(&row, 1))) << "the port belongs to the worker";
    monitor.SetControllerId(9);
    ASSERT_TRUE(cycles(2));

    monitor.Close();  // stops and joins the worker first
    EXPECT_FALSE(monitor.workerAlive());
    EXPECT_FALSE(line.open());
    for (const auto& write : line.Writes()) ASSERT_EQ(write.size(), 1u) << "a poll request goes out a byte at a time";
    std::vector<uint8_t> ids;
    const std::vector<uint8_t> sent = line.Written();
    ASSERT_EQ(sent.size() % FrameSize, 0u);
    for (size_t at = 0; at < sent.size(); at += FrameSize) {
        EXPECT_EQ(sent[at + 1], static_cast<uint8_t>(CommandCode::ReadWords)) << "nothing but polls";
        if (ids.empty() || ids.back() != sent[at]) ids.push_back(sent[at]);
    }
    EXPECT_EQ(ids, (std::vector<uint8_t>{7, 9}));
    EXPECT_FALSE(monitor.Write(std::span(&row, 1))) << "a closed port";
}

}  // namespace
}  // namespace velmorin
