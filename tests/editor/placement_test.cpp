// What one click does to the grid, without a view.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

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

struct Cell {
    int row, column, kind;
};

struct Grid {
    explicit Grid(const std::vector<Cell>& cells = {}) {
        ResetModel(model);
        for (const Cell& c : cells) model.grid.at(c.row, c.column).shape = c.kind;
    }
    int kind(int row, int column) const { return model.grid.at(row, column).shape; }
    PlaceResult Place(int tool, int row, int column, int xHalf = 1, int yHalf = 1) {
        tools.SelectTool(tool);
        return PlaceAt(model.grid, tools, {{column, row}, xHalf, yHalf});
    }
    ProgramModel model;
    ToolState tools;
};

// Each half of a wire tool adds its side; the one tee per tool that already
// has that side is missing from the tool's table and is picked up instead.
TEST(Placement, WireHalvesAddTheirSide) {
    const struct {
        int tool, xHalf, yHalf;
        Side side;
        int unlistedTee;
    } halves[] = {{KindHorizontal, -1, 1, L, 17},
                  {KindHorizontal, 1, 1, R, 18},
                  {KindVertical, 1, -1, U, 16},
                  {KindVertical, 1, 1, D, 19}};
    for (const auto& half : halves) {
        for (const auto& [before, sides] : WireSides) {
            Grid g({{6, 4, before}});  // a middle row: no block edge refuses
            const PlaceResult r = g.Place(half.tool, 6, 4, half.xHalf, half.yHalf);
            Sides after = sides;
            after.insert(half.side);
            const int expected = before == half.unlistedTee ? before : KindWith(after);
            EXPECT_EQ(r.placed, before != half.unlistedTee) << half.tool << " side " << half.side << " on " << before;
            EXPECT_EQ(g.kind(6, 4), expected) << half.tool << " side " << half.side << " on " << before;
        }
    }
}

// A new element takes the down connection from the wire above it and the up
// connection from the wire below; a half line left with nothing goes.
TEST(Placement, NewElementFixesTheWiresAboveAndBelowInItsBlock) {
    for (const auto& [wire, sides] : WireSides) {
        Grid g({{6, 4, wire}, {8, 4, wire}});
        g.Place(KindContactOpen, 7, 4);
        Sides above = sides, below = sides;
        above.erase(D);
        below.erase(U);
        EXPECT_EQ(g.kind(6, 4), KindWith(above)) << wire;
        EXPECT_EQ(g.kind(8, 4), KindWith(below)) << wire;
    }
    Grid edge({{4, 2, KindVertical}, {6, 2, KindVertical}});
    edge.Place(KindCoil, 5, 2);
    EXPECT_EQ(edge.kind(4, 2), KindVertical);  // the previous block
    EXPECT_EQ(edge.kind(6, 2), KindHalfDown);
}

TEST(Placement, ClickOutcomes) {
    const struct {
        const char* what;
        std::vector<Cell> before;
        int tool, row, column, xHalf, yHalf;
        int lastResult;
        std::vector<Cell> after;
        int toolAfter;
    } cases[] = {
        // Refused: the cross-out mark, nothing changed.
        {"vertical up at a block's first row", {}, 20, 5, 3, 1, -1, 30, {{5, 3, 29}}, 20},
        {"vertical down at a block's last row", {}, 20, 8, 3, 1, 1, 30, {{8, 3, 29}}, 20},
        {"vertical up under an element", {{5, 3, 14}}, 20, 6, 3, 1, -1, 30, {{6, 3, 29}}, 20},
        {"element right of a one-sided box", {{6, 3, 0}}, 14, 6, 4, 1, 1, 30, {{6, 4, 29}}, 14},
        {"element right of a lower box half", {{6, 3, 2}}, 22, 6, 4, 1, 1, 30, {{6, 4, 29}}, 22},
        {"left wire right of a lower box half", {{6, 3, 2}}, 13, 6, 4, -1, 1, 30, {{6, 4, 29}}, 13},
        {"two-row box on a block's last row", {}, 2, 8, 4, 1, 1, 30, {{8, 4, 29}}, 2},
        {"two-row box, lower right neighbour connects left", {{6, 5, 13}}, 2, 5, 4, 1, 1, 30, {{6, 4, 29}}, 2},
        {"two-row box, lower left neighbour a one-sided box", {{6, 3, 0}}, 2, 5, 4, 1, 1, 30, {{6, 4, 29}}, 2},
        {"two-row box over an element", {{6, 4, 14}}, 2, 5, 4, 1, 1, 30, {{5, 4, 29}, {6, 4, 14}}, 2},
        {"no tool on an empty cell", {}, 29, 6, 4, 1, 1, 29, {{6, 4, 29}}, 29},
        // Placed, with the neighbours fixed.
        {"two-row box",
         {{5, 4, 9}, {8, 4, 20}, {7, 5, 10}, {7, 4, 13}},
         2,
         6,
         4,
         1,
         1,
         3,
         {{6, 4, 3}, {7, 4, 2}, {5, 4, 29}, {8, 4, 9}},
         2},
        {"two-row box ending its block", {{9, 4, 20}}, 2, 7, 4, 1, 1, 3, {{7, 4, 3}, {8, 4, 2}, {9, 4, 20}}, 2},
        {"erase an upper half", {{6, 4, 3}, {7, 4, 2}}, 23, 6, 4, 1, 1, 23, {{6, 4, 29}, {7, 4, 29}}, 23},
        {"erase a lower half", {{6, 4, 3}, {7, 4, 2}}, 23, 7, 4, 1, 1, 23, {{6, 4, 29}, {7, 4, 29}}, 23},
        {"erase a lone lower half", {{6, 4, 14}, {7, 4, 2}}, 23, 7, 4, 1, 1, 23, {{6, 4, 14}, {7, 4, 29}}, 23},
        // Picked up: the tool follows the cell.
        {"coil tool on a contact", {{6, 4, 14}}, 22, 6, 4, 1, 1, 14, {{6, 4, 14}}, 14},
        {"element tool on a wire", {{6, 4, 17}}, 14, 6, 4, 1, 1, 17, {{6, 4, 17}}, 13},
        {"element tool on a box half", {{6, 4, 3}}, 22, 6, 4, 1, 1, 3, {{6, 4, 3}}, 2},
        {"vertical tool on an element", {{6, 4, 21}}, 20, 6, 4, 1, 1, 21, {{6, 4, 21}}, 21},
        {"no tool on a coil", {{6, 4, 22}}, 29, 6, 4, 1, 1, 22, {{6, 4, 22}}, 22},
        {"a kind no tool lays", {{6, 4, 24}}, 14, 6, 4, 1, 1, 24, {{6, 4, 24}}, 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Grid g(c.before);
        g.model.grid.at(c.row, c.column).element = ElementCtv;  // an erase takes it too
        const PlaceResult r = g.Place(c.tool, c.row, c.column, c.xHalf, c.yHalf);
        EXPECT_EQ(r.lastResult, c.lastResult);
        EXPECT_EQ(r.crossOut, c.lastResult == ResultRefused);
        for (const Cell& cell : c.after)
            EXPECT_EQ(g.kind(cell.row, cell.column), cell.kind) << cell.row << "," << cell.column;
        EXPECT_EQ(g.tools.currentTool(), c.toolAfter);
        const int element = g.model.grid.at(c.row, c.column).element;
        EXPECT_EQ(element, c.tool == KindBlank ? ElementNone : ElementCtv);
    }
}

}  // namespace
}  // namespace velmorin
