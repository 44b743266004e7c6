#include "editor/ui/CVelmorinView.h"

#include <algorithm>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include "editor/print_layout.h"
#include "editor/ui/DiagramPainter.h"
#include "editor/ui/DiagramPrinter.h"
#include "editor/ui/PaletteDialog.h"
#include "editor/ui/ViewKeys.h"

namespace velmorin {

namespace {

std::optional<Direction> ArrowDirection(int key) {
    switch (key) {
        case Qt::Key_Left:
            return Direction::Left;
        case Qt::Key_Right:
            return Direction::Right;
        case Qt::Key_Up:
            return Direction::Up;
        case Qt::Key_Down:
            return Direction::Down;
        default:
            return std::nullopt;
    }
}

}  // namespace

CVelmorinView::CVelmorinView(ProgramModel& model, QWidget* parent)
    : QAbstractScrollArea(parent),
      model_(model),
      editor_(model, toolState_, overlay_),
      metrics_(CellMetricsForDpi(logicalDpiX(), logicalDpiY())) {
    setObjectName("diagramView");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(false);
    // The paint covers the whole viewport from its own image.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The hover cell follows the mouse with no button held.
    viewport()->setMouseTracking(true);
    UpdateScrollBars();
    connect(this, &CVelmorinView::toolChanged, this, &CVelmorinView::SyncPalette);
}

CVelmorinView::~CVelmorinView() { delete palette_.data(); }

int CVelmorinView::LogicalToPixelsX(int units) const { return units * CellPixels / metrics_.w; }
int CVelmorinView::LogicalToPixelsY(int units) const { return units * CellPixels / metrics_.h; }

void CVelmorinView::UpdateScrollBars() {
    // The scroll bars count screen pixels of the zoomed diagram.
    const QSize visible = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, zoom_.ToScreen(LogicalToPixelsX(ExtentWidth)) - visible.width()));
    verticalScrollBar()->setRange(0, std::max(0, zoom_.ToScreen(LogicalToPixelsY(ExtentHeight)) - visible.height()));
    horizontalScrollBar()->setPageStep(zoom_.ToScreen(LogicalToPixelsX(PageStepX)));
    verticalScrollBar()->setPageStep(zoom_.ToScreen(LogicalToPixelsY(PageStepY)));
    horizontalScrollBar()->setSingleStep(zoom_.ToScreen(LogicalToPixelsX(LineStepX)));
    verticalScrollBar()->setSingleStep(zoom_.ToScreen(LogicalToPixelsY(LineStepY)));
}

void CVelmorinView::SetZoom(ViewZoom zoom) {
    // The cursor cell stays where the user sees it; out of sight, the middle of the view does.
    QPoint anchor(viewport()->width() / 2, viewport()->height() / 2);
    if (IsEditable(editor_.hoverCell())) {
        const QRect cursor = ViewportRect(CellRect(editor_.hoverCell()));
        if (viewport()->rect().contains(cursor.center())) anchor = cursor.center();
    }
    SetZoomAt(zoom, anchor);
}

void CVelmorinView::SetZoomAt(ViewZoom zoom, QPoint anchor) {
    if (zoom == zoom_) return;
    const PixelPoint under = DiagramPoint(anchor);
    zoom_ = zoom;
    UpdateScrollBars();
    const PixelPoint at = zoom_.ToScreen(under);
    horizontalScrollBar()->setValue(at.x - anchor.x());
    verticalScrollBar()->setValue(at.y - anchor.y());
    viewport()->update();
    emit zoomChanged(zoom_.percent());
}

void CVelmorinView::wheelEvent(QWheelEvent* event) {
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int steps = wheel_.Steps(event->angleDelta().y());
    if (steps != 0) SetZoomAt(zoom_.Stepped(steps), event->position().toPoint());
    event->accept();
}

void CVelmorinView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

QPoint CVelmorinView::ScrollPosition() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

PixelPoint CVelmorinView::DiagramPoint(const QPointF& viewportPoint) const {
    const QPoint at = viewportPoint.toPoint() + ScrollPosition();
    return zoom_.ToDiagram(PixelPoint{at.x(), at.y()});
}

QRect CVelmorinView::ViewportRect(const PixelRect& rect) const {
    const PixelRect shown = zoom_.ToScreen(rect);
    return QRect(shown.x, shown.y, shown.width, shown.height).translated(-ScrollPosition());
}

