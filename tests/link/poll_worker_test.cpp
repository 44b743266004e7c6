// The poll worker on its own thread against a fake exchange: how it stops,
// how it takes a list replaced while it runs, and its automatic stop. The
// test thread plays the interface thread. Also run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "link/controller_image.h"
#include "link/poll_worker.h"

namespace velmorin {
namespace {

using namespace std::chrono_literals;

constexpr auto Patience = 10s;  // bound of every wait; never reached when things work

// What the worker reported and exchanged, guarded for the two threads.
class Recorder {
public:
    struct Exchange {
        int a, b;
    };

    // Like the polling exchange, it stores the reply's bytes in the image
    // while the interface thread may be reading it.
    PollExchange Exchanger(ControllerImage* image = nullptr) {
        return [this, image](int a, int b) {
            if (image != nullptr) {
                for (const int address : {a, a + 1, b, b + 1}) image->SetByte(address, static_cast<uint8_t>(address));
            }
            std::unique_lock<std::mutex> lock(mutex_);
            exchanges_.push_back({a, b});
            ++inExchange_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !gateClosed_; });
            --inExchange_;
            return true;
        };
    }

    PollWorkerCallbacks Callbacks() {
        PollWorkerCallbacks callbacks;
        callbacks.started = [this](const Lights& lights) {
            std::lock_guard<std::mutex> lock(mutex_);
            startLights_.push_back(lights);
        };
        callbacks.cycleEnded = [this](const CycleEnd& end) {
            std::lock_guard<std::mutex> lock(mutex_);
            ends_.push_back(end);
            exchangesAtEnd_.push_back(exchanges_.size());
            changed_.notify_all();
        };
        return callbacks;
    }

    // Holds every exchange inside the fake controller until opened.
    void CloseGate() {
        Set([this] { gateClosed_ = true; });
    }
    void OpenGate() {
        Set([this] { gateClosed_ = false; });
    }

    bool WaitFor(const std::function<bool()>& condition) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, Patience, condition);
    }
    size_t ExchangeCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return exchanges_.size();
    }
    size_t EndCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return ends_.size();
    }

    // Read after the worker has been joined.
    std::vector<Exchange> exchanges_;
    std::vector<CycleEnd> ends_;
    std::vector<size_t> exchangesAtEnd_;
    std::vector<Lights> startLights_;
    int inExchange_ = 0;

private:
    void Set(const std::function<void()>& change) {
        std::lock_guard<std::mutex> lock(mutex_);
        change();
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool gateClosed_ = false;
};

