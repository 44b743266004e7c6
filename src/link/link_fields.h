#pragma once
// The controller identifier and the transfer password as their fields show
// them and as the command line takes them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmorin {

constexpr int MinControllerId = 1;
constexpr int MaxControllerId = 255;

// A whole decimal number in 1..255 (surrounding blanks allowed); nothing otherwise.
std::optional<uint8_t> ParseIdentifier(std::string_view text);
// An identifier field read whole: a number outside 1..255 is brought to the
// nearest end, a field that is not a number gives `fallback`.
uint8_t ReadIdentifierField(std::string_view text, uint8_t fallback);
// "%03d": 7 shows as 007.
std::string FormatIdentifier(int id);

// "HHLL": four hexadecimal digits, the high byte first as the two fields show it.
std::optional<uint16_t> ParsePassword(std::string_view text);
// "%02X" of one password byte.
std::string FormatPasswordByte(uint8_t value);

}  // namespace velmorin
