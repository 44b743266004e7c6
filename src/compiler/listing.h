#pragma once
// The text listing (*.prg): one part per block, appended right after the
// block is emitted, and after a clean compilation the hexadecimal section.
#include <string>

#include "compiler/code_image.h"
#include "model/ladder_model.h"

namespace velmorin {

// The source path with the file name's extension replaced: cut at the last
// '.' of the file name (never at a '.' of a folder), or appended when the
// name has none.
std::string OutputPath(const std::string& sourcePath, const std::string& extension);

// Block k's part of the listing for the instructions from `startOffset` to
// the image's codeLength (the image still holds element ids).
std::string BlockListingText(const ProgramModel& model, const CodeImage& image, int32_t block, int32_t startOffset);

// "\nBINARY-----\n" and one line per instruction, turning the image into its
// final state on the way: opcodes for element ids, code addresses for label
// indexes.
std::string FinishImage(const ProgramModel& model, CodeImage& image);

// Appends text to a file; failures are not reported (the compilation stands).
void AppendToFile(const std::string& path, const std::string& text);

}  // namespace velmorin
