#pragma once
// The dialogs of the compile command. Each runs modally and returns a plain
// value; the shell shows the real ones, tests script them.
#include <string>
#include <vector>

#include "compiler/compile_outputs.h"
#include "compiler/diagnostics.h"
#include "model/observations.h"

namespace velmorin {

class CompilerDialogs {
public:
    virtual ~CompilerDialogs() = default;

    // "Compilando...": compiles the document's diagram, whose file is
    // `sourcePath`. Refusals and files that could not be written have been
    // reported when it returns.
    virtual CompileResult Compile(const std::string& sourcePath) = 0;
    // "Listado de errores": the last compilation's diagnostics.
    virtual void ErrorList() = 0;
    // The same list over the diagnostics of the status bar's live budget,
    // with the program's observations under it.
    virtual void CurrentDiagnostics(const std::vector<DiagnosticEntry>& diagnostics,
                                    const std::vector<Observation>& observations) = 0;
};

}  // namespace velmorin
