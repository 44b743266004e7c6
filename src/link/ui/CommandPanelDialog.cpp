#include "link/ui/CommandPanelDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

#include "link/exchanges.h"
#include "link/link_fields.h"
#include "link/ui/LinkFieldSpinBox.h"
#include "ui/BackgroundJob.h"

namespace velmorin {

namespace {

constexpr const char* RunModeCaptions[3] = {"Reset Total", "Reset Variables", "Mantiene Variables"};

QPushButton* CommandButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CommandPanelDialog::CommandPanelDialog(PanelMemory& memory, LinkAccess access, QWidget* parent)
    : QDialog(parent), memory_(memory), access_(std::move(access)), romQuery_(std::make_unique<BackgroundJob>()) {
    setObjectName("commandPanelDialog");
    setWindowTitle(QStringLiteral("Comandos al PLC"));

    auto* stopGroup = new QGroupBox(QStringLiteral("Detener Programa "), this);
    outputsOff_ = new QCheckBox(QStringLiteral("Apaga Salidas"), stopGroup);
    outputsOff_->setObjectName("outputsOff");
    stop_ = CommandButton(QStringLiteral("Proceder"), "stopButton", stopGroup);
    auto* stopLayout = new QVBoxLayout(stopGroup);
    stopLayout->addWidget(outputsOff_);
    stopLayout->addStretch();
    stopLayout->addWidget(stop_);

    auto* runGroup = new QGroupBox(QStringLiteral("Ejecutar Programa "), this);
    auto* runLayout = new QVBoxLayout(runGroup);
    for (int mode = 0; mode < 3; ++mode) {
        modes_[mode] = new QRadioButton(QString::fromUtf8(RunModeCaptions[mode]), runGroup);
        modes_[mode]->setObjectName(QStringLiteral("runMode%1").arg(RunModeSettingBase + mode));
        runLayout->addWidget(modes_[mode]);
    }
    run_ = CommandButton(QStringLiteral("Proceder"), "runButton", runGroup);
    runLayout->addWidget(run_);

    resetCounters_ = CommandButton(QStringLiteral("Reset Contadores"), "resetCountersButton", this);

    auto* idGroup = new QGroupBox(QStringLiteral("PLC ID"), this);
    all_ = new QCheckBox(QStringLiteral("Todos"), idGroup);
    all_->setObjectName("allControllers");
    id_ = new LinkFieldSpinBox(LinkFieldSpinBox::Format::Identifier, idGroup);
    id_->setObjectName("plcId");
    auto* idLayout = new QHBoxLayout(idGroup);
    idLayout->addWidget(all_);
    idLayout->addStretch();
    idLayout->addWidget(id_);

    romButton_ = CommandButton(QString::fromUtf8("Versión ROM"), "romButton", this);
    rom_ = new QLineEdit(this);
    rom_->setObjectName("romField");
    rom_->setReadOnly(true);
    rom_->setEnabled(false);
    rom_->setMaxLength(6);
    rom_->setFixedWidth(rom_->fontMetrics().horizontalAdvance(QStringLiteral("ERROR!MM")));
    exit_ = CommandButton(QStringLiteral("Salir"), "exitButton", this);

    auto* grid = new QGridLayout;
    grid->addWidget(stopGroup, 0, 0);
    grid->addWidget(runGroup, 0, 1);
    grid->addWidget(resetCounters_, 1, 0);
    grid->addWidget(idGroup, 1, 1);
    auto* romRow = new QHBoxLayout;
    romRow->addWidget(romButton_);
    romRow->addWidget(new QLabel(QStringLiteral("ROM:"), this));
    romRow->addWidget(rom_);
    romRow->addStretch();
    romRow->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(romRow);

    // The choices as they were when the panel last closed.
    id_->setValue(memory_.plcId);
    modes_[static_cast<int>(RunModeOfSetting(memory_.setRunMode))]->setChecked(true);
    outputsOff_->setChecked(memory_.setStopMode != 0);
    all_->setChecked(memory_.setIdAll != 0);
    ApplyAllRule();

    connect(all_, &QCheckBox::toggled, this, [this] { ApplyAllRule(); });
    connect(stop_, &QPushButton::clicked, this, &CommandPanelDialog::onStop);
    connect(run_, &QPushButton::clicked, this, &CommandPanelDialog::onRun);
    connect(resetCounters_, &QPushButton::clicked, this, &CommandPanelDialog::onResetCounters);
    connect(romButton_, &QPushButton::clicked, this, &CommandPanelDialog::onRomVersion);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}

CommandPanelDialog::~CommandPanelDialog() {
    romQuery_.reset();
    Close();
}

bool CommandPanelDialog::romQueryRunning() const { return romQuery_->running(); }

bool CommandPanelDialog::OpenPort() {
    PlcLink* link = access_.link;
    if (link->OpenPort(access_.port) != 1) {
        openError_ = link->LastError();
        return false;
    }
    link_ = link;
    return true;
}

void CommandPanelDialog::Close() {
    if (!link_) return;
    link_->ClosePort(access_.port);
    link_ = nullptr;
}

void CommandPanelDialog::ApplyAllRule() {
    const bool one = !all_->isChecked() && !romQuery_->running();
    id_->setEnabled(one);
    romButton_->setEnabled(one);
}

void CommandPanelDialog::SetBusy(bool busy) {
    for (QWidget* control : std::initializer_list<QWidget*>{stop_, run_, resetCounters_, all_, exit_})
        control->setEnabled(!busy);
    ApplyAllRule();
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

RunMode CommandPanelDialog::CheckedMode() const {
    for (int mode = 0; mode < 3; ++mode)
        if (modes_[mode]->isChecked()) return static_cast<RunMode>(mode);
    return RunModeOfSetting(memory_.setRunMode);
}

uint8_t CommandPanelDialog::ReadId() {
    memory_.plcId = ReadIdentifierField(id_->fieldText().toStdString(), static_cast<uint8_t>(memory_.plcId));
    return static_cast<uint8_t>(memory_.plcId);
}

uint8_t CommandPanelDialog::Target() { return all_->isChecked() ? AllControllers : ReadId(); }

// Nothing is awaited or reported: the controller does not answer these.
void CommandPanelDialog::Send(const CommandFrame& frame) {
    if (!link_ || romQuery_->running()) return;
    SendWithoutReply({*link_, *access_.clock, access_.port}, frame);
}

void CommandPanelDialog::onStop() { Send(StopProgramFrame(Target(), outputsOff_->isChecked())); }

void CommandPanelDialog::onRun() {
    const RunMode mode = CheckedMode();
    memory_.setRunMode = RunModeSetting(mode);
    Send(RunProgramFrame(Target(), mode));
}

void CommandPanelDialog::onResetCounters() { Send(ResetCountersFrame(Target())); }

void CommandPanelDialog::onRomVersion() {
    if (!link_ || romQuery_->running()) return;
    const uint8_t id = ReadId();
    rom_->clear();
    const Channel line{*link_, *access_.clock, access_.port};
    // Started before SetBusy, which reads whether a query runs.
    const bool started = romQuery_->Start([line, id] { return ReadRomVersion(line, id); },
                                          [this](const RomOutcome& outcome) { FinishRomQuery(outcome); });
    if (started) SetBusy(true);
}

void CommandPanelDialog::FinishRomQuery(const RomOutcome& outcome) {
    rom_->setText(QString::fromStdString(outcome.text));
    SetBusy(false);
}

void CommandPanelDialog::StoreMemory() {
    ReadId();
    memory_.setRunMode = RunModeSetting(CheckedMode());
    memory_.setStopMode = outputsOff_->isChecked() ? 1 : 0;
    memory_.setIdAll = all_->isChecked() ? 1 : 0;
}

// Escape and the close box end here too; not while the ROM query uses the port.
void CommandPanelDialog::done(int result) {
    if (romQuery_->running()) return;
    StoreMemory();
    Close();
    QDialog::done(result);
}

void RunCommandPanelDialog(QWidget* parent, PanelMemory& memory, const LinkAccess& access, Prompts& prompts) {
    CommandPanelDialog dialog(memory, access, parent);
    if (!dialog.OpenPort()) {
        prompts.ShowFailure(LinkFailure(dialog.openError()));
        return;
    }
    dialog.exec();
}

}  // namespace velmorin
