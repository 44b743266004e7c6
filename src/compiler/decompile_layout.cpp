#include "compiler/decompile_layout.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "compiler/numbers.h"
#include "editor/cell_content.h"
#include "editor/placement.h"
#include "model/tool_state.h"

namespace velmorin {

int32_t LayoutChoices::Pick(int32_t options) {
    options_.push_back(options);
    const int32_t pick = next_ < picks_.size() ? picks_[next_] : 0;
    ++next_;
    return pick >= 0 && pick < options ? pick : 0;
}

namespace {

constexpr int32_t RungColumns = GridColumns - 2;  // columns 1..8
// A branch-out of more branches than a block has rows cannot be drawn;
// the bound also keeps the orders tried few.
constexpr int32_t MostBranches = BlockRows;

struct Exit {
    int32_t row = 0;
    int32_t column = 0;
    bool blocked = false;  // leaves a one-sided box: only a wire may follow
};

// A laid-out piece with its own origin: the rows its input enters on at
// column 0, and where its output leaves to the right.
struct Shape {
    bool ok = true;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<int32_t> entries;
    std::vector<int32_t> railEntries;  // entries only the left rail may feed
    std::vector<Exit> exits;
    bool leadsWithWire = false;
    std::vector<PlanCell> cells;
};

Shape Failed() {
    Shape s;
    s.ok = false;
    return s;
}

void AddWire(Shape& s, int32_t row, int32_t column, uint8_t wires) {
    PlanCell cell;
    cell.row = row;
    cell.column = column;
    cell.wires = wires;
    s.cells.push_back(cell);
}

void AddCells(Shape& to, const Shape& from, int32_t dr, int32_t dc) {
    for (PlanCell cell : from.cells) {
        cell.row += dr;
        cell.column += dc;
        to.cells.push_back(cell);
    }
}

// Carries an exit to the right side of `column` with horizontal wires.
void Pad(Shape& s, Exit& exit, int32_t column) {
    for (int32_t c = exit.column + 1; c <= column; ++c) AddWire(s, exit.row, c, WireLeft | WireRight);
    if (column > exit.column) {
        exit.column = column;
        exit.blocked = false;
    }
}

// A vertical run of wires in `column` joining the exits that arrive from the
// left with the rows that leave to the right: all of them one node.
void Bus(Shape& s, int32_t column, const std::vector<int32_t>& lefts, const std::vector<int32_t>& rights) {
    int32_t top = INT32_MAX, bottom = INT32_MIN;
    for (int32_t r : lefts) top = std::min(top, r), bottom = std::max(bottom, r);
    for (int32_t r : rights) top = std::min(top, r), bottom = std::max(bottom, r);
    for (int32_t r = top; r <= bottom; ++r) {
        uint8_t wires = 0;
        if (r > top) wires |= WireUp;
        if (r < bottom) wires |= WireDown;
        if (std::find(lefts.begin(), lefts.end(), r) != lefts.end()) wires |= WireLeft;
        if (std::find(rights.begin(), rights.end(), r) != rights.end()) wires |= WireRight;
        AddWire(s, r, column, wires);
    }
}

std::vector<int32_t> ExitRows(const std::vector<Exit>& exits) {
    std::vector<int32_t> rows;
    for (const Exit& e : exits) rows.push_back(e.row);
    return rows;
}

// Branches that end apart meet in a column of wires, which nothing leaves.
void CloseBranches(Shape& s) {
    if (s.exits.size() < 2) return;
    const int32_t column = s.width;
    for (Exit& e : s.exits) Pad(s, e, column - 1);
    Bus(s, column, ExitRows(s.exits), {});
    s.exits.clear();
    s.width = column + 1;
}

// `t` after `s`: next to it when one cell's output meets one cell's input on
// the top row, otherwise through a column of wires.
Shape Chain(Shape s, const Shape& t) {
    if (!s.ok || !t.ok || s.exits.empty() || t.entries.empty()) return Failed();
    // A two-row box's lower input comes from the rail, never from the left part.
    if (!t.railEntries.empty()) return Failed();
    const bool direct = s.exits.size() == 1 && s.exits[0].row == 0 && (!s.exits[0].blocked || t.leadsWithWire) &&
                        t.entries == std::vector<int32_t>{0};
    int32_t at = s.width;
    if (direct) {
        Pad(s, s.exits[0], s.width - 1);
    } else {
        for (Exit& e : s.exits) Pad(s, e, at - 1);
        Bus(s, at, ExitRows(s.exits), t.entries);
        ++at;
    }
    AddCells(s, t, 0, at);
    s.width = at + t.width;
    s.height = std::max(s.height, t.height);
    s.exits.clear();
    for (Exit e : t.exits) {
        e.column += at;
        s.exits.push_back(e);
    }
    return s;
}

int32_t Factorial(int32_t n) { return n <= 1 ? 1 : n * Factorial(n - 1); }

// The `pick`-th order of k items: the preferred order first, then every
// other order in lexicographic sequence.
std::vector<int32_t> Order(int32_t k, int32_t pick, const std::vector<int32_t>& preferred) {
    if (pick == 0) return preferred;
    std::vector<int32_t> order(static_cast<size_t>(k));
    std::iota(order.begin(), order.end(), 0);
    int32_t seen = 0;
    do {
        if (order == preferred) continue;
        if (++seen == pick) return order;
    } while (std::next_permutation(order.begin(), order.end()));
    return preferred;
}

class Layout {
public:
    Layout(const ProgramStructure& s, LayoutChoices& choices) : s_(s), choices_(choices) {}

