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
#include "model/cross_reference.h"
#include "model/ladder_model.h"
#include "model/observations.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

void Put(ProgramModel& m, int row, int column, int shape, int element = ElementNone) {
    LadderCell& cell = m.grid.at(row, column);
    cell.shape = shape;
    cell.element = element;
}

void Index(ProgramModel& m, int row, int column, int param, int index) {
    m.grid.at(row, column).params[param][0] = static_cast<uint8_t>(index);
    m.grid.at(row, column).params[param][1] = 0;
}

void Wire(ProgramModel& m, int row, int first, int last) {
    for (int c = first; c <= last; ++c) Put(m, row, c, KindHorizontal);
}

std::unique_ptr<ProgramModel> DensestProgram() {
    auto m = std::make_unique<ProgramModel>();
    ResetModel(*m);
    for (int block = 0; block < BlockCount; ++block) {
        const int f = BlockFirstRow(block);
        Put(*m, f, 1, KindContactOpen, ElementLd);
        Index(*m, f, 1, 0, 2 * (block % 4));
        Put(*m, f + 1, 1, KindContactOpen, ElementLd);
        Index(*m, f + 1, 1, 0, 2 * (block % 4) + 1);
        Put(*m, f, 2, KindTeeLeftRightDown);
        Wire(*m, f, 3, 7);
        if (block % 2 == 0) {
            // Parallel pair into a timer; a jump over the next block's label.
            Put(*m, f + 1, 2, KindCornerUpLeft);
            Put(*m, f, 8, KindBoxTwoSided, ElementTp);
            Index(*m, f, 8, 0, 86 + block % 4);
            SetSlotText(m->grid.at(f, 8).params[1], "2.5");
            Put(*m, f + 2, 1, KindConditional, ElementJp1);
            Index(*m, f + 2, 1, 0, block + 1);
        } else {
            // Parallel pair fanned out to two coils.
            Put(*m, f + 1, 2, KindTeeUpDownLeft);
            Put(*m, f + 2, 2, KindCornerUpRight);
            Wire(*m, f + 2, 3, 7);
            Put(*m, f, 8, KindCoil, ElementOut);
            Index(*m, f, 8, 0, 8 + block % 6);
            Put(*m, f + 2, 8, KindCoil, ElementOut);
            Index(*m, f + 2, 8, 0, 14 + block);
        }
        if (block == BlockCount - 1)
            Put(*m, f + 3, 1, KindBoxOneSided, ElementEnd);
        else
            Wire(*m, f + 3, 1, 8);
    }
    return m;
}

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
