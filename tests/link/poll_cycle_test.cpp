// Pair taking, the list hand-over, lights and figures of one poll cycle
// after another, driven step by step with a fake exchange.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "link/poll_cycle.h"

namespace velmorin {
namespace {

using namespace std::chrono_literals;

struct Taken {
    int a, b;
    bool end;
    bool operator==(const Taken&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Taken& t) {
    return out << "(" << t.a << "," << t.b << (t.end ? ")*" : ")");
}

std::vector<Taken> TakeMany(PollPairs& pairs, const PollAddresses& list, int count) {
    std::vector<Taken> out;
    for (int i = 0; i < count; ++i) {
        const TakenPair t = pairs.Take(list);
        out.push_back(t.pair ? Taken{t.pair->a, t.pair->b, t.cycleComplete} : Taken{-1, -1, t.cycleComplete});
    }
    return out;
}

TEST(PollPairs, TakeAddressesCyclicallyTwoAtATime) {
    constexpr int a = 10, b = 11, c = 12;
    struct Case {
        PollAddresses list;
        std::vector<Taken> expected;
    };
    const Case cases[] = {
        // A cycle ending mid-pair completes it with the first entry.
        {{a, b, c},
         {{a, b, false}, {c, a, true}, {b, c, false}, {a, b, true}, {c, a, true}, {b, c, false}, {a, b, true}}},
        {{a}, {{a, a, true}, {a, a, true}, {a, a, true}}},
        {{a, b}, {{a, b, false}, {a, b, true}, {a, b, true}}},
        // Nothing to ask for: every pass is a cycle, and no pair is given.
        {{}, {{-1, -1, true}, {-1, -1, true}}},
    };
    for (const Case& test : cases) {
        PollPairs pairs;
        EXPECT_EQ(TakeMany(pairs, test.list, static_cast<int>(test.expected.size())), test.expected)
            << "list of " << test.list.size();
    }
}

TEST(PollPairs, AShorterListNeverYieldsAStaleAddress) {
    PollPairs pairs;
    TakeMany(pairs, {1, 2, 3, 4, 5}, 2);  // read position 4
    EXPECT_EQ(TakeMany(pairs, {9}, 2), (std::vector<Taken>{{9, 9, true}, {9, 9, true}}));
    TakeMany(pairs, {1, 2, 3, 4, 5}, 1);  // position 2 again
    EXPECT_EQ(TakeMany(pairs, {7, 8}, 2), (std::vector<Taken>{{7, 8, true}, {7, 8, true}}));
    TakeMany(pairs, {1, 2, 3}, 1);
    EXPECT_EQ(TakeMany(pairs, {}, 1), (std::vector<Taken>{{-1, -1, true}}));
    EXPECT_EQ(TakeMany(pairs, {1, 2, 3}, 1), (std::vector<Taken>{{1, 2, false}}));
}

TEST(PollListChannel, HandsOverTheNewestCleanList) {
    PollListChannel channel;
    EXPECT_TRUE(channel.Latest().empty());
    const int32_t painted[] = {3, 300, 7, 254, 255, -1, 9};  // painter's list: -1 ends it
    channel.Publish(painted);
    EXPECT_EQ(PollAddresses(channel.Latest().begin(), channel.Latest().end()), (PollAddresses{3, 7, 254}));
    // Unchanged until something new is published; then only the newest counts.
    EXPECT_EQ(channel.Latest().size(), 3u);
    channel.Publish(std::vector<int32_t>{1});
    channel.Publish(std::vector<int32_t>{2, 2});
    EXPECT_EQ(PollAddresses(channel.Latest().begin(), channel.Latest().end()), (PollAddresses{2, 2}));
    channel.Publish(std::vector<int32_t>(PollListCapacity + 10, 4));
    EXPECT_EQ(channel.Latest().size(), static_cast<size_t>(PollListCapacity));
}

// The painter republishes at every live paint while the worker reads: a
// list the reader gets must be one whole publication, never a mix of two.
TEST(PollListChannel, AReaderNeverSeesAHalfWrittenList) {
    PollListChannel channel;
    constexpr int32_t Generations = 19999;
    // Publication g holds v % 40 + 1 copies of v = g % 200: its length follows from its values.
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int32_t generation = 1; generation <= Generations; ++generation) {
            const int32_t value = generation % 200;
            channel.Publish(std::vector<int32_t>(static_cast<size_t>(value % 40 + 1), value));
        }
        done = true;
    });
    int torn = 0;
    while (!done.load()) {
        const std::span<const int32_t> list = channel.Latest();
        if (list.empty()) continue;
        const int32_t value = list[0];
        for (const int32_t entry : list) torn += entry != value;
        torn += static_cast<int32_t>(list.size()) != value % 40 + 1;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(channel.Latest()[0], Generations % 200);
}

// ---- PollCycle ------------------------------------------------------------

struct FakeController {
    std::vector<Taken> exchanges;
    std::vector<bool> replies;  // one per exchange, repeated from the last when short
    PollExchange Exchange() {
        return [this](int a, int b) {
            const size_t n = exchanges.size();
            exchanges.push_back({a, b, false});
            return replies.empty() ? false : replies[std::min(n, replies.size() - 1)];
        };
    }
};

struct FakeClock {
    PollClock::time_point now{};
    PollCycle::Clock Function() {
        return [this] { return now; };
    }
};

// Steps until `cycles` cycle ends, marking the exchange that ended each.
std::vector<CycleEnd> RunCycles(PollCycle& cycle, FakeController& controller, int cycles) {
    std::vector<CycleEnd> ends;
    for (int guard = 0; guard < 1000 && static_cast<int>(ends.size()) < cycles; ++guard) {
        const PollStep step = cycle.Step();
        if (!step.cycleEnd) continue;
        if (step.exchanged) controller.exchanges.back().end = true;
        ends.push_back(*step.cycleEnd);
        if (step.cycleEnd->stoppedEmpty) break;
    }
    return ends;
}

TEST(PollCycle, AWordRowsSecondByteIsPolledInTheFirstCycleOnly) {
    FakeController controller;
    PollListChannel channel;
    channel.Publish(std::vector<int32_t>{94});  // the list rebuilt from the map
    PollCycle cycle(channel, controller.Exchange(), {ListPolicy::RenewAtCycleEnd, {94, 95}});
    cycle.Start();
    RunCycles(cycle, controller, 3);
    EXPECT_EQ(controller.exchanges,
              (std::vector<Taken>{{94, 95, false}, {94, 95, true}, {94, 94, true}, {94, 94, true}}));
}

TEST(PollCycle, AnEmptyRenewedListEndsThePollingAtTheCycleEnd) {
    FakeController controller;
    PollListChannel channel;
    channel.Publish(std::vector<int32_t>{5, 6, 7});
    PollCycle cycle(channel, controller.Exchange(), {ListPolicy::RenewAtCycleEnd, {5, 6, 7}});
    cycle.Start();
    ASSERT_FALSE(RunCycles(cycle, controller, 1).back().stoppedEmpty);
    channel.Publish(std::span<const int32_t>{});  // the user switched to an empty map
    const size_t before = controller.exchanges.size();
    const std::vector<CycleEnd> ends = RunCycles(cycle, controller, 5);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends[0].stoppedEmpty);
    // The cycle under way is finished with the old list, then nothing more.
    EXPECT_EQ(std::vector<Taken>(controller.exchanges.begin() + static_cast<long>(before), controller.exchanges.end()),
              (std::vector<Taken>{{6, 7, false}, {5, 6, true}}));
}