    Shape Rung(int32_t net) {
        Shape shape = Build(net, RungColumns, true);
        if (!shape.ok) return shape;
        CloseBranches(shape);
        return shape;
    }

private:
    const Net& At(int32_t net) const { return s_.nets[static_cast<size_t>(net)]; }
    bool IsOperationCell(int32_t net) const { return At(net).kind == NetKind::Cell && IsOperation(At(net).element); }

    // The element a chain is headed by, as the compiler's branch-out sees it.
    int32_t HeadElement(int32_t net) const {
        const Net& n = At(net);
        if (n.kind == NetKind::Cell) return n.element;
        return HeadElement(n.parts.front());
    }

    // `stretch` > 0: the net's last operations end at that column (counted
    // from the net's own first column).
    Shape Build(int32_t net, int32_t stretch, bool rung) {
        const Net& n = At(net);
        switch (n.kind) {
            case NetKind::Cell:
                return Series({net}, stretch, rung);
            case NetKind::Series:
                return Series(n.parts, stretch, rung);
            case NetKind::Parallel:
                return Parallel(n);
            case NetKind::FanOut:
                return FanOut(n, stretch);
            case NetKind::Counter:
                return Counter(n, stretch);
        }
        return Failed();
    }

    Shape CellShape(int32_t net) const {
        const Net& n = At(net);
        Shape s;
        s.width = 1;
        s.height = 1;
        s.entries = {0};
        s.exits = {{0, 0, IsOneSidedBox(n.element)}};
        PlanCell cell;
        cell.element = n.element;
        cell.instruction = n.instruction;
        s.cells.push_back(cell);
        // A two-row box at the head of its rung: nothing feeds its lower half.
        if (CatalogueEntryFor(n.element).cellKind == KindBoxUpperHalf) {
            cell.row = 1;
            cell.lowerHalf = true;
            s.cells.push_back(cell);
            s.height = 2;
        }
        return s;
    }

    // Operations one after the other on a row; a wire follows a one-sided box.
    Shape OperationRun(const std::vector<int32_t>& run, int32_t lead) const {
        Shape s;
        s.height = 1;
        s.entries = {0};
        s.leadsWithWire = lead > 0;
        for (int32_t c = 0; c < lead; ++c) AddWire(s, 0, c, WireLeft | WireRight);
        int32_t column = lead;
        for (size_t i = 0; i < run.size(); ++i) {
            if (i > 0 && IsOneSidedBox(At(run[i - 1]).element)) AddWire(s, 0, column++, WireLeft | WireRight);
            Shape cell = CellShape(run[i]);
            AddCells(s, cell, 0, column);
            s.exits = {{0, column, IsOneSidedBox(At(run[i]).element)}};
            ++column;
        }
        s.width = column;
        return s;
    }

    int32_t RunWidth(const std::vector<int32_t>& run) const { return OperationRun(run, 0).width; }

