#include "model/ladder_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <span>

#include "model/operand_areas.h"

namespace velmorin {
namespace {

constexpr uint8_t EndMark = 0xFF;

void SetFormatted(NameField& field, const char* format, int32_t number) {
    char text[32];
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    std::snprintf(text, sizeof text, format, number);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    field.fill(0);
    SetFieldText(field, text);
}

void UpperCase(NameField& field) {
    for (char& c : field) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void MarkEnd(NameField& field) {
    field.fill(0);
    field[0] = static_cast<char>(EndMark);
    field[1] = 0;
}

// Walks the area table as the name tables are filled: `visit(index, area, n)`
// for every named index, then `end(index)` for the first index past them.
// With `pairedCountStates` the indices from FirstCountState on share one
// number per two entries.
template <typename Visit, typename End>
void WalkAreas(std::span<const OperandArea> areas, int32_t tableSize, bool pairedCountStates,
               Visit visit, End end) {
    size_t area = 0;
    int32_t n = 1;
    for (int32_t index = 0; index < tableSize; ++index) {
        const OperandArea& current = areas[area];
        if (current.id == -1) {
            end(index);
            return;
        }
        visit(index, current, n);
        if (!pairedCountStates || index < FirstCountState || (index - FirstCountState) % 2 == 1) ++n;
        if (index == current.last) {
            ++area;
            n = 1;
        }
    }
}

void ResetGrid(LadderGrid& grid) {
    for (LadderCell& cell : grid.cells) {
        // The anchors belong to the view's geometry, not to the program.
        const int32_t x = cell.x, y = cell.y;
        cell = LadderCell{};
        cell.x = x;
        cell.y = y;
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

void ResetAliases(std::array<AliasEntry, AliasCount>& aliases) {
    aliases.fill(AliasEntry{});
    WalkAreas(
        VariableAreas, AliasCount, false,
        [&](int32_t index, const OperandArea& area, int32_t n) {
            AliasEntry& entry = aliases[static_cast<size_t>(index)];
            SetFormatted(entry.name, area.format, n);
            entry.alias = entry.name;
            UpperCase(entry.name);
        },
        [&](int32_t index) { MarkEnd(aliases[static_cast<size_t>(index)].name); });
}

void ResetMonitorNames(std::array<NameField, MonitorNameCount>& names) {
    names.fill(NameField{});
    WalkAreas(
        MonitorAreas, MonitorNameCount, true,
        [&](int32_t index, const OperandArea& area, int32_t n) {
            NameField& name = names[static_cast<size_t>(index)];
            SetFormatted(name, area.format, n);
            UpperCase(name);
        },
        [&](int32_t index) { MarkEnd(names[static_cast<size_t>(index)]); });
}

void ResetLabels(std::array<LabelEntry, LabelCount>& labels) {
    for (int32_t i = 0; i < LabelCount; ++i) {
        LabelEntry& label = labels[static_cast<size_t>(i)];
        label = LabelEntry{};
        SetFormatted(label.name, "ETQ%02d", i + 1);
        SetFormatted(label.alias, "etq%02d", i + 1);
    }
}

template <size_t N>
std::string TerminatedText(const std::array<char, N>& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    return std::string(bytes.begin(), end);
}

}  // namespace

void ResetModel(ProgramModel& model) {
    ResetGrid(model.grid);
    ResetAliases(model.aliases);
    ResetLabels(model.labels);
    ResetMonitorNames(model.monitorNames);
}

std::string FieldText(const NameField& field) { return TerminatedText(field); }

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
