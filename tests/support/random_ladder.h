#pragma once
// Random programs drawn the way a person draws them, through the editor's
// placement rules and parameter dialog: contacts in series and in parallel
// branches from the rail or from the middle of a rung, closing on a coil, a
// box, a jump, a counter with its two inputs, coils side by side or a
// branch-out with contacts of its own, sometimes two rungs to a block, and
// END last. Whatever the editor refuses is simply not there.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "editor/cell_content.h"
#include "editor/diagram_editor.h"
#include "editor/parameter_session.h"
#include "editor/placement.h"
#include "support/editor_script.h"

namespace velmorin::testing {

// Clicks through the editor's placement rules and parameter dialog, as the
// editing session makes them (without its undo history, which a program
// drawn for a test does not need).
class EditorPen {
public:
    EditorPen(ProgramModel& model, std::mt19937& rng) : model_(model), rng_(rng) {}

    int Random(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int percent) { return Random(1, 100) <= percent; }

    // A click with an element tool and the dialog's answer: `element` when
    // the cell offers it, else one of what it offers; operands at random. A
    // dialog that does not accept leaves the cells as they were.
    bool Element(int tool, int row, int column, int element = -1) {
        const CellContent clicked = ContentOf(model_.grid.at(row, column));
        const CellContent below = ContentOf(model_.grid.at(row + 1, column));
        if (!Click(tool, row, column, -1, -1).placed) return false;
        LadderCell& cell = model_.grid.at(row, column);
        ParameterRequest request{{column, row}, cell.shape, cell.element, cell.params};
        ParameterSession dialog(model_, request);
        bool accepted = false;
        if (dialog.Open(prompts_)) {
            const std::vector<int32_t>& offered = dialog.instructions();
            int position = Random(0, static_cast<int>(offered.size()) - 1);
            for (size_t n = 0; n < offered.size(); ++n)
                if (offered[n] == element) position = static_cast<int>(n);
            if (position == dialog.selectedPosition() || dialog.SelectInstruction(position, prompts_)) {
                for (int p = 0; p < EditableParameters; ++p) Fill(dialog, p);
                accepted = dialog.Accept(prompts_, {});
            }
            if (dialog.state() == ParameterSession::State::Open) dialog.Cancel();
        }
        const ParameterResult result = dialog.result();
        if (!accepted || result.element == ElementNone) {
            SetContent(model_.grid.at(row, column), clicked);
            SetContent(model_.grid.at(row + 1, column), below);
            return false;
        }
        cell.element = result.element;
        cell.params = result.params;
        if (cell.shape == KindBoxUpperHalf) model_.grid.at(row + 1, column).element = result.element;
        return true;
    }

    // The latest block a jump chosen so far goes to.
    int furthestLabel() const { return furthestLabel_; }

    // Full horizontal wire cells on a row, both halves clicked.
    void Horizontal(int row, int from, int to) {
        for (int column = from; column <= to; ++column) {
            Click(KindHorizontal, row, column, -1, -1);
            Click(KindHorizontal, row, column, 1, -1);
        }
    }
    void Half(int row, int column, int xHalf) { Click(KindHorizontal, row, column, xHalf, -1); }
    // A vertical wire joining the rows top..bottom of a column.
    void Vertical(int column, int top, int bottom) {
        for (int row = top; row <= bottom; ++row) {
            if (row > top) Click(KindVertical, row, column, 1, -1);
            if (row < bottom) Click(KindVertical, row, column, 1, 1);
        }
    }

private:
    PlaceResult Click(int tool, int row, int column, int xHalf, int yHalf) {
        tools_.SelectTool(tool);
        return PlaceAt(model_.grid, tools_, CellHit{{column, row}, xHalf, yHalf});
    }

