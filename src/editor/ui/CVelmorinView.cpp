#include "editor/ui/CVelmorinView.h"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

#include "editor/print_layout.h"
#include "editor/ui/DiagramPainter.h"
#include "editor/ui/DiagramPrinter.h"

namespace velmorin {

CVelmorinView::CVelmorinView(ProgramModel& model, QWidget* parent)
    : QAbstractScrollArea(parent), model_(model), metrics_(CellMetricsForDpi(logicalDpiX(), logicalDpiY())) {
    setObjectName("diagramView");
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(false);
    // The paint covers the whole viewport from its own image.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The anchors are laid out once per run; a new or loaded diagram keeps them.
    const LadderCell& probe = model_.grid.at(0, 1);
    if (probe.x != metrics_.w || probe.y != -metrics_.h) LayOutAnchors(model_.grid, metrics_);
    UpdateScrollBars();
}

CVelmorinView::~CVelmorinView() = default;

int CVelmorinView::LogicalToPixelsX(int units) const { return units * CellPixels / metrics_.w; }
int CVelmorinView::LogicalToPixelsY(int units) const { return units * CellPixels / metrics_.h; }

void CVelmorinView::UpdateScrollBars() {
    const QSize visible = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, LogicalToPixelsX(ExtentWidth) - visible.width()));
    verticalScrollBar()->setRange(0, std::max(0, LogicalToPixelsY(ExtentHeight) - visible.height()));
    horizontalScrollBar()->setPageStep(LogicalToPixelsX(PageStepX));
    verticalScrollBar()->setPageStep(LogicalToPixelsY(PageStepY));
    horizontalScrollBar()->setSingleStep(LogicalToPixelsX(LineStepX));
    verticalScrollBar()->setSingleStep(LogicalToPixelsY(LineStepY));
}

void CVelmorinView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

QPoint CVelmorinView::ScrollPosition() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

QRect CVelmorinView::CellSquare(GridCell cell) const {
    return QRect(cell.column * CellPixels, cell.row * CellPixels, CellPixels, CellPixels).translated(-ScrollPosition());
}

void CVelmorinView::SetHoverCell(GridCell cell) {
    if (cell == hover_) return;
    previousHover_ = hover_;
    hover_ = cell;
    viewport()->update(CellSquare(previousHover_));
    viewport()->update(CellSquare(hover_));
}

void CVelmorinView::ResetHover() {
    hover_ = {1, 1};
    previousHover_ = {1, 1};
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void CVelmorinView::SetMarkedCell(GridCell cell) {
    marked_ = cell;
    viewport()->update();
}

void CVelmorinView::SetBlockSelection(const BlockSelection& selection) {
    selection_ = selection;
    viewport()->update();
}

void CVelmorinView::SetLiveMode(bool live) {
    live_ = live;
    viewport()->update();
}

bool CVelmorinView::RefreshLive(const LiveImageSnapshot& image) {
    liveImage_ = image;
    const LiveRefresh refresh = velmorin::RefreshLive(model_.grid, image);
    for (const Rect& r : refresh.invalidated)
        viewport()->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    return refresh.allKnown;
}

PaintInputs CVelmorinView::CurrentPaintInputs(RowRange rows) const {
    PaintInputs inputs;
    inputs.rows = rows;
    inputs.hover = hover_;
    inputs.selection = selection_;
    inputs.marked = marked_;
    inputs.live = live_;
    inputs.liveImage = &liveImage_;
    return inputs;
}

DiagramPainter& CVelmorinView::Painter() {
    const qreal ratio = viewport()->devicePixelRatioF();
    if (!painter_ || painter_->pictures().devicePixelRatio() != ratio) {
        painter_ = std::make_unique<DiagramPainter>(metrics_, ratio);
    }
    return *painter_;
}

void CVelmorinView::paintEvent(QPaintEvent* event) {
    DiagramPainter& diagram = Painter();
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize pixels = viewport()->size() * ratio;
    if (buffer_.size() != pixels) {
        buffer_ = QImage(pixels, QImage::Format_RGB32);
        buffer_.setDevicePixelRatio(ratio);
    }
    // The raster operations combine with a white page, as the view erases before it paints.
    buffer_.fill(Qt::white);
    const QPoint scroll = ScrollPosition();
    // Every visible row, whatever part was invalidated: the live paint's
    // operand list and the pending erasures must not depend on it.
    const RowRange rows = RowsToPaint(scroll.y(), scroll.y() + viewport()->height());
    PlanPaint(model_, CurrentPaintInputs(rows), metrics_, diagram.measure(), plan_);
    {
        QPainter painter(&buffer_);
        diagram.PaintScreen(painter, plan_, scroll, &model_);
    }
    FinishPaint(plan_, model_);
    if (plan_.selectionCleared) selection_.state = 0;
    if (plan_.live) {
        monitored_.Publish(plan_.monitoredOperands);
        emit liveOperandsPublished();
    }

    QPainter target(viewport());
    const QRect exposed = event->rect();
    target.drawImage(exposed, buffer_, QRectF(exposed.topLeft() * ratio, exposed.size() * ratio));
}

int CVelmorinView::PageCount() const { return PrintPageCount(model_.grid); }

void CVelmorinView::PrintDocument(QPrinter& printer) { PrintDiagram(printer, model_, metrics_); }

}  // namespace velmorin
