#pragma once
// A source file compiled without a window: read, checked, compiled and,
// when asked, written beside the source. `velmorin-cli compile` writes the
// outputs; a send or a verify from a source compiles in memory. Both go
// through CompileSource, with the same steps as the compile dialog. And the
// way back from an image to a source file, for `velmorin-cli decompile`.
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

    // Why nothing was compiled: a refused source, an empty diagram, outputs
    // that would replace the source. Ok once the compilation ran.
    Result Refusal() const;
    bool compiled() const { return static_cast<bool>(Refusal()); }
    // Compiled without errors, and every file it had to write reached the disk.
    bool succeeded() const { return run.result == CompileResult::Clean || run.result == CompileResult::Warnings; }
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

// What `velmorin-cli decompile` runs: the image read as the send dialog reads
// it, its diagram recovered, and the source file written (through a
// temporary file) only when that diagram compiles back to the image. On a
// failure `error` and `detail` say why, and `report` lists the image.
HeadlessOutcome DecompileFile(const std::string& imagePath, const std::string& sourcePath);

}  // namespace velmorin