TEST(PollCycle, LiveListFollowsEveryPublicationAndAnEmptyListSendsNothing) {
    FakeController controller;
    PollListChannel channel;
    channel.Publish(std::vector<int32_t>{0});  // the bootstrap list
    PollCycle cycle(channel, controller.Exchange(), {});
    cycle.Start();
    RunCycles(cycle, controller, 1);
    // The read position carries over into the new list.
    channel.Publish(std::vector<int32_t>{20, 21, 22});
    RunCycles(cycle, controller, 1);
    channel.Publish(std::span<const int32_t>{});
    const size_t sent = controller.exchanges.size();
    const std::vector<CycleEnd> ends = RunCycles(cycle, controller, 3);
    EXPECT_EQ(controller.exchanges.size(), sent);
    ASSERT_EQ(ends.size(), 3u);
    for (const CycleEnd& end : ends) EXPECT_FALSE(end.stoppedEmpty);
    EXPECT_EQ(std::vector<Taken>(controller.exchanges.begin(), controller.exchanges.begin() + 3),
              (std::vector<Taken>{{0, 0, true}, {21, 22, false}, {20, 21, true}}));
}

std::vector<Lights> LightsOf(const std::vector<CycleEnd>& ends) {
    std::vector<Lights> lights;
    for (const CycleEnd& end : ends) lights.push_back(end.lights);
    return lights;
}

