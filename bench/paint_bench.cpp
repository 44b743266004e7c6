// Painting speed: the viewport (640 x 960 pixels, sixteen rows) of the
// densest full diagram, every cell of columns 1-8 an element with its
// mnemonic and operands under eight-letter aliases, planned and drawn into
// an image as the view does it, in editing and in live mode, and at the
// view's smallest, normal and largest zoom (a viewport at 50% holds four
// times the cells it holds at 100%).
//   paint_bench [benchmark options]
//   paint_bench --write-image FILE.png [--live] [--zoom PERCENT]   the frame it paints, to look at
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "editor/paint_plan.h"
#include "editor/ui/DiagramPainter.h"
#include "editor/zoom.h"
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
    explicit Frame(bool live, ViewZoom viewZoom = ViewZoom())
        : model(DensestDiagram()),
          overlay(std::make_unique<ViewOverlay>()),
          metrics(CellMetricsForDpi(96, 96)),
          zoom(viewZoom),
          scroll(zoom.ToScreen(ScrollRows * CellPixels)),
          painter(metrics, 1.0, zoom.cellPixels()) {
        for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(i * 37);
        for (size_t i = 0; i < overlay->liveState.size(); ++i) overlay->liveState[i] = static_cast<int8_t>(i % 3);
        overlay->hover = {3, 22};
        inputs.overlay = overlay.get();
        inputs.live = live;
        inputs.liveImage = &values;
        inputs.rows = RowsToPaint(zoom.ToDiagram(scroll), zoom.ToDiagram(scroll + image.height()));
    }
    void Paint() {
        image.fill(Qt::white);
        PlanPaint(*model, inputs, metrics, painter.measure(), plan);
        QPainter p(&image);
        painter.PaintScreen(p, plan, {0, scroll}, overlay.get());
        p.end();
        FinishPaint(plan, *overlay);
    }

    static constexpr int ScrollRows = 20;  // a middle part, rows on both sides
    std::unique_ptr<ProgramModel> model;
    std::unique_ptr<ViewOverlay> overlay;
    CellMetrics metrics;
    ViewZoom zoom;
    int scroll;
    DiagramPainter painter;
    QImage image{640, 960, QImage::Format_RGB32};
    LiveImageSnapshot values{};
    PaintInputs inputs;
    PaintPlan plan;
};

void PaintViewport(benchmark::State& state, bool live, ViewZoom zoom = ViewZoom()) {
    Frame frame(live, zoom);
    for (auto _ : state) {
        frame.Paint();
        benchmark::DoNotOptimize(frame.image.constBits());
    }
    state.counters["cells"] = static_cast<double>(frame.plan.cells.size());
    state.counters["texts"] = static_cast<double>(frame.plan.texts.size());
}

void BM_PaintDensestViewport(benchmark::State& state) { PaintViewport(state, false); }
void BM_PaintDensestViewportLive(benchmark::State& state) { PaintViewport(state, true); }
void BM_PaintDensestViewportZoomed(benchmark::State& state) {
    PaintViewport(state, false, ViewZoom(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_PaintDensestViewport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDensestViewportLive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDensestViewportZoomed)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmorin

int main(int argc, char** argv) {
    // The fonts need a platform; none needs a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--write-image") == 0) {
        bool live = false;
        int zoom = velmorin::ViewZoom::NormalPercent;
        for (int i = 3; i < argc; ++i) {
            if (std::strcmp(argv[i], "--live") == 0) live = true;
            if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc) zoom = std::atoi(argv[++i]);
        }
        velmorin::Frame frame(live, velmorin::ViewZoom(zoom));
        frame.Paint();
        return frame.image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
