#pragma once
// The diagram's scrolling view: the frame's central widget. It owns the
// editing session (DiagramEditor) and the insertion tool, forwards its
// mouse, timer and key events to the session and carries out what the
// session reports: repaints, the cross-out mark, the palette, the block and
// parameter dialogs, the document's modified flag, scrolling and messages.
// It owns the overlay it paints over the program (the hover cell and block
// selection the session keeps, the cell the error list points at, pending
// erasures, live colours and rectangles); the diagram content stays in the
// document's model, which painting never writes.
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QImage>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

#include "editor/diagram_editor.h"
#include "editor/doc_layout.h"
#include "editor/editor_dialogs.h"
#include "editor/live_values.h"
#include "editor/paint_plan.h"
#include "editor/ui/PaletteDialog.h"
#include "editor/view_overlay.h"
#include "editor/zoom.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "model/tool_state.h"
#include "ui/DiagramSurface.h"

class QPainter;
class QPrinter;

namespace velmorin {

class DiagramPainter;

// Where the view's dialogs and messages go: the editor's dialogs and the
// application's prompts, asked for each time (either may be replaced). A
// view without them answers every dialog as cancelled and shows no message.
struct ViewServices {
    std::function<EditorDialogs&()> dialogs;
    std::function<Prompts&()> prompts;
};

class CVelmorinView : public QAbstractScrollArea, public DiagramSurface {
    Q_OBJECT
public:
    // Scroll extent, page and line steps in 0.1 mm.
    static constexpr int ExtentWidth = 1647, ExtentHeight = 16512;
    static constexpr int PageStepX = 329, PageStepY = 688;
    static constexpr int LineStepX = 65, LineStepY = 82;
    // The view's timer period and the deferred command that opens the parameter dialog.
    static constexpr int TimerMilliseconds = 200;
    static constexpr int OpenParametersCommand = 9999;

    explicit CVelmorinView(ProgramModel& model, QWidget* parent = nullptr);
    ~CVelmorinView() override;

    void SetServices(ViewServices services) { services_ = std::move(services); }

    ToolState& toolState() { return toolState_; }
    const ToolState& toolState() const { return toolState_; }
    // The menu, the toolbar and the palette follow a tool changed outside the view.
    void NotifyToolChanged() { emit toolChanged(); }

    const DiagramEditor& editor() const { return editor_; }
    CellPos hoverCell() const { return editor_.hoverCell(); }
    CellPos previousHoverCell() const { return editor_.previousHoverCell(); }
    const BlockSelection& blockSelection() const { return editor_.selection(); }

    // A new or opened document: editing enabled, no selection, an empty
    // block buffer and history, the cursor at column 1, row 1 and the
    // diagram scrolled to its top; the view's timer runs from the first one.
    void InitialUpdate();
    // The document was saved: undoing back to here clears its modified flag.
    void MarkSaved() { editor_.MarkSaved(); }
    // A document opened without a file: it stays modified whatever is undone.
    void MarkUnsaved() { editor_.MarkUnsaved(); }

    bool CanUndo() const { return editor_.CanUndo(); }
    bool CanRedo() const { return editor_.CanRedo(); }
    void Undo();
    void Redo();
    // The selection being made, or the cursor cell, into the block buffer.
    void CopySelection();
    void CutSelection();
    // The block buffer at the cursor cell ("Pegar", Ctrl+V).
    void Paste();
    // "Insertar bloque", "Eliminar bloque", "Subir bloque", "Bajar bloque"
    // at the cursor's block; a refusal is shown and changes nothing.
    void EditBlock(BlockEdit edit);
    // The cursor to the next (previous) cell that `word` names.
    void Find(const QString& word, bool forward);

    // The palette window while it is open.
    PaletteDialog* palette() const { return palette_; }

    // The diagram surface (see DiagramSurface).
    void ShowCell(CellPos cell) override;
    void MarkCell(CellPos cell) override;
    CellPos markedCell() const override { return overlay_.marked; }
    void ScrollToRow(int row) override;
    QRect CellScreenRect(CellPos cell) const override;
    QRect VisibleScreenRect() const override;
    void SetLiveMode(bool live) override;
    void ClearLiveColours() override;
    bool RefreshLive(const LiveImageSnapshot& image) override;
    const MonitoredOperandList& monitoredOperands() const override { return monitored_; }
    void OnOperandsListed(std::function<void()> listener) override { operandsListed_ = std::move(listener); }

