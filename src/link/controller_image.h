#pragma once
// The controller bytes a monitor has polled, by address. One thread (the
// poll worker) stores replies while another (the drawing) reads: every byte
// is atomic, and a reader that needs several bytes at once (a 16-bit count
// state, the whole image) gets them from one reply, never half of one.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "compiler/program_image.h"

namespace velmorin {

class ControllerImage {
public:
    static constexpr int Size = ImageSize;
    using Bytes = std::array<uint8_t, Size>;

    ControllerImage() { Fill(0); }
    ControllerImage(const ControllerImage&) = delete;
    ControllerImage& operator=(const ControllerImage&) = delete;

    static constexpr bool Holds(int address) { return address >= 0 && address < Size; }

    // Outside the image a read gives 0 and a write does nothing, so a bad
    // address from a reply or a file never reaches past the 256 bytes.
    uint8_t Byte(int address) const;
    // Low byte at `address`, high byte after it.
    uint16_t Word(int address) const;
    Bytes Snapshot() const;

    // Writers: the poll worker, and the interface thread loading a file.
    void Store(int address, uint8_t value);
    void SetByte(int address, uint8_t value) { Store(address, value); }
    // A poll reply: two bytes at `a`, then two at `b` (so `b` wins where the two overlap).
    void StorePair(int a, uint8_t a0, uint8_t a1, int b, uint8_t b0, uint8_t b1);
    void Assign(std::span<const uint8_t, Size> bytes);
    void Fill(uint8_t value);
    void Clear() { Fill(0); }

private:
    template <typename Write>
    void Update(Write write);
    template <typename Read>
    void Consistent(Read read) const;

    std::array<std::atomic<uint8_t>, Size> bytes_;
    std::atomic<uint32_t> sequence_{0};  // odd while a store is under way
};

// The live diagram's polled bytes and the variable monitor's: one type, two owners.
using LiveImage = ControllerImage;
using MonitorImage = ControllerImage;

}  // namespace velmorin
