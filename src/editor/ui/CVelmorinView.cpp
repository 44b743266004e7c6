#include "editor/ui/CVelmorinView.h"

#include <algorithm>

#include <QPainter>
#include <QPaintEvent>
#include <QPrinter>
#include <QScrollBar>

namespace velmorin {

CVelmorinView::CVelmorinView(ProgramModel& model, QWidget* parent) : QAbstractScrollArea(parent), model_(model) {
    setObjectName("diagramView");
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateScrollBars();
}

int CVelmorinView::LogicalToPixelsX(int units) const { return units * logicalDpiX() / 254; }
int CVelmorinView::LogicalToPixelsY(int units) const { return units * logicalDpiY() / 254; }

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

int CVelmorinView::PageCount() const {
    int lastRow = 0;
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 1; column <= 8; ++column) {
            if (model_.grid.at(row, column).occupied()) lastRow = row;
        }
    }
    return std::max(1, (lastRow + RowsPerPage - 1) / RowsPerPage);
}

void CVelmorinView::PrintDocument(QPrinter& printer) {
    QPainter painter(&printer);
    if (!painter.isActive()) return;
    const int pages = PageCount();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) printer.newPage();
        PrintPage(painter, page);
    }
}

void CVelmorinView::PrintPage(QPainter& painter, int page) {
    // The page's rows are drawn by the diagram painter; until then a page is blank.
    Q_UNUSED(painter);
    Q_UNUSED(page);
}

void CVelmorinView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
}

}  // namespace velmorin
