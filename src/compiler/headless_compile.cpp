#include "compiler/headless_compile.h"

#include <charconv>
#include <filesystem>
#include <memory>

#include "compiler/decompiler.h"
#include "compiler/diagnostics.h"
#include "compiler/image_file.h"
#include "compiler/numbers.h"
#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {

HeadlessOutcome CompileFile(const std::string& sourcePath, std::optional<ImageDate> date) {
    HeadlessOutcome outcome;
    // The model and the compiler are large fixed tables: keep them off the stack.
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    if (Result read = ReadSourceFile(*model, sourcePath); !read) {
        outcome.status = 1;
        outcome.error = read.message;
        outcome.detail = read.detail;
        return outcome;
    }
    auto compiler = std::make_unique<Compiler>();
    switch (compiler->Prepare(*model, sourcePath)) {
        case PrepareOutcome::NothingToCompile:
            outcome.status = 1;
            outcome.error = msg::NothingToCompile;
            return outcome;
        case PrepareOutcome::OverwritesSource:
            outcome.status = 1;
            outcome.error = compiler->fileResult().message;
            outcome.detail = compiler->fileResult().detail;
            return outcome;
        case PrepareOutcome::Started:
            break;
    }
    compiler->Run(*model, CompileCallbacks{}, date);
    // The report still lists what the compilation found; the files' failure
    // decides the status as much as an error does.
    if (const Result& files = compiler->fileResult(); !files) {
        outcome.error = files.message;
        outcome.detail = files.detail;
    }
    for (int i = 0; i < compiler->diagnosticCount(); ++i) {
        const Compiler::Diagnostic d = compiler->diagnostic(i);
        outcome.report += FormatDiagnosticLine(*model, {d.key, d.column, d.row});
        outcome.report += '\n';
    }
    outcome.report += FormatCompileTotals(compiler->errorCount(), compiler->warningCount(), compiler->codeLength());
    outcome.report += '\n';
    outcome.status = compiler->errorCount() > 0 || !compiler->fileResult() ? 1 : 0;
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

std::optional<ImageDate> ParseIsoDate(const std::string& text) {
    int year = 0, month = 0, day = 0;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    auto field = [&](int& value, size_t digits, bool dash) {
        const char* stop = p + digits;
        if (stop > end) return false;
        auto [ptr, ec] = std::from_chars(p, stop, value);
        if (ec != std::errc() || ptr != stop) return false;
        p = stop;
        if (dash) {
            if (p == end || *p != '-') return false;
            ++p;
        }
        return true;
    };
    if (!field(year, 4, true) || !field(month, 2, true) || !field(day, 2, false) || p != end) return std::nullopt;
    static constexpr int DaysIn[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > DaysIn[month - 1]) return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return std::nullopt;
    return ImageDate{day, month - 1, year};
}

}  // namespace velmorin
