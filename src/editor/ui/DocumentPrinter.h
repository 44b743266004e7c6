#pragma once
// The program's documentation on paper ("Exportar documentación...",
// `velmorin --export-doc`) and the head and foot of every printed page: it
// draws what doc_layout decides, nothing more.
#include <string>

#include "editor/doc_layout.h"
#include "editor/paint_plan.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "model/result.h"

class QPagedPaintDevice;
class QPainter;

namespace velmorin {

// A page's head and foot, on a painter turned to the paper's corner.
void PaintPageStamp(QPainter& painter, const PageFrame& frame, const PageStamp& stamp);

// A text page's lines and its stamp, on a painter turned to the paper's corner.
void PaintTextPage(QPainter& painter, const PageFrame& frame, const DocPage& page);

// Every page of the documentation on the device's sheets; false when the
// device cannot be painted on.
bool PrintDocumentation(QPagedPaintDevice& device, const ProgramModel& model, const DocumentContent& content,
                        const CellMetrics& metrics);

// The documentation of the program as a PDF file (A4), its compilation made
// in memory: no listing or image is written.
Result ExportDocumentationPdf(const ProgramModel& model, const PrintHeading& heading, const std::string& path,
                              const CellMetrics& metrics);

// "Exportar documentación...": asks for the file (in the start-up folder,
// named after the source) and exports; a failure is shown. False when
// nothing was written.
bool RunDocumentationExport(Prompts& prompts, const ProgramModel& model, const CellMetrics& metrics,
                            const PrintHeading& heading, const std::string& directory, const std::string& sourcePath);

// The command line's documentation of a source file, at the screen's cell size.
Result ExportSourceFileDocumentation(const std::string& sourcePath, const std::string& pdfPath);

}  // namespace velmorin