void CVelmorinView::InitialUpdate() {
    editor_.InitialUpdate();
    editor_.ResetHover();
    crossOut_.reset();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    if (!timer_.isActive()) timer_.start(TimerMilliseconds, this);
    SyncPalette();
    viewport()->update();
    emit historyChanged();
}

void CVelmorinView::MarkCell(CellPos cell) {
    overlay_.marked = cell;
    viewport()->repaint();
}

void CVelmorinView::ShowCell(CellPos cell) { ScrollToShowRect(CellRect(cell)); }

void CVelmorinView::ScrollToRow(int row) { verticalScrollBar()->setValue(std::max(0, row) * zoom_.cellPixels()); }

QRect CVelmorinView::VisibleScreenRect() const {
    return QRect(viewport()->mapToGlobal(QPoint(0, 0)), viewport()->size());
}

void CVelmorinView::SetLiveMode(bool live) {
    editor_.SetLive(live);
    crossOut_.reset();
    viewport()->update();
}

bool CVelmorinView::RefreshLive(const LiveImageSnapshot& image) {
    liveImage_ = image;
    const LiveRefresh refresh = velmorin::RefreshLive(model_.grid, image, overlay_);
    for (const Rect& r : refresh.invalidated)
        viewport()->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    return refresh.allKnown;
}

void CVelmorinView::ClearLiveColours() { overlay_.ClearLiveColours(); }

PaintInputs CVelmorinView::CurrentPaintInputs(RowRange rows) const {
    PaintInputs inputs;
    inputs.rows = rows;
    // The editing highlights are the session's: none before the first
    // initial update, which places the cursor.
    inputs.overlay = &overlay_;
    inputs.live = editor_.live();
    inputs.liveImage = &liveImage_;
    return inputs;
}

DiagramPainter& CVelmorinView::Painter() {
    const qreal ratio = viewport()->devicePixelRatioF();
    if (!painter_ || painter_->pictures().devicePixelRatio() != ratio || painter_->cellPixels() != zoom_.cellPixels()) {
        painter_ = std::make_unique<DiagramPainter>(metrics_, ratio, zoom_.cellPixels());
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
    const RowRange rows = RowsToPaint(zoom_.ToDiagram(scroll.y()), zoom_.ToDiagram(scroll.y() + viewport()->height()));
    PlanPaint(model_, CurrentPaintInputs(rows), metrics_, diagram.measure(), plan_);
    {
        QPainter painter(&buffer_);
        diagram.PaintScreen(painter, plan_, scroll, &overlay_);
        if (crossOut_ && !editor_.live()) {
            // The refusal's feedback, inverted over whatever the cell shows.
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            const int side = zoom_.cellPixels();
            painter.drawImage(QPoint(crossOut_->column * side, crossOut_->row * side) - scroll,
                              diagram.pictures().Picture(KindCrossOut, PictureVariant::Black));
        }
    }
    FinishPaint(plan_, overlay_);
    if (plan_.selectionCleared) editor_.SelectionPainted();
    if (plan_.live) {
        monitored_ = plan_.monitoredOperands;
        if (operandsListed_) operandsListed_();
        emit liveOperandsPublished();
    }

    QPainter target(viewport());
    const QRect exposed = event->rect();
    target.drawImage(exposed, buffer_, QRectF(exposed.topLeft() * ratio, exposed.size() * ratio));
}

int CVelmorinView::PageCount(const QPrinter& printer) const {
    return PrintPageCount(model_.grid, LayOutPrint(PaperOf(printer), metrics_));
}

void CVelmorinView::PrintDocument(QPrinter& printer, const PrintHeading& heading) {
    PrintDiagram(printer, model_, metrics_, heading);
}

bool CVelmorinView::ImportAliases(std::string_view csv) {
    bool taken = false;
    Forward([&] {
        ViewEffects fx = editor_.ImportAliases(csv);
        taken = fx.message.empty() && editor_.editingEnabled() && !editor_.live();
        return fx;
    });
    return taken;
}

// --- Events into the session ---------------------------------------------

void CVelmorinView::mousePressEvent(QMouseEvent* event) {
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (event->button() == Qt::LeftButton) {
        const PixelPoint point = DiagramPoint(event->position());
        const bool waited = Forward([&] { return editor_.LeftDown(point, shift); });
        // The button went up while the earlier click's dialog was open: its
        // release went to the dialog, so the click ends here.
        if (waited && !QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
            crossOut_.reset();
            Apply(editor_.LeftUp());
        }
    } else if (event->button() == Qt::RightButton) {
        // The palette's rules count in 64-pixel cells; the place they give is
        // scaled back to the cells as the screen shows them.
        const QPoint client = event->position().toPoint();
        const QPoint origin = viewport()->mapToGlobal(QPoint(0, 0));
        const PixelPoint originUnits = zoom_.ToDiagram(PixelPoint{origin.x(), origin.y()});
        ViewEffects fx = editor_.RightDown(
            zoom_.ToDiagram(PixelPoint{client.x(), client.y()}),
            {zoom_.ToDiagram(viewport()->width()), zoom_.ToDiagram(viewport()->height())}, originUnits);
        if (fx.palettePosition) {
            const PixelPoint shown = zoom_.ToScreen(
                PixelPoint{fx.palettePosition->x - originUnits.x, fx.palettePosition->y - originUnits.y});
            fx.palettePosition = PixelPoint{origin.x() + shown.x, origin.y() + shown.y};
        }
        Apply(fx);
    }
    event->accept();
}

void CVelmorinView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        crossOut_.reset();
        Apply(editor_.LeftUp());
    }
    event->accept();
}

