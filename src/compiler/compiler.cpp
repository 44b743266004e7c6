#include "compiler/compiler.h"

#include <cassert>
#include <cstdio>

#include "compiler/block_analysis.h"
#include "compiler/compiler_impl.h"
#include "compiler/emission.h"
#include "compiler/image_file.h"
#include "compiler/listing.h"
#include "compiler/numbers.h"
#include "compiler/program_checks.h"
#include "compiler/wire_pass.h"

namespace velmorin {

Compiler::Compiler() : impl_(std::make_unique<CompilerImpl>()) {}
Compiler::~Compiler() = default;

PrepareOutcome Compiler::Prepare(ProgramModel& model, const std::string& sourcePath) {
    CompilerImpl& c = *impl_;
    CompileState& s = c.state;
    c.cancel.store(false);
    c.prepared = false;
    c.finalImage = false;
    c.cancelled = false;
    if (!BuildCellNodeTable(s, model.grid)) return PrepareOutcome::NothingToCompile;

    s.diagnostics.Reset();
    c.listingPath = sourcePath.empty() ? std::string() : OutputPath(sourcePath, ".prg");
    c.imagePath = sourcePath.empty() ? std::string() : OutputPath(sourcePath, ".bld");
    for (LabelEntry& label : model.labels) label.referenced = 0;
    s.image.Clear();
    c.listing.clear();
    if (!c.listingPath.empty()) {
        if (std::FILE* f = std::fopen(c.listingPath.c_str(), "wb")) std::fclose(f);
    }
    s.jumpCount = 0;
    s.lastEmittedElement = -1;
    c.prepared = true;
    return PrepareOutcome::Started;
}

void Compiler::Run(ProgramModel& model, const CompileCallbacks& callbacks, std::optional<ImageDate> date) {
    CompilerImpl& c = *impl_;
    CompileState& s = c.state;
    // Run follows one Prepare that found something to compile.
    if (!c.prepared) return;
    c.prepared = false;
    s.model = &model;
    s.callbacks = &callbacks;
    s.cancel = &c.cancel;
    ReportProgress(s, "0");

    s.lastBlockRecordCount = 0;
    for (CodeRecord& r : s.records) r.link = LinkFree;
    WirePass(s);

    for (int32_t block = 0; block < BlockCount; ++block) {
        AnalyseBlock(s, block);
        if (s.cancelled()) {
            c.cancelled = true;
            s.callbacks = nullptr;
            return;
        }
        const int32_t start = s.image.codeLength;
        if (EmitBlock(s, block) == 0) break;
        const std::string part = BlockListingText(model, s.image, block, start);
        AppendToFile(c.listingPath, part);
        c.listing += part;
        if (s.recordCount > 0) s.lastBlockRecordCount = s.recordCount;
    }
    CheckProgram(s);

    if (s.diagnostics.errorCount() > 0) {
        // An older image stays: only the listing of this failed run goes.
        if (!c.listingPath.empty()) std::remove(c.listingPath.c_str());
    } else {
        const std::string hex = FinishImage(model, s.image);
        AppendToFile(c.listingPath, hex);
        c.listing += hex;
        WriteImageFile(c.imagePath, s.image, date ? *date : TodayLocal());
        c.finalImage = true;
        std::string length;
        AppendZeroPadded(length, s.image.codeLength, 4);
        ReportProgress(s, length);
        if (callbacks.imageWritten) callbacks.imageWritten();
    }
    if (callbacks.finished) callbacks.finished(s.diagnostics.size() > 0);
    s.callbacks = nullptr;
}

std::atomic<bool>& Compiler::cancelFlag() { return impl_->cancel; }
bool Compiler::cancelled() const { return impl_->cancelled; }
int Compiler::errorCount() const { return impl_->state.diagnostics.errorCount(); }
int Compiler::warningCount() const { return impl_->state.diagnostics.warningCount(); }
int Compiler::diagnosticCount() const { return impl_->state.diagnostics.size(); }

Compiler::Diagnostic Compiler::diagnostic(int index) const {
    assert(index >= 0 && index < diagnosticCount());
    const DiagnosticEntry& e = impl_->state.diagnostics.at(index);
    return {e.key, e.column, e.row};
}

bool Compiler::hasFinalImage() const { return impl_->finalImage; }
void Compiler::ForgetDiagnostics() { impl_->state.diagnostics.Reset(); }
int Compiler::codeLength() const { return impl_->state.image.codeLength; }
const uint8_t* Compiler::imageBytes() const { return impl_->state.image.bytes.data(); }
const std::string& Compiler::listingPath() const { return impl_->listingPath; }
const std::string& Compiler::imagePath() const { return impl_->imagePath; }
const std::string& Compiler::listingText() const { return impl_->listing; }

CompileWorker::~CompileWorker() { Join(); }

void CompileWorker::Start(Compiler& compiler, ProgramModel& model, CompileCallbacks callbacks,
                          std::optional<ImageDate> date) {
    Join();
    running_.store(true);
    thread_ = std::thread([this, &compiler, &model, callbacks = std::move(callbacks), date] {
        compiler.Run(model, callbacks, date);
        running_.store(false);
    });
}

void CompileWorker::Join() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace velmorin
