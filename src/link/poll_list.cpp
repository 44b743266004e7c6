#include "link/poll_list.h"

#include <algorithm>
#include <utility>

namespace velmorin {

PollAddresses CleanPollAddresses(std::span<const int32_t> entries) {
    PollAddresses out;
    for (const int32_t entry : entries) {
        if (entry < 0 || static_cast<int32_t>(out.size()) == PollListCapacity) break;
        if (entry <= HighestPollAddress) out.push_back(entry);
    }
    return out;
}

int32_t PollPairs::TakeOne(std::span<const int32_t> list, bool& ended) {
    if (position_ >= list.size()) {
        ended = true;
        position_ = 0;
    }
    return list[position_++];
}

TakenPair PollPairs::Take(std::span<const int32_t> list) {
    TakenPair taken;
    if (list.empty()) {
        // Nothing to ask for: the pass is a whole cycle by itself.
        position_ = 0;
        taken.cycleComplete = true;
        return taken;
    }
    PollPair pair;
    pair.a = TakeOne(list, taken.cycleComplete);
    pair.b = TakeOne(list, taken.cycleComplete);
    taken.pair = pair;
    return taken;
}

void PollListChannel::Publish(std::span<const int32_t> entries) {
    PollAddresses clean = CleanPollAddresses(entries);
    const std::lock_guard<std::mutex> lock(mutex_);
    published_ = std::move(clean);
    fresh_ = true;
}

std::span<const int32_t> PollListChannel::Latest() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (fresh_) {
        taken_.swap(published_);
        fresh_ = false;
    }
    return taken_;
}

}  // namespace velmorin
