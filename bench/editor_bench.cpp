// What one edit costs on the fullest diagram: every cell of columns 1-8 in
// every block holds a wire or an element, so the history's snapshot and
// comparison see the most content they can.
//   editor_bench [benchmark options]
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/block_buffer.h"
#include "editor/diagram_editor.h"
#include "editor/edit_history.h"
#include "model/ladder_model.h"

namespace velmorin {
namespace {

std::unique_ptr<ProgramModel> FullDiagram() {
    auto m = std::make_unique<ProgramModel>();
    ResetModel(*m);
    for (int row = 1; row < GridRows; ++row) {
        for (int column = 1; column <= 8; ++column) {
            LadderCell& cell = m->grid.at(row, column);
            if (column % 2 == 1) {
                cell.shape = KindContactOpen;
                cell.element = ElementLd;
                cell.params[0][0] = static_cast<uint8_t>(column);
                cell.params[0][1] = 0;
            } else {
                cell.shape = KindHorizontal;
            }
        }
    }
    return m;
}

// A wire click that changes one cell, recorded as an undo step.
void BM_WireClickWithHistory(benchmark::State& state) {
    auto model = FullDiagram();
    model->grid.at(50, 4).shape = ShapeEmpty;
    ToolState tools;
    ViewOverlay overlay;
    DiagramEditor editor(*model, tools, overlay);
    editor.InitialUpdate();
    const PixelPoint left = HalfPoint({4, 50}, -1, 1);
    int i = 0;
    for (auto _ : state) {
        // Alternately lay a half line and erase it, so every click changes the cell.
        tools.SelectTool(i++ % 2 == 0 ? KindHorizontal : KindBlank);
        benchmark::DoNotOptimize(editor.LeftDown(left, false));
        editor.LeftUp();
    }
}
BENCHMARK(BM_WireClickWithHistory);

void BM_UndoRedo(benchmark::State& state) {
    auto model = FullDiagram();
    EditHistory history;
    history.Begin(*model);
    model->grid.at(50, 4).shape = ShapeEmpty;
    history.Commit(*model);
    for (auto _ : state) {
        history.Undo(*model);
        history.Redo(*model);
    }
}
BENCHMARK(BM_UndoRedo);

// The whole-model copy the alternative design would make per step.
void BM_WholeModelCopy(benchmark::State& state) {
    auto model = FullDiagram();
    auto copy = std::make_unique<ProgramModel>();
    for (auto _ : state) {
        *copy = *model;
        benchmark::DoNotOptimize(copy.get());
    }
    state.counters["bytes"] = static_cast<double>(sizeof(ProgramModel));
}
BENCHMARK(BM_WholeModelCopy);

// The checks of a paste of a full 4 x 8 block into an empty block: every
// entry passes every check.
void BM_PasteChecks(benchmark::State& state) {
    auto model = FullDiagram();
    for (int row = 5; row <= 8; ++row) {
        for (int column = 1; column <= 8; ++column) model->grid.at(row, column).shape = ShapeEmpty;
    }
    BlockBuffer buffer;
    CopyBlock(model->grid, {1, 1, 8, 4}, buffer);
    if (PasteRefusal(model->grid, buffer, {1, 5}) != PasteFits) state.SkipWithError("the block does not fit");
    for (auto _ : state) benchmark::DoNotOptimize(PasteRefusal(model->grid, buffer, {1, 5}));
}
BENCHMARK(BM_PasteChecks);

}  // namespace
}  // namespace velmorin

BENCHMARK_MAIN();