    void Fill(ParameterSession& dialog, int parameter) {
        const int32_t display = dialog.displayKind(parameter);
        if (display == NoDisplay) return;
        if (parameter == 1) dialog.FocusEntered(1, prompts_, {});
        if (display == static_cast<int32_t>(ParamKind::Label) || display == static_cast<int32_t>(ParamKind::Variable)) {
            const int rows = static_cast<int>(dialog.listRows().size());
            if (rows == 0) return;
            // Jumps mostly to the next few blocks.
            const int row = display == static_cast<int32_t>(ParamKind::Label) ? Random(0, std::min(rows - 1, 3))
                                                                              : Random(0, rows - 1);
            dialog.ChooseRow(row);
            if (display == static_cast<int32_t>(ParamKind::Label))
                furthestLabel_ = std::max(furthestLabel_, dialog.listRows()[static_cast<size_t>(row)].index);
            return;
        }
        const CatalogueEntry& entry = CatalogueEntryFor(dialog.selectedElement());
        const ParamDef& def = entry.paramDefs[static_cast<size_t>(parameter)];
        const int value = Chance(20) ? def.low : Random(def.low, std::min(def.high, Chance(50) ? 100 : def.high));
        std::string text = std::to_string(value);
        if (def.kind == ParamKind::Time10) {
            text = std::to_string(value / 10) + (value % 10 ? "." + std::to_string(value % 10) : "");
        } else if (def.kind == ParamKind::Time100) {
            text = std::to_string(value / 100) + "." + std::to_string(value % 100 / 10) + std::to_string(value % 10);
        }
        dialog.SetText(parameter, text);
    }

    ProgramModel& model_;
    ToolState tools_;
    SilentPrompts prompts_;
    std::mt19937& rng_;
    int furthestLabel_ = 0;
};

// Draws one program into a reset model. `rungs` bounds how many rungs it
// tries to draw: beyond 24 they share blocks.
class RandomLadder {
public:
    RandomLadder(ProgramModel& model, uint32_t seed) : rng_(seed), pen_(model, rng_) {}

    void Draw(int rungs) {
        int block = 0, row = 0;  // the next free row of the block
        for (int n = 0; n < rungs && block < BlockCount - 1; ++n) {
            const int rowsLeft = BlockRows - row;
            const int used = Rung(BlockFirstRow(block) + row, rowsLeft, rungs > 20);
            row += used;
            // Two rungs share a block now and then, and always when there are many.
            if (row >= BlockRows || !(rungs > 20 || pen_.Chance(20))) {
                ++block;
                row = 0;
            }
        }
        // END closes the program, in the last block or right after the rungs
        // and the blocks they jump to.
        const int after = std::max(block + (row > 0 ? 1 : 0), pen_.furthestLabel());
        const int endBlock = pen_.Chance(50) ? BlockCount - 1 : std::min(after, BlockCount - 1);
        const int endRow = BlockFirstRow(endBlock) + (endBlock == block ? row : 0);
        if (pen_.Chance(50)) {
            pen_.Element(KindBoxOneSided, endRow, 1, ElementEnd);
        } else {
            pen_.Horizontal(endRow, 1, 7);
            pen_.Element(KindBoxOneSided, endRow, 8, ElementEnd);
        }
    }

private:
    int Contact(int row, int column) {
        pen_.Element(pen_.Chance(70) ? KindContactOpen : KindContactClosed, row, column);
        return column + 1;
    }

    // Contacts on a row from `column`, sometimes with a wire between them,
    // and now and then a box that loads or works on the accumulator.
    int Contacts(int row, int column, int count, int last, bool loadFirst = false) {
        for (int n = 0; n < count && column <= last; ++n) {
            if (n > 0 && column < last && pen_.Chance(15)) {
                pen_.Horizontal(row, column, column);
                ++column;
            }
            if (pen_.Chance(8)) {
                const bool load = (loadFirst && n == 0) || pen_.Chance(50);
                pen_.Element(KindBoxTwoSided, row, column,
                             load ? ElementLdi : (pen_.Chance(50) ? ElementNota : ElementOsc));
                ++column;
            } else {
                column = Contact(row, column);
            }
        }
        return column;
    }

    // A split or merge column: tees on the rows top..bottom, open to the
    // left on `leftRows`, to the right on `rightRows`.
    void Junction(int column, int top, int bottom, bool leftTop, bool leftOthers, bool rightTop, bool rightOthers) {
        for (int row = top; row <= bottom; ++row) {
            const bool isTop = row == top;
            if (isTop ? leftTop : leftOthers) pen_.Half(row, column, -1);
            if (isTop ? rightTop : rightOthers) pen_.Half(row, column, 1);
        }
        pen_.Vertical(column, top, bottom);
    }

