#include "compiler/image_file.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include "compiler/compiler.h"
#include "compiler/numbers.h"
#include "model/messages.h"

namespace velmorin {
namespace {

constexpr const char* Magic = "~VLB";
constexpr size_t HeaderLineLimit = 510;  // characters of the first line that are read
constexpr int FieldDigits = 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// At most ten digits from `at`; `at` is left on the character that ends them.
int64_t ReadDigits(const std::string& text, size_t& at) {
    int64_t value = 0;
    for (int n = 0; n < FieldDigits && at < text.size() && IsDigit(text[at]); ++n, ++at)
        value = value * 10 + (text[at] - '0');
    return value;
}

}  // namespace

std::vector<uint8_t> EncodeImageFile(const CodeImage& image, const ImageDate& date) {
    std::string header = Magic;
    header += "| ";
    AppendZeroPadded(header, ImageVersion, 3);
    header += 'r';
    AppendZeroPadded(header, ImageRevision, 2);
    header += " |";
    AppendDecimal(header, image.codeLength);
    header += ' ';
    AppendZeroPadded(header, date.day, 2);
    header += '-';
    AppendZeroPadded(header, date.month0, 2);
    header += '-';
    AppendZeroPadded(header, date.year, 4);
    header += '\n';
    std::vector<uint8_t> bytes(header.begin(), header.end());
    const int32_t length = image.codeLength < 0 ? 0 : (image.codeLength > ImageSize ? ImageSize : image.codeLength);
    bytes.insert(bytes.end(), image.bytes.begin(), image.bytes.begin() + length);
    return bytes;
}

void WriteImageFile(const std::string& path, const CodeImage& image, const ImageDate& date) {
    if (path.empty()) return;
    const std::vector<uint8_t> bytes = EncodeImageFile(image, date);
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

Result ReadImageBytes(std::span<const uint8_t> bytes, CodeImage& image) {
    // The first line as a line reader takes it: up to and including the line
    // end, at most 510 characters; the text stops at a NUL byte.
    size_t consumed = 0;
    while (consumed < bytes.size() && consumed < HeaderLineLimit) {
        if (bytes[consumed++] == '\n') break;
    }
    std::string line;
    for (size_t i = 0; i < consumed && bytes[i] != 0; ++i) line.push_back(static_cast<char>(bytes[i]));

    if (line.compare(0, 4, Magic) != 0) return Result::Fail(msg::NotImageFile);
    size_t at = line.find('|');
    if (at == std::string::npos) return Result::Fail(msg::ImageCorrupt);
    for (int n = 0; n < FieldDigits && at < line.size() && !IsDigit(line[at]); ++n) ++at;
    const int64_t major = ReadDigits(line, at);
    if (at < line.size()) ++at;  // the 'r'
    const int64_t minor = ReadDigits(line, at);
    if (major > ImageVersion || minor > ImageRevision) return Result::Fail(msg::IncompatibleVersion);
    const size_t bar = at + 1 < line.size() ? line.find('|', at + 1) : std::string::npos;
    if (bar == std::string::npos) return Result::Fail(msg::ImageCorrupt);
    at = bar + 1;
    const int64_t length = ReadDigits(line, at);
    if (length > ImageSize) return Result::Fail(msg::ImageCorrupt);
    // A body shorter than announced is a damaged file, not a short program.
    if (bytes.size() - consumed < static_cast<size_t>(length)) return Result::Fail(msg::ImageCorrupt);

    image.Clear();
    std::copy(bytes.begin() + consumed, bytes.begin() + consumed + length, image.bytes.begin());
    image.codeLength = static_cast<int32_t>(length);
    return Result::Ok();
}

Result ReadImageFile(const std::string& path, CodeImage& image) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Result::Fail(msg::FileOpenError);
    // Header line plus the largest body: nothing past it is ever read.
    std::vector<uint8_t> bytes(HeaderLineLimit + ImageSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return ReadImageBytes(bytes, image);
}

ImageDate TodayLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon, local.tm_year + 1900};
}

}  // namespace velmorin
