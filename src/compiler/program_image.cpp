#include "compiler/program_image.h"

#include <algorithm>
#include <charconv>
#include <ctime>

#include "compiler/numbers.h"
#include "model/atomic_file.h"
#include "model/header_line.h"
#include "model/messages.h"

namespace velmorin {
namespace {

constexpr const char* Magic = "~VLB";
constexpr size_t HeaderLineLimit = 510;  // characters of the first line that are read

void AppendDate(std::string& out, const ImageDate& date) {
    AppendZeroPadded(out, date.day, 2);
    out += '-';
    AppendZeroPadded(out, date.month0, 2);
    out += '-';
    AppendZeroPadded(out, date.year, 4);
}

}  // namespace

ImageDate TodayLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon, local.tm_year + 1900};
}

std::optional<ImageDate> ParseIsoDate(const std::string& text) {
    int year = 0, month = 0, day = 0;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    auto field = [&](int& value, size_t digits, bool dash) {
        const char* stop = p + digits;
        if (stop > end) return false;
        auto [ptr, ec] = std::from_chars(p, stop, value);
        if (ec != std::errc() || ptr != stop) return false;
        p = stop;
        if (dash) {
            if (p == end || *p != '-') return false;
            ++p;
        }
        return true;
    };
    if (!field(year, 4, true) || !field(month, 2, true) || !field(day, 2, false) || p != end) return std::nullopt;
    static constexpr int DaysIn[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > DaysIn[month - 1]) return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return std::nullopt;
    return ImageDate{day, month - 1, year};
}

std::vector<uint8_t> EncodeImageFile(const CodeImage& image, const ImageDate& date, ImageOrigin origin) {
    const int32_t length = std::clamp(image.codeLength, 0, ImageSize);
    std::string header = FormatHeaderStart(Magic, ImageVersion, ImageRevision);
    header += '|';
    AppendDecimal(header, length);
    if (origin == ImageOrigin::Received) {
        header += " rcv ";
        AppendDate(header, date);
        header += ' ';
    } else {
        header += ' ';
        AppendDate(header, date);
    }
    header += '\n';
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), image.bytes.begin(), image.bytes.begin() + length);
    return bytes;
}

Result WriteImageFile(const std::string& path, const CodeImage& image, const ImageDate& date, ImageOrigin origin) {
    return WriteFileAtomically(path, EncodeImageFile(image, date, origin));
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

}  // namespace velmorin
