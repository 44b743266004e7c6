#include "compiler/instruction_set.h"

namespace velmorin {

const CatalogueEntry* EntryOrNull(int32_t element) {
    if (element < 0 || element >= CatalogueSize) return nullptr;
    return &CatalogueEntryFor(element);
}

int32_t OperandBytes(const ParamDef& def) {
    switch (def.kind) {
        case ParamKind::Number:
        case ParamKind::Time10:
        case ParamKind::Time100:
            return def.wide == 1 ? 2 : 1;
        case ParamKind::Label:
        case ParamKind::Variable:
            return 1;
        default:
            return 0;
    }
}

int32_t InstructionLength(int32_t element) {
    const CatalogueEntry* entry = EntryOrNull(element);
    int32_t length = 1;
    if (entry == nullptr) return length;
    for (int32_t p = 0; p < entry->paramCount && p < 3; ++p) length += OperandBytes(entry->paramDefs[p]);
    return length;
}

bool IsLoad(int32_t element) {
    const CatalogueEntry* entry = EntryOrNull(element);
    return entry != nullptr && (entry->compileFlags & CompileFlagLoad) != 0;
}

bool IsTerminating(int32_t element) {
    const CatalogueEntry* entry = EntryOrNull(element);
    return entry != nullptr && (entry->compileFlags & CompileFlagTerminating) != 0;
}

uint8_t OpcodeByte(int32_t element) {
    const CatalogueEntry* entry = EntryOrNull(element);
    return entry == nullptr ? 0xFF : static_cast<uint8_t>(entry->opcode & 0xFF);
}

Instruction DecodeAt(const uint8_t* bytes, int32_t offset, int32_t end, int32_t element) {
    Instruction ins;
    ins.offset = offset;
    ins.element = EntryOrNull(element) != nullptr ? element : -1;
    int32_t at = offset + 1;
    if (const CatalogueEntry* entry = EntryOrNull(element)) {
        for (int32_t p = 0; p < entry->paramCount && p < 3; ++p) {
            const ParamDef& def = entry->paramDefs[p];
            const int32_t n = OperandBytes(def);
            if (n == 0) continue;
            if (at + n > end) {
                ins.complete = false;
                break;
            }
            Operand& op = ins.operands[ins.operandCount++];
            op.kind = def.kind;
            op.offset = at;
            op.bytes = n;
            op.value = bytes[at] | (n == 2 ? bytes[at + 1] << 8 : 0);
            op.base = def.base;
            at += n;
        }
    }
    ins.length = at - offset;
    return ins;
}

int32_t ElementForOpcode(uint8_t opcode, int32_t firstOperandByte) {
    int32_t found = -1;
    for (const CatalogueEntry& entry : ElementCatalogue) {
        if (entry.opcode != opcode) continue;
        if (found < 0) {
            found = entry.id;
            continue;
        }
        // A second element with this opcode: take it when the operand lies
        // in its variable range and not in the first one's.
        const ParamDef& mine = CatalogueEntryFor(found).paramDefs[0];
        const ParamDef& other = entry.paramDefs[0];
        const IndexRange a = VariableRange(mine);
        const IndexRange b = VariableRange(other);
        const int32_t index = firstOperandByte + other.base;
        const bool inOther = firstOperandByte >= 0 && index >= b.first && index <= b.last;
        const int32_t mineIndex = firstOperandByte + mine.base;
        const bool inMine = firstOperandByte >= 0 && mineIndex >= a.first && mineIndex <= a.last;
        if (inOther && !inMine) found = entry.id;
    }
    return found;
}

}  // namespace velmorin
