#pragma once
// What the monitors show beside their buttons: the heartbeat and link
// lights, and the link figures (cycle rate and exchanges left without reply).
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace velmorin {

enum class Light : uint8_t { Dark, Red, Green };

struct Lights {
    Light heartbeat = Light::Dark;  // the right one: blinks once per cycle
    Light link = Light::Dark;       // the left one: lit only after a cycle with a reply
    bool operator==(const Lights&) const = default;
};

// The heartbeat turns red as a worker starts; at each cycle end both lights
// follow the phase, so an answering controller blinks the two in opposite
// colours and a silent one only the heartbeat.
class LightBlinker {
public:
    static constexpr Lights Started() { return {Light::Red, Light::Dark}; }
    Lights CycleEnded(bool replySeen);

private:
    int phase_ = 0;
};

using PollClock = std::chrono::steady_clock;

struct LinkFigures {
    double cyclesPerSecond = 0;  // over the last few cycles; 0 before the first ends
    uint64_t exchangesWithoutReply = 0;
    uint64_t cycles = 0;
};

// Counts since the worker started ("Recibir"). The rate covers the last
// few cycles, so it follows a cable that gets slower instead of averaging
// it away.
class LinkFigureCounter {
public:
    void Start(PollClock::time_point now);
    void ExchangeDone(bool replied);
    void CycleEnded(PollClock::time_point now);
    const LinkFigures& figures() const { return figures_; }

private:
    static constexpr size_t Window = 5;  // time points: four cycle intervals
    std::array<PollClock::time_point, Window> marks_{};
    size_t markCount_ = 0;
    LinkFigures figures_;
};

// "2.5 ciclos/s, 3 sin respuesta"
std::string FormatLinkFigures(const LinkFigures& figures);

}  // namespace velmorin
