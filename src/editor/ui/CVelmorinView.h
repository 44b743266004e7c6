#pragma once
// The diagram's scrolling view: the frame's central widget. It holds the
// editor's tool, the hover cell and the cell the error list points at; the
// diagram content itself stays in the document's model.
#include <QAbstractScrollArea>

#include "model/ladder_model.h"
#include "model/tool_state.h"

class QPainter;
class QPrinter;

namespace velmorin {

struct GridCell {
    int column = -1;
    int row = -1;
    bool operator==(const GridCell&) const = default;
};

class CVelmorinView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int CellPixels = 64;
    static constexpr int RowsPerPage = 12;
    // Scroll extent, page and line steps in 0.1 mm.
    static constexpr int ExtentWidth = 1647, ExtentHeight = 16512;
    static constexpr int PageStepX = 329, PageStepY = 688;
    static constexpr int LineStepX = 65, LineStepY = 82;

    explicit CVelmorinView(ProgramModel& model, QWidget* parent = nullptr);

    ToolState& toolState() { return toolState_; }
    const ToolState& toolState() const { return toolState_; }
    // Tell the menu and the toolbar that the tool changed outside a tool command.
    void NotifyToolChanged() { emit toolChanged(); }

    GridCell hoverCell() const { return hover_; }
    GridCell previousHoverCell() const { return previousHover_; }
    // Hover cells back to column 1, row 1 and the diagram scrolled to its top.
    void ResetHover();

    GridCell markedCell() const { return marked_; }
    void SetMarkedCell(GridCell cell);
    void ClearMarkedCell() { SetMarkedCell({}); }

    // Twelve grid rows to a page, as many pages as reach the last row in use.
    int PageCount() const;
    void PrintDocument(QPrinter& printer);
    void PrintPage(QPainter& painter, int page);

    // Logical 0.1 mm to screen pixels at the screen's resolution.
    int LogicalToPixelsX(int units) const;
    int LogicalToPixelsY(int units) const;

signals:
    void toolChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateScrollBars();

    ProgramModel& model_;
    ToolState toolState_;
    GridCell hover_{1, 1};
    GridCell previousHover_{1, 1};
    GridCell marked_;
};

}  // namespace velmorin
