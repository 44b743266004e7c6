#pragma once
// Every file the program writes goes through here: the bytes go to a fresh
// temporary file beside the target, every write and the sync are checked,
// and only a complete file is renamed over the target. An old file survives
// any failure, a full disk and a killed process included.
#include <cstdint>
#include <span>
#include <string>

#include "model/result.h"

namespace velmorin {

// Fails with "Error al abrir el archivo" when the file cannot be written; a
// target the user may not write to is refused, not replaced.
Result WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace velmorin
