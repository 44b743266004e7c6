#pragma once
// The editor's insertion tool: which cell kind a click lays down, and the
// check marks of the tool commands. Kept apart from any widget so the menu,
// the toolbar, the palette and the view all read one state.
#include <array>
#include <cstdint>

#include "model/cell_kinds.h"

namespace velmorin {

// The tool commands of the "Elementos" menu and the toolbar.
struct ElementToolCommand {
    int32_t id;
    const char* menuText;  // nullptr: toolbar only
    const char* mnemonic;  // the tooltip part of its status prompt
    int32_t kind;
};

// In menu order; the delete tool comes last and has no menu entry.
extern const std::array<ElementToolCommand, 10> ElementToolCommands;

// The command of a tool kind, or nullptr when no command selects it.
const ElementToolCommand* ToolCommandForKind(int32_t kind);
const ElementToolCommand* ToolCommandForId(int32_t id);

constexpr int32_t ToolFlagCount = 29;  // kinds 0..28
constexpr int32_t NoTool = ShapeEmpty;

class ToolState {
public:
    int32_t currentTool() const { return current_; }
    // The check mark of a kind's command; 0 for kinds without a flag.
    int32_t flag(int32_t kind) const;
    bool checked(int32_t kind) const { return flag(kind) == 1; }

    // A tool command: choosing the active tool again leaves no tool.
    void ToggleTool(int32_t kind);
    // Makes `kind` the tool without toggling (palette, picking up a cell);
    // NoTool or any kind outside 0..28 clears the tool.
    void SelectTool(int32_t kind);
    void Clear() { SelectTool(NoTool); }

private:
    int32_t current_ = NoTool;
    std::array<int32_t, ToolFlagCount> flags_{};
};

}  // namespace velmorin
