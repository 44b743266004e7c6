#pragma once
// The text listing (*.prg): one part per block, made right after the block
// is emitted, and after a clean compilation the hexadecimal section (made by
// FinishImage). The driver writes the whole text at the end.
#include <string>

#include "compiler/program_image.h"
#include "model/ladder_model.h"

namespace velmorin {

// The source path with the file name's extension replaced: cut at the last
// '.' of the file name (never at a '.' of a folder), or appended when the
// name has none.
std::string OutputPath(const std::string& sourcePath, const std::string& extension);

// Block k's part of the listing for the instructions from `startOffset` to
// the image's codeLength (the image still holds element ids). The label line
// comes first when a jump emitted so far names the block's label.
std::string BlockListingText(const ProgramModel& model, const CodeImage& image, int32_t block, int32_t startOffset,
                             bool labelReferenced);

}  // namespace velmorin
