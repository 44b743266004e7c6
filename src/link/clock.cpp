#include "link/clock.h"

#include <thread>

namespace velmorin {

void SystemClock::Sleep(Duration duration) { std::this_thread::sleep_for(duration); }

std::chrono::steady_clock::time_point SystemClock::Now() const { return std::chrono::steady_clock::now(); }

}  // namespace velmorin
