#include "model/document.h"

#include <filesystem>

#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {

namespace {

void Call(const std::function<void()>& hook) {
    if (hook) hook();
}

FileDialogRequest SourceFileRequest(bool save, const char* title, const std::string& directory) {
    FileDialogRequest request;
    request.save = save;
    request.title = title;
    request.filters = {{"Fuente Ladder", "*.ldr"}, {"Todos los archivos", "*.*"}};
    request.presetName = "*.ldr";
    request.directory = directory;
    request.defaultExtension = "ldr";
    request.confirmOverwrite = save;
    return request;
}

// A cell stored while its erasure was still pending (kind 23) holds nothing:
// it opens empty, so that the editor treats it as any other empty cell.
void EmptyErasedCells(LadderGrid& grid) {
    for (LadderCell& cell : grid.cells) {
        if (cell.shape != KindBlank) continue;
        cell = LadderCell{};
        for (ParamSlot& slot : cell.params) slot[0] = Unchosen;
    }
}

}  // namespace

Document::Document() : model_(std::make_unique<ProgramModel>()) { ResetModel(*model_); }

bool Document::ConfirmDiscard(Prompts& prompts) {
    if (!modified_) return true;
    return prompts.AskYesNo(msg::DiscardQuestion, msg::DiscardCaption);
}

void Document::Reset() {
    Call(hooks_.viewReset);
    ResetModel(*model_);
    Call(hooks_.monitorCleared);
    Call(hooks_.markedCellCleared);
    Call(hooks_.diagnosticsCleared);
    currentPath_.clear();
    modified_ = false;
}

bool Document::NewDocument(Prompts& prompts) {
    if (!ConfirmDiscard(prompts)) return false;
    Reset();
    // A new diagram has no file: the window must not keep naming the old one.
    SetTitle(std::string());
    return true;
}

bool Document::OpenDocument(Prompts& prompts) {
    if (!ConfirmDiscard(prompts)) return false;
    const auto path = prompts.AskFile(OpenRequest());
    // Nothing is reset before a file is chosen: cancelling keeps the diagram.
    if (!path) return false;
    modified_ = false;
    return LoadDocument(prompts, *path);
}

bool Document::LoadDocument(Prompts& prompts, const std::string& path) {
    if (!ConfirmDiscard(prompts)) return false;
    Reset();
    const Result read = ReadSourceFile(*model_, path);
    if (!read) {
        // The reader stops at the damage and keeps what came before it; a
        // diagram with no file must not show half of one, nor the name of
        // the file it came from or the one before.
        ResetModel(*model_);
        SetTitle(std::string());
        Call(hooks_.redrawRequested);
        if (hooks_.loadFailed) hooks_.loadFailed(path);
        prompts.ShowFailure(read);
        return false;
    }
    EmptyErasedCells(model_->grid);
    SetTitle(path);
    Call(hooks_.redrawRequested);
    if (hooks_.recentFileAdded) hooks_.recentFileAdded(path);
    currentPath_ = path;
    modified_ = false;
    return true;
}

bool Document::OpenUntitled(Prompts& prompts, const ProgramModel& model) {
    if (!ConfirmDiscard(prompts)) return false;
    Reset();
    *model_ = model;
    SetTitle(std::string());
    Call(hooks_.redrawRequested);
    modified_ = true;
    Call(hooks_.unsavedOpened);
    return true;
}

bool Document::SaveDocument(Prompts& prompts) {
    if (currentPath_.empty()) return SaveDocumentAs(prompts);
    if (Result written = WriteSourceFile(*model_, currentPath_); !written) {
        prompts.ShowFailure(written);
        return false;
    }
    SetTitle(currentPath_);
    modified_ = false;
    return true;
}

bool Document::SaveDocumentAs(Prompts& prompts) {
    const auto chosen = prompts.AskFile(SaveRequest());
    if (!chosen || chosen->empty()) return false;
    const std::string path = WithSourceExtension(*chosen);
    if (hooks_.recentFileAdded) hooks_.recentFileAdded(path);
    currentPath_ = path;
    return SaveDocument(prompts);
}

FileDialogRequest Document::OpenRequest() const {
    return SourceFileRequest(false, "Abrir archivo fuente", startDirectory_);
}

FileDialogRequest Document::SaveRequest() const {
    return SourceFileRequest(true, "Guardar archivo fuente", startDirectory_);
}

std::string Document::TitleFor(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string Document::WithSourceExtension(const std::string& path) {
    if (std::filesystem::path(path).has_extension()) return path;
    return path + SourceExtension;
}

void Document::SetTitle(const std::string& path) {
    title_ = TitleFor(path);
    if (hooks_.titleChanged) hooks_.titleChanged(title_);
}

}  // namespace velmorin
