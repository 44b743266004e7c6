#include "compiler/headless_compile.h"

#include <filesystem>

#include "compiler/decompiler.h"
#include "compiler/diagnostics.h"
#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {

Result SourceCompilation::Refusal() const {
    if (!read) return read;
    if (run.result == CompileResult::NothingToCompile) return Result::Fail(msg::NothingToCompile, "");
    if (run.result == CompileResult::Refused) return run.files;
    return Result::Ok();
}

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
    if (const Result refusal = compilation.Refusal(); !refusal) {
        outcome.status = 1;
        outcome.error = refusal.message;
        outcome.detail = refusal.detail;
        return outcome;
    }
    // The report still lists what the compilation found; the files' failure
    // decides the status as much as an error does.
    const CompileRun& run = compilation.run;
    if (!run.files) {
        outcome.error = run.files.message;
        outcome.detail = run.files.detail;
    }
    outcome.report = DiagnosticLines(*compilation.model, run.output);
    outcome.report += FormatCompileTotals(run.output.errorCount, run.output.warningCount, run.output.image.codeLength);
    outcome.report += '\n';
    outcome.status = compilation.succeeded() ? 0 : 1;
    return outcome;
}

HeadlessOutcome DecompileFile(const std::string& imagePath, const std::string& sourcePath) {
    HeadlessOutcome outcome;
    outcome.status = 1;
    // Writing the diagram over the image it came from would lose the image.
    std::error_code ec;
    if (std::filesystem::equivalent(imagePath, sourcePath, ec)) {
        outcome.error = msg::FileOpenError;
        outcome.detail = sourcePath + ": es la imagen que se lee";
        return outcome;
    }
    auto image = std::make_unique<CodeImage>();
    if (Result read = ReadImageFile(imagePath, *image); !read) {
        outcome.error = read.message;
        outcome.detail = read.detail;
        return outcome;
    }
    const DecompileResult recovered = Decompile(*image);
    if (!recovered) {
        outcome.error = recovered.outcome.message;
        outcome.detail = recovered.outcome.detail;
        outcome.report = recovered.listing;
        return outcome;
    }
    if (Result written = WriteSourceFile(*recovered.model, sourcePath); !written) {
        outcome.error = written.message;
        outcome.detail = written.detail;
        return outcome;
    }
    outcome.status = 0;
    return outcome;
}

}  // namespace velmorin
