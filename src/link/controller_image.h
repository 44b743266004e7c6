#pragma once
// The controller bytes a monitor has polled, by address. Each image has one
// owner thread: a poll worker keeps its own and hands the interface thread
// what it received as a whole (ReceivedBytes), which the window takes into
// the image it shows.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>

#include "compiler/program_image.h"

namespace velmorin {

// What a poll worker received since its last report: the bytes of its image
// and which addresses a reply has written.
struct ReceivedBytes {
    std::array<uint8_t, ImageSize> bytes{};
    std::bitset<ImageSize> received;
};

class ControllerImage {
public:
    static constexpr int Size = ImageSize;
    using Bytes = std::array<uint8_t, Size>;

    ControllerImage() = default;

    static constexpr bool Holds(int address) { return address >= 0 && address < Size; }

    // Outside the image a read gives 0 and a write does nothing, so a bad
    // address from a reply or a file never reaches past the 256 bytes.
    uint8_t Byte(int address) const { return Holds(address) ? bytes_[static_cast<size_t>(address)] : 0; }
    // Low byte at `address`, high byte after it.
    uint16_t Word(int address) const { return static_cast<uint16_t>(Byte(address) | (Byte(address + 1) << 8)); }
    Bytes Snapshot() const { return bytes_; }

    void Store(int address, uint8_t value);
    void SetByte(int address, uint8_t value) { Store(address, value); }
    // A poll reply: two bytes at `a`, then two at `b` (so `b` wins where the two overlap).
    void StorePair(int a, uint8_t a0, uint8_t a1, int b, uint8_t b0, uint8_t b1);
    void Assign(std::span<const uint8_t, Size> bytes);
    void Fill(uint8_t value) { bytes_.fill(value); }
    void Clear() { Fill(0); }
    // The received addresses of a worker's report; the others keep their values.
    void Take(const ReceivedBytes& report);

private:
    Bytes bytes_{};
};

// The live diagram's polled bytes and the variable monitor's: one type, two owners.
using LiveImage = ControllerImage;
using MonitorImage = ControllerImage;

}  // namespace velmorin
