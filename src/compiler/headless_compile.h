#pragma once
// A compilation without a window: what `velmorin-cli compile` runs. It goes
// through the same Prepare and Run as the compile dialog, synchronously. The
// way back from an image to a source file, for `velmorin-cli decompile`.
#include <optional>
#include <string>

#include "compiler/compiler.h"

namespace velmorin {

struct HeadlessOutcome {
    int status = 0;      // 0 without errors; 1 with errors, a refused or unwritten file, or nothing to compile
    std::string report;  // one line per diagnostic, then the totals line
    std::string error;   // the message of a refused or unwritten file, or of an empty diagram
    std::string detail;  // the file and the system's reason, when a file is involved
};

HeadlessOutcome CompileFile(const std::string& sourcePath, std::optional<ImageDate> date);

// What `velmorin-cli decompile` runs: the image read as the send dialog reads
// it, its diagram recovered, and the source file written (through a
// temporary file) only when that diagram compiles back to the image. On a
// failure `error` and `detail` say why, and `report` lists the image.
HeadlessOutcome DecompileFile(const std::string& imagePath, const std::string& sourcePath);

// "YYYY-MM-DD" as an image header date; nothing when it is not a date.
std::optional<ImageDate> ParseIsoDate(const std::string& text);

}  // namespace velmorin
