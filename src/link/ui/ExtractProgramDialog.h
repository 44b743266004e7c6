#pragma once
// "Extraer programa": uploads the controller's program into a *.bld file
// chosen before the dialog shows. "Recibir" runs the upload while the busy
// window shows its progress; the file is written only from a complete
// upload, through a temporary file, so that an older file survives any
// failure. However it closes, "ID del PLC" becomes the saved identifier and
// the password fields stay in memory.
#include <QDialog>

#include <optional>
#include <string>

#include "compiler/program_image.h"

#include "link/link_access.h"
#include "link/link_dialog_rules.h"
#include "model/prompts.h"

class QPushButton;

namespace velmorin {

class LinkFieldSpinBox;
class PasswordGroup;

class ExtractProgramDialog : public QDialog {
    Q_OBJECT
public:
    ExtractProgramDialog(std::string path, TransferMemory& memory, LinkAccess access, Prompts& prompts,
                         QWidget* parent = nullptr);

    // True once the program has been received and written.
    bool extracted() const { return extracted_; }
    // The program received, all 256 bytes; set when extracted.
    const std::optional<CodeImage>& received() const { return received_; }
    UploadRequest request() const;

    LinkFieldSpinBox* idField() const { return id_; }
    PasswordGroup* passwordGroup() const { return password_; }
    QPushButton* receiveButton() const { return receive_; }
    QPushButton* cancelButton() const { return cancel_; }

    void done(int result) override;

private:
    void onReceive();

    std::string path_;
    TransferMemory& memory_;
    LinkAccess access_;
    Prompts& prompts_;
    bool extracted_ = false;
    std::optional<CodeImage> received_;
    bool receiving_ = false;

    LinkFieldSpinBox* id_ = nullptr;
    PasswordGroup* password_ = nullptr;
    QPushButton* receive_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// The extract command's dialog from opening to closing: "Guardar archivo
// binario" first (cancelling it ends the command), then the dialog. The
// program, when it was received and written.
std::optional<CodeImage> RunExtractProgramDialog(QWidget* parent, TransferMemory& memory, const LinkAccess& access,
                                                 Prompts& prompts, const std::string& startDirectory);

}  // namespace velmorin
