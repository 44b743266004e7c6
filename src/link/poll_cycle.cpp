#include "link/poll_cycle.h"

#include <utility>

namespace velmorin {

PollCycle::PollCycle(PollListChannel& channel, PairExchange exchange, PollPlan plan, Clock clock)
    : channel_(channel),
      exchange_(std::move(exchange)),
      policy_(plan.policy),
      current_(CleanPollAddresses(plan.firstCycle)),
      clock_(clock ? std::move(clock) : Clock(PollClock::now)) {}

Lights PollCycle::Start() {
    pairs_.Restart();
    blinker_ = LightBlinker{};
    replySeen_ = false;
    figures_.Start(clock_());
    return LightBlinker::Started();
}

PollStep PollCycle::Step() {
    if (policy_ == ListPolicy::FollowEveryPair) {
        const std::span<const int32_t> latest = channel_.Latest();
        current_.assign(latest.begin(), latest.end());
    }
    const TakenPair taken = pairs_.Take(current_);

    PollStep step;
    if (taken.pair) {
        const bool replied = exchange_(taken.pair->a, taken.pair->b);
        figures_.ExchangeDone(replied);
        replySeen_ = replySeen_ || replied;
        step.exchanged = true;
    }
    if (!taken.cycleComplete) return step;

    CycleEnd end;
    end.replySeen = replySeen_;
    end.lights = blinker_.CycleEnded(replySeen_);
    replySeen_ = false;
    figures_.CycleEnded(clock_());
    end.figures = figures_.figures();
    if (policy_ == ListPolicy::RenewAtCycleEnd) {
        const std::span<const int32_t> renewed = channel_.Latest();
        current_.assign(renewed.begin(), renewed.end());
        end.stoppedEmpty = current_.empty();
    }
    step.cycleEnd = end;
    return step;
}

}  // namespace velmorin
