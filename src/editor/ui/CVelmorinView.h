#pragma once
// The diagram's scrolling view: the frame's central widget. It holds the
// editor's tool, the highlight state (hover cell, block selection, the cell
// the error list points at) and the live-monitor state it paints with; the
// diagram content itself stays in the document's model.
#include <QAbstractScrollArea>
#include <QImage>

#include <memory>

#include "editor/live_values.h"
#include "editor/paint_plan.h"
#include "model/ladder_model.h"
#include "model/tool_state.h"

class QPainter;
class QPrinter;

namespace velmorin {

class DiagramPainter;

class CVelmorinView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int RowsPerPage = 12;
    // Scroll extent, page and line steps in 0.1 mm.
    static constexpr int ExtentWidth = 1647, ExtentHeight = 16512;
    static constexpr int PageStepX = 329, PageStepY = 688;
    static constexpr int LineStepX = 65, LineStepY = 82;

    explicit CVelmorinView(ProgramModel& model, QWidget* parent = nullptr);
    ~CVelmorinView() override;

    ToolState& toolState() { return toolState_; }
    const ToolState& toolState() const { return toolState_; }
    // Tell the menu and the toolbar that the tool changed outside a tool command.
    void NotifyToolChanged() { emit toolChanged(); }

    GridCell hoverCell() const { return hover_; }
    GridCell previousHoverCell() const { return previousHover_; }
    void SetHoverCell(GridCell cell);
    // Hover cells back to column 1, row 1 and the diagram scrolled to its top.
    void ResetHover();

    GridCell markedCell() const { return marked_; }
    void SetMarkedCell(GridCell cell);
    void ClearMarkedCell() { SetMarkedCell({}); }

    const BlockSelection& blockSelection() const { return selection_; }
    void SetBlockSelection(const BlockSelection& selection);

    // Live mode: colours and values instead of the editing highlights.
    bool liveMode() const { return live_; }
    void SetLiveMode(bool live);
    // After a poll cycle: takes the new bytes, recolours the cells and
    // repaints only what changed. False when a cell holds an unknown element.
    bool RefreshLive(const LiveImageSnapshot& image);
    // What the last live paint asks the poll worker to read.
    const MonitoredOperandBoard& monitoredOperands() const { return monitored_; }

    // The view's state as the inputs of a paint of the given rows.
    PaintInputs CurrentPaintInputs(RowRange rows) const;
    const CellMetrics& cellMetrics() const { return metrics_; }

    // Twelve grid rows to a page, as many pages as reach the last row in use.
    int PageCount() const;
    void PrintDocument(QPrinter& printer);

    // Logical 0.1 mm to screen pixels, a cell being 64 pixels.
    int LogicalToPixelsX(int units) const;
    int LogicalToPixelsY(int units) const;

signals:
    void toolChanged();
    // A live paint has published a new operand list (monitoredOperands()).
    void liveOperandsPublished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateScrollBars();
    DiagramPainter& Painter();
    QPoint ScrollPosition() const;
    // The update rectangle of a cell's square, in viewport pixels.
    QRect CellSquare(GridCell cell) const;

    ProgramModel& model_;
    ToolState toolState_;
    CellMetrics metrics_;
    GridCell hover_{1, 1};
    GridCell previousHover_{1, 1};
    GridCell marked_;
    BlockSelection selection_;
    bool live_ = false;
    LiveImageSnapshot liveImage_{};
    MonitoredOperandBoard monitored_;
    std::unique_ptr<DiagramPainter> painter_;
    PaintPlan plan_;
    QImage buffer_;
};

}  // namespace velmorin
