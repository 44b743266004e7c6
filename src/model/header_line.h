#pragma once
// The first line of each of the program's own files: a four-character magic,
// a bar, a three-digit version, 'r', a two-digit revision and fields of the
// format's own. The three readers take it apart with these routines.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace velmorin {

struct HeaderLine {
    std::string text;     // up to and including the LF; the text stops at a NUL byte
    size_t consumed = 0;  // bytes of the file the line took, LF included
};

// The first line as a line reader with a buffer of `limit` + 1 characters sees it.
HeaderLine ReadHeaderLine(std::span<const uint8_t> bytes, size_t limit);

bool HasMagic(const std::string& line, const char* magic);

struct HeaderVersion {
    int64_t version = 0;
    int64_t revision = 0;
    size_t end = 0;  // index of the character that ended the revision's digits
};

// After the first bar: at most ten non-digits skipped, at most ten digits of
// version, one character (the 'r') skipped, at most ten digits of revision.
// Nothing when the line has no bar.
std::optional<HeaderVersion> ParseHeaderVersion(const std::string& line);

// At most ten decimal digits from `at`; `at` is left on the character that ends them.
int64_t ReadHeaderDigits(const std::string& line, size_t& at);

// Where the format's own fields begin: just after the bar that closes the
// version, searched from the character after the one that ended the
// revision's digits. Nothing when there is no such bar.
std::optional<size_t> HeaderFieldsStart(const std::string& line, const HeaderVersion& version);

// The part every writer begins with: "~VLB| 100r01 " (magic, bar, blank,
// three-digit version, 'r', two-digit revision, blank). The format's own
// fields follow.
std::string FormatHeaderStart(const char* magic, int version, int revision);

}  // namespace velmorin
