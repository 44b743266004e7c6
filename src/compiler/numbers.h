#pragma once
// Number text of the listing, the image header and the time operands. The
// C library's conversions follow LC_NUMERIC (a Spanish desktop would turn
// "2.5" into 2 and print "25,5"), so these work on the digits themselves.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmorin {

// Leading decimal integer of a text the way a C atoi reads it: optional
// blanks, an optional sign, then digits; anything after them is ignored.
int64_t ParseLeadingInteger(std::string_view text);

// Leading decimal number times 10^decimals, truncated toward zero, computed
// on the digits so that "2.3" with one decimal gives 23 exactly.
int64_t ParseScaledDecimal(std::string_view text, int decimals);

// Appends `value` / 10^decimals with exactly `decimals` digits after the
// point, right-aligned in at least `width` characters ("%4.1f" of value/10).
void AppendFixed(std::string& out, int64_t value, int decimals, int width);

void AppendDecimal(std::string& out, int64_t value);
// Zero-padded to at least `width` digits ("%02d", "%04d").
void AppendZeroPadded(std::string& out, int64_t value, int width);
// Two upper-case hexadecimal digits ("%02X").
void AppendHexByte(std::string& out, uint8_t value);

}  // namespace velmorin
