#pragma once
// Every message box, question and file dialog of an interactive flow goes
// through this interface: the Qt implementation shows real dialogs, tests
// script the answers and record what was shown.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/result.h"

namespace velmorin {

struct FileFilter {
    std::string name;     // "Fuente Ladder"
    std::string pattern;  // "*.ldr"
};

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::vector<FileFilter> filters;
    std::string presetName;        // "*.ldr"
    std::string directory;         // where the dialog opens
    std::string defaultExtension;  // "ldr": appended when the user types none
    bool confirmOverwrite = false;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // A modal box with an OK button.
    virtual void ShowMessage(const std::string& text, const std::string& caption = {}) = 0;
    // A modal box with an OK button that reports a success (an information
    // icon instead of a warning).
    virtual void ShowInformation(const std::string& text, const std::string& caption = {}) {
        ShowMessage(text, caption);
    }
    // A failed operation: its fixed text as the box's main text and, when a
    // file or a system call was involved, its detail (the file and the
    // system's reason) on the line below.
    virtual void ShowFailure(const Result& failure) = 0;
    // A modal warning with Yes/No; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> AskFile(const FileDialogRequest& request) = 0;
    // A modal box that reports something done and offers one thing to do
    // next: a button named `action` beside one that only closes the box.
    // True when the action was chosen.
    virtual bool OfferAction(const std::string& text, const std::string& action, const std::string& caption) {
        return AskYesNo(text + "\n" + action + "?", caption);
    }
    // A failure that comes with a text to read (an instruction listing): the
    // failure as ShowFailure shows it, and the text in a fixed-width font,
    // so that its columns stand under each other.
    virtual void ShowListing(const Result& failure, const std::string& listing) {
        ShowFailure(Result::Fail(failure.message, failure.detail + "\n\n" + listing));
    }
};

}  // namespace velmorin
