#include "compiler/compile_outputs.h"

#include <filesystem>
#include <span>
#include <utility>
#include <vector>

#include "compiler/listing.h"
#include "compiler/numbers.h"
#include "model/atomic_file.h"
#include "model/messages.h"

namespace velmorin {

namespace {

namespace fs = std::filesystem;

// Whether two paths name one file: the same file when both exist (links
// included), else the same place once made absolute.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    std::error_code ecA, ecB;
    const fs::path placeA = fs::weakly_canonical(fs::absolute(a, ecA), ecA);
    const fs::path placeB = fs::weakly_canonical(fs::absolute(b, ecB), ecB);
    return !ecA && !ecB && placeA == placeB;
}

std::span<const uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

CompileResult ResultOf(const CompileOutput& output, const Result& files) {
    if (output.nothingToCompile) return CompileResult::NothingToCompile;
    if (output.cancelled) return CompileResult::Cancelled;
    if (output.errorCount > 0) return CompileResult::Errors;
    if (!files) return CompileResult::NotWritten;
    return output.warningCount > 0 ? CompileResult::Warnings : CompileResult::Clean;
}

}  // namespace

CompileTargets TargetsFor(const std::string& sourcePath) {
    if (sourcePath.empty()) return {};
    return {OutputPath(sourcePath, ".prg"), OutputPath(sourcePath, ".bld")};
}

CompilePreparation PrepareCompile(const ProgramModel& model, const std::string& sourcePath) {
    CompilePreparation preparation;
    if (!HasCompilableElement(model)) return preparation;
    preparation.targets = TargetsFor(sourcePath);
    for (const std::string& output : {preparation.targets.listingPath, preparation.targets.imagePath}) {
        if (!output.empty() && SameFile(output, sourcePath)) {
            preparation.outcome = PrepareOutcome::OverwritesSource;
            preparation.refusal = Result::Fail(msg::FileOpenError, output + ": es el archivo fuente del programa");
            return preparation;
        }
    }
    preparation.outcome = PrepareOutcome::Started;
    return preparation;
}

Result WriteCompileOutputs(const CompileOutput& output, const CompileTargets& targets, const ImageDate& date) {
    if (output.nothingToCompile) return Result::Ok();
    if (output.cancelled) {
        // The listing holds the blocks done so far; no image is written.
        if (targets.listingPath.empty()) return Result::Ok();
        return WriteFileAtomically(targets.listingPath, output.listing);
    }
    if (!output.finalImage) {
        // An older image stays: only the listing of this failed run goes.
        if (targets.listingPath.empty()) return Result::Ok();
        return RemoveFile(targets.listingPath);
    }
    // The listing describes the image byte for byte: both are replaced, or
    // neither is, so an older pair never ends up half new.
    const std::vector<uint8_t> imageFile = EncodeImageFile(output.image, date);
    std::vector<FileToWrite> files;
    if (!targets.listingPath.empty()) files.push_back({targets.listingPath, BytesOf(output.listing)});
    if (!targets.imagePath.empty()) files.push_back({targets.imagePath, imageFile});
    return WriteFilesTogether(files);
}

CompileFollowUp FollowUpAfter(CompileResult result) {
    switch (result) {
        case CompileResult::Errors:
            return {true, false};
        case CompileResult::Warnings:
            return {true, true};
        case CompileResult::Clean:
            return {false, true};
        default:
            return {};
    }
}

CompileRun RefusedRun(const CompilePreparation& preparation) {
    CompileRun run;
    run.targets = preparation.targets;
    if (preparation.outcome == PrepareOutcome::OverwritesSource) {
        run.files = preparation.refusal;
        run.result = CompileResult::Refused;
    }
    return run;
}

CompileRun CompileAndWrite(const ProgramModel& model, const CompileTargets& targets, const CompileCallbacks& callbacks,
                           const std::atomic<bool>* cancel, std::optional<ImageDate> date) {
    CompileRun run;
    run.targets = targets;
    run.output = Compile(model, callbacks, cancel);
    run.files = WriteCompileOutputs(run.output, targets, date ? *date : TodayLocal());
    run.result = ResultOf(run.output, run.files);
    if (run.output.nothingToCompile || run.output.cancelled) return run;
    if (run.output.finalImage) {
        std::string length;
        AppendZeroPadded(length, run.output.image.codeLength, 4);
        if (callbacks.progress) callbacks.progress(length);
        if (callbacks.imageWritten) callbacks.imageWritten();
    }
    if (callbacks.finished) callbacks.finished(!run.output.diagnostics.empty());
    return run;
}

CompileRun CompileToFiles(const ProgramModel& model, const std::string& sourcePath, std::optional<ImageDate> date) {
    const CompilePreparation preparation = PrepareCompile(model, sourcePath);
    if (preparation.outcome != PrepareOutcome::Started) return RefusedRun(preparation);
    return CompileAndWrite(model, preparation.targets, CompileCallbacks{}, nullptr, date);
}

}  // namespace velmorin
