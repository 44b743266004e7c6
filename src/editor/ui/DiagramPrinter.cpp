#include "editor/ui/DiagramPrinter.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>

#include <cmath>
#include <filesystem>
#include <memory>

#include "editor/print_layout.h"
#include "editor/ui/DiagramPainter.h"
#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {

CellMetrics ScreenCellMetrics() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return CellMetricsForDpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
    }
    return CellMetricsForDpi(96, 96);
}

PrintPaper PaperOf(const QPagedPaintDevice& device) {
    const QPageLayout page = device.pageLayout();
    const QRectF full = page.fullRect(QPageLayout::Millimeter);
    const QRectF printable = page.paintRect(QPageLayout::Millimeter);
    const auto units = [](qreal millimetres) { return static_cast<int32_t>(std::lround(millimetres * 10)); };
    PrintPaper paper;
    paper.width = units(full.width());
    paper.height = units(full.height());
    paper.marginLeft = units(printable.left() - full.left());
    paper.marginTop = units(printable.top() - full.top());
    paper.marginRight = units(full.right() - printable.right());
    paper.marginBottom = units(full.bottom() - printable.bottom());
    return paper;
}

bool PrintDiagram(QPagedPaintDevice& device, const ProgramModel& model, const CellMetrics& metrics) {
    const PrintLayout layout = LayOutPrint(PaperOf(device), metrics);
    const QRectF printable = device.pageLayout().paintRect(QPageLayout::Millimeter);
    QPainter painter(&device);
    if (!painter.isActive()) return false;
    // The painter starts where the device starts printing; the layout counts
    // from the paper's corner, so that every device puts the diagram in one place.
    painter.translate(-printable.left() * device.logicalDpiX() / 25.4, -printable.top() * device.logicalDpiY() / 25.4);
    DiagramPainter diagram(metrics);
    PaintPlan plan;
    const int pages = PrintPageCount(model.grid, layout);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device.newPage()) return false;
        PlanPaint(model, PrintPageInputs(page, layout), metrics, diagram.measure(), plan);
        diagram.PaintPage(painter, plan, page, layout, device.logicalDpiX(), device.logicalDpiY());
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

bool RunPdfExport(Prompts& prompts, const ProgramModel& model, const CellMetrics& metrics, const std::string& directory,
                  const std::string& sourcePath) {
    FileDialogRequest request;
    request.save = true;
    request.title = "Exportar PDF";
    request.filters = {{"Documento PDF", "*.pdf"}};
    const std::filesystem::path source(sourcePath);
    request.presetName = source.empty() ? "*.pdf" : source.stem().string() + ".pdf";
    request.directory = directory;
    request.defaultExtension = "pdf";
    request.confirmOverwrite = true;
    const auto chosen = prompts.AskFile(request);
    if (!chosen || chosen->empty()) return false;
    std::string path = *chosen;
    if (!std::filesystem::path(path).has_extension()) path += ".pdf";
    const Result exported = ExportDiagramPdf(model, path, metrics);
    if (!exported) prompts.ShowMessage(exported.message);
    return exported.ok;
}

Result ExportSourceFilePdf(const std::string& sourcePath, const std::string& pdfPath) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    const Result read = ReadSourceFile(*model, sourcePath);
    // The detail names the file and the system's reason, as for any file read.
    if (!read) return Result::Fail(read.message, read.detail.empty() ? sourcePath : read.detail);
    const Result written = ExportDiagramPdf(*model, pdfPath, ScreenCellMetrics());
    if (!written) return Result::Fail(written.message, written.detail.empty() ? pdfPath : written.detail);
    return written;
}

}  // namespace velmorin
