#include "model/tool_state.h"

namespace velmorin {

const std::array<ElementToolCommand, 10> ElementToolCommands = {{
    {32778, "VERT", "Vertical", KindVertical},
    {32777, "HORIZ", "Horizontal", KindHorizontal},
    {32779, "LD", "LD", KindContactOpen},
    {32771, "LDN", "LDN", KindContactClosed},
    {32775, "OUT", "OUT", KindCoil},
    {32776, "IF", "IF1,IF0,IFV1,JP1,JP0,JPV1", KindConditional},
    {32772, "CAJA1", "END,GOTO,RJP", KindBoxOneSided},
    {32780, "CAJA2", "RST,SET,SETB,TP,TPF,TPV,TPVF,OSC,GOSUB,RCT,RTP,NOT,SETIF1,XOR,CLRIF1,NOTA",
     KindBoxTwoSided},
    {32774, "CNTV", "CNTV", KindBoxLowerHalf},
    {32786, nullptr, "Eliminar", KindBlank},
}};

const ElementToolCommand* ToolCommandForKind(int32_t kind) {
    for (const auto& command : ElementToolCommands) {
        if (command.kind == kind) return &command;
    }
    return nullptr;
}

const ElementToolCommand* ToolCommandForId(int32_t id) {
    for (const auto& command : ElementToolCommands) {
        if (command.id == id) return &command;
    }
    return nullptr;
}

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
