#include "link/poll_lights.h"

#include <cmath>
#include <cstdio>

namespace velmorin {

Lights LightBlinker::CycleEnded(bool replySeen) {
    Lights lights;
    lights.heartbeat = phase_ == 1 ? Light::Green : Light::Red;
    if (replySeen) lights.link = phase_ == 1 ? Light::Red : Light::Green;
    phase_ = 1 - phase_;
    return lights;
}

void LinkFigureCounter::Start(PollClock::time_point now) {
    figures_ = LinkFigures{};
    marks_[0] = now;
    markCount_ = 1;
}

void LinkFigureCounter::ExchangeDone(bool replied) {
    if (!replied) ++figures_.exchangesWithoutReply;
}

void LinkFigureCounter::CycleEnded(PollClock::time_point now) {
    ++figures_.cycles;
    if (markCount_ == Window) {
        for (size_t i = 1; i < Window; ++i) marks_[i - 1] = marks_[i];
        --markCount_;
    }
    marks_[markCount_++] = now;
    const std::chrono::duration<double> span = marks_[markCount_ - 1] - marks_[0];
    figures_.cyclesPerSecond = span.count() > 0 ? static_cast<double>(markCount_ - 1) / span.count() : 0;
}

std::string FormatLinkFigures(const LinkFigures& figures) {
    // Tenths by hand: the rate reads the same whatever numeric locale the
    // interface runs in.
    const long long tenths = std::llround(figures.cyclesPerSecond * 10);
    char text[80];
    std::snprintf(text, sizeof text, "%lld.%lld ciclos/s, %llu sin respuesta", tenths / 10, tenths % 10,
                  static_cast<unsigned long long>(figures.exchangesWithoutReply));
    return text;
}

}  // namespace velmorin
