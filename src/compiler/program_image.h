#pragma once
// The controller program as the system keeps it: 256 bytes and the length
// used, the date its file header carries, and the binary image file (*.bld)
// that the compiler writes, the upload writes and the send dialog, the
// command line and the simulator read. Standard C++ only, so the link and
// the tools take the image without the compiler.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/result.h"

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

struct ImageDate {
    int day;     // 1..31
    int month0;  // 0..11, January is 0
    int year;
};

// Today's local date for a header.
ImageDate TodayLocal();
// "YYYY-MM-DD" as a header date; nothing when it is not a date.
std::optional<ImageDate> ParseIsoDate(const std::string& text);

constexpr int32_t ImageVersion = 100;
constexpr int32_t ImageRevision = 1;

// Who made the image decides how its header reads: a compilation writes
// "~VLB| 100r01 |42 06-11-2026\n", an upload "~VLB| 100r01 |256 rcv
// 06-11-2026 \n" with the controller's date. The month counts from 0 as the
// controller's date stamp does. The body is the first codeLength bytes.
enum class ImageOrigin { Compiled, Received };

std::vector<uint8_t> EncodeImageFile(const CodeImage& image, const ImageDate& date,
                                     ImageOrigin origin = ImageOrigin::Compiled);
// Written atomically: an older image survives a failed write.
Result WriteImageFile(const std::string& path, const CodeImage& image, const ImageDate& date,
                      ImageOrigin origin = ImageOrigin::Compiled);

// Reads an image; on any refusal `image` is left as it was and the result
// carries the message to show. Both header forms are read the same way.
Result ReadImageBytes(std::span<const uint8_t> bytes, CodeImage& image);
Result ReadImageFile(const std::string& path, CodeImage& image);

}  // namespace velmorin
