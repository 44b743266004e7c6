#include "link/ui/SendProgramDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "compiler/program_image.h"
#include "link/link_fields.h"
#include "link/link_messages.h"
#include "link/transfer.h"
#include "link/ui/BusyMessageWindow.h"
#include "link/ui/LinkFieldSpinBox.h"
#include "link/ui/PasswordGroup.h"
#include "model/file_requests.h"

namespace velmorin {

std::optional<ProgramToSend> AskProgramFile(Prompts& prompts, const std::string& startDirectory) {
    const std::optional<std::string> path = prompts.AskFile(
        FileRequest(FileType::Image, FileDialogMode::Open, "Abrir archivo binario", startDirectory, false));
    if (!path) return std::nullopt;
    ProgramToSend program;
    if (Result read = ReadImageFile(*path, program.image); !read) {
        prompts.ShowFailure(read);
        return std::nullopt;
    }
    program.title = ProgramTitle(*path);
    return program;
}

SendProgramDialog::SendProgramDialog(ProgramToSend program, TransferMemory& memory, LinkAccess access, Prompts& prompts,
                                     std::string startDirectory, QWidget* parent)
    : QDialog(parent),
      program_(std::move(program)),
      memory_(memory),
      access_(std::move(access)),
      prompts_(prompts),
      startDirectory_(std::move(startDirectory)) {
    setObjectName("sendProgramDialog");
    setWindowTitle(QStringLiteral("Enviar programa"));

    auto* identification = new QGroupBox(QString::fromUtf8("Identificación"), this);
    force_ = new QCheckBox(QStringLiteral("Forzar a programar cualquier PLC"), identification);
    force_->setObjectName("forceAny");
    force_->setChecked(memory_.anyController);
    id_ = new LinkFieldSpinBox(LinkFieldSpinBox::Format::Identifier, identification);
    id_->setObjectName("plcId");
    id_->setValue(memory_.plcId);
    newId_ = new LinkFieldSpinBox(LinkFieldSpinBox::Format::Identifier, identification);
    newId_->setObjectName("newPlcId");
    newId_->setValue(memory_.plcId);
    auto* ids = new QFormLayout;
    ids->addRow(QStringLiteral("ID del PLC"), id_);
    ids->addRow(QStringLiteral("Nuevo ID PLC"), newId_);
    auto* identificationLayout = new QVBoxLayout(identification);
    identificationLayout->addWidget(force_);
    identificationLayout->addLayout(ids);
    // A program forced onto any controller is not addressed by identifier.
    id_->setEnabled(!force_->isChecked());
    connect(force_, &QCheckBox::toggled, this, [this](bool checked) { id_->setEnabled(!checked); });

    password_ = new PasswordGroup(memory_.password, this);

    file_ = new QLineEdit(QString::fromStdString(program_.title), this);
    file_->setObjectName("programFile");
    file_->setReadOnly(true);
    browse_ = new QPushButton(QStringLiteral("Buscar"), this);
    browse_->setObjectName("browseButton");
    browse_->setAutoDefault(false);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Archivo"), this));
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse_);

    // No default button: Enter must not send a program to a machine by accident.
    send_ = new QPushButton(QStringLiteral("Enviar"), this);
    send_->setObjectName("sendButton");
    send_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel_->setObjectName("cancelButton");
    cancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(send_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(identification);
    layout->addWidget(password_);
    layout->addLayout(fileRow);
    layout->addLayout(buttons);

    connect(browse_, &QPushButton::clicked, this, &SendProgramDialog::onBrowse);
    connect(send_, &QPushButton::clicked, this, &SendProgramDialog::onSend);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

SendFields SendProgramDialog::Fields() const {
    return {force_->isChecked(), id_->fieldText().toStdString(), newId_->fieldText().toStdString(),
            password_->fields()};
}

DownloadRequest SendProgramDialog::request(const ImageDate& date) const {
    return DownloadRequestFrom(Fields(), static_cast<uint8_t>(memory_.plcId), program_.image.bytes, date);
}

// A refused file leaves the program and its name as they were, so that the
// field never names a program other than the one "Enviar" would send.
void SendProgramDialog::onBrowse() {
    if (std::optional<ProgramToSend> chosen = AskProgramFile(prompts_, startDirectory_)) {
        program_ = std::move(*chosen);
        file_->setText(QString::fromStdString(program_.title));
    }
}

void SendProgramDialog::onSend() {
    if (sending_) return;
    const DownloadRequest download = request(TodayLocal());
    memory_.plcId = download.newId;
    PlcLink* link = access_.link;
    sending_ = true;
    const TransferOutcome outcome =
        RunTransfer(this, QString::fromUtf8(msg::BusySending), [&](const TransferCallbacks& callbacks) {
            return SendProgram(*link, *access_.clock, access_.port, download, callbacks);
        });
    sending_ = false;
    switch (outcome.status) {
        case TransferStatus::PortNotOpened:
            // The dialog stays for another try, perhaps on another port.
            prompts_.ShowFailure(Result::Fail(outcome.message, outcome.detail));
            return;
        case TransferStatus::Done:
            sent_ = true;
            prompts_.ShowInformation(outcome.message);
            accept();
            return;
        case TransferStatus::Failed:
            prompts_.ShowMessage(outcome.message);
            reject();
            return;
    }
}

void SendProgramDialog::done(int result) {
    if (sending_) return;
    memory_.plcId = ReadIdentifierField(newId_->fieldText().toStdString(), static_cast<uint8_t>(memory_.plcId));
    memory_.anyController = force_->isChecked();
    memory_.password = password_->shownPassword();
    QDialog::done(result);
}

bool RunSendProgramDialog(QWidget* parent, std::optional<ProgramToSend> inMemory, TransferMemory& memory,
                          const LinkAccess& access, Prompts& prompts, const std::string& startDirectory) {
    std::optional<ProgramToSend> program = std::move(inMemory);
    if (!program) program = AskProgramFile(prompts, startDirectory);
    if (!program) return false;
    SendProgramDialog dialog(std::move(*program), memory, access, prompts, startDirectory, parent);
    dialog.exec();
    return dialog.sent();
}

}  // namespace velmorin
