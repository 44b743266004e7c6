#include "model/cross_reference.h"

#include <array>

#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr int32_t LastCompiledColumn = GridColumns - 2;  // the right rail holds no element

bool IsEndMark(const NameField& field) { return static_cast<unsigned char>(field[0]) == Unchosen; }

std::string OperandName(const ProgramModel& model, int32_t index) {
    const AliasEntry& entry = model.aliases[static_cast<size_t>(index)];
    const std::string name = FieldText(entry.name);
    if (name.empty() || IsEndMark(entry.name)) return "#" + std::to_string(index);
    return Windows1252ToUtf8(name);
}

std::string OperandAlias(const ProgramModel& model, int32_t index) {
    const AliasEntry& entry = model.aliases[static_cast<size_t>(index)];
    if (IsEndMark(entry.name) || entry.name[0] == 0) return {};
    return Windows1252ToUtf8(FieldText(entry.alias));
}

// The cell as the compiler takes it: the element of a two-row box is coded
// once, at its upper half, so its lower half is no use of its own.
bool HoldsCompiledElement(const LadderCell& cell) {
    return KindHas(cell.shape, AttrElement) && cell.shape != KindBoxLowerHalf && cell.element >= 0 &&
           cell.element < ElementDummy;
}

}  // namespace

const char* RoleText(OperandRole role) {
    switch (role) {
        case OperandRole::Reads:
            return "lee";
        case OperandRole::Writes:
            return "escribe";
        case OperandRole::Jumps:
            return "salta";
        case OperandRole::None:
            break;
    }
    return "";
}

CrossReference BuildCrossReference(const ProgramModel& model) {
    std::array<std::vector<OperandUse>, AliasCount> operandUses;
    std::array<std::vector<OperandUse>, 256> labelJumps;  // a label byte may hold any value
    for (int32_t row = 1; row < GridRows; ++row) {
        for (int32_t column = 0; column <= LastCompiledColumn; ++column) {
            const LadderCell& cell = model.grid.at(row, column);
            if (!HoldsCompiledElement(cell)) continue;
            const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
            for (int32_t p = 0; p < entry.paramCount; ++p) {
                const OperandRole role = RoleOf(cell.element, p);
                const uint8_t index = cell.params[static_cast<size_t>(p)][0];
                if (role == OperandRole::None || index == Unchosen) continue;
                const OperandUse use{row, column, cell.element, p, role};
                (role == OperandRole::Jumps ? labelJumps : operandUses)[index].push_back(use);
            }
        }
    }

    CrossReference xref;
    for (int32_t index = 0; index < AliasCount; ++index) {
        std::vector<OperandUse>& uses = operandUses[static_cast<size_t>(index)];
        if (uses.empty()) continue;
        xref.operands.push_back({index, OperandName(model, index), OperandAlias(model, index), std::move(uses)});
    }
    for (int32_t index = 0; index < 256; ++index) {
        std::vector<OperandUse>& jumps = labelJumps[static_cast<size_t>(index)];
        if (jumps.empty()) continue;
        LabelReference label{index, "#" + std::to_string(index), {}, std::move(jumps)};
        if (index < LabelCount) {
            label.name = Windows1252ToUtf8(FieldText(model.labels[static_cast<size_t>(index)].name));
            label.alias = Windows1252ToUtf8(FieldText(model.labels[static_cast<size_t>(index)].alias));
        }
        xref.labels.push_back(std::move(label));
    }
    return xref;
}

std::string PlaceText(const ProgramModel& model, int32_t row, int32_t column) {
    const int32_t block = BlockOfRow(row);
    std::string text = block >= 0 && block < LabelCount
                           ? Windows1252ToUtf8(FieldText(model.labels[static_cast<size_t>(block)].name))
                           : std::string("-");
    text += " Y" + std::to_string(row >= 1 ? (row - 1) % BlockRows + 1 : 0);
    text += " X" + std::to_string(column);
    return text;
}

std::string OperandLabel(const OperandReference& operand) {
    if (operand.alias.empty()) return operand.name;
    const std::optional<std::string> name = Utf8ToWindows1252(operand.name);
    const std::optional<std::string> alias = Utf8ToWindows1252(operand.alias);
    if (name && alias && SameNameIgnoringCase(*name, *alias)) return operand.name;
    return operand.name + " (" + operand.alias + ")";
}

}  // namespace velmorin