    Shape Series(const std::vector<int32_t>& parts, int32_t stretch, bool rung) {
        size_t runStart = parts.size();
        while (runStart > 0 && IsOperationCell(parts[runStart - 1])) --runStart;
        Shape s;
        bool have = false;
        for (size_t i = 0; i < runStart; ++i) {
            const bool only = parts.size() == 1;
            Shape x =
                At(parts[i]).kind == NetKind::Cell ? CellShape(parts[i]) : Build(parts[i], only ? stretch : 0, false);
            if (!x.ok) return Failed();
            s = have ? Chain(std::move(s), x) : std::move(x);
            if (!s.ok) return s;
            have = true;
        }
        if (runStart == parts.size()) return s;
        const std::vector<int32_t> run(parts.begin() + static_cast<std::ptrdiff_t>(runStart), parts.end());

        // Coils that close a rung may stand one under the other.
        const bool allCoils =
            std::all_of(run.begin(), run.end(), [&](int32_t p) { return At(p).element == ElementOut; });
        if (rung && have && run.size() >= 2 && allCoils && static_cast<int32_t>(run.size()) <= MostBranches &&
            choices_.Pick(2) == 0)
            return Coils(std::move(s), run, stretch);

        const int32_t width = RunWidth(run);
        if (!have) {
            const int32_t lead = stretch > width ? stretch - width : 0;
            return OperationRun(run, lead);
        }
        // Next to the last cell, or past a column of wires; a one-sided box
        // is left through the wires that lead to the run.
        const bool direct = s.exits.size() == 1 && s.exits[0].row == 0;
        const int32_t natural = direct ? s.width : s.width + 1;
        const int32_t lead = stretch > 0 ? std::max(0, stretch - width - natural) : 0;
        return Chain(std::move(s), OperationRun(run, lead));
    }

    // The compiler links coils that share their input in the reverse order
    // of their rows: the coil on the bottom row comes first in the code.
    Shape Coils(Shape s, const std::vector<int32_t>& run, int32_t stretch) const {
        const int32_t k = static_cast<int32_t>(run.size());
        const int32_t bus = s.width;
        const int32_t column = std::max(bus + 1, stretch - 1);
        for (Exit& e : s.exits) Pad(s, e, bus - 1);
        std::vector<int32_t> rows;
        for (int32_t r = 0; r < k; ++r) {
            rows.push_back(r);
            for (int32_t c = bus + 1; c < column; ++c) AddWire(s, r, c, WireLeft | WireRight);
            Shape cell = CellShape(run[static_cast<size_t>(k - 1 - r)]);
            AddCells(s, cell, r, column);
        }
        Bus(s, bus, ExitRows(s.exits), rows);
        s.exits.clear();
        s.width = column + 1;
        s.height = std::max(s.height, k);
        return s;
    }

    Shape Parallel(const Net& n) {
        const int32_t k = static_cast<int32_t>(n.parts.size());
        if (k > MostBranches) return Failed();
        // Two lone contacts between the same nodes are joined with the lower
        // one first: the one the code loads first goes under the one it ors.
        std::vector<int32_t> preferred(static_cast<size_t>(k));
        std::iota(preferred.begin(), preferred.end(), 0);
        auto loneLoad = [&](int32_t index) {
            const Net& branch = At(n.parts[static_cast<size_t>(index)]);
            return branch.kind == NetKind::Cell && IsLoad(branch.element);
        };
        for (int32_t i = 0; i + 1 < k; ++i) {
            if (loneLoad(i) && loneLoad(i + 1)) {
                std::swap(preferred[static_cast<size_t>(i)], preferred[static_cast<size_t>(i + 1)]);
                break;
            }
        }
        const std::vector<int32_t> order = Order(k, choices_.Pick(Factorial(k)), preferred);
        Shape s;
        for (int32_t index : order) {
            Shape x = Build(n.parts[static_cast<size_t>(index)], 0, false);
            if (!x.ok || x.exits.empty()) return Failed();
            AddCells(s, x, s.height, 0);
            for (int32_t r : x.entries) s.entries.push_back(r + s.height);
            for (int32_t r : x.railEntries) s.railEntries.push_back(r + s.height);
            for (Exit e : x.exits) {
                e.row += s.height;
                s.exits.push_back(e);
            }
            s.width = std::max(s.width, x.width);
            s.height += x.height;
        }
        return s;
    }

