#include "compile_source.h"

#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin::cli {

bool CompiledSource::succeeded() const {
    return ran() && compiler->errorCount() == 0 && static_cast<bool>(compiler->fileResult());
}

CompiledSource CompileSource(const std::string& path, bool writeFiles, std::optional<ImageDate> date) {
    CompiledSource out;
    // The model and the compiler are large fixed tables: keep them off the stack.
    out.model = std::make_unique<ProgramModel>();
    ResetModel(*out.model);
    if (Result read = ReadSourceFile(*out.model, path); !read) {
        out.refused = read;
        return out;
    }
    out.compiler = std::make_unique<Compiler>();
    switch (out.compiler->Prepare(*out.model, writeFiles ? path : std::string())) {
        case PrepareOutcome::NothingToCompile:
            out.refused = Result::Fail(msg::NothingToCompile, "");
            return out;
        case PrepareOutcome::OverwritesSource:
            out.refused = out.compiler->fileResult();
            return out;
        case PrepareOutcome::Started:
            break;
    }
    out.compiler->Run(*out.model, CompileCallbacks{}, date);
    for (int i = 0; i < out.compiler->diagnosticCount(); ++i) {
        const Compiler::Diagnostic d = out.compiler->diagnostic(i);
        out.diagnostics.push_back({d.key, d.column, d.row});
    }
    return out;
}

}  // namespace velmorin::cli
