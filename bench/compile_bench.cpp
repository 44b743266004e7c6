// Compilation speed on the densest program that still compiles cleanly:
// all 24 blocks drawn, each with a parallel pair, and alternately a timer
// and a jump or a fan-out to two coils, the last row of each block a wire
// net. Runs in memory: no listing or image file is written. Also the cost
// of the status bar's live budget per edit, on that program and on a grid
// filled at random.
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
#include "model/ladder_model.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

void BM_CompileDensestProgram(benchmark::State& state) {
    auto model = DensestProgram();
    auto compiler = std::make_unique<Compiler>();
    for (auto _ : state) {
        compiler->Prepare(*model, "");
        compiler->Run(*model, CompileCallbacks{}, ImageDate{6, 11, 2026});
        benchmark::DoNotOptimize(compiler->codeLength());
    }
    if (compiler->diagnosticCount() != 0 || !compiler->hasFinalImage())
        state.SkipWithError("the benchmark program no longer compiles cleanly");
    state.counters["bytes"] = compiler->codeLength();
}
BENCHMARK(BM_CompileDensestProgram)->Unit(benchmark::kMicrosecond);

// The status bar's budget after an edit: a copy of the diagram compiled in
// memory with a compiler of its own, then the timers and counters counted.
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
