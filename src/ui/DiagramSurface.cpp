#include "ui/DiagramSurface.h"

#include "compiler/error_list.h"

namespace velmorin {

void DiagramSurface::PointAt(CellPos cell) {
    const ErrorListTarget target = TargetOf(cell.row, cell.column);
    ScrollToRow(target.topRow);
    MarkCell({target.column, target.row});
}

}  // namespace velmorin
