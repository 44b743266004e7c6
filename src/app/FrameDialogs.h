#pragma once
// Every dialog the main frame opens: the editor's, the compiler's and the
// link's, each declared by its subsystem, and the about box, which is the
// shell's own. The frame decides from their values what follows what
// (compile -> error list -> send -> command panel) and stores what the
// application owns (the port, the splash counter). QtFrameDialogs shows the
// real dialogs; tests script the answers.
#include "compiler/compiler_dialogs.h"
#include "editor/editor_dialogs.h"
#include "link/link_dialogs.h"

namespace velmorin {

class FrameDialogs : public EditorDialogs, public CompilerDialogs, public LinkDialogs {
public:
    // "Acerca de velmorin": a three-second splash while `splashCounter` is 0.
    // Returns the counter as the box leaves it.
    virtual int About(int splashCounter) = 0;
};

}  // namespace velmorin
