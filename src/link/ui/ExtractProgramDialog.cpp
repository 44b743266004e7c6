#include "link/ui/ExtractProgramDialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "link/link_fields.h"
#include "link/link_messages.h"
#include "link/transfer.h"
#include "link/ui/BusyMessageWindow.h"
#include "link/ui/LinkFieldSpinBox.h"
#include "link/ui/PasswordGroup.h"
#include "model/file_requests.h"

namespace velmorin {

namespace {

// What the upload job hands back: the exchange, and the file written from it.
struct Extraction {
    ReceivedProgram received;
    Result written;
};

}  // namespace

ExtractProgramDialog::ExtractProgramDialog(std::string path, TransferMemory& memory, LinkAccess access,
                                           Prompts& prompts, QWidget* parent)
    : QDialog(parent), path_(std::move(path)), memory_(memory), access_(std::move(access)), prompts_(prompts) {
    setObjectName("extractProgramDialog");
    setWindowTitle(QStringLiteral("Extraer programa"));

    auto* identification = new QGroupBox(QString::fromUtf8("Identificación"), this);
    id_ = new LinkFieldSpinBox(LinkFieldSpinBox::Format::Identifier, identification);
    id_->setObjectName("plcId");
    id_->setValue(memory_.plcId);
    auto* ids = new QFormLayout(identification);
    ids->addRow(QStringLiteral("ID del PLC"), id_);

    password_ = new PasswordGroup(memory_.password, this);

    receive_ = new QPushButton(QStringLiteral("Recibir"), this);
    receive_->setObjectName("receiveButton");
    receive_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel_->setObjectName("cancelButton");
    cancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(receive_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(identification);
    layout->addWidget(password_);
    layout->addLayout(buttons);

    connect(receive_, &QPushButton::clicked, this, &ExtractProgramDialog::onReceive);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

UploadRequest ExtractProgramDialog::request() const {
    return UploadRequestFrom(id_->fieldText().toStdString(), password_->fields(), static_cast<uint8_t>(memory_.plcId));
}

void ExtractProgramDialog::onReceive() {
    if (receiving_) return;
    const UploadRequest upload = request();
    memory_.plcId = upload.id;
    PlcLink* link = access_.link;
    receiving_ = true;
    const Extraction extraction =
        RunTransfer(this, QString::fromUtf8(msg::BusyReceiving), [&](const TransferCallbacks& callbacks) {
            Extraction done;
            done.received = ReceiveProgram(*link, *access_.clock, access_.port, upload, callbacks);
            if (done.received.outcome.status == TransferStatus::Done)
                done.written = WriteUploadFile(path_, done.received.upload.image, done.received.upload.stamp);
            return done;
        });
    receiving_ = false;
    const TransferOutcome& outcome = extraction.received.outcome;
    if (outcome.status == TransferStatus::PortNotOpened) {
        prompts_.ShowFailure(Result::Fail(outcome.message, outcome.detail));
        return;
    }
    if (outcome.status != TransferStatus::Done) {
        prompts_.ShowMessage(outcome.message);
    } else if (!extraction.written) {
        // Received, but not stored: the success must not be claimed.
        prompts_.ShowFailure(extraction.written);
    } else {
        extracted_ = true;
        received_.emplace();
        std::copy(extraction.received.upload.image.begin(), extraction.received.upload.image.end(),
                  received_->bytes.begin());
        // A controller holds no length: the code's end is found in the bytes.
        received_->codeLength = ImageSize;
        prompts_.ShowInformation(outcome.message);
    }
    if (extracted_)
        accept();
    else
        reject();
}

void ExtractProgramDialog::done(int result) {
    if (receiving_) return;
    memory_.plcId = ReadIdentifierField(id_->fieldText().toStdString(), static_cast<uint8_t>(memory_.plcId));
    memory_.password = password_->shownPassword();
    QDialog::done(result);
}

std::optional<CodeImage> RunExtractProgramDialog(QWidget* parent, TransferMemory& memory, const LinkAccess& access,
                                                 Prompts& prompts, const std::string& startDirectory) {
    const std::optional<std::string> path = prompts.AskFile(
        FileRequest(FileType::Image, FileDialogMode::Save, "Guardar archivo binario", startDirectory, false));
    if (!path) return std::nullopt;
    ExtractProgramDialog dialog(*path, memory, access, prompts, parent);
    dialog.exec();
    return dialog.received();
}

}  // namespace velmorin
