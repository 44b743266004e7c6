#include "compiler/compiler.h"

#include <cassert>
#include <filesystem>
#include <span>
#include <vector>

#include "compiler/block_analysis.h"
#include "compiler/compiler_impl.h"
#include "compiler/emission.h"
#include "compiler/image_file.h"
#include "compiler/image_finish.h"
#include "compiler/listing.h"
#include "compiler/numbers.h"
#include "compiler/program_checks.h"
#include "compiler/wire_pass.h"
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

// Keeps the first failure: the message names the file that went wrong first.
void Note(Result& files, Result outcome) {
    if (files && !outcome) files = std::move(outcome);
}

}  // namespace

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

Compiler::Compiler() : impl_(std::make_unique<CompilerImpl>()) {}
Compiler::~Compiler() = default;

PrepareOutcome Compiler::Prepare(ProgramModel& model, const std::string& sourcePath) {
    CompilerImpl& c = *impl_;
    CompileState& s = c.state;
    c.cancel.store(false);
    c.prepared = false;
    c.finalImage = false;
    c.cancelled = false;
    c.files = Result::Ok();
    c.result = CompileResult::NothingToCompile;
    if (!BuildCellNodeTable(s, model.grid)) return PrepareOutcome::NothingToCompile;

    // A source saved as q.prg or q.bld would be overwritten by its own outputs.
    const std::string listingPath = sourcePath.empty() ? std::string() : OutputPath(sourcePath, ".prg");
    const std::string imagePath = sourcePath.empty() ? std::string() : OutputPath(sourcePath, ".bld");
    for (const std::string& output : {listingPath, imagePath}) {
        if (!output.empty() && SameFile(output, sourcePath)) {
            c.files = Result::Fail(msg::FileOpenError, output + ": es el archivo fuente del programa");
            c.result = CompileResult::Refused;
            return PrepareOutcome::OverwritesSource;
        }
    }

    s.diagnostics.Reset();
    c.listingPath = listingPath;
    c.imagePath = imagePath;
    for (LabelEntry& label : model.labels) label.referenced = 0;
    s.image.Clear();
    c.listing.clear();
    s.jumpCount = 0;
    s.lastEmittedElement = -1;
    c.prepared = true;
    // Until Run has ended, nothing came of it.
    c.result = CompileResult::Cancelled;
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
            // The listing holds the blocks done so far; no image is written.
            if (!c.listingPath.empty()) Note(c.files, WriteFileAtomically(c.listingPath, c.listing));
            c.cancelled = true;
            c.result = CompileResult::Cancelled;
            s.callbacks = nullptr;
            return;
        }
        const int32_t start = s.image.codeLength;
        if (EmitBlock(s, block) == 0) break;
        c.listing += BlockListingText(model, s.image, block, start);
        if (s.recordCount > 0) s.lastBlockRecordCount = s.recordCount;
    }
    CheckProgram(s);

    if (s.diagnostics.errorCount() > 0) {
        // An older image stays: only the listing of this failed run goes.
        if (!c.listingPath.empty()) Note(c.files, RemoveFile(c.listingPath));
        c.result = CompileResult::Errors;
    } else {
        c.listing += FinishImage(model, s.image);
        c.finalImage = true;
        // The listing describes the image byte for byte: both are replaced,
        // or neither is, so an older pair never ends up half new.
        const std::vector<uint8_t> imageFile = EncodeImageFile(s.image, date ? *date : TodayLocal());
        std::vector<FileToWrite> outputs;
        if (!c.listingPath.empty())
            outputs.push_back(
                {c.listingPath, std::span(reinterpret_cast<const uint8_t*>(c.listing.data()), c.listing.size())});
        if (!c.imagePath.empty()) outputs.push_back({c.imagePath, imageFile});
        Note(c.files, WriteFilesTogether(outputs));
        c.result = !c.files                           ? CompileResult::NotWritten
                   : s.diagnostics.warningCount() > 0 ? CompileResult::Warnings
                                                      : CompileResult::Clean;
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
CompileResult Compiler::result() const { return impl_->result; }
const Result& Compiler::fileResult() const { return impl_->files; }
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
