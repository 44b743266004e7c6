#include "compiler/listing.h"

#include "compiler/instruction_set.h"
#include "compiler/numbers.h"

namespace velmorin {

std::string OutputPath(const std::string& sourcePath, const std::string& extension) {
    const size_t slash = sourcePath.find_last_of("/\\");
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = sourcePath.rfind('.');
    std::string path = sourcePath;
    if (dot != std::string::npos && dot >= nameStart) path.resize(dot);
    return path + extension;
}

namespace {

std::string LabelName(const ProgramModel& model, int32_t index) {
    // An unset or foreign label index names no label.
    if (index < 0 || index >= LabelCount) return {};
    return FieldText(model.labels[index].name);
}

void AppendOperandField(std::string& line, const ProgramModel& model, const Operand& op) {
    switch (op.kind) {
        case ParamKind::Number:
            AppendDecimal(line, op.value);
            line += ' ';
            break;
        case ParamKind::Time10:
            AppendFixed(line, op.value, 1, 4);
            break;
        case ParamKind::Time100:
            AppendFixed(line, op.value, 2, 4);
            break;
        case ParamKind::Label:
            line += LabelName(model, op.value);
            line += ' ';
            break;
        case ParamKind::Variable:
            line += FieldText(model.aliases[(op.value + op.base) & 0xFF].alias);
            line += ' ';
            break;
        default:
            break;
    }
}

}  // namespace

std::string BlockListingText(const ProgramModel& model, const CodeImage& image, int32_t block, int32_t startOffset,
                             bool labelReferenced) {
    std::string text = "\n";
    if (block >= 0 && block < LabelCount && labelReferenced) {
        text += FieldText(model.labels[block].name);
        text += ": \n";
    }
    for (int32_t offset = startOffset; offset < image.codeLength;) {
        const Instruction ins = DecodeAt(image.bytes.data(), offset, image.codeLength, image.bytes[offset]);
        const CatalogueEntry* entry = EntryOrNull(ins.element);
        text += "     ";
        if (entry != nullptr) text += entry->mnemonic;
        text += ' ';
        for (int32_t n = 0; n < ins.operandCount; ++n) AppendOperandField(text, model, ins.operands[n]);
        text += '\n';
        offset += ins.length;
    }
    return text;
}

}  // namespace velmorin
