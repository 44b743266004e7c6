#pragma once
// The operand names as a table a spreadsheet opens: UTF-8 text, the header
// `memoria;alias`, then one row per named operand with its memory name as
// the program shows it (E1, S3, V12, CNT1). Fields are separated by ';' and
// quoted with '"' when they hold one.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ladder_model.h"
#include "model/result.h"

namespace velmorin {

// The header, then every named operand in index order.
std::string FormatAliasCsv(const ProgramModel& model);

struct AliasAssignment {
    int32_t index = 0;  // variable index
    NameField alias{};  // Windows-1252, NUL-terminated
    bool operator==(const AliasAssignment&) const = default;
};

// Reads a table and checks every row against the model before anything is
// taken: an unknown memory name, one named twice, an alias longer than 8
// bytes in Windows-1252 or not writable in it, with spaces or control
// characters, or equal (ignoring case) to another operand's alias once the
// table is applied. A refusal's detail names the line. An empty alias gives
// the operand back its default name. The model is not changed.
Result ParseAliasCsv(const ProgramModel& model, std::string_view text, std::vector<AliasAssignment>& assignments);

void ApplyAliases(ProgramModel& model, const std::vector<AliasAssignment>& assignments);

// The table through the atomic writer, and a table file read whole (one
// of more than 1 MiB is refused rather than read in part).
Result WriteAliasCsvFile(const ProgramModel& model, const std::string& path);
Result ReadAliasCsvFile(const std::string& path, std::string& text);

}  // namespace velmorin