    // The rows that make the branch-out link the branches in code order.
    std::vector<int32_t> FanOrder(const std::vector<int32_t>& branches) const {
        std::vector<bool> coils;
        for (int32_t branch : branches) coils.push_back(HeadElement(branch) == ElementOut);
        std::vector<int32_t> slots;
        if (!BranchOutSlots(coils, slots)) std::iota(slots.begin(), slots.end(), 0);
        return slots;
    }

    Shape FanOut(const Net& n, int32_t stretch) {
        Shape s = Build(n.parts[0], 0, false);
        if (!s.ok || s.exits.empty()) return Failed();
        // Each cut into branches in the order that links them in code order
        // first; the other orders of the branches after that.
        const int32_t cuts = static_cast<int32_t>(n.branchings.size());
        int32_t options = cuts;
        for (const std::vector<int32_t>& b : n.branchings) options += Factorial(static_cast<int32_t>(b.size())) - 1;
        int32_t pick = choices_.Pick(options);
        size_t cut = static_cast<size_t>(pick < cuts ? pick : 0);
        int32_t other = 0;
        if (pick >= cuts) {
            pick -= cuts;
            while (pick >= Factorial(static_cast<int32_t>(n.branchings[cut].size())) - 1) {
                pick -= Factorial(static_cast<int32_t>(n.branchings[cut].size())) - 1;
                ++cut;
            }
            other = pick + 1;
        }
        const std::vector<int32_t>& branches = n.branchings[cut];
        const int32_t k = static_cast<int32_t>(branches.size());
        if (k > MostBranches) return Failed();
        const std::vector<int32_t> order = Order(k, other, FanOrder(branches));
        const int32_t bus = s.width;
        for (Exit& e : s.exits) Pad(s, e, bus - 1);
        std::vector<int32_t> rights;
        int32_t row = 0;
        for (int32_t index : order) {
            Shape x = Build(branches[static_cast<size_t>(index)], stretch > 0 ? stretch - bus - 1 : 0, false);
            if (!x.ok || !x.railEntries.empty()) return Failed();
            CloseBranches(x);
            AddCells(s, x, row, bus + 1);
            for (int32_t r : x.entries) rights.push_back(r + row);
            s.width = std::max(s.width, bus + 1 + x.width);
            row += x.height;
        }
        Bus(s, bus, ExitRows(s.exits), rights);
        s.exits.clear();
        s.height = std::max(s.height, row);
        return s;
    }

    // The upper input on the top row, the lower input from the rail on the
    // row under it (or under the whole upper input, rising to that row).
    Shape Counter(const Net& n, int32_t stretch) {
        Shape upper = Build(n.parts[0], 0, false);
        Shape lower = Build(n.parts[1], 0, false);
        if (!upper.ok || !lower.ok || upper.exits.empty() || lower.exits.empty()) return Failed();
        if (!lower.railEntries.empty()) return Failed();
        const int32_t lowerTop = upper.height == 1 ? 1 : upper.height;
        const bool upperDirect = upper.exits.size() == 1 && upper.exits[0].row == 0 && !upper.exits[0].blocked;
        const bool lowerDirect =
            lowerTop == 1 && lower.exits.size() == 1 && lower.exits[0].row == 0 && !lower.exits[0].blocked;
        const int32_t upperNeed = upperDirect ? upper.width : upper.width + 1;
        // The lower input's column of wires stays clear of the upper one's.
        const int32_t lowerBus =
            std::max(lower.width, lowerTop == 1 ? 0 : (upperDirect ? upper.width : upper.width + 1));
        const int32_t lowerNeed = lowerDirect ? lower.width : lowerBus + 1;
        int32_t box = std::max(upperNeed, lowerNeed);
        if (stretch > 0) box = std::max(box, stretch - 1);

        Shape s;
        s.entries = upper.entries;
        s.railEntries = upper.railEntries;
        for (int32_t r : lower.entries) s.railEntries.push_back(r + lowerTop);
        AddCells(s, upper, 0, 0);
        AddCells(s, lower, lowerTop, 0);
        if (upperDirect) {
            Exit e = upper.exits[0];
            Pad(s, e, box - 1);
        } else {
            for (Exit& e : upper.exits) Pad(s, e, upper.width - 1);
            Bus(s, upper.width, ExitRows(upper.exits), {0});
            Exit e{0, upper.width, false};
            Pad(s, e, box - 1);
        }
        if (lowerDirect) {
            Exit e = lower.exits[0];
            e.row += lowerTop;
            Pad(s, e, box - 1);
        } else {
            std::vector<int32_t> rows;
            for (Exit e : lower.exits) {
                e.row += lowerTop;
                Pad(s, e, lowerBus - 1);
                rows.push_back(e.row);
            }
            Bus(s, lowerBus, rows, {1});
            Exit e{1, lowerBus, false};
            Pad(s, e, box - 1);
        }
        PlanCell top;
        top.row = 0;
        top.column = box;
        top.element = n.element;
        top.instruction = n.instruction;
        s.cells.push_back(top);
        PlanCell bottom = top;
        bottom.row = 1;
        bottom.lowerHalf = true;
        s.cells.push_back(bottom);
        s.width = box + 1;
        s.height = std::max(upper.height, lowerTop + lower.height);
        s.exits = {{0, box, false}};
        return s;
    }

