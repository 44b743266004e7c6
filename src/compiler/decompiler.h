#pragma once
// From a controller image back to a ladder diagram. The code generator is
// deterministic and every instruction it emits comes from a cell, so the
// diagram can be drawn again: the image is decoded, its instructions are
// regrouped into rungs, the rungs are laid out on the grid, and the result
// is compiled in memory. Only a diagram whose code is the image's, byte for
// byte, is given back; a caller opens it as a new, unsaved document.
#include <cstdint>
#include <memory>
#include <string>

#include "compiler/program_image.h"
#include "model/ladder_model.h"
#include "model/result.h"

namespace velmorin {

struct DecompileResult {
    // The recovered diagram; set only when it compiles to the image.
    std::unique_ptr<ProgramModel> model;
    // Ok, or "No se pudo reconstruir el diagrama" with the reason as detail.
    Result outcome;
    // The length of the code the image holds (see CodeLengthOf).
    int32_t codeLength = 0;
    // Where recovery stopped, or the first address at which the drawn
    // diagram compiled differently; -1 when it was recovered.
    int32_t firstDifference = -1;
    // The image listed instruction by instruction, for the user to read
    // when no diagram is given back.
    std::string listing;

    explicit operator bool() const { return model != nullptr; }
};

// `image.codeLength` bounds the code: a compiled image gives its length, one
// extracted from a controller 256 and the code's end is found in it.
DecompileResult Decompile(const CodeImage& image);

}  // namespace velmorin
