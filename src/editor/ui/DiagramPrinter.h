#pragma once
// The diagram on paper: "Imprimir...", "Presentación preliminar" and the PDF
// export all print the same pages through here.
#include <string>

#include "editor/paint_plan.h"
#include "editor/print_layout.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "model/result.h"

class QPagedPaintDevice;

namespace velmorin {

// The cell size of the screen the program shows the diagram on; printed
// cells keep this logical size.
CellMetrics ScreenCellMetrics();

// The device's sheet, for the print layout.
PrintPaper PaperOf(const QPagedPaintDevice& device);

// Prints every page of the diagram where the print layout puts it on the
// device's sheet; false when the device cannot be painted on.
bool PrintDiagram(QPagedPaintDevice& device, const ProgramModel& model, const CellMetrics& metrics);

// The printed pages as a PDF file (A4). The file is written beside its
// final name and renamed at the end, so a failure leaves any earlier file alone.
Result ExportDiagramPdf(const ProgramModel& model, const std::string& path, const CellMetrics& metrics);

// "Exportar PDF...": asks for the file (in the start-up folder, named after
// the source) and exports; a failure is shown. False when nothing was written.
bool RunPdfExport(Prompts& prompts, const ProgramModel& model, const CellMetrics& metrics, const std::string& directory,
                  const std::string& sourcePath);

// The command line's export: loads a source file on its own and writes its
// pages, at the screen's cell size. The reason names the file it concerns.
Result ExportSourceFilePdf(const std::string& sourcePath, const std::string& pdfPath);

}  // namespace velmorin