    const ProgramStructure& s_;
    LayoutChoices& choices_;
};

// Cells of the plan merged by position; false when two things claim one cell.
bool MergeCells(std::vector<PlanCell>& cells) {
    std::map<std::pair<int32_t, int32_t>, PlanCell> byPlace;
    for (const PlanCell& cell : cells) {
        auto [it, fresh] = byPlace.try_emplace({cell.row, cell.column}, cell);
        if (fresh) continue;
        if (cell.element >= 0 || it->second.element >= 0) return false;
        it->second.wires |= cell.wires;
    }
    cells.clear();
    for (const auto& [place, cell] : byPlace) cells.push_back(cell);
    return true;
}

// What the editing rules refuse: an element right of a one-sided box or of
// a lower box half, a wire reaching into a lower box half from the right.
bool EditableNeighbours(const std::vector<PlanCell>& cells) {
    std::map<std::pair<int32_t, int32_t>, const PlanCell*> at;
    for (const PlanCell& cell : cells) at[{cell.row, cell.column}] = &cell;
    for (const PlanCell& cell : cells) {
        if (cell.element < 0 || cell.column == 0) continue;
        auto left = at.find({cell.row, cell.column - 1});
        if (left == at.end() || left->second->element < 0) continue;
        const PlanCell& l = *left->second;
        if (l.lowerHalf || (IsOneSidedBox(l.element) && !cell.lowerHalf)) return false;
    }
    for (const PlanCell& cell : cells) {
        if (!cell.lowerHalf) continue;
        auto right = at.find({cell.row, cell.column + 1});
        if (right != at.end() && (right->second->element >= 0 || (right->second->wires & WireLeft) != 0)) return false;
    }
    return true;
}

// The kind a wire with these connectors is; the editor's clicks must make it.
int32_t WireKind(uint8_t wires) {
    static const std::map<uint8_t, int32_t> kinds = {
        {WireLeft | WireRight, KindHorizontal},
        {WireUp | WireDown, KindVertical},
        {WireDown | WireRight, KindCornerDownRight},
        {WireUp | WireRight, KindCornerUpRight},
        {WireUp | WireLeft, KindCornerUpLeft},
        {WireDown | WireLeft, KindCornerDownLeft},
        {WireUp | WireDown | WireLeft | WireRight, KindCross},
        {WireUp | WireLeft | WireRight, KindTeeLeftRightUp},
        {WireUp | WireDown | WireLeft, KindTeeUpDownLeft},
        {WireUp | WireDown | WireRight, KindTeeUpDownRight},
        {WireDown | WireLeft | WireRight, KindTeeLeftRightDown},
    };
    auto it = kinds.find(wires);
    return it == kinds.end() ? -1 : it->second;
}

bool Click(LadderGrid& grid, ToolState& tools, int32_t tool, int32_t row, int32_t column, int32_t xHalf,
           int32_t yHalf) {
    tools.SelectTool(tool);
    CellHit hit;
    hit.cell = {column, row};
    hit.xHalf = xHalf;
    hit.yHalf = yHalf;
    return PlaceAt(grid, tools, hit).placed;
}

// A value as the parameter dialog takes it: the shortest text that gives it.
void SetValueText(ParamSlot& slot, ParamKind kind, int32_t value) {
    const int decimals = kind == ParamKind::Time10 ? 1 : kind == ParamKind::Time100 ? 2 : 0;
    std::string text;
    AppendFixed(text, value, decimals, 0);
    if (decimals > 0) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    SetSlotText(slot, text);
}

void SetOperands(LadderCell& cell, int32_t element, const DecodedInstruction& d,
                 const std::function<int32_t(int32_t)>& labelOf) {
    cell.element = element;
    for (ParamSlot& slot : cell.params) slot[0] = Unchosen;
    const CatalogueEntry& entry = CatalogueEntryFor(element);
    for (int32_t n = 0, p = 0; n < d.ins.operandCount && p < entry.paramCount; ++n, ++p) {
        const Operand& op = d.ins.operands[static_cast<size_t>(n)];
        while (p < entry.paramCount && entry.paramDefs[static_cast<size_t>(p)].kind != op.kind) ++p;
        if (p >= entry.paramCount) break;
        ParamSlot& slot = cell.params[static_cast<size_t>(p)];
        switch (op.kind) {
            case ParamKind::Variable:
                slot = {};
                slot[0] = static_cast<uint8_t>((op.value + op.base) & 0xFF);
                break;
            case ParamKind::Label:
                slot = {};
                slot[0] = static_cast<uint8_t>(labelOf(d.target));
                break;
            default:
                slot = {};
                SetValueText(slot, op.kind, op.value);
                break;
        }
    }
}

}  // namespace

bool LayOutRung(const ProgramStructure& s, int32_t net, LayoutChoices& choices, RungPlan& plan) {
    Layout layout(s, choices);
    Shape shape = layout.Rung(net);
    if (!shape.ok || shape.width > RungColumns || shape.height > BlockRows) return false;
    if (!MergeCells(shape.cells) || !EditableNeighbours(shape.cells)) return false;
    for (const PlanCell& cell : shape.cells)
        if (cell.element < 0 && WireKind(cell.wires) < 0) return false;
    plan.width = shape.width;
    plan.height = shape.height;
    plan.cells = std::move(shape.cells);
    return true;
}

bool DrawRung(ProgramModel& model, int32_t firstRow, const RungPlan& plan, const DecodedProgram& program,
              const std::function<int32_t(int32_t)>& labelOf) {
    LadderGrid& grid = model.grid;
    ToolState tools;
    auto decoded = [&](const PlanCell& cell) -> const DecodedInstruction& {
        return program.instructions[static_cast<size_t>(cell.instruction)];
    };
    // Two-row boxes first, while the cells beside their lower halves are empty,
    // then the other elements, then the wires around them.
    for (const PlanCell& cell : plan.cells) {
        if (cell.element < 0 || cell.lowerHalf || CatalogueEntryFor(cell.element).cellKind != KindBoxUpperHalf)
            continue;
        const int32_t row = firstRow + cell.row, column = 1 + cell.column;
        if (!Click(grid, tools, KindBoxLowerHalf, row, column, -1, -1)) return false;
        SetOperands(grid.at(row, column), cell.element, decoded(cell), labelOf);
        grid.at(row + 1, column).element = cell.element;
    }
    for (const PlanCell& cell : plan.cells) {
        if (cell.element < 0 || cell.lowerHalf) continue;
        const int32_t kind = CatalogueEntryFor(cell.element).cellKind;
        if (kind == KindBoxUpperHalf) continue;
        const int32_t row = firstRow + cell.row, column = 1 + cell.column;
        if (!Click(grid, tools, kind, row, column, -1, -1)) return false;
        SetOperands(grid.at(row, column), cell.element, decoded(cell), labelOf);
    }
    for (const PlanCell& cell : plan.cells) {
        if (cell.element >= 0) continue;
        const int32_t row = firstRow + cell.row, column = 1 + cell.column;
        if ((cell.wires & WireUp) && !Click(grid, tools, KindVertical, row, column, -1, -1)) return false;
        if ((cell.wires & WireDown) && !Click(grid, tools, KindVertical, row, column, -1, 1)) return false;
        if ((cell.wires & WireLeft) && !Click(grid, tools, KindHorizontal, row, column, -1, -1)) return false;
        if ((cell.wires & WireRight) && !Click(grid, tools, KindHorizontal, row, column, 1, -1)) return false;
        if (grid.at(row, column).shape != WireKind(cell.wires)) return false;
    }
    return true;
}

}  // namespace velmorin
