#pragma once
// "Comandos al PLC": stop, run in one of three modes, reset the counters and
// read the ROM version, for one controller or, with "Todos", for every
// controller on the line. The port stays open while the panel shows and is
// closed however it closes; the panel's choices go back to the settings then.
// Run, stop and reset counters are one write each on the interface thread;
// the ROM query, which may take two seconds, runs as a background job while
// the panel keeps painting and takes no other command.
#include <QDialog>

#include <memory>

#include "link/exchanges.h"
#include "link/link_access.h"
#include "link/link_dialog_rules.h"
#include "model/prompts.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmorin {

class BackgroundJob;
class LinkFieldSpinBox;

class CommandPanelDialog : public QDialog {
    Q_OBJECT
public:
    CommandPanelDialog(PanelMemory& memory, LinkAccess access, QWidget* parent = nullptr);
    ~CommandPanelDialog() override;

    // Opens the port for as long as the panel shows; false when it could not
    // be opened (openError() says why) and the panel must not show.
    bool OpenPort();
    LinkError openError() const { return openError_; }
    bool portOpen() const { return link_ != nullptr; }
    bool romQueryRunning() const;

    QCheckBox* outputsOffBox() const { return outputsOff_; }
    QPushButton* stopButton() const { return stop_; }
    QRadioButton* runModeButton(RunMode mode) const { return modes_[static_cast<int>(mode)]; }
    QPushButton* runButton() const { return run_; }
    QPushButton* resetCountersButton() const { return resetCounters_; }
    QCheckBox* allBox() const { return all_; }
    LinkFieldSpinBox* idField() const { return id_; }
    QPushButton* romButton() const { return romButton_; }
    QLineEdit* romField() const { return rom_; }
    QPushButton* exitButton() const { return exit_; }

    void done(int result) override;

private:
    void onStop();
    void onRun();
    void onResetCounters();
    void onRomVersion();
    void FinishRomQuery(const RomOutcome& outcome);
    // "Todos" checked: the identifier and "Versión ROM" are of no use.
    void ApplyAllRule();
    void SetBusy(bool busy);
    RunMode CheckedMode() const;
    // 0 with "Todos"; otherwise the identifier field, which becomes the saved one.
    uint8_t Target();
    uint8_t ReadId();
    void Send(const CommandFrame& frame);
    void StoreMemory();
    void Close();

    PanelMemory& memory_;
    LinkAccess access_;
    PlcLink* link_ = nullptr;  // while the port is open
    LinkError openError_;
    // Gone before the port closes: the query may still hold it.
    std::unique_ptr<BackgroundJob> romQuery_;

    QCheckBox* outputsOff_ = nullptr;
    QPushButton* stop_ = nullptr;
    QRadioButton* modes_[3] = {nullptr, nullptr, nullptr};
    QPushButton* run_ = nullptr;
    QPushButton* resetCounters_ = nullptr;
    QCheckBox* all_ = nullptr;
    LinkFieldSpinBox* id_ = nullptr;
    QPushButton* romButton_ = nullptr;
    QLineEdit* rom_ = nullptr;
    QPushButton* exit_ = nullptr;
};

// The command panel from opening to closing; a port that cannot be opened
// shows "Error %d - %d en comunicación" through `prompts` and no panel.
void RunCommandPanelDialog(QWidget* parent, PanelMemory& memory, const LinkAccess& access, Prompts& prompts);

}  // namespace velmorin
