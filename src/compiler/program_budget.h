#pragma once
// How much of the controller a diagram would use, measured while it is being
// drawn: a compilation in memory whose output only the budget keeps, so that
// no file is written and the last real compilation (its image, its
// diagnostics, its error list) stays as it was.
#include <string>
#include <vector>

#include "compiler/diagnostics.h"
#include "model/ladder_model.h"
#include "model/observations.h"

namespace velmorin {

constexpr int CodeBudgetBytes = 256;
constexpr int TimerBudget = 12;
constexpr int CounterBudget = 4;

struct ProgramBudget {
    bool nothingToCompile = true;  // no element that compiles: every count is 0
    int codeBytes = 0;
    int timers = 0;    // distinct timer outputs the emitted instructions name
    int counters = 0;  // distinct counter outputs the emitted instructions name
    int errors = 0;
    int warnings = 0;
    std::vector<DiagnosticEntry> diagnostics;
    // The editor's own remarks on the program, apart from the compiler's counts.
    std::vector<Observation> observations;
    bool operator==(const ProgramBudget&) const = default;
};

// Keeps the last measure for the status bar and its list.
class BudgetMeter {
public:
    const ProgramBudget& Measure(const ProgramModel& model);
    const ProgramBudget& last() const { return last_; }

private:
    ProgramBudget last_;
};

ProgramBudget MeasureBudget(const ProgramModel& model);

// The status bar's text: "Código 113/256 bytes · Temp. 3/12 · Cont. 1/4 · Errores 0 · Warnings 1",
// and when there are observations, their count after it (" · 2 observaciones").
std::string BudgetText(const ProgramBudget& budget);

}  // namespace velmorin
