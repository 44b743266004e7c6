#pragma once
// The single open ladder program: the model, the file it came from and
// whether it was edited since. New, Open, Save and Save As run here; every
// question, message and file dialog goes through the caller's Prompts, and
// what belongs to other parts of the program (the window title, the recent
// files, the view, the monitors, the compiler) is reached through hooks.
#include <functional>
#include <memory>
#include <string>

#include "model/ladder_model.h"
#include "model/prompts.h"

namespace velmorin {

struct DocumentHooks {
    std::function<void(const std::string& title)> titleChanged;
    std::function<void(const std::string& path)> recentFileAdded;
    // A file that could not be loaded: a recent-file entry naming it goes.
    std::function<void(const std::string& path)> loadFailed;
    // Hover cell and previous hover cell back to column 1, row 1; scroll to the top.
    std::function<void()> viewReset;
    // The variable monitor's set, its image and its program path.
    std::function<void()> monitorCleared;
    // The cell the error list points at becomes none.
    std::function<void()> markedCellCleared;
    // The compiler's diagnostic count becomes 0.
    std::function<void()> diagnosticsCleared;
    // A loaded diagram must be drawn again.
    std::function<void()> redrawRequested;
    // A diagram opened without a file: no state of it was ever saved, so
    // undoing every edit must not clear the modified mark.
    std::function<void()> unsavedOpened;
};

class Document {
public:
    static constexpr const char* SourceExtension = ".ldr";

    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    ProgramModel& model() { return *model_; }
    const ProgramModel& model() const { return *model_; }
    const std::string& currentPath() const { return currentPath_; }
    bool modified() const { return modified_; }
    // Editing sets it; only Reset, a load and a save clear it.
    void SetModified(bool modified) { modified_ = modified; }
    // File name of the last successful load or save; empty before the first.
    const std::string& title() const { return title_; }

    void SetHooks(DocumentHooks hooks) { hooks_ = std::move(hooks); }
    // Where every file dialog opens; the folder the user last chose is not kept.
    void SetStartDirectory(std::string directory) { startDirectory_ = std::move(directory); }
    const std::string& startDirectory() const { return startDirectory_; }

    // Each returns whether the operation went through.
    bool NewDocument(Prompts& prompts);
    bool OpenDocument(Prompts& prompts);
    bool LoadDocument(Prompts& prompts, const std::string& path);
    bool SaveDocument(Prompts& prompts);
    bool SaveDocumentAs(Prompts& prompts);
    // A diagram made elsewhere (one recovered from a controller's image) as a
    // new document without a file, marked modified so that closing it asks
    // first. Asks the discard question; false when the answer is No.
    bool OpenUntitled(Prompts& prompts, const ProgramModel& model);
    // True when the changes may be lost: nothing was edited, or Yes.
    bool ConfirmDiscard(Prompts& prompts);
    void Reset();

    FileDialogRequest OpenRequest() const;
    FileDialogRequest SaveRequest() const;

    static std::string TitleFor(const std::string& path);
    // A name typed without extension gets ".ldr".
    static std::string WithSourceExtension(const std::string& path);

private:
    void SetTitle(const std::string& path);

    std::unique_ptr<ProgramModel> model_;
    std::string currentPath_;
    bool modified_ = false;
    std::string title_;
    std::string startDirectory_;
    DocumentHooks hooks_;
};

}  // namespace velmorin
