#include "compiler/decompile_verify.h"

#include <algorithm>

#include "compiler/compiler.h"

namespace velmorin {

const CodeImage* ImageCompiler::Compile(const ProgramModel& model) {
    const CompileOutput output = velmorin::Compile(model);
    if (output.nothingToCompile || output.errorCount > 0 || !output.finalImage) return nullptr;
    image_ = output.image;
    return &image_;
}

int32_t FirstDifference(std::span<const uint8_t> expected, const CodeImage& actual) {
    const int32_t length = static_cast<int32_t>(expected.size());
    const int32_t common = std::min(length, actual.codeLength);
    for (int32_t at = 0; at < common; ++at)
        if (expected[static_cast<size_t>(at)] != actual.bytes[at]) return at;
    return length == actual.codeLength ? -1 : common;
}

bool SameRungCode(const CodeImage& trial, const CodeImage& image, const DecodedProgram& program, int32_t firstOffset,
                  int32_t endOffset) {
    if (trial.codeLength != endOffset - firstOffset) return false;
    for (const DecodedInstruction& d : program.instructions) {
        if (d.ins.offset < firstOffset || d.ins.offset >= endOffset) continue;
        for (int32_t at = d.ins.offset; at < d.ins.offset + d.ins.length; ++at) {
            bool label = false;
            for (int32_t n = 0; n < d.ins.operandCount; ++n)
                label = label || (d.ins.operands[n].kind == ParamKind::Label && d.ins.operands[n].offset == at);
            if (!label && trial.bytes[at - firstOffset] != image.bytes[at]) return false;
        }
    }
    return true;
}

}  // namespace velmorin
