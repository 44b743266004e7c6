// Pair taking, the list hand-over, lights and figures, one exchange at a
// time against a fake controller.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "link/poll_cycle.h"

namespace velmorin {
namespace {

using namespace std::chrono_literals;
constexpr Light R = Light::Red, G = Light::Green, D = Light::Dark;

struct Taken {
    int a, b;
    bool end;  // the cycle ended with this exchange
    bool operator==(const Taken&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Taken& t) {
    return out << "(" << t.a << "," << t.b << (t.end ? ")*" : ")");
}

TEST(PollPairs, TakeAddressesCyclicallyAndNeverAStaleOne) {
    constexpr int a = 10, b = 11, c = 12;
    struct Case {
        std::vector<std::pair<PollAddresses, int>> phases;  // a list and how many pairs to take from it
        std::vector<Taken> expected;                        // {-1, -1}: no request
    };
    const Case cases[] = {
        {{{{a, b, c}, 7}}, {{a, b, 0}, {c, a, 1}, {b, c, 0}, {a, b, 1}, {c, a, 1}, {b, c, 0}, {a, b, 1}}},
        {{{{a}, 2}}, {{a, a, 1}, {a, a, 1}}},
        {{{{}, 2}}, {{-1, -1, 1}, {-1, -1, 1}}},
        // Replaced by a shorter list: a position at or past its end is its end.
        {{{{1, 2, 3, 4, 5}, 2}, {{9}, 1}}, {{1, 2, 0}, {3, 4, 0}, {9, 9, 1}}},
        {{{{1, 2, 3, 4, 5}, 1}, {{7, 8}, 2}}, {{1, 2, 0}, {7, 8, 1}, {7, 8, 1}}},
        {{{{1, 2, 3}, 1}, {{}, 1}, {{1, 2, 3}, 1}}, {{1, 2, 0}, {-1, -1, 1}, {1, 2, 0}}},
    };
    for (const Case& test : cases) {
        PollPairs pairs;
        std::vector<Taken> taken;
        for (const auto& [list, count] : test.phases) {
            for (int i = 0; i < count; ++i) {
                const TakenPair t = pairs.Take(list);
                taken.push_back({t.pair ? t.pair->a : -1, t.pair ? t.pair->b : -1, t.cycleComplete});
            }
        }
        EXPECT_EQ(taken, test.expected);
    }
}

TEST(PollListChannel, TheReaderGetsTheNewestWholeCleanList) {
    PollListChannel channel;
    EXPECT_TRUE(channel.Latest().empty());
    channel.Publish(std::vector<int32_t>{1, 2});
    channel.Publish(std::vector<int32_t>{3, 300, 7, 254, 255, -1, 9});  // -1 ends a painted list
    EXPECT_EQ(PollAddresses(channel.Latest().begin(), channel.Latest().end()), (PollAddresses{3, 7, 254}));

    // The painter republishes at every live paint while the worker reads:
    // publication g holds v % 40 + 1 copies of v = g % 200, so a list mixed
    // from two publications shows.
    PollListChannel shared;
    constexpr int32_t Generations = 19999;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int32_t g = 1; g <= Generations; ++g)
            shared.Publish(std::vector<int32_t>(static_cast<size_t>(g % 200 % 40 + 1), g % 200));
        done = true;
    });
    int torn = 0;
    while (!done.load()) {
        const std::span<const int32_t> list = shared.Latest();
        if (list.empty()) continue;  // before the first publication
        for (const int32_t entry : list) torn += entry != list[0];
        torn += static_cast<int32_t>(list.size()) != list[0] % 40 + 1;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(shared.Latest()[0], Generations % 200);
}

struct FakeController {
    std::vector<Taken> exchanges;
    std::vector<bool> replies{false};  // per exchange; the last repeats
    PollClock::time_point now{};

    PollCycle Cycle(PollListChannel& channel, PollPlan plan = {}) {
        auto exchange = [this](int a, int b) {
            exchanges.push_back({a, b, false});
            return replies[std::min(exchanges.size(), replies.size()) - 1];
        };
        return PollCycle(channel, exchange, std::move(plan), [this] { return now; });
    }
    // Steps until `cycles` cycles ended (or polling did), each exchange `step` long.
    std::vector<CycleEnd> Run(PollCycle& cycle, int cycles, PollClock::duration step = 0ms) {
        std::vector<CycleEnd> ends;
        while (static_cast<int>(ends.size()) < cycles && (ends.empty() || !ends.back().stoppedEmpty)) {
            now += step;
            const PollStep s = cycle.Step();
            if (s.cycleEnd && s.exchanged) exchanges.back().end = true;
            if (s.cycleEnd) ends.push_back(*s.cycleEnd);
        }
        return ends;
    }
};

TEST(PollCycle, VariableMonitorPollsAWordsSecondByteOnceAndStopsOnAnEmptyMap) {
    FakeController controller;
    PollListChannel channel;
    channel.Publish(std::vector<int32_t>{94});  // the map's rebuilt list
    PollCycle cycle = controller.Cycle(channel, {ListPolicy::RenewAtCycleEnd, {94, 95}});
    cycle.Start();
    controller.Run(cycle, 3);
    channel.Publish(std::span<const int32_t>{});  // the user shows an empty map
    const std::vector<CycleEnd> ends = controller.Run(cycle, 5);
    EXPECT_EQ(controller.exchanges,
              (std::vector<Taken>{{94, 95, 0}, {94, 95, 1}, {94, 94, 1}, {94, 94, 1}, {94, 94, 1}}));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends[0].stoppedEmpty);
}

TEST(PollCycle, LightsBlinkTheHeartbeatAloneForASilentControllerAndBothForAnAnsweringOne) {
    struct Case {
        std::vector<bool> replies;  // per exchange; the list {1} takes one exchange per cycle
        std::vector<Lights> expected;
    };
    const Case cases[] = {
        {{false}, {{R, D}, {G, D}, {R, D}}},
        {{true}, {{R, G}, {G, R}, {R, G}}},
        {{true, true, false, false}, {{R, G}, {G, R}, {R, D}, {G, D}}},  // each row of the table
    };
    for (const Case& test : cases) {
        FakeController controller;
        controller.replies = test.replies;
        PollListChannel channel;
        channel.Publish(std::vector<int32_t>{1});
        PollCycle cycle = controller.Cycle(channel);
        EXPECT_EQ(cycle.Start(), (Lights{R, D}));
        std::vector<Lights> lights;
        for (const CycleEnd& end : controller.Run(cycle, static_cast<int>(test.expected.size())))
            lights.push_back(end.lights);
        EXPECT_EQ(lights, test.expected);
    }
}

TEST(PollCycle, FiguresCountSilentExchangesAndFollowTheRecentCycleRate) {
    FakeController controller;
    controller.replies = {true, false, true, false, false, true};
    PollListChannel channel;
    channel.Publish(std::vector<int32_t>{1, 2, 3, 4});  // two exchanges per cycle
    PollCycle cycle = controller.Cycle(channel);
    cycle.Start();
    CycleEnd end = controller.Run(cycle, 5, 250ms).back();
    EXPECT_DOUBLE_EQ(end.figures.cyclesPerSecond, 2.0);
    EXPECT_EQ(FormatLinkFigures(end.figures), "2.0 ciclos/s, 3 sin respuesta");
    end = controller.Run(cycle, 4, 1000ms).back();  // the cable gets slow
    EXPECT_DOUBLE_EQ(end.figures.cyclesPerSecond, 0.5);
    cycle.Start();
    EXPECT_EQ(cycle.figures().exchangesWithoutReply, 0u);
}

}  // namespace
}  // namespace velmorin
