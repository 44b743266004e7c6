#pragma once
// The real dialogs behind FrameDialogs.
#include "app/FrameDialogs.h"
#include "link/link_access.h"

namespace velmorin {

class CMainFrame;
class CVelmorinApp;

class QtFrameDialogs : public FrameDialogs {
public:
    QtFrameDialogs(CVelmorinApp& app, CMainFrame& frame) : app_(app), frame_(frame) {}

    CompileResult Compile(const std::string& sourcePath) override;
    void ErrorList() override;
    void CurrentDiagnostics(const std::vector<DiagnosticEntry>& diagnostics,
                            const std::vector<Observation>& observations) override;
    bool SendProgram() override;
    std::optional<CodeImage> ExtractProgram() override;
    MonitorClose VariableMonitor() override;
    void CommandPanel() override;
    std::optional<int> SerialPort(int commPort) override;
    int About(int splashCounter) override;
    ParameterResult Parameters(const ParameterRequest& request) override;
    BlockChoice Block() override;

private:
    // The controller on the configured port, one link per job.
    LinkAccess Access();

    CVelmorinApp& app_;
    CMainFrame& frame_;
};

}  // namespace velmorin
