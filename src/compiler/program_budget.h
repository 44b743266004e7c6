#pragma once
// How much of the controller a diagram would use, measured while it is being
// drawn: a compilation in memory on a private copy of the diagram, with a
// compiler of its own, so that no file is written and the last real
// compilation (its image, its diagnostics, its error list) stays as it was.
#include <memory>
#include <string>
#include <vector>

#include "compiler/diagnostics.h"
#include "model/ladder_model.h"

namespace velmorin {

class Compiler;

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
    bool operator==(const ProgramBudget&) const = default;
};

// Owns the compiler and the scratch copy, so that measuring again after each
// edit allocates nothing of their size.
class BudgetMeter {
public:
    BudgetMeter();
    ~BudgetMeter();
    BudgetMeter(const BudgetMeter&) = delete;
    BudgetMeter& operator=(const BudgetMeter&) = delete;

    // `model` is only read; the compilation runs on a copy.
    const ProgramBudget& Measure(const ProgramModel& model);
    const ProgramBudget& last() const { return last_; }

private:
    std::unique_ptr<Compiler> compiler_;
    std::unique_ptr<ProgramModel> scratch_;
    ProgramBudget last_;
};

ProgramBudget MeasureBudget(const ProgramModel& model);

// The status bar's text: "Código 113/256 bytes · Temp. 3/12 · Cont. 1/4 · Errores 0 · Warnings 1".
std::string BudgetText(const ProgramBudget& budget);

}  // namespace velmorin