TEST(PollCycle, LightsBlinkTheHeartbeatAloneForASilentControllerAndBothForAnAnsweringOne) {
    constexpr Light R = Light::Red, G = Light::Green, D = Light::Dark;
    struct Case {
        std::vector<bool> replies;  // per exchange; the list {1, 2} takes one exchange per cycle
        std::vector<Lights> expected;
    };
    const Case cases[] = {
        {{false}, {{R, D}, {G, D}, {R, D}, {G, D}}},
        {{true}, {{R, G}, {G, R}, {R, G}, {G, R}}},
        // Each row of the light table once.
        {{true, true, false, false}, {{R, G}, {G, R}, {R, D}, {G, D}}},
    };
    for (const Case& test : cases) {
        FakeController controller;
        controller.replies = test.replies;
        PollListChannel channel;
        channel.Publish(std::vector<int32_t>{1});
        PollCycle cycle(channel, controller.Exchange(), {});
        EXPECT_EQ(cycle.Start(), (Lights{R, D}));
        EXPECT_EQ(LightsOf(RunCycles(cycle, controller, 4)), test.expected);
    }
}

TEST(PollCycle, FiguresCountSilentExchangesAndFollowTheRecentCycleRate) {
    FakeController controller;
    controller.replies = {true, false, true, false, false, true};
    FakeClock clock;
    PollListChannel channel;
    channel.Publish(std::vector<int32_t>{1, 2, 3, 4});  // two exchanges per cycle, three for the first
    PollCycle cycle(channel, controller.Exchange(), {}, clock.Function());
    cycle.Start();
    std::vector<CycleEnd> ends;
    for (int i = 0; i < 11; ++i) {
        clock.now += 250ms;  // two exchanges of 250 ms: two cycles per second
        const PollStep step = cycle.Step();
        if (step.cycleEnd) ends.push_back(*step.cycleEnd);
    }
    ASSERT_EQ(ends.size(), 5u);
    EXPECT_DOUBLE_EQ(ends[4].figures.cyclesPerSecond, 2.0);
    EXPECT_EQ(ends[4].figures.exchangesWithoutReply, 3u);
    EXPECT_EQ(ends[4].figures.cycles, 5u);
    EXPECT_EQ(FormatLinkFigures(ends[4].figures), "2.0 ciclos/s, 3 sin respuesta");
    // The cable gets slow: after four slow cycles the rate is theirs alone.
    for (int i = 0; i < 8; ++i) {
        clock.now += 1000ms;
        const PollStep step = cycle.Step();
        if (step.cycleEnd) ends.push_back(*step.cycleEnd);
    }
    EXPECT_DOUBLE_EQ(ends.back().figures.cyclesPerSecond, 0.5);
    // A new start counts from zero.
    cycle.Start();
    EXPECT_EQ(cycle.figures().exchangesWithoutReply, 0u);
}

}  // namespace
}  // namespace velmorin
