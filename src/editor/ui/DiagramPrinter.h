#pragma once
// The diagram on paper: "Imprimir...", "Presentación preliminar" and the PDF
// export all print the same pages through here.
#include <string>

#include "editor/paint_plan.h"
#include "model/ladder_model.h"
#include "model/result.h"

class QPagedPaintDevice;

namespace velmorin {

// The cell size of the screen the program shows the diagram on; printed
// cells keep this logical size.
CellMetrics ScreenCellMetrics();

// Prints every page of the diagram; false when the device cannot be painted on.
bool PrintDiagram(QPagedPaintDevice& device, const ProgramModel& model, const CellMetrics& metrics);

// The printed pages as a PDF file (A4). The file is written beside its
// final name and renamed at the end, so a failure leaves any earlier file alone.
Result ExportDiagramPdf(const ProgramModel& model, const std::string& path, const CellMetrics& metrics);

}  // namespace velmorin
