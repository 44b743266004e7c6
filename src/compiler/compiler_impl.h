#pragma once
// What the Compiler keeps between compilations. Tests and the pass code see
// the working tables through it.
#include <atomic>
#include <string>

#include "compiler/compile_state.h"

namespace velmorin {

struct CompilerImpl {
    CompileState state;
    std::atomic<bool> cancel{false};
    std::string listingPath;
    std::string imagePath;
    std::string listing;  // what the listing file received, in memory
    bool prepared = false;
    bool finalImage = false;
    bool cancelled = false;
};

}  // namespace velmorin
