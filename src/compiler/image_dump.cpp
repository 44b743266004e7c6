#include "compiler/image_dump.h"

#include <cctype>

#include "compiler/instruction_set.h"
#include "compiler/numbers.h"
#include "model/operand_areas.h"

namespace velmorin {
namespace {

constexpr size_t HexColumn = 14;  // "XX " for the longest instruction, and a gap
constexpr size_t MnemonicColumn = 8;

std::string CanonicalName(int32_t index) {
    std::string name = FormatOperandName(VariableAreas, index);
    if (name.empty()) {
        name = "#";
        AppendDecimal(name, index);
        return name;
    }
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::string OperandText(const Operand& op) {
    std::string text;
    switch (op.kind) {
        case ParamKind::Number: AppendDecimal(text, op.value); break;
        case ParamKind::Time10: AppendFixed(text, op.value, 1, 0); break;
        case ParamKind::Time100: AppendFixed(text, op.value, 2, 0); break;
        case ParamKind::Label:
            text = "@";
            AppendHexByte(text, static_cast<uint8_t>(op.value));
            break;
        case ParamKind::Variable: text = CanonicalName((op.value + op.base) & 0xFF); break;
        default: break;
    }
    return text;
}

void Pad(std::string& line, size_t width) {
    while (line.size() < width) line.push_back(' ');
}

}  // namespace

std::string DumpImage(const CodeImage& image) {
    const int32_t end = image.codeLength < 0 ? 0 : (image.codeLength > ImageSize ? ImageSize : image.codeLength);
    std::string out = DumpCode(std::span<const uint8_t>(image.bytes.data(), static_cast<size_t>(end)));
    // The header names the length the image claims, even beyond its buffer.
    if (image.codeLength != end) {
        std::string claimed = "~VLB image, ";
        AppendDecimal(claimed, image.codeLength);
        out.replace(0, out.find(" bytes"), claimed);
    }
    return out;
}

std::string DumpCode(std::span<const uint8_t> code) {
    std::string out = "~VLB image, ";
    AppendDecimal(out, static_cast<int64_t>(code.size()));
    out += " bytes\n";
    const int32_t end = static_cast<int32_t>(code.size());
    for (int32_t offset = 0; offset < end;) {
        const uint8_t opcode = code[static_cast<size_t>(offset)];
        const int32_t firstOperand = offset + 1 < end ? code[static_cast<size_t>(offset) + 1] : -1;
        const int32_t element = ElementForOpcode(opcode, firstOperand);
        std::string line;
        AppendHexByte(line, static_cast<uint8_t>(offset));
        line += "  ";
        if (element < 0) {
            AppendHexByte(line, opcode);
            Pad(line, 4 + HexColumn);
            line += "unknown opcode ";
            AppendHexByte(line, opcode);
            line += ": the listing ends here\n";
            out += line;
            break;
        }
        const Instruction ins = DecodeAt(code.data(), offset, end, element);
        for (int32_t at = offset; at < offset + ins.length; ++at) {
            AppendHexByte(line, code[static_cast<size_t>(at)]);
            line += ' ';
        }
        Pad(line, 4 + HexColumn);
        line += CatalogueEntryFor(element).mnemonic;
        if (ins.operandCount > 0) {
            Pad(line, 4 + HexColumn + MnemonicColumn);
            for (int32_t n = 0; n < ins.operandCount; ++n) {
                if (n > 0) line += ", ";
                line += OperandText(ins.operands[n]);
            }
        }
        if (!ins.complete) line += "  (cut short by the end of the image)";
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line;
        out += '\n';
        offset += ins.length;
    }
    return out;
}

}  // namespace velmorin
