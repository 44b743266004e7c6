#pragma once
// The editor's insertion tool: which cell kind a click lays down, and the
// check marks of the tool commands. Kept apart from any widget so the menu,
// the toolbar, the palette and the view all read one state. Which command
// selects which kind is the command table's business.
#include <array>
#include <cstdint>

#include "model/cell_kinds.h"

namespace velmorin {

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
