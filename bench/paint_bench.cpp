// Painting speed: the viewport (640 x 960 pixels, sixteen rows) of the
// densest full diagram, every cell of columns 1-8 an element with its
// mnemonic and operands under eight-letter aliases, planned and drawn into
// an image as the view does it, in editing and in live mode.
//   paint_bench [benchmark options]
//   paint_bench --write-image FILE.png [--live]   the frame it paints, to look at
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <memory>
#include <string>

#include "editor/paint_plan.h"
#include "editor/ui/DiagramPainter.h"
#include "model/ladder_model.h"

namespace velmorin {
namespace {

void Put(ProgramModel& m, int row, int column, int element, int first, int second = -1) {
    LadderCell& cell = m.grid.at(row, column);
    cell.element = element;
    cell.shape = CatalogueEntryFor(element).cellKind;
    cell.params[0] = {static_cast<uint8_t>(first), 0};
    if (second >= 0) cell.params[1] = {static_cast<uint8_t>(second), 0};
}

std::unique_ptr<ProgramModel> DensestDiagram() {
    auto m = std::make_unique<ProgramModel>();
    ResetModel(*m);
    for (int index = 0; index < 92; ++index) {
        SetFieldText(m->aliases[static_cast<size_t>(index)].alias, "alias" + std::to_string(100 + index));
    }
    for (int row = 1; row < GridRows; ++row) {
        Put(*m, row, 1, ElementLd, row % 8);
        for (int column = 2; column <= 7; ++column) {
            const int operand = (row * 7 + column) % 60;
            switch (column % 3) {
                case 0:
                    Put(*m, row, column, ElementSetif1, operand, operand + 14);
                    break;
                case 1:
                    Put(*m, row, column, ElementLdiv, 0, operand + 8);
                    SetSlotText(m->grid.at(row, column).params[0], "255");
                    break;
                default:
                    Put(*m, row, column, ElementTp, 86 + row % 4);
                    SetSlotText(m->grid.at(row, column).params[1], "999.9");
                    break;
            }
        }
        Put(*m, row, 8, ElementOut, 8 + row % 6);
    }
    return m;
}

struct Frame {
    explicit Frame(bool live)
        : model(DensestDiagram()),
          overlay(std::make_unique<ViewOverlay>()),
          metrics(CellMetricsForDpi(96, 96)),
          painter(metrics) {
        for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(i * 37);
        for (size_t i = 0; i < overlay->liveState.size(); ++i) overlay->liveState[i] = static_cast<int8_t>(i % 3);
        overlay->hover = {3, 22};
        inputs.overlay = overlay.get();
        inputs.live = live;
        inputs.liveImage = &values;
        inputs.rows = RowsToPaint(Scroll, Scroll + image.height());
    }
    void Paint() {
        image.fill(Qt::white);
        PlanPaint(*model, inputs, metrics, painter.measure(), plan);
        QPainter p(&image);
        painter.PaintScreen(p, plan, {0, Scroll}, overlay.get());
        p.end();
        FinishPaint(plan, *overlay);
    }

    static constexpr int Scroll = 20 * CellPixels;  // a middle part, rows on both sides
    std::unique_ptr<ProgramModel> model;
    std::unique_ptr<ViewOverlay> overlay;
    CellMetrics metrics;
    DiagramPainter painter;
    QImage image{640, 960, QImage::Format_RGB32};
    LiveImageSnapshot values{};
    PaintInputs inputs;
    PaintPlan plan;
};

void PaintViewport(benchmark::State& state, bool live) {
    Frame frame(live);
    for (auto _ : state) {
        frame.Paint();
        benchmark::DoNotOptimize(frame.image.constBits());
    }
    state.counters["cells"] = static_cast<double>(frame.plan.cells.size());
    state.counters["texts"] = static_cast<double>(frame.plan.texts.size());
}

void BM_PaintDensestViewport(benchmark::State& state) { PaintViewport(state, false); }
void BM_PaintDensestViewportLive(benchmark::State& state) { PaintViewport(state, true); }
BENCHMARK(BM_PaintDensestViewport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDensestViewportLive)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmorin

int main(int argc, char** argv) {
    // The fonts need a platform; none needs a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--write-image") == 0) {
        velmorin::Frame frame(argc == 4 && std::strcmp(argv[3], "--live") == 0);
        frame.Paint();
        return frame.image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
