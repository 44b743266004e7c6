#include "compiler/numbers.h"

#include <charconv>

namespace velmorin {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A slot holds at most ten characters, so eighteen digits never overflow;
// the cap only keeps damaged text from doing so.
constexpr int MaxDigits = 18;

}  // namespace

int64_t ParseLeadingInteger(std::string_view text) {
    return ParseScaledDecimal(text, 0);
}

int64_t ParseScaledDecimal(std::string_view text, int decimals) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    int digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (digits < MaxDigits) value = value * 10 + (text[i] - '0');
        ++digits;
    }
    int taken = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]) && taken < decimals; ++i, ++taken)
            value = value * 10 + (text[i] - '0');
    }
    for (; taken < decimals; ++taken) value *= 10;
    return negative ? -value : value;
}

void AppendDecimal(std::string& out, int64_t value) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    out.append(buffer, end);
}

void AppendZeroPadded(std::string& out, int64_t value, int width) {
    if (value < 0) {
        out.push_back('-');
        value = -value;
        --width;
    }
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    for (int n = static_cast<int>(end - buffer); n < width; ++n) out.push_back('0');
    out.append(buffer, end);
}

void AppendFixed(std::string& out, int64_t value, int decimals, int width) {
    int64_t scale = 1;
    for (int d = 0; d < decimals; ++d) scale *= 10;
    const bool negative = value < 0;
    const int64_t magnitude = negative ? -value : value;
    std::string text;
    if (negative) text.push_back('-');
    AppendDecimal(text, magnitude / scale);
    if (decimals > 0) {
        text.push_back('.');
        AppendZeroPadded(text, magnitude % scale, decimals);
    }
    for (int n = static_cast<int>(text.size()); n < width; ++n) out.push_back(' ');
    out += text;
}

void AppendHexByte(std::string& out, uint8_t value) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    out.push_back(Digits[value >> 4]);
    out.push_back(Digits[value & 0x0F]);
}

}  // namespace velmorin
