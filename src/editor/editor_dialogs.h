#pragma once
// The dialogs the editor asks its questions with. Each runs modally and
// returns a plain value; the shell shows the real ones, tests script them.
#include "editor/diagram_editor.h"
#include "editor/parameter_session.h"

namespace velmorin {

class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;

    // "Edición de parámetros" for the clicked cell of the document's diagram.
    // Alias and label renames are made in the document's tables while it is
    // open and undone when it is cancelled; a box closed at once comes back
    // not accepted.
    virtual ParameterResult Parameters(const ParameterRequest& request) = 0;
    // "Bloque": what to do with the block selection just made.
    virtual BlockChoice Block() = 0;
};

}  // namespace velmorin
