#pragma once
// Small diagram builders shared by the shell and compile-dialog tests.
#include <cstdint>

#include "model/ladder_model.h"

namespace velmorin::testing {

constexpr int E1 = 0;  // variable index of input e1
constexpr int S1 = 8;  // variable index of output s1

// An element with its own cell kind and its first operand.
inline void PutElement(ProgramModel& model, int row, int column, int element, int variable) {
    LadderCell& cell = model.grid.at(row, column);
    cell.element = element;
    cell.shape = CatalogueEntryFor(element).cellKind;
    cell.params[0][0] = static_cast<uint8_t>(variable);
    cell.params[0][1] = 0;
}

// ld e1 ───── out s1 on one row.
inline void PutRung(ProgramModel& model, int row) {
    PutElement(model, row, 1, ElementLd, E1);
    for (int column = 2; column <= 7; ++column) model.grid.at(row, column).shape = KindHorizontal;
    PutElement(model, row, 8, ElementOut, S1);
}

// `end` at the start of a block.
inline void PutEnd(ProgramModel& model, int block) {
    LadderCell& cell = model.grid.at(BlockFirstRow(block), 1);
    cell.element = ElementEnd;
    cell.shape = CatalogueEntryFor(ElementEnd).cellKind;
}

}  // namespace velmorin::testing