    // Parallel branches of contacts on `branches` rows from `column`, met by
    // a column of wires; returns the column after it.
    int Branches(int top, int column, int branches) {
        const bool fromRail = column == 1;
        if (!fromRail) {
            Junction(column, top, top + branches - 1, true, false, true, true);
            ++column;
        }
        int widest = column;
        std::vector<int> ends;
        for (int b = 0; b < branches; ++b) {
            // A branch joined in parallel must begin with a load.
            const int end = Contacts(top + b, column, pen_.Random(1, 2), 5, true);
            ends.push_back(end);
            widest = std::max(widest, end);
        }
        for (int b = 0; b < branches; ++b)
            if (ends[static_cast<size_t>(b)] < widest)
                pen_.Horizontal(top + b, ends[static_cast<size_t>(b)], widest - 1);
        Junction(widest, top, top + branches - 1, true, true, true, false);
        return widest + 1;
    }

    // A jump or call to a later block, a coil, or some other box.
    void Output(int row, int column) {
        const int pick = pen_.Random(1, 100);
        if (pick <= 55) {
            pen_.Element(KindCoil, row, column);
        } else if (pick <= 80) {
            pen_.Element(KindBoxTwoSided, row, column);
        } else if (pick <= 92) {
            pen_.Element(KindConditional, row, column);
        } else {
            pen_.Element(KindBoxOneSided, row, column, pen_.Chance(50) ? ElementRjp : ElementGoto);
        }
    }

    // One rung from `top`, in at most `rows` rows; returns the rows it took.
    int Rung(int top, int rows, bool compact) {
        int column = 1;
        int used = 1;
        bool singleRow = true;
        const int stages = pen_.Random(1, 3);
        for (int s = 0; s < stages && column <= 4; ++s) {
            if (rows >= 2 && pen_.Chance(compact ? 15 : 35)) {
                const int branches = std::min(rows, pen_.Random(2, 3));
                column = Branches(top, column, branches);
                used = std::max(used, branches);
                singleRow = false;
            } else {
                column = Contacts(top, column, pen_.Random(1, 2), 5);
            }
        }
        const int ending = pen_.Random(1, 100);
        if (ending <= 15 && singleRow && rows >= 2) {
            // A counter: its lower input from the rail on the next row.
            const int lowerEnd = Contacts(top + 1, 1, pen_.Random(1, 2), 6);
            pen_.Horizontal(top + 1, lowerEnd, 7);
            pen_.Horizontal(top, column, 7);
            pen_.Element(KindBoxLowerHalf, top, 8);
            return std::max(used, 2);
        }
        if (ending <= 40 && rows >= 2 && column <= 6) {
            // Several outputs from one point, some behind a contact of their own.
            const int branches = std::min(rows, pen_.Random(2, 3));
            Junction(column, top, top + branches - 1, true, false, true, true);
            for (int b = 0; b < branches; ++b) {
                int at = column + 1;
                if (pen_.Chance(30)) at = Contact(top + b, at);
                pen_.Horizontal(top + b, at, 7);
                if (pen_.Chance(70)) {
                    pen_.Element(KindCoil, top + b, 8);
                } else {
                    Output(top + b, 8);
                }
            }
            return std::max(used, branches);
        }
        if (pen_.Chance(80)) {
            pen_.Horizontal(top, column, 7);
            column = 8;
        }
        Output(top, column);
        return used;
    }

    std::mt19937 rng_;
    EditorPen pen_;
};

}  // namespace velmorin::testing

namespace velmorin::testing {

// A user clicking about at random: editor actions played from random bytes
// (see editor_script.h), most of them clicks with a tool whose dialog is
// accepted, on the rows of a few blocks so that elements meet wires; then
// END in the last block.
inline void ScribbleProgram(ProgramModel& model, uint32_t seed, int actions) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> script;
    const int rows = 4 * (1 + static_cast<int>(rng() % 6));
    for (int n = 0; n < actions; ++n) {
        const uint32_t roll = rng() % 100;
        const uint8_t op = roll < 85 ? 0 : static_cast<uint8_t>(rng());
        uint8_t a = static_cast<uint8_t>(rng());
        if (rng() % 100 < 85) a |= 0x40;
        const uint8_t b = static_cast<uint8_t>(rng() % rows + 1);
        script.insert(script.end(), {op, a, b});
    }
    {
        ToolState tools;
        const auto overlay = std::make_unique<ViewOverlay>();
        DiagramEditor editor(model, tools, *overlay);
        editor.InitialUpdate();
        SilentPrompts prompts;
        PlayEditorScript(model, tools, editor, script, prompts);
    }
    // END in the last block, so that the jumps drawn have a program to return to.
    EditorPen(model, rng).Element(KindBoxOneSided, BlockFirstRow(BlockCount - 1), 1, ElementEnd);
}

}  // namespace velmorin::testing
