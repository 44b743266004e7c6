#pragma once
// The controller program in memory: 256 bytes and the length used.
#include <array>
#include <cstdint>

namespace velmorin {

constexpr int32_t ImageSize = 256;
constexpr uint8_t UnwrittenByte = 0xCD;

struct CodeImage {
    std::array<uint8_t, ImageSize> bytes;
    int32_t codeLength = 0;

    CodeImage() { Clear(); }
    void Clear() {
        bytes.fill(UnwrittenByte);
        codeLength = 0;
    }
};

}  // namespace velmorin
