// The poll worker on a thread of the test's against a fake exchange; the
// test thread plays the interface thread and takes the bytes each cycle's
// end hands over. `make tsan` runs these under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "link/controller_image.h"
#include "link/poll_worker.h"
#include "support/thread_launcher.h"

namespace velmorin {
namespace {

using namespace std::chrono_literals;
constexpr auto Patience = 10s;  // bound of every wait; never reached when things work

class PollWorkerTest : public ::testing::Test {
protected:
    struct Exchange {
        int a, b;
    };

    // Like the polling exchange it fills the image it is given, here with
    // each address as its own value; it waits inside while the gate is closed.
    ImageExchange Exchanger() {
        return [this](int a, int b, ControllerImage& into) {
            for (const int address : {a, a + 1, b, b + 1}) into.SetByte(address, static_cast<uint8_t>(address));
            std::unique_lock<std::mutex> lock(mutex);
            exchanges.push_back({a, b});
            changed.notify_all();
            changed.wait(lock, [this] { return !gateClosed; });
            return true;
        };
    }
    Result Start(PollPlan plan = {}, std::chrono::milliseconds emptyPass = 100ms) {
        PollWorkerCallbacks callbacks;
        callbacks.cycleEnded = [this](const CycleEnd& end, const ReceivedBytes& received) {
            std::lock_guard<std::mutex> lock(mutex);
            image.Take(received);
            reports.push_back(received);
            ends.push_back(end);
            exchangesAtEnd.push_back(exchanges.size());
            changed.notify_all();
        };
        return worker.Start(thread.launch(), channel, Exchanger(), std::move(plan), callbacks, {emptyPass, {}});
    }
    bool WaitFor(const std::function<bool()>& condition) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, Patience, condition);
    }
    void SetGate(bool closed) {
        std::lock_guard<std::mutex> lock(mutex);
        gateClosed = closed;
        changed.notify_all();
    }
    // The interface thread's wait on the alive flag, bounded.
    bool Stopped() {
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        while (worker.alive() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        if (worker.alive()) return false;
        thread.Join();
        return true;
    }
    // A failed assertion must not leave the worker waiting at the gate.
    void TearDown() override {
        SetGate(false);
        worker.RequestStop();
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool gateClosed = false;
    std::vector<Exchange> exchanges;  // read unguarded once the worker has stopped
    std::vector<CycleEnd> ends;
    std::vector<ReceivedBytes> reports;
    std::vector<size_t> exchangesAtEnd;
    LiveImage image;  // the window's, fed by the reports
    PollListChannel channel;
    testing::ThreadLauncher thread;
    PollWorker worker;
};

TEST_F(PollWorkerTest, StopEndsTheExchangeUnderWayAndStartsNoOther) {
    channel.Publish(std::vector<int32_t>{1, 2, 3});
    SetGate(true);
    ASSERT_TRUE(Start().ok);
    ASSERT_TRUE(WaitFor([&] { return exchanges.size() == 1; }));
    EXPECT_FALSE(Start().ok);  // one worker at a time
    worker.RequestStop();
    EXPECT_FALSE(worker.running());
    EXPECT_TRUE(worker.alive());  // still waiting for its reply
    SetGate(false);
    ASSERT_TRUE(Stopped());
    EXPECT_EQ(exchanges.size(), 1u);
    EXPECT_TRUE(ends.empty());
}

TEST_F(PollWorkerTest, TakesAListPublishedWhileItRunsFromTheNextExchange) {
    channel.Publish(std::vector<int32_t>{1, 2, 3});
    ASSERT_TRUE(Start().ok);
    ASSERT_TRUE(WaitFor([&] { return exchanges.size() >= 5; }));
    channel.Publish(std::vector<int32_t>{7});  // a live paint with one operand
    ASSERT_TRUE(WaitFor([&] { return !exchanges.empty() && exchanges.back().a == 7 && ends.size() >= 5; }));
    worker.RequestStop();
    ASSERT_TRUE(Stopped());

    size_t first = 0;
    while (first < exchanges.size() && exchanges[first].a != 7 && exchanges[first].b != 7) ++first;
    for (size_t i = 0; i < exchanges.size(); ++i) {
        const Exchange e = exchanges[i];
        if (i < first)
            EXPECT_TRUE(e.a >= 1 && e.a <= 3 && e.b >= 1 && e.b <= 3) << i;
        else
            EXPECT_TRUE(e.a == 7 && e.b == 7) << i;
    }
    EXPECT_EQ(ends[0].lights, (Lights{Light::Red, Light::Green}));
    // Each report hands over what the cycle received, whole: the addresses
    // polled since the last one and their bytes, and nothing else.
    ASSERT_GE(reports.size(), 2u);
    for (int address = 1; address <= 4; ++address) {
        EXPECT_TRUE(reports[0].received.test(address)) << address;
        EXPECT_EQ(reports[0].bytes[address], address);
    }
    EXPECT_FALSE(reports[0].received.test(0));
    EXPECT_FALSE(reports[0].received.test(5));
    EXPECT_FALSE(reports.back().received.test(1)) << "an address of the old list in a later cycle's report";
    EXPECT_TRUE(reports.back().received.test(7) && reports.back().received.test(8));
    EXPECT_EQ(image.Byte(8), 8);
}

TEST_F(PollWorkerTest, AnEmptyMapAtACycleEndStopsItByItself) {
    channel.Publish(std::vector<int32_t>{5, 6});
    ASSERT_TRUE(Start({ListPolicy::RenewAtCycleEnd, {5, 6}}).ok);
    ASSERT_TRUE(WaitFor([&] { return ends.size() >= 2; }));
    channel.Publish(std::span<const int32_t>{});
    ASSERT_TRUE(Stopped());
    EXPECT_FALSE(worker.running());
    EXPECT_TRUE(ends.back().stoppedEmpty);
    EXPECT_FALSE(ends[ends.size() - 2].stoppedEmpty);
    EXPECT_EQ(exchangesAtEnd.back(), exchanges.size());  // nothing sent after it
}

TEST_F(PollWorkerTest, AnEmptyListSendsNothingYetBlinksAndAStopCutsThePauseShort) {
    ASSERT_TRUE(Start({}, 1ms).ok);  // nothing published: no monitored operand
    ASSERT_TRUE(WaitFor([&] { return ends.size() >= 3; }));
    worker.RequestStop();
    ASSERT_TRUE(Stopped());
    EXPECT_TRUE(exchanges.empty());
    EXPECT_EQ(ends[1].lights, (Lights{Light::Green, Light::Dark}));

    ASSERT_TRUE(Start({}, std::chrono::hours(1)).ok);
    ASSERT_TRUE(WaitFor([&] { return ends.size() >= 4; }));
    const auto asked = std::chrono::steady_clock::now();
    worker.RequestStop();
    ASSERT_TRUE(Stopped());
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
}

}  // namespace
}  // namespace velmorin
