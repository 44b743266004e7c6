#pragma once
// The addresses a poll worker reads, how it takes them two at a time, and
// how the interface thread hands it a new list while it runs.
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace velmorin {

// Controller addresses in polling order. A read returns the byte at the
// address and the next one, so 254 is the highest address worth asking for.
using PollAddresses = std::vector<int32_t>;
constexpr int32_t HighestPollAddress = 254;
// More than any list can hold: a live paint lists each address once, a map
// at most sixteen entries.
constexpr int32_t PollListCapacity = 256;

// The usable part of a list as callers keep it: up to the first negative
// entry (the end marker) or the end of the span, without addresses that
// cannot be polled, at most PollListCapacity entries.
PollAddresses CleanPollAddresses(std::span<const int32_t> entries);

struct PollPair {
    int32_t a = 0;
    int32_t b = 0;
};

struct TakenPair {
    std::optional<PollPair> pair;  // nothing when the list is empty: send no request
    bool cycleComplete = false;    // the list's end was passed while taking it
};

// Takes the pairs of one exchange after another from a list that may be
// replaced between calls. A cycle that ends in the middle of a pair
// completes it with the first entry and the next cycle continues after it;
// one address is polled as both halves. A read position at or past the end
// of the list it is given (a list replaced by a shorter one) counts as the
// end marker, so no stale address is ever polled.
class PollPairs {
public:
    TakenPair Take(std::span<const int32_t> list);
    void Restart() { position_ = 0; }

private:
    // One address; sets `ended` when the end marker was passed first.
    int32_t TakeOne(std::span<const int32_t> list, bool& ended);

    size_t position_ = 0;
};

// Hands whole lists from one writer thread (the interface) to one reader
// thread (the poll worker). The writer publishes a complete list; the reader
// takes the newest complete one and never sees a list being written. Both
// sides hold the lock only to exchange the lists.
class PollListChannel {
public:
    // Writer side. The entries are cleaned as CleanPollAddresses does.
    void Publish(std::span<const int32_t> entries);

    // Reader side: the newest published list (empty before the first
    // publication). It stays unchanged until the reader's next call.
    std::span<const int32_t> Latest();

private:
    std::mutex mutex_;
    PollAddresses published_;  // guarded by mutex_
    bool fresh_ = false;       // guarded by mutex_: published_ not taken yet
    PollAddresses taken_;      // the reader's own
};

}  // namespace velmorin