void CVelmorinView::mouseMoveEvent(QMouseEvent* event) {
    Apply(editor_.MouseMove(DiagramPoint(event->position()), event->modifiers().testFlag(Qt::ShiftModifier)));
    event->accept();
}

void CVelmorinView::keyPressEvent(QKeyEvent* event) {
    // The keys the help window lists are the keys answered here: one table.
    const ViewKeyDef* row = FindViewKey(event->key(), event->modifiers());
    const int key = event->key();
    const bool repeat = event->isAutoRepeat();
    switch (row ? row->action : ViewKeyAction::None) {
        case ViewKeyAction::MoveCursor:
        case ViewKeyAction::ExtendSelection:
            Apply(editor_.MoveCursor(*ArrowDirection(key), row->action == ViewKeyAction::ExtendSelection));
            return;
        case ViewKeyAction::PlaceHalf:
            if (!repeat) {
                placingKey_ = key;
                if (Forward([&] { return editor_.PlaceHalfAtCursor(*ArrowDirection(key)); })) EndKeyClick();
            }
            return;
        case ViewKeyAction::Place:
            if (!repeat) {
                placingKey_ = key;
                if (Forward([&] { return editor_.PlaceAtCursor(); })) EndKeyClick();
            }
            return;
        case ViewKeyAction::Erase:
            if (!repeat) Forward([&] { return editor_.EraseAtCursor(); });
            return;
        case ViewKeyAction::None:
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CVelmorinView::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) {
        const int key = event->key();
        if (placingKey_ != 0 && key == placingKey_) {
            EndKeyClick();
            return;
        }
        if (key == Qt::Key_Shift) {
            Apply(editor_.ShiftReleased());
            return;
        }
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CVelmorinView::EndKeyClick() {
    // The end of the key's click: the cross-out mark goes.
    placingKey_ = 0;
    crossOut_.reset();
    Apply(editor_.PlaceReleased());
}

void CVelmorinView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    Apply(editor_.TimerTick());
}

void CVelmorinView::PostCommand(int command) {
    QMetaObject::invokeMethod(
        this, [this, command] { RunCommand(command); }, Qt::QueuedConnection);
}

void CVelmorinView::RunCommand(int command) {
    if (command == OpenParametersCommand) OpenParameters();
}

void CVelmorinView::OpenParameters() {
    // Another edit may have settled the click since the command was posted.
    const std::optional<ParameterRequest> request = editor_.pendingParameters();
    if (!request || parametersOpen_) return;
    RunParameters(*request);
}

void CVelmorinView::RunParameters(const ParameterRequest& request) {
    parametersOpen_ = true;
    const ParameterResult result = services_.dialogs ? services_.dialogs().Parameters(request) : ParameterResult{};
    parametersOpen_ = false;
    Apply(editor_.ParametersClosed(result));
}

bool CVelmorinView::Forward(const std::function<ViewEffects()>& event) {
    ViewEffects fx = event();
    if (!fx.settleFirst) {
        Apply(fx);
        return false;
    }
    if (parametersOpen_) return false;  // that dialog is the one open: it answers first
    RunParameters(*fx.settleFirst);
    Apply(event());
    return true;
}

void CVelmorinView::Undo() {
    Forward([this] { return editor_.Undo(); });
}
void CVelmorinView::Redo() {
    Forward([this] { return editor_.Redo(); });
}
void CVelmorinView::CopySelection() {
    Forward([this] { return editor_.CopySelection(); });
}
void CVelmorinView::CutSelection() {
    Forward([this] { return editor_.CutSelection(); });
}
void CVelmorinView::Paste() {
    Forward([this] { return editor_.Paste(); });
}
void CVelmorinView::EditBlock(BlockEdit edit) {
    Forward([this, edit] { return editor_.EditBlock(edit); });
}
void CVelmorinView::Find(const QString& word, bool forward) {
    const std::string text = word.toStdString();
    Forward([this, &text, forward] { return editor_.Find(text, forward); });
}

// --- What the session reported -------------------------------------------

void CVelmorinView::Apply(const ViewEffects& fx) {
    for (const PixelRect& rect : fx.invalidate) viewport()->update(ViewportRect(rect));
    if (fx.wholeView) viewport()->update();
    if (fx.crossOut) {
        crossOut_ = fx.crossOut;
        viewport()->update(ViewportRect(CellRect(*fx.crossOut)));
    }
    if (fx.closePalette) ClosePalette();
    if (fx.openPalette) OpenPalette();
    if (fx.palettePosition && palette_) palette_->move(fx.palettePosition->x, fx.palettePosition->y);
    if (fx.openPalette && palette_) palette_->show();
    if (fx.toolChanged) emit toolChanged();
    if (fx.paletteButtonsChanged || fx.pasteAvailabilityChanged) SyncPalette();
    if (fx.modified) {
        // The session reports the flag exactly when the program changed.
        emit modifiedChanged(*fx.modified);
        emit diagramChanged();
    }
    if (fx.ensureVisible) ScrollToShowRect(*fx.ensureVisible);
    emit historyChanged();
    if (!fx.statusNote.empty()) emit statusNote(QString::fromStdString(fx.statusNote));
    if (!fx.message.empty()) ShowMessage(fx.message, fx.detail);
    if (fx.runBlockDialog) {
        const BlockChoice choice = services_.dialogs ? services_.dialogs().Block() : BlockChoice::Cancel;
        Forward([this, choice] { return editor_.BlockDialogClosed(choice); });
    }
    if (fx.openParameters) PostCommand(OpenParametersCommand);
}

QRect CVelmorinView::CellScreenRect(CellPos cell) const {
    const QRect inView = ViewportRect(CellRect(cell));
    return QRect(viewport()->mapToGlobal(inView.topLeft()), inView.size());
}

void CVelmorinView::ScrollToShowRect(const PixelRect& rect) {
    const QPoint scroll = ScrollPosition();
    const PixelPoint to =
        ScrollToShow(zoom_.ToScreen(rect), {scroll.x(), scroll.y()}, {viewport()->width(), viewport()->height()});
    horizontalScrollBar()->setValue(to.x);
    verticalScrollBar()->setValue(to.y);
}

void CVelmorinView::ShowMessage(const std::string& text, const std::string& detail) {
    if (!services_.prompts) return;
    if (detail.empty()) {
        services_.prompts().ShowMessage(text);
    } else {
        services_.prompts().ShowFailure(Result::Fail(text, detail));
    }
}

void CVelmorinView::OpenPalette() {
    if (!palette_) {
        // A tool window of the frame: it floats beside the diagram and goes with it.
        palette_ = new PaletteDialog(window());
        connect(palette_, &PaletteDialog::toolChosen, this, [this](int kind) {
            toolState_.SelectTool(kind);
            emit toolChanged();
        });
        connect(palette_, &PaletteDialog::pasteRequested, this, &CVelmorinView::Paste);
        connect(palette_, &PaletteDialog::closedByFrame, this, [this] {
            // Closed through its own frame: gone as after a plain click, so
            // that the next right click brings it back.
            editor_.SetPaletteOpen(false);
            if (palette_) palette_->deleteLater();
            palette_.clear();
        });
    }
    SyncPalette();
}

void CVelmorinView::ClosePalette() { delete palette_.data(); }

void CVelmorinView::SyncPalette() {
    if (!palette_) return;
    palette_->ShowTool(toolState_.currentTool());
    palette_->EnablePaste(!editor_.blockBuffer().empty());
}

}  // namespace velmorin
