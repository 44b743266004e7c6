#pragma once
// What a compilation leaves on disk, as a step after Compile: the listing
// (*.prg) and the image (*.bld) beside the source, both replaced together or
// neither. The compile dialog's worker and `velmorin-cli compile` run the
// whole job (CompileAndWrite); the live budget and a send from a source
// compile in memory and write nothing.
#include <atomic>
#include <optional>
#include <string>

#include "compiler/compiler.h"
#include "compiler/program_image.h"
#include "model/ladder_model.h"
#include "model/result.h"

namespace velmorin {

// Where the outputs of a source go: its path with the file name's extension
// replaced. An empty source path compiles in memory: both stay empty and
// nothing is touched.
struct CompileTargets {
    std::string listingPath;
    std::string imagePath;
};
CompileTargets TargetsFor(const std::string& sourcePath);

enum class PrepareOutcome {
    Started,
    NothingToCompile,  // no compilable element: nothing is written
    OverwritesSource,  // the listing or the image would replace the source file: nothing is written
};

// The checks the compile command makes before it starts, in the order the
// user meets them: something to compile, then outputs that would not
// overwrite the source (a source saved as q.prg or q.bld would be replaced
// by its own output). Cheap: the GUI runs them before starting the worker.
struct CompilePreparation {
    PrepareOutcome outcome = PrepareOutcome::NothingToCompile;
    CompileTargets targets;
    Result refusal;  // for OverwritesSource: "Error al abrir el archivo" naming the output
};
CompilePreparation PrepareCompile(const ProgramModel& model, const std::string& sourcePath);

// Writes what `output` leaves on disk: after errors the listing is removed
// and an older image stays; after a cancel the listing holds the blocks done
// so far; otherwise the listing and the image are replaced together, or
// neither is. Ok when every file reached the disk; else the first failure,
// naming its file. Empty targets are skipped.
Result WriteCompileOutputs(const CompileOutput& output, const CompileTargets& targets, const ImageDate& date);

// What a compilation came to, as the compile command sees it.
enum class CompileResult {
    NothingToCompile,  // "No hay elementos para compilar"
    Refused,           // an output would have replaced the source file
    Cancelled,
    Errors,
    Warnings,    // compiled, listing and image written, warnings to look at
    Clean,       // compiled, listing and image written
    NotWritten,  // compiled without errors, but the listing or the image could not be written
};

// What opens after the compile dialog: the error list when there is
// something to list, and the send dialog only for a program whose files
// reached the disk.
struct CompileFollowUp {
    bool errorList = false;
    bool send = false;
    bool operator==(const CompileFollowUp&) const = default;
};
CompileFollowUp FollowUpAfter(CompileResult result);

// One compile command from its checks to its files.
struct CompileRun {
    CompileTargets targets;
    CompileOutput output;
    Result files;  // Ok, the refusal of PrepareCompile, or the first output that could not be written
    CompileResult result = CompileResult::NothingToCompile;
};

// A run that never compiled: what PrepareCompile refused.
CompileRun RefusedRun(const CompilePreparation& preparation);

// Compile, then write: `targets` come from a PrepareCompile that started.
// Reports the progress of Compile, then, after a compilation without errors
// (written or not), the code length as "%04d" and `imageWritten`, and
// `finished` unless cancelled. `date` fixes the image header; without it,
// today's local date.
CompileRun CompileAndWrite(const ProgramModel& model, const CompileTargets& targets, const CompileCallbacks& callbacks,
                           const std::atomic<bool>* cancel, std::optional<ImageDate> date = std::nullopt);

// PrepareCompile and CompileAndWrite in one, for a caller without a window.
CompileRun CompileToFiles(const ProgramModel& model, const std::string& sourcePath,
                          std::optional<ImageDate> date = std::nullopt);

}  // namespace velmorin
