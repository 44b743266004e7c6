#include "app/QtFrameDialogs.h"

#include "app/AboutDialog.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinApp.h"
#include "app/CVelmorinDoc.h"
#include "compiler/ui/CompileDialog.h"

namespace velmorin {

CompileResult QtFrameDialogs::Compile(const std::string& sourcePath) {
    return RunCompileDialog(&frame_, app_.compiler(), app_.document().model(), sourcePath, app_.prompts());
}

int QtFrameDialogs::About(int splashCounter) { return ShowAboutBox(splashCounter, app_.font(4), &frame_); }

}  // namespace velmorin
