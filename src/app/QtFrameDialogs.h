#pragma once
// The real dialogs behind FrameDialogs. The dialogs of the error list, the
// transfers, the command panel and the port are not written yet: their
// methods open nothing and return the value of a box closed at once.
#include "app/FrameDialogs.h"

namespace velmorin {

class CMainFrame;
class CVelmorinApp;

class QtFrameDialogs : public FrameDialogs {
public:
    QtFrameDialogs(CVelmorinApp& app, CMainFrame& frame) : app_(app), frame_(frame) {}

    CompileResult Compile(const std::string& sourcePath) override;
    void ErrorList() override {}
    bool SendProgram() override { return false; }
    void ExtractProgram() override {}
    MonitorClose VariableMonitor() override;
    void CommandPanel() override {}
    std::optional<int> SerialPort(int /*commPort*/) override { return std::nullopt; }
    int About(int splashCounter) override;

private:
    CVelmorinApp& app_;
    CMainFrame& frame_;
};

}  // namespace velmorin
