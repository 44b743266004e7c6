#pragma once
// "Monitor": watches and forces controller variables by name, in four maps
// of eight rows. The rules (the lists, what a map shows, the poll lists,
// what "Enviar PLC" sends, the *.mld files) are the core's (monitor_set.h,
// monitor_file.h); this window holds the port from opening to closing, runs
// the poll worker and takes its reports through queued invocations.
#include <QDialog>

#include <array>
#include <memory>
#include <string>

#include "link/monitor_file.h"
#include "link/monitor_set.h"
#include "link/ui/MonitorContext.h"
#include "ui/BackgroundJob.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabBar;

namespace velmorin {

class MonitorLink;

class VariableMonitorDialog : public QDialog {
    Q_OBJECT
public:
    // The result of a close through "Gráfico": the frame goes into live mode.
    static constexpr int Graphic = QDialog::Accepted;

    struct RowWidgets {
        QComboBox* variable = nullptr;
        QCheckBox* bit0 = nullptr;
        QLineEdit* value = nullptr;
        QCheckBox* word = nullptr;
        QCheckBox* send = nullptr;
    };

    VariableMonitorDialog(const MonitorContext& context, MonitorState& state, ProgramModel& model,
                          std::string directory, QWidget* parent = nullptr);
    ~VariableMonitorDialog() override;

    // Opens the port. When it cannot be opened the link's error has been
    // shown and the dialog is not to be shown.
    bool OpenPort();
    // "Detener" is shown: the worker polls, or is about to end by itself.
    bool polling() const { return polling_; }
    // From "Recibir PLC" until the worker's end has reached the window.
    bool workerAlive() const { return pollJob_.running(); }
    int currentMap() const { return currentMap_; }

    const RowWidgets& row(int index) const { return rows_[static_cast<size_t>(index)]; }
    QTabBar* mapTabs() const { return tabs_; }
    QLabel* description() const { return description_; }
    QLineEdit* programName() const { return programName_; }
    QPushButton* receiveButton() const { return receive_; }
    QPushButton* sendButton() const { return send_; }
    QLabel* linkLight() const { return linkLight_; }
    QLabel* heartbeatLight() const { return heartbeatLight_; }
    QLabel* linkFigures() const { return figures_; }
    QSpinBox* identifier() const { return identifier_; }

    // Every way out: the identifier is stored, the worker stopped, the port closed.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildMaps();
    QWidget* BuildDescription();
    QWidget* BuildButtons();

    MonitorMap& Map() { return state_.set[static_cast<size_t>(currentMap_)]; }
    void ShowMap();
    void ShowValues(const std::array<RowValue, MonitorRowsPerMap>& values);
    void SetValueFieldsEnabled(bool enabled);
    void ShowIdle();
    void PublishShownMap();
    void ApplyAliases(const Association& association);

    void onMapChosen(int index);
    void onVariableChosen(int rowIndex);
    void onToggleReceive();
    void StartPolling();
    void StopPolling();
    void OnCycleEnded(const CycleEnd& end, const ReceivedBytes& received);
    void onSendValues();
    void onSave();
    void onLoad();
    void onAssociate();
    void onGraphic();

    MonitorContext context_;
    MonitorState& state_;
    ProgramModel& model_;
    std::string directory_;
    std::unique_ptr<MonitorLink> link_;
    // Runs the poll worker; it ends before the link goes.
    BackgroundJob pollJob_;
    int currentMap_ = 0;
    bool polling_ = false;
    bool closed_ = false;

    QTabBar* tabs_ = nullptr;
    std::array<RowWidgets, MonitorRowsPerMap> rows_{};
    QLabel* description_ = nullptr;
    QLineEdit* programName_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* receive_ = nullptr;
    QLabel* linkLight_ = nullptr;
    QLabel* heartbeatLight_ = nullptr;
    QLabel* figures_ = nullptr;
    QSpinBox* identifier_ = nullptr;
};

// Opens the port and runs the dialog modally; true when it closed through
// "Gráfico". A port that cannot be opened is reported and nothing is shown.
bool RunVariableMonitor(QWidget* parent, const MonitorContext& context, MonitorState& state, ProgramModel& model,
                        const std::string& directory);

}  // namespace velmorin
