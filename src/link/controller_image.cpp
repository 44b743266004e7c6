#include "link/controller_image.h"

namespace velmorin {
namespace {

constexpr auto relaxed = std::memory_order_relaxed;

}  // namespace

// A sequence lock: the writer makes the counter odd while it stores, and a
// reader repeats its reads until it saw the same even counter before and after.
// Two writers may meet (a monitor file loaded while the worker polls): the
// one that turns the counter odd stores, the other waits for it to turn even
// again. Plain load-and-store here would let both pass and could leave the
// counter odd for good, and every reader would wait forever.
template <typename Write>
void ControllerImage::Update(Write write) {
    uint32_t s = sequence_.load(relaxed);
    for (;;) {
        if (s & 1) {
            s = sequence_.load(relaxed);
            continue;
        }
        if (sequence_.compare_exchange_weak(s, s + 1, std::memory_order_acquire, relaxed)) break;
    }
    std::atomic_thread_fence(std::memory_order_release);
    write();
    sequence_.store(s + 2, std::memory_order_release);
}

template <typename Read>
void ControllerImage::Consistent(Read read) const {
    for (;;) {
        const uint32_t before = sequence_.load(std::memory_order_acquire);
        if (before & 1) continue;
        read();
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence_.load(relaxed) == before) return;
    }
}

uint8_t ControllerImage::Byte(int address) const {
    return address >= 0 && address < ImageSize ? bytes_[address].load(relaxed) : 0;
}

uint16_t ControllerImage::Word(int address) const {
    uint16_t value = 0;
    Consistent([&] { value = static_cast<uint16_t>(Byte(address) | (Byte(address + 1) << 8)); });
    return value;
}

ControllerImage::Bytes ControllerImage::Snapshot() const {
    Bytes copy{};
    Consistent([&] {
        for (int i = 0; i < ImageSize; ++i) copy[i] = bytes_[i].load(relaxed);
    });
    return copy;
}

void ControllerImage::Store(int address, uint8_t value) {
    if (address < 0 || address >= ImageSize) return;
    Update([&] { bytes_[address].store(value, relaxed); });
}

void ControllerImage::StorePair(int a, uint8_t a0, uint8_t a1, int b, uint8_t b0, uint8_t b1) {
    Update([&] {
        const int addresses[4] = {a, a + 1, b, b + 1};
        const uint8_t values[4] = {a0, a1, b0, b1};
        for (int i = 0; i < 4; ++i)
            if (addresses[i] >= 0 && addresses[i] < ImageSize) bytes_[addresses[i]].store(values[i], relaxed);
    });
}

void ControllerImage::Assign(std::span<const uint8_t, Size> values) {
    Update([&] {
        for (size_t i = 0; i < values.size(); ++i) bytes_[i].store(values[i], relaxed);
    });
}

void ControllerImage::Fill(uint8_t value) {
    Update([&] {
        for (auto& b : bytes_) b.store(value, relaxed);
    });
}

}  // namespace velmorin
