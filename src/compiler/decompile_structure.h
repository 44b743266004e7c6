#pragma once
// The second pass: the instructions regrouped into the rungs the code
// generator made them from. The generator turns each rung's series and
// parallel joins into and/andn and or/orn of a contact, andp and orp of a
// whole branch, cs/cr around a branch-out and a counter's lower input spliced
// in before it; read in code order these behave as an accumulator stack,
// so the rungs come back as the trees that stack builds.
//
// Where the code leaves the grouping open, the parse takes numbered choices:
// operations after a rung's last element may continue it or begin the next
// rung, and only a drawing that compiles back tells which one it was.
#include <cstdint>
#include <vector>

#include "compiler/decompile_decode.h"

namespace velmorin {

enum class NetKind {
    Cell,      // one element cell
    Series,    // stages from left to right
    Parallel,  // branches between the same two nodes
    FanOut,    // a common part feeding branches that end apart
    Counter,   // a two-row box: the upper input, then the lower input
};

struct Net {
    NetKind kind = NetKind::Cell;
    // Cell and Counter: the instruction the element comes from.
    int32_t instruction = -1;
    // Cell: the element of the cell (a contact for and/andn/or/orn).
    int32_t element = -1;
    // Series: the stages. Parallel: the branches in the order of their code.
    // FanOut: the common part. Counter: the upper input, the lower input.
    std::vector<int32_t> parts;
    // FanOut: the ways its code can be cut into branches (usually one).
    std::vector<std::vector<int32_t>> branchings;
};

// A rung: one tree whose code runs from `firstOffset` to `endOffset`.
struct RungTree {
    int32_t net = -1;
    int32_t firstOffset = 0;
    int32_t endOffset = 0;
};

// The code between two jump targets: it starts a block of its own.
struct CodeSegment {
    int32_t startOffset = 0;
    size_t firstInstruction = 0;
    size_t endInstruction = 0;
    std::vector<RungTree> rungs;
};

struct ProgramStructure {
    std::vector<Net> nets;
    std::vector<CodeSegment> segments;
    // A jump names the end of the code: an empty block follows the last rung.
    bool endIsTarget = false;
};

// The choices one parse took, where, and how many options each had.
class ParseChoices {
public:
    explicit ParseChoices(std::vector<int32_t> picks = {}) : picks_(std::move(picks)) {}
    int32_t Pick(int32_t options, size_t instruction);
    const std::vector<int32_t>& picks() const { return picks_; }
    const std::vector<int32_t>& options() const { return options_; }
    const std::vector<size_t>& instructions() const { return instructions_; }

private:
    std::vector<int32_t> picks_;
    std::vector<int32_t> options_;
    std::vector<size_t> instructions_;
    size_t next_ = 0;
};

// Cuts the code into segments at the jump targets; the rungs come later.
void SplitSegments(const DecodedProgram& program, ProgramStructure& structure);

// Parses one segment into rungs. A one-sided box ends its rung, and follows
// no other operation in it.
bool ParseSegment(const DecodedProgram& program, ProgramStructure& structure, CodeSegment& segment,
                  ParseChoices& choices, DecompileFailure& failure);

// The stages of a rung as a series (one stage when it is not a series).
std::vector<int32_t> Stages(const ProgramStructure& s, int32_t net);
// The stage at which a rung's closing operations begin: its stage count when
// it ends otherwise.
size_t TrailingOperations(const ProgramStructure& s, int32_t net);
// The stages from..to of a series as one net.
int32_t SeriesOf(ProgramStructure& s, const std::vector<int32_t>& stages, size_t from, size_t to);
// Whether a rung may be cut before stage `part`, an operation: from there on
// the stages make the next rung, headed by that operation from the rail,
// which emits the same code right after the first part when their code is
// all that follows in the rung (it is not within an andp's or orp's join).
bool CutKeepsCode(const ProgramStructure& s, const DecodedProgram& program, const RungTree& rung, size_t part);
// Cuts rung `index` of the segment before stage `part`; nothing happens for
// a cut that would not keep the code.
void CutRung(ProgramStructure& s, const DecodedProgram& program, CodeSegment& segment, size_t index, size_t part);
// The code offset of the first instruction of a net.
int32_t FirstOffset(const ProgramStructure& s, const DecodedProgram& program, int32_t net);

// The compiler links the branches of a branch-out in the order of their
// records, after moving those headed by a coil to the front. `slots` gets an
// order of the branches (by their code order) whose links come out in code
// order; false when none does.
bool BranchOutSlots(const std::vector<bool>& coilHeaded, std::vector<int32_t>& slots);

// Helpers the layout shares.
bool IsOperation(int32_t element);                          // an element cell that takes the accumulator as it is
bool IsOneSidedBox(int32_t element);                        // nothing may stand right of it
int32_t LastStage(const ProgramStructure& s, int32_t net);  // the rightmost stage of a series, or the net

}  // namespace velmorin
