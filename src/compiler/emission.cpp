#include "compiler/emission.h"

#include <cassert>

#include "compiler/instruction_set.h"
#include "compiler/numbers.h"

namespace velmorin {
namespace {

// The catalogue's jump flag marks every jump and call through a label. An
// unconditional goto is left out of the jump table: it never comes back,
// so the return and nesting checks have nothing to follow through it.
bool IsRecordedJump(const CatalogueEntry& entry) {
    return (entry.compileFlags & CompileFlagJump) != 0 && entry.id != ElementGoto;
}

void AddJump(CompileState& state, int32_t kind, int32_t target, int32_t recordIndex) {
    // Every instruction takes a byte, so 256 entries always suffice.
    if (state.jumpCount >= JumpSlots) return;
    const CodeRecord& r = state.records[recordIndex];
    state.jumps[state.jumpCount++] = {kind, state.block, target, recordIndex, r.column, r.row};
}

int32_t Overflow(CompileState& state, int32_t head) {
    RaiseDiagnostic(state, head, DiagOutOfMemory);
    state.limitReached = true;
    return 0;
}

}  // namespace

int32_t OperandValueBytes(const ParamDef& def, const ParamSlot& slot, uint8_t out[2]) {
    int64_t value = 0;
    switch (def.kind) {
        case ParamKind::Number:
            value = ParseLeadingInteger(SlotText(slot));
            break;
        case ParamKind::Time10:
            value = ParseScaledDecimal(SlotText(slot), 1);
            break;
        case ParamKind::Time100:
            value = ParseScaledDecimal(SlotText(slot), 2);
            break;
        case ParamKind::Label:
            out[0] = slot[0];
            return 1;
        case ParamKind::Variable:
            out[0] = static_cast<uint8_t>(slot[0] - def.base);
            return 1;
        default:
            return 0;
    }
    const uint64_t bits = static_cast<uint64_t>(value);
    out[0] = static_cast<uint8_t>(bits & 0xFF);
    out[1] = static_cast<uint8_t>((bits >> 8) & 0xFF);
    return def.wide == 1 ? 2 : 1;
}

int EmitBlock(CompileState& state, int32_t block) {
    state.block = block;
    CodeImage& image = state.image;
    const ProgramModel& model = *state.model;
    state.labels[block].codeAddress = static_cast<uint8_t>(image.codeLength & 0xFF);

    for (int32_t head = 0; head < state.recordCount; ++head) {
        if (state.records[head].link != LinkHead) continue;
        int32_t index = head;
        for (int32_t walked = 0; index != NoNext && walked < MaxEmittedChain; ++walked) {
            if (index < 0 || index >= state.recordCount) break;
            const CodeRecord& r = state.records[index];
            const int32_t next = r.next;
            if (image.codeLength > ImageSize - 2) return Overflow(state, head);
            if (r.shape == KindBoxLowerHalf) {
                index = next;
                continue;
            }
            // The whole instruction must fit in the image.
            if (image.codeLength + InstructionLength(r.element) > ImageSize) return Overflow(state, head);
            image.bytes[image.codeLength++] = static_cast<uint8_t>(r.element);
            if (r.element == ElementEnd || r.element == ElementRjp) AddJump(state, JumpReturn, block, index);
            if (const CatalogueEntry* entry = EntryOrNull(r.element)) {
                const LadderCell& cell = model.grid.at(r.row, r.column);
                for (int32_t p = 0; p < entry->paramCount && p < 3; ++p) {
                    const ParamDef& def = entry->paramDefs[p];
                    uint8_t bytes[2];
                    const int32_t n = OperandValueBytes(def, cell.params[p], bytes);
                    for (int32_t b = 0; b < n; ++b) image.bytes[image.codeLength++] = bytes[b];
                    if (def.kind != ParamKind::Label) continue;
                    const uint8_t label = bytes[0];
                    // An unset or foreign label index names no label.
                    if (label < LabelCount) state.labels[label].referenced = 1;
                    if (IsRecordedJump(*entry)) AddJump(state, JumpThrough, label, index);
                }
            }
            assert(image.codeLength <= ImageSize);
            state.lastEmittedElement = r.element;
            index = next;
        }
    }
    return 1;
}

}  // namespace velmorin
