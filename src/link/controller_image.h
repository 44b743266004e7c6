#pragma once
// The controller bytes a monitor has polled, by address. One thread (the
// poll worker) stores replies while another (the drawing) reads: every byte
// is atomic, and a reader that needs several bytes at once (a 16-bit count
// state, the whole image) gets them from one reply, never half of one.
#include <array>
#include <atomic>
#include <cstdint>

#include "compiler/code_image.h"

namespace velmorin {

class ControllerImage {
public:
    ControllerImage() { Fill(0); }

    uint8_t Byte(int address) const;
    // Low byte at `address`, high byte after it.
    uint16_t Word(int address) const;
    std::array<uint8_t, ImageSize> Snapshot() const;

    // For the single writer. Addresses outside 0..255 are ignored.
    void Store(int address, uint8_t value);
    // A poll reply: two bytes at `a`, then two at `b` (so `b` wins where the two overlap).
    void StorePair(int a, uint8_t a0, uint8_t a1, int b, uint8_t b0, uint8_t b1);
    void Fill(uint8_t value);

private:
    template <typename Write>
    void Update(Write write);
    template <typename Read>
    void Consistent(Read read) const;

    std::array<std::atomic<uint8_t>, ImageSize> bytes_;
    std::atomic<uint32_t> sequence_{0};  // odd while a store is under way
};

}  // namespace velmorin