    bool liveMode() const { return editor_.live(); }
    // What the view draws over the program.
    const ViewOverlay& overlay() const { return overlay_; }

    // The view's state as the inputs of a paint of the given rows.
    PaintInputs CurrentPaintInputs(RowRange rows) const;
    const CellMetrics& cellMetrics() const { return metrics_; }

    // Whole blocks to a page (twelve rows on a portrait A4 sheet), as many
    // pages as reach the last row in use, each headed by `heading`.
    int PageCount(const QPrinter& printer) const;
    void PrintDocument(QPrinter& printer, const PrintHeading& heading = {});

    // "Importar alias...": the table's text into the program, one undo step;
    // a refusal is shown with the line it stopped at. True when taken.
    bool ImportAliases(std::string_view csv);

    // The scale the diagram is shown at; drawing, hit-testing and scrolling
    // follow it, printing does not. A change keeps the cursor cell (or, when
    // it is out of sight, the middle of the view) where it is on the screen.
    const ViewZoom& zoom() const { return zoom_; }
    void SetZoom(ViewZoom zoom);
    // As SetZoom, keeping the diagram point under `anchor` (viewport pixels) in place.
    void SetZoomAt(ViewZoom zoom, QPoint anchor);

    // Logical 0.1 mm to screen pixels, a cell being 64 pixels.
    int LogicalToPixelsX(int units) const;
    int LogicalToPixelsY(int units) const;

signals:
    // The insertion tool changed: check marks and the palette's pressed button.
    void toolChanged();
    // The diagram's content changed through the view (an edit, a paste, an undo).
    void diagramChanged();
    // An edit, an undo or a redo: the document's modified flag becomes this.
    void modifiedChanged(bool modified);
    // What can be undone or redone may have changed.
    void historyChanged();
    // A live paint has listed the operands anew (monitoredOperands()).
    void liveOperandsPublished();
    // A passing remark for the status bar (a search that went round).
    void statusNote(const QString& note);
    // The diagram is shown at another scale.
    void zoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void UpdateScrollBars();
    DiagramPainter& Painter();
    QPoint ScrollPosition() const;
    // A viewport point in pixels of the unscrolled diagram.
    PixelPoint DiagramPoint(const QPointF& viewportPoint) const;
    QRect ViewportRect(const PixelRect& rect) const;

    // Carries out what the session reported, the dialogs last.
    void Apply(const ViewEffects& fx);
    // Hands an event to the session and carries out what it reports; when
    // an earlier click's parameter dialog must come first, runs that dialog
    // and hands the event again. True when a dialog ran first.
    bool Forward(const std::function<ViewEffects()>& event);
    // The parameter dialog for the cell the session asked about, and its answer back.
    void RunParameters(const ParameterRequest& request);
    // The placing key's click is over (released, or its release went to a
    // dialog that came first).
    void EndKeyClick();
    void ScrollToShowRect(const PixelRect& rect);
    void OpenPalette();
    void ClosePalette();
    void SyncPalette();
    // The deferred command, posted so that the dialog runs from the event
    // loop and not inside the timer.
    void PostCommand(int command);
    void RunCommand(int command);
    void OpenParameters();
    void ShowMessage(const std::string& text, const std::string& detail = {});

    ProgramModel& model_;
    ToolState toolState_;
    // Before the session, which writes into it.
    ViewOverlay overlay_;
    DiagramEditor editor_;
    ViewServices services_;
    CellMetrics metrics_;
    ViewZoom zoom_;
    ZoomWheel wheel_;
    // Where the cross-out mark shows while the button (or Enter) is held.
    std::optional<CellPos> crossOut_;
    // The key whose press placed at the cursor (Enter, an Alt+arrow); its release ends the click.
    int placingKey_ = 0;
    QBasicTimer timer_;
    // A parameter dialog is open: no other is asked for meanwhile.
    bool parametersOpen_ = false;
    QPointer<PaletteDialog> palette_;
    LiveImageSnapshot liveImage_{};
    MonitoredOperandList monitored_{-1};
    std::function<void()> operandsListed_;
    std::unique_ptr<DiagramPainter> painter_;
    PaintPlan plan_;
    QImage buffer_;
};

}  // namespace velmorin
