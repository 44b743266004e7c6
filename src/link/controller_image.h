#pragma once
// A copy of the controller's 256-byte variable space, indexed by controller
// address. A poll worker writes it while the interface thread reads it, so
// every byte is its own atomic: a reader never races the writer, though a
// word may show one new and one old byte until the next reply (each byte
// is always a byte some reply carried).
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmorin {

class ControllerImage {
public:
    static constexpr int Size = 256;
    using Bytes = std::array<uint8_t, Size>;

    ControllerImage() = default;
    ControllerImage(const ControllerImage&) = delete;
    ControllerImage& operator=(const ControllerImage&) = delete;

    static constexpr bool Holds(int address) { return address >= 0 && address < Size; }

    // Outside the image a read gives 0 and a write does nothing, so a bad
    // address from a reply or a file never reaches past the 256 bytes.
    uint8_t Byte(int address) const {
        return Holds(address) ? bytes_[static_cast<size_t>(address)].load(std::memory_order_relaxed) : 0;
    }
    void SetByte(int address, uint8_t value) {
        if (Holds(address)) bytes_[static_cast<size_t>(address)].store(value, std::memory_order_relaxed);
    }
    // Low byte at `address`, high byte at the next one.
    uint16_t Word(int address) const { return static_cast<uint16_t>(Byte(address) | (Byte(address + 1) << 8)); }

    Bytes Snapshot() const {
        Bytes out{};
        for (size_t i = 0; i < out.size(); ++i) out[i] = bytes_[i].load(std::memory_order_relaxed);
        return out;
    }
    void Assign(std::span<const uint8_t, Size> bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) bytes_[i].store(bytes[i], std::memory_order_relaxed);
    }
    void Clear() {
        for (auto& b : bytes_) b.store(0, std::memory_order_relaxed);
    }

private:
    std::array<std::atomic<uint8_t>, Size> bytes_{};
};

// The live diagram's polled bytes and the variable monitor's: one type, two owners.
using LiveImage = ControllerImage;
using MonitorImage = ControllerImage;

}  // namespace velmorin
