#pragma once
// Every wait of the protocol sleeps through a Clock, so that the tests run
// the waiting rules on a clock of their own in no time.
#include <chrono>

namespace velmorin {

class Clock {
public:
    using Duration = std::chrono::milliseconds;
    virtual ~Clock() = default;
    virtual void Sleep(Duration duration) = 0;
    virtual std::chrono::steady_clock::time_point Now() const = 0;
};

class SystemClock : public Clock {
public:
    void Sleep(Duration duration) override;
    std::chrono::steady_clock::time_point Now() const override;
};

}  // namespace velmorin
