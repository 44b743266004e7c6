#include "compiler/image_finish.h"

#include "compiler/instruction_set.h"
#include "compiler/numbers.h"

namespace velmorin {

std::string FinishImage(const std::array<LabelPlacement, LabelCount>& labels, CodeImage& image) {
    std::string text = "\nBINARY-----\n";
    for (int32_t offset = 0; offset < image.codeLength;) {
        const int32_t element = image.bytes[offset];
        const Instruction ins = DecodeAt(image.bytes.data(), offset, image.codeLength, element);
        image.bytes[offset] = OpcodeByte(element);
        for (int32_t n = 0; n < ins.operandCount; ++n) {
            const Operand& op = ins.operands[n];
            if (op.kind == ParamKind::Label && op.value < LabelCount)
                image.bytes[op.offset] = labels[op.value].codeAddress;
        }
        AppendHexByte(text, static_cast<uint8_t>(offset));
        text += "  ";
        for (int32_t at = offset; at < offset + ins.length; ++at) {
            AppendHexByte(text, image.bytes[at]);
            text += ' ';
        }
        text += '\n';
        offset += ins.length;
    }
    return text;
}

}  // namespace velmorin
