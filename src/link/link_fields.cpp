#include "link/link_fields.h"

#include <cctype>
#include <cstdio>

namespace velmorin {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The digits of a whole decimal field, saturated well above 255; nothing when
// anything but digits is there.
std::optional<int> WholeDecimal(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value > 100000 ? value : value * 10 + (c - '0');
    }
    return value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<uint8_t> ParseIdentifier(std::string_view text) {
    const std::optional<int> value = WholeDecimal(text);
    if (!value || *value < MinControllerId || *value > MaxControllerId) return std::nullopt;
    return static_cast<uint8_t>(*value);
}

uint8_t ReadIdentifierField(std::string_view text, uint8_t fallback) {
    const std::optional<int> value = WholeDecimal(text);
    if (!value) return fallback < MinControllerId ? MinControllerId : fallback;
    if (*value < MinControllerId) return MinControllerId;
    if (*value > MaxControllerId) return MaxControllerId;
    return static_cast<uint8_t>(*value);
}

std::string FormatIdentifier(int id) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", id);
    return text;
}

std::optional<uint16_t> ParsePassword(std::string_view text) {
    if (text.size() != 4) return std::nullopt;
    uint16_t value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = static_cast<uint16_t>((value << 4) | digit);
    }
    return value;
}

std::string FormatPasswordByte(uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

}  // namespace velmorin
