#include "model/cell_kinds.h"

#include <cstddef>

namespace velmorin {

const std::array<KindAttributeRow, CellKindCount> KindAttributes{{
    {0x048A, true},   // 0 one-sided box
    {0x068A, true},   // 1 two-sided box
    {0x048C, true},   // 2 lower half of a two-row box
    {0x048C, true},   // 3 upper half of a two-row box
    {0x6B01, false},  // 4 corner down-right
    {0x5B01, false},  // 5 corner up-right
    {0x9841, false},  // 6 corner up-left
    {0xA841, false},  // 7 corner down-left
    {0xF841, false},  // 8 cross
    {0x0301, false},  // 9 half line down
    {0x0301, false},  // 10 half line right
    {0x0301, false},  // 11 half line up
    {0x0041, false},  // 12 half line left
    {0xCA41, false},  // 13 horizontal line
    {0x0688, true},   // 14 normally open contact
    {0x0688, true},   // 15 normally closed contact
    {0xD841, false},  // 16 tee left-right-up
    {0xB841, false},  // 17 tee up-down-left
    {0x7B01, false},  // 18 tee up-down-right
    {0xE841, false},  // 19 tee left-right-down
    {0x3B01, false},  // 20 vertical line
    {0x0488, true},   // 21 conditional box
    {0x0688, true},   // 22 output coil
    {0x0320, false},  // 23 blank
    {0x0020, false},  // 24 cross-out mark
    {0x0020, false},  // 25 label frame
    {0x0020, false},  // 26 cross-out mark
    {0x0020, false},  // 27 red square
    {0x0020, false},  // 28 green square
    {0x0300, false},  // 29 empty
}};

int32_t KindMask(int32_t shape) {
    if (shape < 0 || shape >= CellKindCount) return 0;
    return KindAttributes[static_cast<std::size_t>(shape)].mask;
}

bool KindHasColourVariants(int32_t shape) {
    if (shape < 0 || shape >= CellKindCount) return false;
    return KindAttributes[static_cast<std::size_t>(shape)].colourVariants;
}

}  // namespace velmorin
