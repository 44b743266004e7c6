#pragma once
// The densest program that still compiles cleanly: all 24 blocks drawn,
// each with a parallel pair, and alternately a timer and a jump or a
// fan-out to two coils, the last row of each block a wire net. The compile
// bench times its compilation, the decompile bench the way back.
#include <memory>

#include "model/ladder_model.h"

namespace velmorin {

inline void Put(ProgramModel& m, int row, int column, int shape, int element = ElementNone) {
    LadderCell& cell = m.grid.at(row, column);
    cell.shape = shape;
    cell.element = element;
}

inline void Index(ProgramModel& m, int row, int column, int param, int index) {
    m.grid.at(row, column).params[param][0] = static_cast<uint8_t>(index);
    m.grid.at(row, column).params[param][1] = 0;
}

inline void Wire(ProgramModel& m, int row, int first, int last) {
    for (int c = first; c <= last; ++c) Put(m, row, c, KindHorizontal);
}

inline std::unique_ptr<ProgramModel> DensestProgram() {
    auto m = std::make_unique<ProgramModel>();
    ResetModel(*m);
    for (int block = 0; block < BlockCount; ++block) {
        const int f = BlockFirstRow(block);
        Put(*m, f, 1, KindContactOpen, ElementLd);
        Index(*m, f, 1, 0, 2 * (block % 4));
        Put(*m, f + 1, 1, KindContactOpen, ElementLd);
        Index(*m, f + 1, 1, 0, 2 * (block % 4) + 1);
        Put(*m, f, 2, KindTeeLeftRightDown);
        Wire(*m, f, 3, 7);
        if (block % 2 == 0) {
            // Parallel pair into a timer; a jump over the next block's label.
            Put(*m, f + 1, 2, KindCornerUpLeft);
            Put(*m, f, 8, KindBoxTwoSided, ElementTp);
            Index(*m, f, 8, 0, 86 + block % 4);
            SetSlotText(m->grid.at(f, 8).params[1], "2.5");
            Put(*m, f + 2, 1, KindConditional, ElementJp1);
            Index(*m, f + 2, 1, 0, block + 1);
        } else {
            // Parallel pair fanned out to two coils.
            Put(*m, f + 1, 2, KindTeeUpDownLeft);
            Put(*m, f + 2, 2, KindCornerUpRight);
            Wire(*m, f + 2, 3, 7);
            Put(*m, f, 8, KindCoil, ElementOut);
            Index(*m, f, 8, 0, 8 + block % 6);
            Put(*m, f + 2, 8, KindCoil, ElementOut);
            Index(*m, f + 2, 8, 0, 14 + block);
        }
        if (block == BlockCount - 1)
            Put(*m, f + 3, 1, KindBoxOneSided, ElementEnd);
        else
            Wire(*m, f + 3, 1, 8);
    }
    return m;
}

}  // namespace velmorin
