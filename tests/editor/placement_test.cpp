// What one click does to the grid, without a view.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editor/placement.h"

namespace velmorin {
namespace {

enum Side { U, D, L, R };
using Sides = std::set<Side>;

// The wire kinds by the sides they connect, as the kinds are drawn.
const std::map<int, Sides> WireSides = {
    {4, {R, D}},     {5, {U, R}},     {6, {U, L}},  {7, {D, L}},  {8, {U, D, L, R}}, {9, {D}},
    {10, {R}},       {11, {U}},       {12, {L}},    {13, {L, R}}, {16, {L, R, U}},   {17, {U, D, L}},
    {18, {U, D, R}}, {19, {L, R, D}}, {20, {U, D}}, {29, {}},
};

int KindWith(const Sides& sides) {
    for (const auto& [kind, s] : WireSides) {
        if (s == sides) return kind;
    }
    return -1;
}

struct Grid {
    Grid() { ResetModel(model); }
    ProgramModel model;
    ToolState tools;
    LadderGrid& grid() { return model.grid; }
    int& kind(int row, int column) { return model.grid.at(row, column).shape; }
    PlaceResult Place(int tool, int row, int column, int xHalf = 1, int yHalf = 1) {
        tools.SelectTool(tool);
        return PlaceAt(model.grid, tools, {{column, row}, xHalf, yHalf});
    }
};

// Each half of a wire tool adds its side to the wire; a tee that already has
// that side is not in the tool's table and is picked up instead.
TEST(Placement, WireHalvesAddTheirSide) {
    struct Tool {
        int kind;
        int xHalf, yHalf;
        Side side;
        int unlistedTee;
    };
    const Tool halves[] = {{KindHorizontal, -1, 1, L, 17},
                           {KindHorizontal, 1, 1, R, 18},
                           {KindVertical, 1, -1, U, 16},
                           {KindVertical, 1, 1, D, 19}};
    for (const Tool& half : halves) {
        for (const auto& [before, sides] : WireSides) {
            SCOPED_TRACE(testing::Message() << "tool " << half.kind << " side " << half.side << " on " << before);
            Grid g;
            g.kind(6, 4) = before;  // a middle row, so no block edge refuses
            const PlaceResult r = g.Place(half.kind, 6, 4, half.xHalf, half.yHalf);
            if (before == half.unlistedTee) {
                EXPECT_TRUE(r.pickedUp);
                EXPECT_EQ(g.kind(6, 4), before);
                continue;
            }
            Sides after = sides;
            after.insert(half.side);
            ASSERT_TRUE(r.placed);
            EXPECT_EQ(g.kind(6, 4), KindWith(after));
            EXPECT_EQ(r.lastResult, KindWith(after));
        }
    }
}

// A new element takes the down connection from the wire above it and the up
// connection from the wire below; a half line that is left with nothing goes.
TEST(Placement, NewElementFixesTheWiresAboveAndBelow) {
    for (const auto& [wire, sides] : WireSides) {
        SCOPED_TRACE(wire);
        Grid g;
        g.kind(6, 4) = wire;
        g.kind(8, 4) = wire;
        g.Place(KindContactOpen, 7, 4);
        Sides above = sides, below = sides;
        above.erase(D);
        below.erase(U);
        EXPECT_EQ(g.kind(6, 4), KindWith(above));
        EXPECT_EQ(g.kind(8, 4), KindWith(below));
    }
    // At the block's edges the neighbours lie in other blocks and stay.
    Grid g;
    g.kind(4, 2) = KindVertical;
    g.kind(6, 2) = KindVertical;
    g.Place(KindCoil, 5, 2);
    EXPECT_EQ(g.kind(4, 2), KindVertical);
    EXPECT_EQ(g.kind(6, 2), KindHalfDown);
    // The emptied half line is a reset cell, not a pending erase.
    g.kind(7, 3) = KindHalfDown;
    g.Place(KindCoil, 8, 3);
    EXPECT_EQ(g.kind(7, 3), ShapeEmpty);
    EXPECT_EQ(g.model.grid.at(7, 3).params[0][0], Unchosen);
}

TEST(Placement, RefusalsDrawTheCrossOutAndChangeNothing) {
    struct Case {
        const char* what;
        int tool, row, column, xHalf, yHalf;
        std::map<std::pair<int, int>, int> grid;  // (row, column) -> kind before the click
        bool crossOut;
    };
    const Case cases[] = {
        {"vertical up at a block's first row", KindVertical, 5, 3, 1, -1, {}, true},
        {"vertical down at a block's last row", KindVertical, 8, 3, 1, 1, {}, true},
        {"vertical up under an element", KindVertical, 6, 3, 1, -1, {{{5, 3}, KindContactOpen}}, true},
        {"vertical down over an element", KindVertical, 6, 3, 1, 1, {{{7, 3}, KindBoxUpperHalf}}, true},
        {"element right of a one-sided box", KindContactOpen, 6, 4, 1, 1, {{{6, 3}, KindBoxOneSided}}, true},
        {"element right of a lower box half", KindCoil, 6, 4, 1, 1, {{{6, 3}, KindBoxLowerHalf}}, true},
        {"left wire right of a lower box half", KindHorizontal, 6, 4, -1, 1, {{{6, 3}, KindBoxLowerHalf}}, true},
        {"two-row box on a block's last row", KindBoxLowerHalf, 8, 4, 1, 1, {}, true},
        {"two-row box whose lower right neighbour connects left", KindBoxLowerHalf, 5, 4, 1, 1, {{{6, 5}, 13}}, true},
        {"two-row box right of a one-sided box below", KindBoxLowerHalf, 5, 4, 1, 1, {{{6, 3}, 0}}, true},
        {"two-row box on a wire", KindBoxLowerHalf, 5, 4, 1, 1, {{{5, 4}, 13}}, true},
        {"two-row box over an element", KindBoxLowerHalf, 5, 4, 1, 1, {{{6, 4}, KindContactOpen}}, true},
        {"no tool on an empty cell", NoTool, 6, 4, 1, 1, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Grid g;
        for (const auto& [at, kind] : c.grid) g.kind(at.first, at.second) = kind;
        const ProgramModel before = g.model;
        const PlaceResult r = g.Place(c.tool, c.row, c.column, c.xHalf, c.yHalf);
        EXPECT_FALSE(r.placed);
        EXPECT_EQ(r.crossOut, c.crossOut);
        EXPECT_EQ(r.lastResult, c.crossOut ? ResultRefused : ResultNothing);
        for (int i = 0; i < GridRows * GridColumns; ++i) ASSERT_EQ(g.grid().cells[i].shape, before.grid.cells[i].shape);
    }
}

TEST(Placement, TwoRowBoxLaysBothHalvesAndFixesAroundThem) {
    Grid g;
    g.kind(5, 4) = KindHalfDown;   // above the upper half, same block
    g.kind(8, 4) = KindVertical;   // below the lower half
    g.kind(7, 5) = KindHalfRight;  // right of the lower half: connects nothing on its left
    const PlaceResult r = g.Place(KindBoxLowerHalf, 6, 4);
    ASSERT_TRUE(r.placed);
    EXPECT_EQ(r.lastResult, KindBoxUpperHalf);
    EXPECT_EQ(g.kind(6, 4), KindBoxUpperHalf);
    EXPECT_EQ(g.kind(7, 4), KindBoxLowerHalf);
    EXPECT_EQ(g.kind(5, 4), ShapeEmpty);
    EXPECT_EQ(g.kind(8, 4), KindHalfDown);
    // Clicking the upper half again with the box tool lays it again (the dialog follows).
    EXPECT_TRUE(g.Place(KindBoxLowerHalf, 6, 4).placed);
    // The row below a lower half that ends the block belongs to the next block.
    Grid edge;
    edge.kind(9, 4) = KindVertical;
    ASSERT_TRUE(edge.Place(KindBoxLowerHalf, 7, 4).placed);
    EXPECT_EQ(edge.kind(9, 4), KindVertical);
}

TEST(Placement, EraseTakesBothHalvesOfABox) {
    for (int clicked : {6, 7}) {
        Grid g;
        g.kind(6, 4) = KindBoxUpperHalf;
        g.kind(7, 4) = KindBoxLowerHalf;
        g.model.grid.at(6, 4).element = ElementCtv;
        g.model.grid.at(7, 4).element = ElementCtv;
        const PlaceResult r = g.Place(KindBlank, clicked, 4);
        EXPECT_EQ(r.lastResult, KindBlank);
        for (int row : {6, 7}) {
            EXPECT_EQ(g.kind(row, 4), ShapeEmpty) << clicked;
            EXPECT_EQ(g.model.grid.at(row, 4).element, ElementNone) << clicked;
        }
    }
    // A lone lower half (a damaged file) does not take the cell above with it.
    Grid g;
    g.kind(7, 4) = KindBoxLowerHalf;
    g.kind(6, 4) = KindContactOpen;
    g.Place(KindBlank, 7, 4);
    EXPECT_EQ(g.kind(6, 4), KindContactOpen);
}

TEST(Placement, AClickThatPlacesNothingPicksTheCellUp) {
    struct Case {
        int tool, kind, toolAfter;
    };
    const Case cases[] = {
        {KindCoil, KindContactOpen, KindContactOpen},       // the contact's own tool
        {KindContactOpen, KindHorizontal, KindHorizontal},  // any wire: the horizontal tool
        {KindContactOpen, KindTeeUpDownLeft, KindHorizontal},
        {KindCoil, KindBoxUpperHalf, KindBoxLowerHalf},  // either box half: the two-row box
        {KindVertical, KindConditional, KindConditional},
        {NoTool, KindCoil, KindCoil},
        {KindContactOpen, KindCrossOut, KindContactOpen},  // no tool lays it: the tool stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tool << " on " << c.kind);
        Grid g;
        g.kind(6, 4) = c.kind;
        const PlaceResult r = g.Place(c.tool, 6, 4);
        EXPECT_TRUE(r.pickedUp);
        EXPECT_EQ(r.lastResult, c.kind);
        EXPECT_EQ(g.kind(6, 4), c.kind);
        EXPECT_EQ(g.tools.currentTool(), c.toolAfter);
        EXPECT_EQ(r.toolChanged, c.toolAfter != c.tool);
    }
}

}  // namespace
}  // namespace velmorin
