#pragma once
// The diagram on paper: "Imprimir...", "Presentación preliminar" and the PDF
// export all print the same pages through here, each with its head and foot.
#include <functional>
#include <optional>
#include <string>

#include "editor/doc_layout.h"
#include "editor/paint_plan.h"
#include "editor/print_layout.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "model/result.h"

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;

namespace velmorin {

class DiagramPainter;

// The cell size of the screen the program shows the diagram on; printed
// cells keep this logical size.
CellMetrics ScreenCellMetrics();

// The device's sheet, for the print layout.
PrintPaper PaperOf(const QPagedPaintDevice& device);

// The heading of a printout made now of the document the title names.
PrintHeading TodaysHeading(const std::string& fileName);

// Turns a painter that starts where the device starts printing to the
// paper's corner, where the print layout counts from.
void TurnToPaperCorner(QPainter& painter, const QPagedPaintDevice& device);

// Page `page` of the diagram with its stamp, on a painter turned to the
// paper's corner.
void PrintDiagramPage(QPainter& painter, DiagramPainter& diagram, const ProgramModel& model, const PrintLayout& layout,
                      int page, const PageStamp& stamp);

// Prints every page of the diagram where the print layout puts it on the
// device's sheet; false when the device cannot be painted on.
bool PrintDiagram(QPagedPaintDevice& device, const ProgramModel& model, const CellMetrics& metrics,
                  const PrintHeading& heading = {});

// A PDF file of A4 portrait sheets that `print` fills. The file is written
// beside its final name and renamed at the end, so a failure leaves any
// earlier file alone.
Result WritePdf(const std::string& path, const std::function<bool(QPdfWriter&)>& print);

// The printed pages as a PDF file (A4).
Result ExportDiagramPdf(const ProgramModel& model, const std::string& path, const CellMetrics& metrics,
                        const PrintHeading& heading = {});

// Asks for a PDF file to save (in the start-up folder, named after the
// source): the path, or nothing when cancelled.
std::optional<std::string> AskPdfPath(Prompts& prompts, const char* title, const std::string& directory,
                                      const std::string& sourcePath);

// "Exportar PDF...": asks for the file and exports; a failure is shown.
// False when nothing was written.
bool RunPdfExport(Prompts& prompts, const ProgramModel& model, const CellMetrics& metrics, const PrintHeading& heading,
                  const std::string& directory, const std::string& sourcePath);

// The command line's exports: a source file loaded on its own, headed by
// its file name and today's date, handed to `exportPdf`. A failure's detail
// names the file it concerns and the reason.
using SourceExport = std::function<Result(const ProgramModel& model, const PrintHeading& heading)>;
Result ExportSourceFile(const std::string& sourcePath, const std::string& pdfPath, const SourceExport& exportPdf);

// The pages of a source file, at the screen's cell size.
Result ExportSourceFilePdf(const std::string& sourcePath, const std::string& pdfPath);

}  // namespace velmorin
