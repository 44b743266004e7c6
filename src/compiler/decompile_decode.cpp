#include "compiler/decompile_decode.h"

#include <algorithm>

#include "compiler/numbers.h"
#include "model/operand_areas.h"

namespace velmorin {
namespace {

bool Fail(DecompileFailure& failure, int32_t address, const char* reason) {
    failure.address = address;
    failure.reason = AtAddress(address, reason);
    return false;
}

// What the parameter dialog lets the user give the operand: a named
// variable of the descriptor's range, or a value within low..high.
bool OperandChoosable(const ParamDef& def, const Operand& op) {
    switch (def.kind) {
        case ParamKind::Variable: {
            const int32_t index = (op.value + def.base) & 0xFF;
            const IndexRange range = VariableRange(def);
            return index >= range.first && index <= range.last && !FormatOperandName(VariableAreas, index).empty();
        }
        case ParamKind::Number:
        case ParamKind::Time10:
        case ParamKind::Time100:
            return op.value >= def.low && op.value <= def.high;
        default:
            return true;
    }
}

}  // namespace

std::string AtAddress(int32_t address, const std::string& reason) {
    std::string text = "dirección ";
    // 256, the end of a full image, is the only address past one byte.
    if (address > 0xFF) text += '1';
    AppendHexByte(text, static_cast<uint8_t>(address & 0xFF));
    return text + ": " + reason;
}

int32_t CodeLengthOf(const CodeImage& image) {
    const int32_t end = std::clamp(image.codeLength, 0, ImageSize);
    for (int32_t offset = 0; offset < end;) {
        if (std::all_of(image.bytes.begin() + offset, image.bytes.begin() + end,
                        [](uint8_t b) { return b == UnwrittenByte; }))
            return offset;
        const int32_t element = ElementForOpcode(image.bytes[offset], offset + 1 < end ? image.bytes[offset + 1] : -1);
        // Past an unknown opcode nothing can be read as code: the decoder
        // reports it where it stands.
        if (element < 0) return end;
        offset += DecodeAt(image.bytes.data(), offset, end, element).length;
    }
    return end;
}

bool DecodeProgram(const CodeImage& image, int32_t codeLength, DecodedProgram& program, DecompileFailure& failure) {
    program = {};
    program.codeLength = codeLength;
    if (codeLength <= 0) return Fail(failure, 0, "la imagen no tiene código");
    std::vector<bool> boundary(static_cast<size_t>(codeLength) + 1, false);
    for (int32_t offset = 0; offset < codeLength;) {
        boundary[static_cast<size_t>(offset)] = true;
        const uint8_t opcode = image.bytes[offset];
        const int32_t element = ElementForOpcode(opcode, offset + 1 < codeLength ? image.bytes[offset + 1] : -1);
        if (element < 0) return Fail(failure, offset, "código de operación desconocido");
        DecodedInstruction decoded;
        decoded.ins = DecodeAt(image.bytes.data(), offset, codeLength, element);
        if (!decoded.ins.complete) return Fail(failure, offset, "instrucción cortada por el fin del código");
        const CatalogueEntry& entry = CatalogueEntryFor(element);
        for (int32_t n = 0, p = 0; n < decoded.ins.operandCount; ++n, ++p) {
            const Operand& op = decoded.ins.operands[n];
            while (p < entry.paramCount && entry.paramDefs[p].kind != op.kind) ++p;
            if (p >= entry.paramCount || !OperandChoosable(entry.paramDefs[p], op))
                return Fail(failure, offset, "operando que el editor no permite");
            if (op.kind == ParamKind::Label) {
                // A label of the block that starts at 256 is stored as its low byte.
                decoded.target = op.value == 0 && codeLength == ImageSize ? ImageSize : op.value;
            }
        }
        // The compiler stops before an instruction that would start past 254.
        if (offset > ImageSize - 2) return Fail(failure, offset, "instrucción más allá de donde el compilador emite");
        program.instructions.push_back(decoded);
        offset += decoded.ins.length;
    }
    boundary[static_cast<size_t>(codeLength)] = true;
    for (const DecodedInstruction& d : program.instructions) {
        if (d.target < 0) continue;
        // A label is offered only for later blocks: the target starts a block
        // after the one that holds the jump.
        if (d.target < d.ins.offset + d.ins.length) return Fail(failure, d.ins.offset, "salto hacia atrás");
        if (d.target > codeLength || !boundary[static_cast<size_t>(d.target)])
            return Fail(failure, d.ins.offset, "salto a una dirección que no empieza una instrucción");
    }
    return true;
}

}  // namespace velmorin
