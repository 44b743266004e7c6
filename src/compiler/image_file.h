#pragma once
// The binary image file (*.bld): one text header line, then the program.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "compiler/code_image.h"
#include "model/result.h"

namespace velmorin {

struct ImageDate;

constexpr int32_t ImageVersion = 100;
constexpr int32_t ImageRevision = 1;

// "~VLB| 100r01 |42 06-11-2026\n" followed by codeLength bytes; the month
// counts from 0 as the controller's date stamp does.
std::vector<uint8_t> EncodeImageFile(const CodeImage& image, const ImageDate& date);
// Written atomically: an older image survives a failed write.
Result WriteImageFile(const std::string& path, const CodeImage& image, const ImageDate& date);

// Reads an image; on any refusal `image` is left as it was and the result
// carries the message to show.
Result ReadImageBytes(std::span<const uint8_t> bytes, CodeImage& image);
Result ReadImageFile(const std::string& path, CodeImage& image);

// Today's local date for the header.
ImageDate TodayLocal();

}  // namespace velmorin
