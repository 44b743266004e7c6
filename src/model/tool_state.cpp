#include "model/tool_state.h"

namespace velmorin {

int32_t ToolState::flag(int32_t kind) const {
    if (kind < 0 || kind >= ToolFlagCount) return 0;
    return flags_[kind];
}

void ToolState::ToggleTool(int32_t kind) {
    if (kind < 0 || kind >= ToolFlagCount) return;
    const int32_t wasActive = flags_[kind];
    current_ = kind;
    flags_.fill(0);
    flags_[kind] = wasActive ? 0 : 1;
    if (wasActive) current_ = NoTool;
}

void ToolState::SelectTool(int32_t kind) {
    flags_.fill(0);
    if (kind < 0 || kind >= ToolFlagCount) {
        current_ = NoTool;
        return;
    }
    current_ = kind;
    flags_[kind] = 1;
}

}  // namespace velmorin
