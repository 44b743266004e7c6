#include "app/QtFrameDialogs.h"

#include "app/AboutDialog.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinApp.h"
#include "app/CVelmorinDoc.h"
#include "compiler/error_list.h"
#include "compiler/ui/CompileDialog.h"
#include "compiler/ui/ErrorListDialog.h"
#include "editor/ui/BlockDialog.h"
#include "editor/ui/ParameterDialog.h"

namespace velmorin {

CompileResult QtFrameDialogs::Compile(const std::string& sourcePath) {
    return RunCompileDialog(&frame_, app_.compiler(), app_.document().model(), sourcePath, app_.prompts());
}

void QtFrameDialogs::ErrorList() { CurrentDiagnostics(DiagnosticsOf(app_.compiler())); }

void QtFrameDialogs::CurrentDiagnostics(const std::vector<DiagnosticEntry>& diagnostics) {
    RunErrorList(&frame_, *frame_.view(), app_.document().model(), diagnostics, app_.prompts());
}

int QtFrameDialogs::About(int splashCounter) { return ShowAboutBox(splashCounter, app_.font(4), &frame_); }

ParameterResult QtFrameDialogs::Parameters(const ParameterRequest& request) {
    return RunParameterDialog(&frame_, app_.document().model(), request, app_.prompts());
}

BlockChoice QtFrameDialogs::Block() { return RunBlockDialog(&frame_); }

}  // namespace velmorin
