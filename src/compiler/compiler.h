#pragma once
// Compiling is a function of the program: Compile reads the model, and
// nothing else, and returns everything the compilation made. It keeps no
// state between calls, so the compile dialog's worker, the live budget and
// the command line may each compile without disturbing the others' results.
// Writing the listing and the image is a step of its own (compile_outputs.h).
#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "compiler/compile_state.h"
#include "compiler/diagnostics.h"
#include "compiler/program_image.h"
#include "model/ladder_model.h"

namespace velmorin {

// What a compilation reports while it runs. Callbacks are invoked on the
// compiling thread; a GUI forwards them to its own thread. Compile reports
// the progress texts and the counters; the last three belong to the whole
// job with its files (CompileAndWrite), which reports them after writing.
// A cancelled compilation ends without `finished` (the button caption stays).
struct CompileCallbacks {
    std::function<void(const std::string& text)> progress;  // progress field
    std::function<void(int errors, int warnings)> counts;   // the two counters
    std::function<void()> imageWritten;                     // "Progreso" becomes "memoria"
    std::function<void(bool hasDiagnostics)> finished;      // "Ver Errores" / "Aceptar"
};

struct CompileOutput {
    // No element that compiles: nothing else below was made.
    bool nothingToCompile = true;
    // Cancel was requested: the listing holds the blocks done so far and the
    // image is not final.
    bool cancelled = false;
    // The code-size limit ended emission (an error is among the diagnostics).
    bool limitReached = false;
    // A compilation without errors that was not cancelled: the image holds
    // opcodes and code addresses and may be sent.
    bool finalImage = false;
    CodeImage image;
    std::vector<DiagnosticEntry> diagnostics;  // in order of raising, at most 500
    int errorCount = 0;
    int warningCount = 0;
    // The listing text: block by block, and the hexadecimal section after a
    // compilation without errors.
    std::string listing;
    std::array<LabelPlacement, LabelCount> labels{};
};

// Whether any cell holds a compilable element: without one, a compilation
// makes nothing and the compile command says so before starting.
bool HasCompilableElement(const ProgramModel& model);

// One compilation over the 24 blocks and the program checks. `cancel` is
// polled before each reduction pass; the caller keeps it.
CompileOutput Compile(const ProgramModel& model, const CompileCallbacks& callbacks = {},
                      const std::atomic<bool>* cancel = nullptr);

}  // namespace velmorin
