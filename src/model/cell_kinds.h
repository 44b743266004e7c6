#pragma once
// The 30 cell kinds and their attribute masks. The editor, the view and the
// compiler all decide by these masks, so the table is the single source.
#include <array>
#include <cstdint>

namespace velmorin {

enum CellKind : int32_t {
    KindBoxOneSided = 0,        // CAJA1 elements: input on the left only
    KindBoxTwoSided = 1,        // CAJA2 elements: input left, output right
    KindBoxLowerHalf = 2,       // lower half of a two-row box
    KindBoxUpperHalf = 3,       // upper half of a two-row box (carries the element)
    KindCornerDownRight = 4,
    KindCornerUpRight = 5,
    KindCornerUpLeft = 6,
    KindCornerDownLeft = 7,
    KindCross = 8,
    KindHalfDown = 9,
    KindHalfRight = 10,
    KindHalfUp = 11,
    KindHalfLeft = 12,
    KindHorizontal = 13,
    KindContactOpen = 14,       // LD
    KindContactClosed = 15,     // LDN
    KindTeeLeftRightUp = 16,
    KindTeeUpDownLeft = 17,
    KindTeeUpDownRight = 18,
    KindTeeLeftRightDown = 19,
    KindVertical = 20,
    KindConditional = 21,       // IF elements
    KindCoil = 22,              // OUT
    KindBlank = 23,             // pending erase; the compiler's "nothing here" marker
    KindCrossOut = 24,
    KindLabelFrame = 25,
    KindCrossOutAlt = 26,
    KindRedSquare = 27,
    KindGreenSquare = 28,
    ShapeEmpty = 29,
};

constexpr int32_t CellKindCount = 30;

// Attribute bits of KindAttributes masks.
constexpr int32_t AttrWire = 0x0001;             // conducts between its connectors
constexpr int32_t AttrElement = 0x0008;          // holds an element: an edge of the graph
constexpr int32_t AttrWireLeft = 0x0040;         // wire with a left connection
constexpr int32_t AttrElementPicture = 0x0080;
constexpr int32_t AttrNothingLeft = 0x0100;      // nothing connects on the left side
constexpr int32_t AttrLowerBoxLeftOk = 0x0200;   // acceptable left neighbour of a lower box half
constexpr int32_t AttrCompilable = 0x0400;       // makes a program non-empty
constexpr int32_t AttrConnectingWire = 0x0800;   // taken into the compiler's cell node table
constexpr int32_t AttrUp = 0x1000;
constexpr int32_t AttrDown = 0x2000;
constexpr int32_t AttrRight = 0x4000;
constexpr int32_t AttrLeft = 0x8000;

struct KindAttributeRow {
    int32_t mask;
    bool colourVariants;  // red and green pictures exist
};

extern const std::array<KindAttributeRow, CellKindCount> KindAttributes;

// Mask of a shape; 0 for values outside 0..29 so that damaged cells connect to nothing.
int32_t KindMask(int32_t shape);
inline bool KindHas(int32_t shape, int32_t bits) { return (KindMask(shape) & bits) != 0; }
bool KindHasColourVariants(int32_t shape);

}  // namespace velmorin
