#pragma once
// "Enviar programa": downloads a program to the controller. The program is
// the compiler's final image or one read from a *.bld file; the dialog adds
// the controller's identifier, the identifier it is to take and the password,
// and "Enviar" runs the download while the busy window shows its progress.
// However it closes, "Nuevo ID PLC" becomes the saved identifier, the check
// box the force option, and the password fields stay in memory.
#include <QDialog>

#include <optional>
#include <string>

#include "compiler/program_image.h"
#include "link/link_access.h"
#include "link/link_dialog_rules.h"
#include "model/prompts.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velmorin {

class LinkFieldSpinBox;
class PasswordGroup;

struct ProgramToSend {
    CodeImage image;
    std::string title;  // shown in "Archivo"
};

// "Abrir archivo binario" and the image it names; nothing when the user
// cancels or the file is refused (the reader's message has been shown).
std::optional<ProgramToSend> AskProgramFile(Prompts& prompts, const std::string& startDirectory);

class SendProgramDialog : public QDialog {
    Q_OBJECT
public:
    SendProgramDialog(ProgramToSend program, TransferMemory& memory, LinkAccess access, Prompts& prompts,
                      std::string startDirectory, QWidget* parent = nullptr);

    // True once the controller has accepted the program.
    bool sent() const { return sent_; }
    // The download the fields ask for, dated `date`.
    DownloadRequest request(const ImageDate& date) const;
    const ProgramToSend& program() const { return program_; }

    QCheckBox* forceBox() const { return force_; }
    LinkFieldSpinBox* idField() const { return id_; }
    LinkFieldSpinBox* newIdField() const { return newId_; }
    PasswordGroup* passwordGroup() const { return password_; }
    QLineEdit* fileField() const { return file_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* sendButton() const { return send_; }
    QPushButton* cancelButton() const { return cancel_; }

    void done(int result) override;

private:
    void onBrowse();
    void onSend();
    SendFields Fields() const;

    ProgramToSend program_;
    TransferMemory& memory_;
    LinkAccess access_;
    Prompts& prompts_;
    std::string startDirectory_;
    bool sent_ = false;
    bool sending_ = false;

    QCheckBox* force_ = nullptr;
    LinkFieldSpinBox* id_ = nullptr;
    LinkFieldSpinBox* newId_ = nullptr;
    PasswordGroup* password_ = nullptr;
    QLineEdit* file_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// The send command's dialog from opening to closing: `inMemory` is the
// compiler's final image, when there is one; without it the user is asked for
// a file first, and cancelling that ends the command. True when the
// controller accepted the program.
bool RunSendProgramDialog(QWidget* parent, std::optional<ProgramToSend> inMemory, TransferMemory& memory,
                          const LinkAccess& access, Prompts& prompts, const std::string& startDirectory);

}  // namespace velmorin
