#include "app/QtFrameDialogs.h"

#include <utility>

#include "app/AboutDialog.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinApp.h"
#include "app/CVelmorinDoc.h"
#include "compiler/error_list.h"
#include "compiler/ui/CompileDialog.h"
#include "compiler/ui/ErrorListDialog.h"
#include "editor/ui/BlockDialog.h"
#include "editor/ui/CVelmorinView.h"
#include "editor/ui/ParameterDialog.h"
#include "link/link_dialog_rules.h"
#include "link/port_devices.h"
#include "link/ui/CommandPanelDialog.h"
#include "link/ui/ExtractProgramDialog.h"
#include "link/ui/PortSelectDialog.h"
#include "link/ui/SendProgramDialog.h"
#include "link/ui/VariableMonitorDialog.h"

namespace velmorin {

CompileResult QtFrameDialogs::Compile(const std::string& sourcePath) {
    return app_.KeepCompilation(RunCompileDialog(&frame_, app_.document().model(), sourcePath, app_.prompts()));
}

void QtFrameDialogs::ErrorList() {
    RunErrorList(&frame_, *frame_.view(), app_.document().model(), app_.lastCompile().output.diagnostics,
                 app_.prompts());
}

void QtFrameDialogs::CurrentDiagnostics(const std::vector<DiagnosticEntry>& diagnostics,
                                        const std::vector<Observation>& observations) {
    RunErrorList(&frame_, *frame_.view(), app_.document().model(), diagnostics, app_.prompts(), observations);
}

LinkAccess QtFrameDialogs::Access() { return {&app_.ControllerLink(), app_.settings().commPort, &app_.clock()}; }

namespace {

TransferMemory TransferMemoryOf(const CVelmorinApp& app, const AppSettings& settings) {
    return {settings.plcId, settings.plcSelOnProg != 0, app.transferPassword()};
}

void KeepTransferMemory(CVelmorinApp& app, AppSettings& settings, const TransferMemory& memory) {
    settings.plcId = memory.plcId;
    settings.plcSelOnProg = memory.anyController ? 1 : 0;
    app.SetTransferPassword(memory.password);
}

}  // namespace

bool QtFrameDialogs::SendProgram() {
    // Only a final image is sent from memory: one of a compilation without
    // errors, for a document that has a file.
    std::optional<ProgramToSend> inMemory;
    const CompileRun& compiled = app_.lastCompile();
    const QString sourcePath = app_.document().currentPath();
    if (compiled.output.finalImage && compiled.output.image.codeLength > 0 && !sourcePath.isEmpty()) {
        ProgramToSend program;
        program.image = compiled.output.image;
        // Named after what was compiled, which the document may have left since.
        const std::string& imagePath = compiled.targets.imagePath;
        program.title = ProgramTitle(imagePath.empty() ? sourcePath.toStdString() : imagePath);
        inMemory = std::move(program);
    }
    AppSettings& settings = app_.settings();
    TransferMemory memory = TransferMemoryOf(app_, settings);
    const bool sent = RunSendProgramDialog(&frame_, std::move(inMemory), memory, Access(), app_.prompts(),
                                           app_.startDirectory().toStdString());
    KeepTransferMemory(app_, settings, memory);
    return sent;
}

std::optional<CodeImage> QtFrameDialogs::ExtractProgram() {
    AppSettings& settings = app_.settings();
    TransferMemory memory = TransferMemoryOf(app_, settings);
    std::optional<CodeImage> received =
        RunExtractProgramDialog(&frame_, memory, Access(), app_.prompts(), app_.startDirectory().toStdString());
    KeepTransferMemory(app_, settings, memory);
    return received;
}

void QtFrameDialogs::CommandPanel() {
    AppSettings& settings = app_.settings();
    PanelMemory memory{settings.plcId, settings.setRunMode, settings.setStopMode, settings.setIdAll};
    RunCommandPanelDialog(&frame_, memory, Access(), app_.prompts());
    settings.plcId = memory.plcId;
    settings.setRunMode = memory.setRunMode;
    settings.setStopMode = memory.setStopMode;
    settings.setIdAll = memory.setIdAll;
}

std::optional<int> QtFrameDialogs::SerialPort(int commPort) {
    AppSettings& settings = app_.settings();
    PortSelectDialog dialog(commPort, settings.portDevices, ListSerialDevices(), ProcessEnvironment(), &frame_);
    dialog.exec();
    settings.portDevices = dialog.devices();
    return dialog.chosenPort();
}

MonitorClose QtFrameDialogs::VariableMonitor() {
    const bool graphic = RunVariableMonitor(&frame_, app_.MonitorLinkContext(), app_.monitorState(),
                                            app_.document().model(), app_.startDirectory().toStdString());
    return graphic ? MonitorClose::Graphic : MonitorClose::Closed;
}

int QtFrameDialogs::About(int splashCounter) { return ShowAboutBox(splashCounter, app_.font(4), &frame_); }

ParameterResult QtFrameDialogs::Parameters(const ParameterRequest& request) {
    return RunParameterDialog(&frame_, app_.document().model(), request, app_.prompts(),
                              frame_.view()->CellScreenRect(request.cell));
}

BlockChoice QtFrameDialogs::Block() { return RunBlockDialog(&frame_); }

}  // namespace velmorin
