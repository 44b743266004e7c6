#include "editor/doc_content.h"

#include "compiler/diagnostics.h"
#include "compiler/error_list.h"
#include "compiler/program_budget.h"

namespace velmorin {
namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// The one compilation the documentation makes: the live budget's, which
// compiles a copy of the program in memory and writes no file.
ProgramBudget CompileInMemory(const ProgramModel& model) { return MeasureBudget(model); }

}  // namespace

DocumentContent GatherDocumentContent(const ProgramModel& model, const PrintHeading& heading) {
    DocumentContent content;
    content.heading = heading;
    const ProgramBudget budget = CompileInMemory(model);
    // The cover gives the observations a row of their own, so its budget
    // line stops where the compiler's figures do.
    ProgramBudget figures = budget;
    figures.observations.clear();
    content.budget = BudgetText(figures);
    content.nothingToCompile = budget.nothingToCompile;
    content.compileTotals = FormatCompileTotals(budget.errors, budget.warnings, budget.codeBytes);
    for (const ErrorListRow& row : ErrorListRows(model, budget.diagnostics)) {
        content.diagnostics.push_back(
            {row.number, row.block, Trimmed(row.rowInBlock), Trimmed(row.column), row.description});
    }
    content.xref = BuildCrossReference(model);
    content.observations = FindObservations(content.xref);
    return content;
}

}  // namespace velmorin
