#include "editor/ui/DiagramPrinter.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>

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
