#include "compiler/image_file.h"

#include <ctime>

#include "compiler/compiler.h"
#include "compiler/numbers.h"
#include "model/atomic_file.h"
#include "model/header_line.h"
#include "model/messages.h"

namespace velmorin {
namespace {

constexpr const char* Magic = "~VLB";
constexpr size_t HeaderLineLimit = 510;  // characters of the first line that are read

}  // namespace

std::vector<uint8_t> EncodeImageFile(const CodeImage& image, const ImageDate& date) {
    std::string header = FormatHeaderStart(Magic, ImageVersion, ImageRevision);
    header += '|';
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

Result WriteImageFile(const std::string& path, const CodeImage& image, const ImageDate& date) {
    return WriteFileAtomically(path, EncodeImageFile(image, date));
}

Result ReadImageBytes(std::span<const uint8_t> bytes, CodeImage& image) {
    const HeaderLine header = ReadHeaderLine(bytes, HeaderLineLimit);
    const std::string& line = header.text;
    const size_t consumed = header.consumed;
    if (!HasMagic(line, Magic)) return Result::Fail(msg::NotImageFile);
    const std::optional<HeaderVersion> v = ParseHeaderVersion(line);
    if (!v) return Result::Fail(msg::ImageCorrupt);
    if (v->version > ImageVersion || v->revision > ImageRevision) return Result::Fail(msg::IncompatibleVersion);
    const std::optional<size_t> fields = HeaderFieldsStart(line, *v);
    if (!fields) return Result::Fail(msg::ImageCorrupt);
    size_t at = *fields;
    const int64_t length = ReadHeaderDigits(line, at);
    // The compiler never writes an empty program and an upload always holds
    // 256 bytes: a header without a length is damage, and sending it would
    // download nothing but fill to a machine.
    if (length <= 0 || length > ImageSize) return Result::Fail(msg::ImageCorrupt);
    // A body shorter than announced is a damaged file, not a short program.
    if (bytes.size() - consumed < static_cast<size_t>(length)) return Result::Fail(msg::ImageCorrupt);

    image.Clear();
    std::copy(bytes.begin() + consumed, bytes.begin() + consumed + length, image.bytes.begin());
    image.codeLength = static_cast<int32_t>(length);
    return Result::Ok();
}

Result ReadImageFile(const std::string& path, CodeImage& image) {
    // Header line plus the largest body: nothing past it is ever read.
    std::vector<uint8_t> bytes;
    if (Result read = ReadFileBytes(path, HeaderLineLimit + ImageSize, bytes); !read) return read;
    Result loaded = ReadImageBytes(bytes, image);
    if (!loaded) loaded.detail = path;
    return loaded;
}

ImageDate TodayLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon, local.tm_year + 1900};
}

}  // namespace velmorin
