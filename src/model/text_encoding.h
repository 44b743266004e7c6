#pragma once
// Aliases and label names are single-byte Windows-1252 text in the model and
// in the files; whatever shows them to a person converts here.
#include <optional>
#include <string>
#include <string_view>

namespace velmorin {

// Every byte maps to one code point; the five bytes that code page 1252 leaves
// undefined map to the C1 controls of the same value, so nothing is lost.
std::string Windows1252ToUtf8(std::string_view bytes);

// Nothing when the text is not valid UTF-8 or holds a character that code
// page 1252 cannot spell.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

bool IsValidUtf8(std::string_view text);

// Equal ignoring letter case, for Windows-1252 bytes: how aliases and label
// names are told apart, so that no two of them differ only in case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace velmorin
