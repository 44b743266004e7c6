#pragma once
// The last pass: the recovered diagram compiled in memory and its code set
// against the image. Only an identical result counts.
#include <cstdint>
#include <span>

#include "compiler/decompile_decode.h"
#include "compiler/program_image.h"
#include "model/ladder_model.h"

namespace velmorin {

// The decompiler's one way into the compiler.
class ImageCompiler {
public:
    // The final image the compiler makes of `model`, or nullptr when it finds
    // an error or nothing to compile. Valid until the next call.
    const CodeImage* Compile(const ProgramModel& model);

private:
    CodeImage image_;
};

// The first address at which a compiled program differs from the code,
// their lengths included; -1 when they are the same.
int32_t FirstDifference(std::span<const uint8_t> expected, const CodeImage& actual);

// Whether `trial`, the code of a diagram holding only some rungs in its first
// block and every jump aimed at that block, is the image's code from
// `firstOffset` to `endOffset`: label operands aside, which name addresses
// only the whole program fixes.
bool SameRungCode(const CodeImage& trial, const CodeImage& image, const DecodedProgram& program, int32_t firstOffset,
                  int32_t endOffset);

}  // namespace velmorin
