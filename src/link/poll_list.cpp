#include "link/poll_list.h"

#include <algorithm>

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
    const PollAddresses clean = CleanPollAddresses(entries);
    Buffer& buffer = buffers_[back_];
    std::copy(clean.begin(), clean.end(), buffer.entries.begin());
    buffer.count = clean.size();
    // The filled buffer goes to the middle; whatever was there (read or
    // not) becomes the next one to fill.
    back_ = middle_.exchange(static_cast<uint8_t>(back_ | Fresh), std::memory_order_acq_rel) & IndexMask;
}

std::span<const int32_t> PollListChannel::Latest() {
    if (middle_.load(std::memory_order_acquire) & Fresh)
        front_ = middle_.exchange(front_, std::memory_order_acq_rel) & IndexMask;
    const Buffer& buffer = buffers_[front_];
    return {buffer.entries.data(), buffer.count};
}

}  // namespace velmorin
