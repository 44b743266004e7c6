#include "editor/ui/DiagramPrinter.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>

#include "editor/print_layout.h"
#include "editor/ui/DiagramPainter.h"
#include "model/messages.h"

namespace velmorin {

CellMetrics ScreenCellMetrics() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return CellMetricsForDpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
    }
    return CellMetricsForDpi(96, 96);
}

bool PrintDiagram(QPagedPaintDevice& device, const ProgramModel& model, const CellMetrics& metrics) {
    QPainter painter(&device);
    if (!painter.isActive()) return false;
    DiagramPainter diagram(metrics);
    PaintPlan plan;
    const int pages = PrintPageCount(model.grid);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device.newPage()) return false;
        PlanPaint(model, PrintPageInputs(page), metrics, diagram.measure(), plan);
        diagram.PaintPage(painter, plan, page, device.logicalDpiX(), device.logicalDpiY());
    }
    return painter.end();
}

Result ExportDiagramPdf(const ProgramModel& model, const std::string& path, const CellMetrics& metrics) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return Result::Fail(msg::FileOpenError);
    bool printed = false;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter));
        writer.setCreator(QStringLiteral("velmorin"));
        printed = PrintDiagram(writer, model, metrics);
    }
    if (!printed || !file.commit()) return Result::Fail(msg::FileOpenError);
    return Result::Ok();
}

}  // namespace velmorin
