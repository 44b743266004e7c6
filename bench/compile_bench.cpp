// Compilation speed on the densest program that still compiles cleanly:
// all 24 blocks drawn, each with a parallel pair, and alternately a timer
// and a jump or a fan-out to two coils, the last row of each block a wire
// net. Runs in memory: no listing or image file is written. Also the cost
// of the status bar's live budget per edit, on that program and on a grid
// filled at random, and of the cross-reference with the observations (what
// the editor shows beside the budget) on that program and on a grid whose
// every cell is an element with all its operands chosen.
//   compile_bench [benchmark options]
//   compile_bench --write-source FILE.ldr   writes the program for timing
//                                           `velmorin-cli compile` on it
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "compiler/compiler.h"
#include "compiler/program_budget.h"
#include "densest_program.h"
#include "model/cross_reference.h"
#include "model/ladder_model.h"
#include "model/observations.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

void BM_CompileDensestProgram(benchmark::State& state) {
    auto model = DensestProgram();
    CompileOutput output;
    for (auto _ : state) {
        output = Compile(*model);
        benchmark::DoNotOptimize(output.image.codeLength);
    }
    if (!output.diagnostics.empty() || !output.finalImage)
        state.SkipWithError("the benchmark program no longer compiles cleanly");
    state.counters["bytes"] = output.image.codeLength;
}
BENCHMARK(BM_CompileDensestProgram)->Unit(benchmark::kMicrosecond);

// The status bar's budget after an edit: the diagram compiled in memory,
// then the timers and counters counted.
void MeasureEdits(benchmark::State& state, const ProgramModel& model) {
    BudgetMeter meter;
    for (auto _ : state) benchmark::DoNotOptimize(meter.Measure(model).codeBytes);
    state.counters["bytes"] = meter.last().codeBytes;
    state.counters["diagnostics"] = static_cast<double>(meter.last().diagnostics.size());
}

void BM_BudgetDensestProgram(benchmark::State& state) {
    auto model = DensestProgram();
    const ProgramBudget budget = MeasureBudget(*model);
    if (budget.errors != 0 || budget.timers == 0) {
        state.SkipWithError("the benchmark program no longer compiles cleanly, or names no timer");
        return;
    }
    MeasureEdits(state, *model);
}
BENCHMARK(BM_BudgetDensestProgram)->Unit(benchmark::kMicrosecond);

// Every element cell of all 24 blocks filled at random (a fixed seed) with
// wire pieces and, every third cell, an element: the most the analysis has
// to untangle, dozens of diagnostics, and code up to the 256-byte limit.
void BM_BudgetFullGrid(benchmark::State& state) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    std::mt19937 random(4);
    for (int row = 1; row < GridRows; ++row) {
        for (int column = 1; column <= 8; ++column) {
            LadderCell& cell = model->grid.at(row, column);
            cell.shape = static_cast<int>(random() % ShapeEmpty);
            if (random() % 3 != 0) continue;
            const int element = static_cast<int>(random() % ElementDummy);
            Put(*model, row, column, CatalogueEntryFor(element).cellKind, element);
            Index(*model, row, column, 0, static_cast<int>(random() % 92));
        }
    }
    MeasureEdits(state, *model);
}
BENCHMARK(BM_BudgetFullGrid)->Unit(benchmark::kMicrosecond);

// The cross-reference and the observations, computed afresh as after each edit.
void MeasureReview(benchmark::State& state, const ProgramModel& model) {
    size_t uses = 0, observations = 0;
    for (auto _ : state) {
        const CrossReference xref = BuildCrossReference(model);
        const std::vector<Observation> found = FindObservations(xref);
        uses = 0;
        for (const OperandReference& operand : xref.operands) uses += operand.uses.size();
        for (const LabelReference& label : xref.labels) uses += label.jumps.size();
        observations = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["uses"] = static_cast<double>(uses);
    state.counters["observations"] = static_cast<double>(observations);
}

void BM_ReviewDensestProgram(benchmark::State& state) { MeasureReview(state, *DensestProgram()); }
BENCHMARK(BM_ReviewDensestProgram)->Unit(benchmark::kMicrosecond);

// All 768 editable cells hold an element with every operand chosen, the two-
// operand instructions taking turns: the most uses a program can have.
void BM_ReviewEveryCellAnElement(benchmark::State& state) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    constexpr int Elements[] = {ElementSetif1, ElementIfv1, ElementClrif1, ElementJpv1, ElementLdiv, ElementRst};
    int turn = 0;
    for (int row = 1; row < GridRows; ++row) {
        for (int column = 1; column <= 8; ++column, ++turn) {
            const int element = Elements[turn % 6];
            const CatalogueEntry& entry = CatalogueEntryFor(element);
            Put(*model, row, column, entry.cellKind, element);
            for (int p = 0; p < entry.paramCount; ++p) {
                if (entry.paramDefs[p].kind == ParamKind::Label) {
                    Index(*model, row, column, p, BlockOfRow(row) + 1);
                } else if (entry.paramDefs[p].kind == ParamKind::Variable) {
                    Index(*model, row, column, p, turn % 76);
                } else {
                    SetSlotText(model->grid.at(row, column).params[p], "7");
                }
            }
        }
    }
    MeasureReview(state, *model);
}
BENCHMARK(BM_ReviewEveryCellAnElement)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmorin

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-source") == 0) {
        const velmorin::Result r = velmorin::WriteSourceFile(*velmorin::DensestProgram(), argv[2]);
        if (!r) std::fprintf(stderr, "%s: %s\n", argv[2], r.message.c_str());
        return r ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
