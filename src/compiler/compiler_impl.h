#pragma once
// What the Compiler keeps between compilations. Tests and the pass code see
// the working tables through it.
#include <atomic>
#include <string>

#include "compiler/compile_state.h"
#include "compiler/compiler.h"
#include "model/result.h"

namespace velmorin {

struct CompilerImpl {
    CompileState state;
    std::atomic<bool> cancel{false};
    std::string listingPath;
    std::string imagePath;
    std::string listing;  // the listing text, also for a compilation in memory
    CompileResult result = CompileResult::NothingToCompile;
    Result files;  // the first file that could not be written, or removed
    bool prepared = false;
    bool finalImage = false;
    bool cancelled = false;
};

}  // namespace velmorin
