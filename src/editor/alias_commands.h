#pragma once
// "Exportar alias..." and "Importar alias...": the file dialogs and the
// file, around the table functions of the model (alias_csv.h) and the
// editing session's import. Every failure is shown through the prompts
// with its file and the system's reason.
#include <optional>
#include <string>
#include <vector>

#include "model/ladder_model.h"
#include "model/prompts.h"

namespace velmorin {

// Asks where (in the start-up folder, named after the source) and writes
// the table. The path written, or nothing when cancelled or refused.
std::optional<std::string> RunAliasExport(Prompts& prompts, const ProgramModel& model, const std::string& directory,
                                          const std::string& sourcePath);

struct AliasTableFile {
    std::string path;
    std::string text;
};

// Asks for a table and reads it whole. Nothing when cancelled or when the
// file cannot be read.
std::optional<AliasTableFile> AskAliasTable(Prompts& prompts, const std::string& directory);

// The memory names whose alias a save would lose: a source file keeps the
// names of the operands its program uses only.
std::vector<std::string> AliasesLostOnSave(const ProgramModel& model);

// What to tell after an import: those names, or nothing when all stay.
std::string AliasesNotKeptNote(const ProgramModel& model);

}  // namespace velmorin