// The interface thread's wait: the alive flag, bounded.
bool WaitUntilStopped(const PollWorker& worker) {
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    while (worker.alive() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    return !worker.alive();
}

// A failed assertion must not leave the worker held inside the fake
// controller while the fixture is torn down.
class PollWorkerTest : public ::testing::Test {
protected:
    void TearDown() override {
        recorder.OpenGate();
        worker.RequestStop();
    }

    Recorder recorder;
    PollListChannel channel;
    PollWorker worker;
};

TEST_F(PollWorkerTest, StopsAfterTheExchangeUnderWayAndStartsNoOther) {
    channel.Publish(std::vector<int32_t>{1, 2, 3});
    recorder.CloseGate();
    ASSERT_TRUE(worker.Start(channel, recorder.Exchanger(), {}, recorder.Callbacks()).ok);
    EXPECT_TRUE(worker.running());
    EXPECT_TRUE(worker.alive());
    ASSERT_TRUE(recorder.WaitFor([&] { return recorder.inExchange_ == 1; }));

    worker.RequestStop();
    EXPECT_FALSE(worker.running());
    EXPECT_TRUE(worker.alive());  // the exchange is still waiting for its reply
    recorder.OpenGate();
    ASSERT_TRUE(WaitUntilStopped(worker));
    worker.Join();
    EXPECT_EQ(recorder.exchanges_.size(), 1u);
    EXPECT_EQ(recorder.startLights_, (std::vector<Lights>{{Light::Red, Light::Dark}}));

    // It starts again after a stop, from a fresh heartbeat.
    ASSERT_TRUE(worker.Start(channel, recorder.Exchanger(), {}, recorder.Callbacks()).ok);
    ASSERT_TRUE(recorder.WaitFor([&] { return recorder.ends_.size() >= 1; }));
    worker.RequestStop();
    ASSERT_TRUE(WaitUntilStopped(worker));
    worker.Join();
    EXPECT_EQ(recorder.startLights_.size(), 2u);
    EXPECT_EQ(recorder.ends_[0].lights, (Lights{Light::Red, Light::Green}));
}

TEST_F(PollWorkerTest, TakesAListPublishedWhileItRunsFromTheNextExchange) {
    channel.Publish(std::vector<int32_t>{1, 2, 3});
    LiveImage image;
    ASSERT_TRUE(worker.Start(channel, recorder.Exchanger(&image), {}, recorder.Callbacks()).ok);
    // The interface thread reads the image while the worker fills it.
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    for (int reads = 0; (reads < 1000 || recorder.ExchangeCount() < 5) && std::chrono::steady_clock::now() < deadline;
         ++reads) {
        const ControllerImage::Bytes seen = image.Snapshot();
        for (int address = 1; address <= 4; ++address) EXPECT_TRUE(seen[address] == 0 || seen[address] == address);
    }
    ASSERT_GE(recorder.ExchangeCount(), 5u);
    channel.Publish(std::vector<int32_t>{7});  // a live paint with one operand
    ASSERT_TRUE(recorder.WaitFor([&] {
        size_t sevens = 0;
        for (const auto& e : recorder.exchanges_) sevens += e.a == 7;
        return sevens >= 5;
    }));
    worker.RequestStop();
    ASSERT_TRUE(WaitUntilStopped(worker));
    worker.Join();

    bool switched = false;
    for (const Recorder::Exchange& e : recorder.exchanges_) {
        switched = switched || e.a == 7 || e.b == 7;
        if (switched) {
            EXPECT_EQ(e.a, 7);
            EXPECT_EQ(e.b, 7);
        } else {
            EXPECT_TRUE(e.a >= 1 && e.a <= 3 && e.b >= 1 && e.b <= 3);
        }
    }
}

TEST_F(PollWorkerTest, AnEmptyMapAtACycleEndStopsItByItself) {
    channel.Publish(std::vector<int32_t>{5, 6});
    ASSERT_TRUE(
        worker.Start(channel, recorder.Exchanger(), {ListPolicy::RenewAtCycleEnd, {5, 6}}, recorder.Callbacks()).ok);
    ASSERT_TRUE(recorder.WaitFor([&] { return recorder.ends_.size() >= 2; }));
    channel.Publish(std::span<const int32_t>{});  // the user shows an empty map
    ASSERT_TRUE(WaitUntilStopped(worker));
    worker.Join();
    EXPECT_FALSE(worker.running());
    ASSERT_FALSE(recorder.ends_.empty());
    EXPECT_TRUE(recorder.ends_.back().stoppedEmpty);
    for (size_t i = 0; i + 1 < recorder.ends_.size(); ++i) EXPECT_FALSE(recorder.ends_[i].stoppedEmpty);
    EXPECT_EQ(recorder.exchangesAtEnd_.back(), recorder.exchanges_.size());  // nothing sent after it
}

TEST_F(PollWorkerTest, AnEmptyListSendsNothingYetBlinksAndStopsAtOnce) {
    // The channel holds no list: a diagram without monitored operands.
    PollWorkerOptions fast;
    fast.emptyPassInterval = 1ms;
    ASSERT_TRUE(worker.Start(channel, recorder.Exchanger(), {}, recorder.Callbacks(), fast).ok);
    ASSERT_TRUE(recorder.WaitFor([&] { return recorder.ends_.size() >= 3; }));
    worker.RequestStop();
    ASSERT_TRUE(WaitUntilStopped(worker));
    worker.Join();
    EXPECT_EQ(recorder.exchanges_.size(), 0u);
    EXPECT_EQ(recorder.ends_[0].lights, (Lights{Light::Red, Light::Dark}));
    EXPECT_EQ(recorder.ends_[1].lights, (Lights{Light::Green, Light::Dark}));

    // A stop request cuts the pause between empty passes short.
    PollWorkerOptions slow;
    slow.emptyPassInterval = std::chrono::hours(1);
    ASSERT_TRUE(worker.Start(channel, recorder.Exchanger(), {}, recorder.Callbacks(), slow).ok);
    ASSERT_TRUE(recorder.WaitFor([&] { return recorder.ends_.size() >= 4; }));
    const auto asked = std::chrono::steady_clock::now();
    worker.RequestStop();
    ASSERT_TRUE(WaitUntilStopped(worker));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
    worker.Join();
}

TEST_F(PollWorkerTest, RefusesASecondStartWhileAlive) {
    channel.Publish(std::vector<int32_t>{1});
    recorder.CloseGate();
    ASSERT_TRUE(worker.Start(channel, recorder.Exchanger(), {}, recorder.Callbacks()).ok);
    const Result second = worker.Start(channel, recorder.Exchanger(), {}, recorder.Callbacks());
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.message, "Error al iniciar comunicación");
    worker.RequestStop();
    recorder.OpenGate();
    ASSERT_TRUE(WaitUntilStopped(worker));
}

}  // namespace
}  // namespace velmorin
