#pragma once
// The ladder source file (*.ldr): a text header line, then the occupied
// cells, the aliases and the labels those cells use, as raw bytes.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/ladder_model.h"
#include "model/result.h"

namespace velmorin {

// The bytes a save writes for the model.
std::vector<uint8_t> EncodeSourceFile(const ProgramModel& model);

// Writes atomically: a temporary file in the same folder, flushed and synced,
// then renamed over `path`. On failure the old file is untouched.
Result WriteSourceFile(const ProgramModel& model, const std::string& path);

// Loads into a model the caller has reset. On failure the model holds what
// the reset and the records read so far left in it.
Result ReadSourceBytes(ProgramModel& model, std::span<const uint8_t> bytes);
Result ReadSourceFile(ProgramModel& model, const std::string& path);

// One record of the alias section, as stored.
struct SourceAlias {
    uint8_t index = 0;
    NameField name{};
    NameField alias{};
};

// Only the alias records of a source file, for the variable monitor: the
// header and the cells are checked as a load checks them and passed over,
// the label section is not read, and no model is touched.
Result ReadSourceAliases(std::span<const uint8_t> bytes, std::vector<SourceAlias>& aliases);

}  // namespace velmorin
