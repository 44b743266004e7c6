#pragma once
// One poll cycle after another, one exchange at a time, for both monitors:
// the pairs, the lights and the link figures. No thread here: PollWorker
// runs it on its own thread, the command line's watch runs it in place.
#include <functional>
#include <optional>

#include "link/poll_lights.h"
#include "link/poll_list.h"

namespace velmorin {

// Runs one polling exchange for addresses a and b into the monitor's image
// and returns whether a reply was accepted. Not named after the exchange
// itself (exchanges.h), so that the two can be used side by side.
using PairExchange = std::function<bool(int a, int b)>;

enum class ListPolicy {
    // The live monitor: the channel is read before every pair, so the list
    // that the last live paint published is polled from the next exchange on.
    FollowEveryPair,
    // The variable monitor: the first cycle polls the plan's own list (with
    // the words' second bytes); every cycle end adopts the channel's newest
    // list, which the window publishes whenever the shown map changes, and
    // an empty one ends the polling.
    RenewAtCycleEnd,
};

struct PollPlan {
    ListPolicy policy = ListPolicy::FollowEveryPair;
    PollAddresses firstCycle;  // RenewAtCycleEnd only
};

struct CycleEnd {
    Lights lights;
    LinkFigures figures;
    bool replySeen = false;
    // The renewed list was empty: the polling ends with this cycle and the
    // window returns to idle.
    bool stoppedEmpty = false;
};

struct PollStep {
    bool exchanged = false;  // false: the list was empty and no request went out
    std::optional<CycleEnd> cycleEnd;
};

class PollCycle {
public:
    using Clock = std::function<PollClock::time_point()>;

    // The cycle reads the channel from the thread that calls Step.
    PollCycle(PollListChannel& channel, PairExchange exchange, PollPlan plan, Clock clock = PollClock::now);

    // The lights as polling starts (heartbeat red); the figures count from here.
    Lights Start();
    // One pair and its exchange, or one empty pass; the cycle end when the
    // list's end was passed.
    PollStep Step();

    const LinkFigures& figures() const { return figures_.figures(); }

private:
    PollListChannel& channel_;
    PairExchange exchange_;
    ListPolicy policy_;
    PollAddresses current_;
    Clock clock_;
    PollPairs pairs_;
    LightBlinker blinker_;
    LinkFigureCounter figures_;
    bool replySeen_ = false;
};

}  // namespace velmorin
