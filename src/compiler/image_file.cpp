#include "compiler/image_file.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include "compiler/compiler.h"
#include "compiler/numbers.h"
#include "model/header_line.h"
#include "model/messages.h"

namespace velmorin {
namespace {

constexpr const char* Magic = "~VLB";
constexpr size_t HeaderLineLimit = 510;  // characters of the first line that are read

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
    const HeaderLine header = ReadHeaderLine(bytes, HeaderLineLimit);
    const std::string& line = header.text;
    const size_t consumed = header.consumed;
    if (!HasMagic(line, Magic)) return Result::Fail(msg::NotImageFile);
    const std::optional<HeaderVersion> v = ParseHeaderVersion(line);
    if (!v) return Result::Fail(msg::ImageCorrupt);
    if (v->version > ImageVersion || v->revision > ImageRevision) return Result::Fail(msg::IncompatibleVersion);
    const size_t bar = v->end + 1 < line.size() ? line.find('|', v->end + 1) : std::string::npos;
    if (bar == std::string::npos) return Result::Fail(msg::ImageCorrupt);
    size_t at = bar + 1;
    const int64_t length = ReadHeaderDigits(line, at);
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
