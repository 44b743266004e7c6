#pragma once
// The in-memory ladder program: a fixed grid of cells plus the three name
// tables, what the source file stores and the document needs and nothing
// else. It is one plain value owned by the document; nothing here allocates.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/catalogue.h"
#include "model/cell_kinds.h"

namespace velmorin {

constexpr int32_t GridRows = 97;     // rows 0..96; row 0 belongs to no block
constexpr int32_t GridColumns = 10;  // 0 = left rail, 9 = right rail
constexpr int32_t BlockCount = 24;
constexpr int32_t BlockRows = 4;
constexpr int32_t ParamSlots = 4;
constexpr int32_t SlotBytes = 10;
constexpr int32_t NameBytes = 10;
constexpr int32_t AliasCount = 256;
constexpr int32_t LabelCount = 25;
constexpr int32_t MonitorNameCount = 256;
constexpr uint8_t Unchosen = 0xFF;  // first byte of an index slot with no choice yet

// First grid row of block k.
constexpr int32_t BlockFirstRow(int32_t block) { return BlockRows * block + 1; }
// Block of a grid row 1..96 (row 0 gives -1).
constexpr int32_t BlockOfRow(int32_t row) { return row >= 1 ? (row - 1) / BlockRows : -1; }

using ParamSlot = std::array<uint8_t, SlotBytes>;
using NameField = std::array<char, NameBytes>;  // NUL-terminated, Windows-1252 bytes

// What a cell of the program holds: all of it is stored in the source file.
// How the view shows a cell (its place, colour, highlight) is the view's.
struct LadderCell {
    int32_t shape = ShapeEmpty;
    int32_t element = ElementNone;
    std::array<ParamSlot, ParamSlots> params{};

    bool occupied() const { return shape >= 0 && shape < ShapeEmpty; }
    bool hasElement() const { return element >= 0 && element < ElementNone; }
};

struct LadderGrid {
    std::array<LadderCell, GridRows * GridColumns> cells;

    LadderCell& at(int32_t row, int32_t column) { return cells[row * GridColumns + column]; }
    const LadderCell& at(int32_t row, int32_t column) const { return cells[row * GridColumns + column]; }
};

struct AliasEntry {
    NameField name{};   // canonical, upper case: V01
    NameField alias{};  // the user's name, at most 8 characters: v01
};

// What a compilation finds out about a label (whether a jump uses it, where
// its code starts) is the compilation's output, not the program's.
struct LabelEntry {
    NameField name{};   // ETQ01..ETQ25
    NameField alias{};  // etq01..etq25 by default
};

struct ProgramModel {
    LadderGrid grid;
    std::array<AliasEntry, AliasCount> aliases;
    std::array<LabelEntry, LabelCount> labels;
    std::array<NameField, MonitorNameCount> monitorNames;
};

// Grid with rails, default alias, label and monitor names.
void ResetModel(ProgramModel& model);

// Text of a NUL-terminated field (all 10 bytes when no NUL is found).
std::string FieldText(const NameField& field);
std::string SlotText(const ParamSlot& slot);
// Copies at most 9 bytes and terminates; the rest of the field is left as it was.
void SetFieldText(NameField& field, std::string_view text);
void SetSlotText(ParamSlot& slot, std::string_view text);

}  // namespace velmorin
