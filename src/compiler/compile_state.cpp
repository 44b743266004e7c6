#include "compiler/compile_state.h"

#include <cassert>

#include "compiler/compiler.h"

namespace velmorin {

int RaiseDiagnosticAt(CompileState& state, int32_t column, int32_t row, int32_t key) {
    const int32_t errors = state.diagnostics.errorCount();
    const int32_t warnings = state.diagnostics.warningCount();
    const int result = state.diagnostics.Raise(key, column, row);
    const bool changed = errors != state.diagnostics.errorCount() || warnings != state.diagnostics.warningCount();
    if (changed && state.callbacks != nullptr && state.callbacks->counts)
        state.callbacks->counts(state.diagnostics.errorCount(), state.diagnostics.warningCount());
    return result;
}

int RaiseDiagnostic(CompileState& state, int32_t recordIndex, int32_t key) {
    assert(recordIndex >= 0 && recordIndex < RecordSlots);
    const CodeRecord& record = state.records[recordIndex];
    return RaiseDiagnosticAt(state, record.column, record.row, key);
}

void ReportProgress(CompileState& state, const std::string& text) {
    if (state.callbacks != nullptr && state.callbacks->progress) state.callbacks->progress(text);
}

}  // namespace velmorin
