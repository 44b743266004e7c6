#include "compiler/headless_compile.h"

#include "compiler/diagnostics.h"
#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {

SourceCompilation CompileSource(const std::string& sourcePath, SourceOutputs outputs, std::optional<ImageDate> date) {
    SourceCompilation compilation;
    // The model is a large fixed table: keep it off the stack.
    compilation.model = std::make_unique<ProgramModel>();
    ResetModel(*compilation.model);
    compilation.read = ReadSourceFile(*compilation.model, sourcePath);
    if (!compilation.read) return compilation;
    compilation.run =
        CompileToFiles(*compilation.model, outputs == SourceOutputs::Beside ? sourcePath : std::string(), date);
    return compilation;
}

std::string DiagnosticLines(const ProgramModel& model, const CompileOutput& output) {
    std::string lines;
    for (const DiagnosticEntry& entry : output.diagnostics) {
        lines += FormatDiagnosticLine(model, entry);
        lines += '\n';
    }
    return lines;
}

HeadlessOutcome CompileFile(const std::string& sourcePath, std::optional<ImageDate> date) {
    HeadlessOutcome outcome;
    const SourceCompilation compilation = CompileSource(sourcePath, SourceOutputs::Beside, date);
    const CompileRun& run = compilation.run;
    if (!compilation.read) {
        outcome.status = 1;
        outcome.error = compilation.read.message;
        outcome.detail = compilation.read.detail;
        return outcome;
    }
    if (run.result == CompileResult::NothingToCompile) {
        outcome.status = 1;
        outcome.error = msg::NothingToCompile;
        return outcome;
    }
    // A refusal reports nothing else; after a compilation the report still
    // lists what it found, and the files' failure decides the status as
    // much as an error does.
    if (!run.files) {
        outcome.error = run.files.message;
        outcome.detail = run.files.detail;
    }
    if (run.result == CompileResult::Refused) {
        outcome.status = 1;
        return outcome;
    }
    outcome.report = DiagnosticLines(*compilation.model, run.output);
    outcome.report += FormatCompileTotals(run.output.errorCount, run.output.warningCount, run.output.image.codeLength);
    outcome.report += '\n';
    outcome.status = run.output.errorCount > 0 || !run.files ? 1 : 0;
    return outcome;
}

}  // namespace velmorin
