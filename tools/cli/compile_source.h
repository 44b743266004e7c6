#pragma once
// The one place velmorin-cli compiles: `compile` with its files, `send` and
// `verify` in memory. The compiler's results stay here for the reports.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/diagnostics.h"
#include "model/ladder_model.h"
#include "model/result.h"

namespace velmorin::cli {

struct CompiledSource {
    // Why nothing was compiled: a refused source, an empty diagram, outputs
    // that would replace the source. Ok once the compilation ran.
    Result refused = Result::Ok();
    std::unique_ptr<ProgramModel> model;
    std::unique_ptr<Compiler> compiler;
    std::vector<DiagnosticEntry> diagnostics;

    bool ran() const { return static_cast<bool>(refused); }
    // Ran without errors and every file it had to write reached the disk.
    bool succeeded() const;
};

// Without `writeFiles` the program is compiled in memory only; with it the
// listing and the image go beside the source, as the compile command writes them.
CompiledSource CompileSource(const std::string& path, bool writeFiles, std::optional<ImageDate> date);

}  // namespace velmorin::cli
