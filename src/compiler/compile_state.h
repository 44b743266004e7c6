#pragma once
// The working tables of one compilation. Compile makes one for each
// compilation and hands what the caller needs on in its CompileOutput; every
// pass works on it.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "compiler/diagnostics.h"
#include "compiler/program_image.h"
#include "model/ladder_model.h"

namespace velmorin {

struct CompileCallbacks;

constexpr int32_t RecordSlots = 100;
constexpr int32_t NodeSlots = 50;
constexpr int32_t JumpSlots = 256;
// Longest chain the joins build; emission walks one record more.
constexpr int32_t MaxChainRecords = 72;
constexpr int32_t MaxEmittedChain = 73;

// link values of a CodeRecord.
constexpr int32_t LinkHead = -1;
constexpr int32_t LinkFree = -2;      // free, or dropped by a check
constexpr int32_t LinkOverflow = -3;  // dropped after a chain overflow
constexpr int32_t NoNext = -1;

// Position with nothing to compile, or a wire the wire pass has visited.
constexpr int32_t ShapeNothing = KindBlank;
// Shape of the records the joins add themselves.
constexpr int32_t ShapeSynthetic = 24;

// A node is a (column, row) pair; (-1, -1) is not connected and equals no node.
inline bool NodeValid(int32_t column, int32_t row) { return column >= 0 && row >= 0; }
inline bool SameNode(int32_t c1, int32_t r1, int32_t c2, int32_t r2) {
    return NodeValid(c1, r1) && c1 == c2 && r1 == r2;
}

struct CellNode {
    int32_t column, row;
    int32_t inColumn, inRow;
    int32_t outColumn, outRow;
    int32_t shape;
    int32_t element;
};

// Where BuildCellNodeTable starts every entry: nothing to compile here.
constexpr CellNode NoCellNode{0, 0, 0, 0, 0, 0, ShapeNothing, ElementNone};

struct CodeRecord {
    int32_t link = LinkFree;
    int32_t column = 0, row = 0;
    int32_t inColumn = -1, inRow = -1;
    int32_t outColumn = -1, outRow = -1;
    int32_t element = ElementNone;
    int32_t shape = ShapeSynthetic;
    int32_t spare = 0;
    int32_t next = NoNext;
};

struct NodeCount {
    int32_t column, row, count;
};

constexpr int32_t JumpReturn = 18;   // an end or rjp
constexpr int32_t JumpThrough = 29;  // a jump or call through a label

struct JumpEntry {
    int32_t entryKind;
    int32_t block;
    int32_t target;
    int32_t recordIndex;
    int32_t column, row;  // the jump's own cell, where its diagnostics point
};

// What a compilation finds out about a label: whether a jump emitted so far
// names it, and where its block's code starts.
struct LabelPlacement {
    uint8_t referenced = 0;
    uint8_t codeAddress = 0;
    bool operator==(const LabelPlacement&) const = default;
};

struct CompileState {
    // Wired by the driver for the length of a compilation.
    const ProgramModel* model = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    const CompileCallbacks* callbacks = nullptr;
    // Set when the code-size limit ended emission: the block loop stops.
    bool limitReached = false;

    DiagnosticList diagnostics;
    CodeImage image;
    std::array<LabelPlacement, LabelCount> labels{};

    // Each table is written before it is read (the node table by
    // BuildCellNodeTable, the others up to their counts), so a compilation
    // makes its state without clearing them first.
    std::array<CellNode, GridRows * GridColumns> cellNodes;
    std::array<CodeRecord, RecordSlots> records;
    int32_t recordCount = 0;
    int32_t collectedCount = 0;
    std::array<NodeCount, NodeSlots> nodes;
    int32_t nodeCount = 0;
    std::array<JumpEntry, JumpSlots> jumps;
    int32_t jumpCount = 0;

    int32_t block = 0;  // block being analysed and emitted
    int32_t lastBlockRecordCount = 0;
    int32_t lastEmittedElement = -1;

    CellNode& cellNode(int32_t row, int32_t column) { return cellNodes[row * GridColumns + column]; }
    bool cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
};

// RaiseDiagnostic: the position is that of the record in the block being
// compiled. Pushes the counters to the callbacks when they change.
int RaiseDiagnostic(CompileState& state, int32_t recordIndex, int32_t key);
int RaiseDiagnosticAt(CompileState& state, int32_t column, int32_t row, int32_t key);

// Shows a progress text through the callbacks, if any.
void ReportProgress(CompileState& state, const std::string& text);

}  // namespace velmorin
