#include "compiler/compiler.h"

#include <memory>

#include "compiler/block_analysis.h"
#include "compiler/emission.h"
#include "compiler/image_finish.h"
#include "compiler/listing.h"
#include "compiler/program_checks.h"
#include "compiler/wire_pass.h"

namespace velmorin {

namespace {

// A program of one rung per block lists in about 2 KB; the densest fills
// the image and stays under 8 KB.
constexpr size_t ListingReserve = 4096;

}  // namespace

bool HasCompilableElement(const ProgramModel& model) { return AnyCompilableCell(model.grid); }

CompileOutput Compile(const ProgramModel& model, const CompileCallbacks& callbacks, const std::atomic<bool>* cancel) {
    CompileOutput out;
    // The working tables are large and fixed: off the caller's stack, and not
    // cleared beforehand (each is written before it is read).
    const auto state = std::make_unique_for_overwrite<CompileState>();
    CompileState& s = *state;
    if (!BuildCellNodeTable(s, model.grid)) return out;
    out.nothingToCompile = false;
    s.model = &model;
    s.callbacks = &callbacks;
    s.cancel = cancel;
    ReportProgress(s, "0");

    out.listing.reserve(ListingReserve);
    WirePass(s);
    for (int32_t block = 0; block < BlockCount; ++block) {
        AnalyseBlock(s, block);
        if (s.cancelled()) {
            // The listing keeps the blocks done so far; no check runs and no image is final.
            out.cancelled = true;
            break;
        }
        const int32_t start = s.image.codeLength;
        if (EmitBlock(s, block) == 0) break;
        out.listing += BlockListingText(model, s.image, block, start, s.labels[block].referenced != 0);
        if (s.recordCount > 0) s.lastBlockRecordCount = s.recordCount;
    }
    if (!out.cancelled) {
        CheckProgram(s);
        if (s.diagnostics.errorCount() == 0) {
            out.listing += FinishImage(s.labels, s.image);
            out.finalImage = true;
        }
    }

    out.limitReached = s.limitReached;
    out.image = s.image;
    out.labels = s.labels;
    out.errorCount = s.diagnostics.errorCount();
    out.warningCount = s.diagnostics.warningCount();
    out.diagnostics.reserve(static_cast<size_t>(s.diagnostics.size()));
    for (int32_t i = 0; i < s.diagnostics.size(); ++i) out.diagnostics.push_back(s.diagnostics.at(i));
    return out;
}

}  // namespace velmorin
