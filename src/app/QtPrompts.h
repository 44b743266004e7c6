#pragma once
// The real dialogs behind Prompts: message boxes and file dialogs of Qt,
// parented to the main window once it exists.
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "model/prompts.h"

namespace velmorin {

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const std::string& text, const std::string& caption = {}) override;
    void ShowInformation(const std::string& text, const std::string& caption = {}) override;
    // The detail goes on the box's informative line, under the fixed text.
    void ShowFailure(const Result& failure) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    bool OfferAction(const std::string& text, const std::string& action, const std::string& caption) override;
    // The listing behind the box's details button, in a fixed-width font.
    void ShowListing(const Result& failure, const std::string& listing) override;
    std::optional<std::string> AskFile(const FileDialogRequest& request) override;

    // "Fuente Ladder (*.ldr)" and the like, in the order given.
    static QStringList NameFilters(const FileDialogRequest& request);

private:
    QPointer<QWidget> parent_;
};

}  // namespace velmorin
