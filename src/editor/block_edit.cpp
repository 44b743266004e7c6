#include "editor/block_edit.h"

#include <array>
#include <utility>
#include <vector>

#include "editor/cell_content.h"
#include "editor/editor_messages.h"

namespace velmorin {
namespace {

constexpr int32_t LastBlock = BlockCount - 1;
constexpr int32_t RightRail = GridColumns - 1;

// For each block position after the edit, the block that lands there
// before it (-1: a new empty block).
using BlockOrder = std::array<int32_t, BlockCount>;

int32_t RailShape(int32_t row, int32_t column) {
    const int32_t inBlock = row % BlockRows;
    if (column == 0) return inBlock == 1 ? KindCornerDownRight : inBlock == 0 ? KindCornerUpRight : KindTeeUpDownRight;
    return inBlock == 1 ? KindCornerDownLeft : inBlock == 0 ? KindCornerUpLeft : KindTeeUpDownLeft;
}

CellContent ResetContent(int32_t row, int32_t column) {
    CellContent content = EmptyContent();
    if (column == 0 || column == RightRail) content.shape = RailShape(row, column);
    return content;
}

// Calls `visit(row, label)` for every label operand of every cell with an
// element, whatever its kind: the file keeps an element's operands on any cell.
template <typename Grid, typename Visit>
void ForEachJump(Grid& grid, Visit visit) {
    for (int32_t row = 0; row < GridRows; ++row) {
        for (int32_t column = 0; column < GridColumns; ++column) {
            auto& cell = grid.at(row, column);
            if (!cell.hasElement() || cell.element >= ElementDummy) continue;
            const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
            for (int32_t p = 0; p < entry.paramCount; ++p) {
                if (entry.paramDefs[static_cast<size_t>(p)].kind != ParamKind::Label) continue;
                visit(row, cell.params[static_cast<size_t>(p)][0]);
            }
        }
    }
}

bool LabelReached(const ProgramModel& model, int32_t block) {
    bool reached = false;
    ForEachJump(model.grid, [&](int32_t, uint8_t label) { reached = reached || label == block; });
    return reached;
}

// Where each block's label goes: with its block, or for a deleted block to
// the block that now stands where it stood.
std::array<int32_t, BlockCount> LabelMap(const BlockOrder& order) {
    std::array<int32_t, BlockCount> to;
    to.fill(-1);
    for (int32_t n = 0; n < BlockCount; ++n)
        if (order[static_cast<size_t>(n)] >= 0) to[static_cast<size_t>(order[static_cast<size_t>(n)])] = n;
    for (int32_t old = 0; old < BlockCount; ++old) {
        if (to[static_cast<size_t>(old)] >= 0) continue;
        int32_t successor = LastBlock;
        for (int32_t n = BlockCount - 1; n >= 0; --n)
            if (order[static_cast<size_t>(n)] > old) successor = n;
        to[static_cast<size_t>(old)] = successor;
    }
    return to;
}

// A jump that went to a later block must still do so.
bool JumpGoesBackwards(const ProgramModel& model, const BlockOrder& order, const std::array<int32_t, BlockCount>& to) {
    std::array<int32_t, BlockCount> newBlock;
    newBlock.fill(-1);
    for (int32_t n = 0; n < BlockCount; ++n)
        if (order[static_cast<size_t>(n)] >= 0) newBlock[static_cast<size_t>(order[static_cast<size_t>(n)])] = n;
    bool backwards = false;
    ForEachJump(model.grid, [&](int32_t row, uint8_t label) {
        const int32_t block = BlockOfRow(row);
        if (block < 0 || label >= BlockCount || newBlock[static_cast<size_t>(block)] < 0) return;
        const bool wasForward = label > block;
        backwards = backwards || (wasForward && to[label] <= newBlock[static_cast<size_t>(block)]);
    });
    return backwards;
}

void Rearrange(ProgramModel& model, const BlockOrder& order) {
    const std::array<int32_t, BlockCount> to = LabelMap(order);
    std::vector<CellContent> before(model.grid.cells.size());
    for (size_t i = 0; i < before.size(); ++i) before[i] = ContentOf(model.grid.cells[i]);
    for (int32_t n = 0; n < BlockCount; ++n) {
        const int32_t source = order[static_cast<size_t>(n)];
        for (int32_t r = 0; r < BlockRows; ++r) {
            const int32_t row = BlockFirstRow(n) + r;
            for (int32_t column = 0; column < GridColumns; ++column) {
                const CellContent content =
                    source < 0 ? ResetContent(row, column)
                               : before[static_cast<size_t>((BlockFirstRow(source) + r) * GridColumns + column)];
                SetContent(model.grid.at(row, column), content);
            }
        }
    }
    for (LadderCell& cell : model.grid.cells) {
        if (!cell.hasElement() || cell.element >= ElementDummy) continue;
        const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
        for (int32_t p = 0; p < entry.paramCount; ++p) {
            uint8_t& label = cell.params[static_cast<size_t>(p)][0];
            if (entry.paramDefs[static_cast<size_t>(p)].kind == ParamKind::Label && label < BlockCount)
                label = static_cast<uint8_t>(to[label]);
        }
    }
    // The user names travel with their blocks; those of blocks that went
    // fill the new blocks, so no two labels ever share a name.
    std::array<NameField, BlockCount> aliases;
    for (int32_t k = 0; k < BlockCount; ++k)
        aliases[static_cast<size_t>(k)] = model.labels[static_cast<size_t>(k)].alias;
    std::vector<NameField> spare;
    std::array<bool, BlockCount> kept{};
    for (int32_t source : order)
        if (source >= 0) kept[static_cast<size_t>(source)] = true;
    for (int32_t k = 0; k < BlockCount; ++k)
        if (!kept[static_cast<size_t>(k)]) spare.push_back(aliases[static_cast<size_t>(k)]);
    size_t nextSpare = 0;
    for (int32_t n = 0; n < BlockCount; ++n) {
        const int32_t source = order[static_cast<size_t>(n)];
        model.labels[static_cast<size_t>(n)].alias =
            source >= 0 ? aliases[static_cast<size_t>(source)] : spare[nextSpare++];
    }
}

BlockEditOutcome Refused(const char* text) { return {false, text, -1}; }

}  // namespace

bool BlockHoldsAnything(const ProgramModel& model, int32_t block) {
    for (int32_t row = BlockFirstRow(block); row < BlockFirstRow(block) + BlockRows; ++row) {
        for (int32_t column = 0; column < GridColumns; ++column) {
            const LadderCell& cell = model.grid.at(row, column);
            const bool rail = column == 0 || column == RightRail;
            if (cell.hasElement() || (rail ? cell.shape != RailShape(row, column) : cell.occupied())) return true;
        }
    }
    return false;
}

BlockEditOutcome EditBlocks(ProgramModel& model, BlockEdit edit, int32_t block) {
    if (block < 0 || block > LastBlock) return {};
    BlockOrder order;
    for (int32_t n = 0; n < BlockCount; ++n) order[static_cast<size_t>(n)] = n;
    int32_t landed = block;
    switch (edit) {
        case BlockEdit::Insert:
            if (BlockHoldsAnything(model, LastBlock) || LabelReached(model, LastBlock))
                return Refused(msg::BlockInsertLastInUse);
            for (int32_t n = block; n < BlockCount; ++n) order[static_cast<size_t>(n)] = n == block ? -1 : n - 1;
            break;
        case BlockEdit::Delete:
            for (int32_t n = block; n < BlockCount; ++n) order[static_cast<size_t>(n)] = n == LastBlock ? -1 : n + 1;
            break;
        case BlockEdit::MoveUp:
            if (block == 0) return Refused(msg::BlockAlreadyFirst);
            landed = block - 1;
            std::swap(order[static_cast<size_t>(block)], order[static_cast<size_t>(landed)]);
            break;
        case BlockEdit::MoveDown:
            if (block == LastBlock) return Refused(msg::BlockAlreadyLast);
            landed = block + 1;
            std::swap(order[static_cast<size_t>(block)], order[static_cast<size_t>(landed)]);
            break;
    }
    if (JumpGoesBackwards(model, order, LabelMap(order))) return Refused(msg::BlockMoveJumpBackwards);
    Rearrange(model, order);
    return {true, nullptr, landed};
}

}  // namespace velmorin
