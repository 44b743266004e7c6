#include "model/header_line.h"

#include <cstdio>
#include <cstring>

namespace velmorin {
namespace {

constexpr int FieldDigits = 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

HeaderLine ReadHeaderLine(std::span<const uint8_t> bytes, size_t limit) {
    HeaderLine line;
    while (line.consumed < bytes.size() && line.consumed < limit) {
        if (bytes[line.consumed++] == '\n') break;
    }
    for (size_t i = 0; i < line.consumed && bytes[i] != 0; ++i) line.text.push_back(static_cast<char>(bytes[i]));
    return line;
}

bool HasMagic(const std::string& line, const char* magic) { return line.compare(0, std::strlen(magic), magic) == 0; }

int64_t ReadHeaderDigits(const std::string& line, size_t& at) {
    int64_t value = 0;
    for (int n = 0; n < FieldDigits && at < line.size() && IsDigit(line[at]); ++n, ++at)
        value = value * 10 + (line[at] - '0');
    return value;
}

std::optional<HeaderVersion> ParseHeaderVersion(const std::string& line) {
    size_t at = line.find('|');
    if (at == std::string::npos) return std::nullopt;
    for (int n = 0; n < FieldDigits && at < line.size() && !IsDigit(line[at]); ++n) ++at;
    HeaderVersion v;
    v.version = ReadHeaderDigits(line, at);
    if (at < line.size()) ++at;  // the 'r'
    v.revision = ReadHeaderDigits(line, at);
    v.end = at;
    return v;
}

std::optional<size_t> HeaderFieldsStart(const std::string& line, const HeaderVersion& version) {
    if (version.end + 1 >= line.size()) return std::nullopt;
    const size_t bar = line.find('|', version.end + 1);
    if (bar == std::string::npos) return std::nullopt;
    return bar + 1;
}

std::string FormatHeaderStart(const char* magic, int version, int revision) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4s| %03dr%02d ", magic, version, revision);
    return text;
}

}  // namespace velmorin
