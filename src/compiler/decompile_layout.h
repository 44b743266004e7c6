#pragma once
// The third pass: a rung tree laid out on the grid as a person draws it.
// The rung starts at column 1, its last operations end at column 8,
// parallel branches stand one under the other and meet in a column of
// wires, and no wire crosses another. Where the code does not fix the
// drawing (which branch goes on top, how a branch-out's code is cut into
// branches, coils side by side or one under the other) the layout takes
// numbered choices, so that the driver can try another when the compiler
// reads a drawing differently.
#include <cstdint>
#include <functional>
#include <vector>

#include "compiler/decompile_structure.h"
#include "model/ladder_model.h"

namespace velmorin {

constexpr uint8_t WireUp = 1;
constexpr uint8_t WireDown = 2;
constexpr uint8_t WireLeft = 4;
constexpr uint8_t WireRight = 8;

// One cell of a planned rung: an element (its instruction gives the
// operands) or a wire with its connectors. Rows and columns count from the
// rung's first row and from column 1.
struct PlanCell {
    int32_t row = 0;
    int32_t column = 0;
    int32_t element = -1;      // -1 for a wire
    int32_t instruction = -1;  // where the element's operands are
    bool lowerHalf = false;    // the lower half of a two-row box
    uint8_t wires = 0;
};

struct RungPlan {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<PlanCell> cells;
};

// The choices one layout made, and how many options each one had: the first
// layout takes option 0 everywhere, a driver tries other picks.
class LayoutChoices {
public:
    explicit LayoutChoices(std::vector<int32_t> picks = {}) : picks_(std::move(picks)) {}
    int32_t Pick(int32_t options);
    const std::vector<int32_t>& picks() const { return picks_; }
    const std::vector<int32_t>& options() const { return options_; }

private:
    std::vector<int32_t> picks_;
    std::vector<int32_t> options_;
    size_t next_ = 0;
};

// Lays out a rung within the block's four rows and eight columns; false when
// it does not fit or would break an editing rule.
bool LayOutRung(const ProgramStructure& s, int32_t net, LayoutChoices& choices, RungPlan& plan);

// Draws a plan with the editor's own clicks (the wire tools make the tees and
// corners from their replacement tables, the element tools fix the cells
// around them) from grid row `firstRow` on, then gives each element its
// operands as the parameter dialog would: canonical variables, times and
// numbers as text, and the label of the block `labelOf` says a jump goes to.
// False when a click is refused.
bool DrawRung(ProgramModel& model, int32_t firstRow, const RungPlan& plan, const DecodedProgram& program,
              const std::function<int32_t(int32_t targetAddress)>& labelOf);

}  // namespace velmorin
