// Edits whatever a source file holds, damaged cells included: the input is a
// two-byte script length, the script, then the bytes of a *.ldr file. Each
// three script bytes are one user action (a click with a tool, the parameter
// dialog, a block cut, copy or paste, keys, undo, redo, inserting, deleting
// and moving whole blocks, find, an alias table imported). Nothing may crash or
// read outside the grid, and undoing everything gives back the loaded program.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "model/source_file.h"
#include "support/editor_script.h"

using namespace velmorin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ProgramModel* const reset = [] {
        auto* m = new ProgramModel;
        ResetModel(*m);
        return m;
    }();
    static ProgramModel* const model = new ProgramModel;
    if (size < 2) return 0;
    const size_t scriptLength = std::min<size_t>(size - 2, (data[0] << 8 | data[1]) % 301);
    const std::span<const uint8_t> script(data + 2, scriptLength);
    *model = *reset;
    if (!ReadSourceBytes(*model, std::span<const uint8_t>(data + 2 + scriptLength, size - 2 - scriptLength)).ok) {
        return 0;
    }
    const std::vector<uint8_t> loaded = EncodeSourceFile(*model);

    testing::SilentPrompts prompts;
    ToolState tools;
    static ViewOverlay* const overlay = new ViewOverlay;
    *overlay = ViewOverlay{};
    DiagramEditor editor(*model, tools, *overlay);
    editor.InitialUpdate();
    testing::PlayEditorScript(*model, tools, editor, script, prompts);
    // The first undo also ends a click still waiting for its timer.
    editor.Undo();
    while (editor.CanUndo()) editor.Undo();
    if (EncodeSourceFile(*model) != loaded) std::abort();
    return 0;
}
