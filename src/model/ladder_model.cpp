#include "model/ladder_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "model/operand_areas.h"

namespace velmorin {
namespace {

constexpr uint8_t EndMark = 0xFF;

void UpperCase(NameField& field) {
    for (char& c : field) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void MarkEnd(NameField& field) {
    field.fill(0);
    field[0] = static_cast<char>(EndMark);
    field[1] = 0;
}

void ResetGrid(LadderGrid& grid) {
    for (LadderCell& cell : grid.cells) {
        cell = LadderCell{};
        for (ParamSlot& slot : cell.params) slot[0] = Unchosen;
    }
    for (int32_t row = 1; row < GridRows; ++row) {
        LadderCell& left = grid.at(row, 0);
        LadderCell& right = grid.at(row, GridColumns - 1);
        switch (row % BlockRows) {
            case 1:
                left.shape = KindCornerDownRight;
                right.shape = KindCornerDownLeft;
                break;
            case 0:
                left.shape = KindCornerUpRight;
                right.shape = KindCornerUpLeft;
                break;
            default:
                left.shape = KindTeeUpDownRight;
                right.shape = KindTeeUpDownLeft;
                break;
        }
    }
}

// The areas follow one another, so the first index no area names is the
// one past the table and carries the end mark.
void ResetAliases(std::array<AliasEntry, AliasCount>& aliases) {
    aliases.fill(AliasEntry{});
    for (size_t index = 0; index < aliases.size(); ++index) {
        AliasEntry& entry = aliases[index];
        const std::string name = FormatOperandName(VariableAreas, static_cast<int32_t>(index));
        if (name.empty()) {
            MarkEnd(entry.name);
            return;
        }
        SetFieldText(entry.name, name);
        entry.alias = entry.name;
        UpperCase(entry.name);
    }
}

void ResetMonitorNames(std::array<NameField, MonitorNameCount>& names) {
    names.fill(NameField{});
    for (size_t index = 0; index < names.size(); ++index) {
        const std::string name = FormatOperandName(MonitorAreas, static_cast<int32_t>(index));
        if (name.empty()) {
            MarkEnd(names[index]);
            return;
        }
        SetFieldText(names[index], name);
        UpperCase(names[index]);
    }
}

void ResetLabels(std::array<LabelEntry, LabelCount>& labels) {
    for (int32_t i = 0; i < LabelCount; ++i) {
        LabelEntry& label = labels[static_cast<size_t>(i)];
        label = LabelEntry{};
        char number[8];
        std::snprintf(number, sizeof number, "%02d", i + 1);
        SetFieldText(label.name, std::string("ETQ") + number);
        SetFieldText(label.alias, std::string("etq") + number);
    }
}

}  // namespace

void ResetModel(ProgramModel& model) {
    ResetGrid(model.grid);
    ResetAliases(model.aliases);
    ResetLabels(model.labels);
    ResetMonitorNames(model.monitorNames);
}

std::string FieldText(const NameField& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

std::string SlotText(const ParamSlot& slot) {
    const auto end = std::find(slot.begin(), slot.end(), uint8_t{0});
    return std::string(slot.begin(), end);
}

void SetFieldText(NameField& field, std::string_view text) {
    const size_t n = std::min(text.size(), field.size() - 1);
    std::memcpy(field.data(), text.data(), n);
    field[n] = '\0';
}

void SetSlotText(ParamSlot& slot, std::string_view text) {
    const size_t n = std::min(text.size(), slot.size() - 1);
    std::memcpy(slot.data(), text.data(), n);
    slot[n] = 0;
}

}  // namespace velmorin
