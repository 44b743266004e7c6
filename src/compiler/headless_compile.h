#pragma once
// A source file compiled without a window: read, checked, compiled and,
// when asked, written beside the source. `velmorin-cli compile` writes the
// outputs; a send or a verify from a source compiles in memory. Both go
// through CompileSource, with the same steps as the compile dialog.
#include <memory>
#include <optional>
#include <string>

#include "compiler/compile_outputs.h"
#include "compiler/program_image.h"
#include "model/ladder_model.h"
#include "model/result.h"

namespace velmorin {

enum class SourceOutputs {
    InMemory,  // nothing is written
    Beside,    // the listing and the image beside the source, as the compile command writes them
};

struct SourceCompilation {
    Result read;                          // the source could not be read: nothing else was done
    std::unique_ptr<ProgramModel> model;  // the program as read, which the diagnostics point into
    CompileRun run;
};

SourceCompilation CompileSource(const std::string& sourcePath, SourceOutputs outputs,
                                std::optional<ImageDate> date = std::nullopt);

struct HeadlessOutcome {
    int status = 0;      // 0 without errors; 1 with errors, a refused or unwritten file, or nothing to compile
    std::string report;  // one line per diagnostic, then the totals line
    std::string error;   // the message of a refused or unwritten file, or of an empty diagram
    std::string detail;  // the file and the system's reason, when a file is involved
};

// The compile command: the outputs beside the source and the report.
HeadlessOutcome CompileFile(const std::string& sourcePath, std::optional<ImageDate> date);

// One line per diagnostic of `output`, each ended by a line feed.
std::string DiagnosticLines(const ProgramModel& model, const CompileOutput& output);

}  // namespace velmorin
