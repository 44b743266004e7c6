#include "editor/ui/DiagramPrinter.h"

#include <QBuffer>
#include <QDate>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>

#include <cmath>
#include <filesystem>
#include <memory>

#include "editor/doc_messages.h"
#include "editor/print_layout.h"
#include "editor/ui/DiagramPainter.h"
#include "editor/ui/DocumentPrinter.h"
#include "model/atomic_file.h"
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

PrintHeading TodaysHeading(const std::string& fileName) {
    const QDate today = QDate::currentDate();
    return {fileName, FormatPrintDate(today.year(), today.month(), today.day())};
}

void TurnToPaperCorner(QPainter& painter, const QPagedPaintDevice& device) {
    const QRectF printable = device.pageLayout().paintRect(QPageLayout::Millimeter);
    painter.translate(-printable.left() * device.logicalDpiX() / 25.4, -printable.top() * device.logicalDpiY() / 25.4);
}

void PrintDiagramPage(QPainter& painter, DiagramPainter& diagram, const ProgramModel& model, const PrintLayout& layout,
                      int page, const PageStamp& stamp) {
    const QPaintDevice& device = *painter.device();
    PaintPlan plan;
    PlanPaint(model, PrintPageInputs(page, layout), diagram.metrics(), diagram.measure(), plan);
    diagram.PaintPage(painter, plan, page, layout, device.logicalDpiX(), device.logicalDpiY());
    PaintPageStamp(painter, layout.frame, stamp);
}

bool PrintDiagram(QPagedPaintDevice& device, const ProgramModel& model, const CellMetrics& metrics,
                  const PrintHeading& heading) {
    const PrintLayout layout = LayOutPrint(PaperOf(device), metrics);
    QPainter painter(&device);
    if (!painter.isActive()) return false;
    // Every device puts the page in one place.
    TurnToPaperCorner(painter, device);
    DiagramPainter diagram(metrics);
    const int pages = PrintPageCount(model.grid, layout);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device.newPage()) return false;
        PrintDiagramPage(painter, diagram, model, layout, page, DiagramPageStamp(model, heading, layout, page, pages));
    }
    return painter.end();
}

Result WritePdf(const std::string& path, const std::function<bool(QPdfWriter&)>& print) {
    // Made whole in memory, then written as every file of the program is,
    // so that a failure names the file and the system's reason.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool printed = false;
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter));
        writer.setCreator(QStringLiteral("velmorin"));
        printed = print(writer);
    }
    if (!printed) return Result::Fail(msg::FileOpenError, path);
    const QByteArray& bytes = buffer.data();
    return WriteFileAtomically(path, std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

Result ExportDiagramPdf(const ProgramModel& model, const std::string& path, const CellMetrics& metrics,
                        const PrintHeading& heading) {
    return WritePdf(path, [&](QPdfWriter& writer) { return PrintDiagram(writer, model, metrics, heading); });
}

std::optional<std::string> AskPdfPath(Prompts& prompts, const char* title, const std::string& directory,
                                      const std::string& sourcePath) {
    FileDialogRequest request;
    request.save = true;
    request.title = title;
    request.filters = {{msg::PdfFilter, "*.pdf"}};
    const std::filesystem::path source(sourcePath);
    request.presetName = source.empty() ? "*.pdf" : source.stem().string() + ".pdf";
    request.directory = directory;
    request.defaultExtension = "pdf";
    request.confirmOverwrite = true;
    const auto chosen = prompts.AskFile(request);
    if (!chosen || chosen->empty()) return std::nullopt;
    std::string path = *chosen;
    if (!std::filesystem::path(path).has_extension()) path += ".pdf";
    return path;
}

bool RunPdfExport(Prompts& prompts, const ProgramModel& model, const CellMetrics& metrics, const PrintHeading& heading,
                  const std::string& directory, const std::string& sourcePath) {
    const std::optional<std::string> path = AskPdfPath(prompts, "Exportar PDF", directory, sourcePath);
    if (!path) return false;
    const Result exported = ExportDiagramPdf(model, *path, metrics, heading);
    if (!exported) prompts.ShowFailure(exported);
    return exported.ok;
}

Result ExportSourceFile(const std::string& sourcePath, const std::string& pdfPath, const SourceExport& exportPdf) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    const Result read = ReadSourceFile(*model, sourcePath);
    // The detail names the file and the system's reason, as for any file read.
    if (!read) return Result::Fail(read.message, read.detail.empty() ? sourcePath : read.detail);
    const PrintHeading heading = TodaysHeading(std::filesystem::path(sourcePath).filename().string());
    const Result written = exportPdf(*model, heading);
    if (!written) return Result::Fail(written.message, written.detail.empty() ? pdfPath : written.detail);
    return written;
}

Result ExportSourceFilePdf(const std::string& sourcePath, const std::string& pdfPath) {
    return ExportSourceFile(sourcePath, pdfPath, [&](const ProgramModel& model, const PrintHeading& heading) {
        return ExportDiagramPdf(model, pdfPath, ScreenCellMetrics(), heading);
    });
}

}  // namespace velmorin
