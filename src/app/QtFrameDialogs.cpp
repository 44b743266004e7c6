#include "app/QtFrameDialogs.h"

#include "app/AboutDialog.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinApp.h"
#include "app/CVelmorinDoc.h"
#include "compiler/ui/CompileDialog.h"
#include "link/ui/VariableMonitorDialog.h"

namespace velmorin {

CompileResult QtFrameDialogs::Compile(const std::string& sourcePath) {
    return RunCompileDialog(&frame_, app_.compiler(), app_.document().model(), sourcePath, app_.prompts());
}

MonitorClose QtFrameDialogs::VariableMonitor() {
    const bool graphic = RunVariableMonitor(&frame_, app_.MonitorLinkContext(), app_.monitorState(),
                                            app_.document().model(), app_.startDirectory().toStdString());
    return graphic ? MonitorClose::Graphic : MonitorClose::Closed;
}

int QtFrameDialogs::About(int splashCounter) { return ShowAboutBox(splashCounter, app_.font(4), &frame_); }

}  // namespace velmorin
