#pragma once
// One editing session over the document's program: what the view's mouse,
// timer and key events do to the model, the state those rules keep between
// events, the block buffer and the edit history. Every event method changes
// only the model, the tool and the editing part of the view's overlay
// (cursor, selection, erased cells), and returns what the view must do about
// it (repaint, draw the cross-out mark, open a dialog, mark the document).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/block_buffer.h"
#include "editor/block_edit.h"
#include "editor/cell_content.h"
#include "editor/edit_history.h"
#include "editor/geometry.h"
#include "editor/parameter_session.h"
#include "editor/placement.h"
#include "editor/view_overlay.h"
#include "model/ladder_model.h"
#include "model/tool_state.h"

namespace velmorin {

enum class BlockChoice { Cut, Copy, Cancel };

enum class Direction { Left, Right, Up, Down };

// What the view must do after an event; the model is already changed.
// `modified` is set only when the event changed the program (or an undo or
// redo moved it to or from the saved state): the view hands it to the
// document's SetModified.
struct ViewEffects {
    std::vector<PixelRect> invalidate;  // diagram pixels, repainted with background erase
    bool wholeView = false;
    std::optional<CellPos> crossOut;  // draw the cross-out mark here with XOR
    bool closePalette = false;
    bool openPalette = false;
    std::optional<PixelPoint> palettePosition;       // screen pixels
    bool toolChanged = false;                        // check marks of the tool commands
    bool paletteButtonsChanged = false;              // the palette's pressed button
    bool pasteAvailabilityChanged = false;           // the palette's "Pegar"
    bool runBlockDialog = false;                     // then call BlockDialogClosed
    std::optional<ParameterRequest> openParameters;  // then call ParametersClosed
    // The event waits: an earlier click still wants its parameter dialog.
    // Nothing else is reported or changed; run that dialog now, hand its
    // answer to ParametersClosed and send the event again.
    std::optional<ParameterRequest> settleFirst;
    std::optional<bool> modified;            // the document's modified flag becomes this
    std::optional<PixelRect> ensureVisible;  // scroll so that this shows (ScrollToShow)
    std::string message;                     // a message box to show, when not empty
    std::string detail;                      // the box's second line (what a refused import read)
    std::string statusNote;                  // a note for the status bar, when not empty
};

class DiagramEditor {
public:
    // `overlay` is the view's: the session keeps its cursor, its selection
    // and the cells it erases there, for the paint to show.
    DiagramEditor(ProgramModel& model, ToolState& tools, ViewOverlay& overlay);

    // A new or opened document: editing enabled, no selection or erased
    // cells, not live, an empty block buffer and no history (the program as
    // it is counts as saved); the cursor at column 1, row 1 if it has none.
    void InitialUpdate();
    // Hover cells back to column 1, row 1 (the document's reset).
    void ResetHover();
    void SetLive(bool live) { live_ = live; }
    // A successful save of the program as it is now: undoing back to here
    // clears the modified flag (a click still waiting for its dialog was
    // saved as it lies, and its dialog's change is a step of its own).
    void MarkSaved();
    // A document opened without a file: no state of it was saved, so no
    // undo clears the modified flag.
    void MarkUnsaved() { history_.ForgetSaved(); }

    // Mouse, in pixels of the unscrolled diagram.
    ViewEffects LeftDown(PixelPoint point, bool shift);
    ViewEffects LeftUp();
    ViewEffects MouseMove(PixelPoint point, bool shift);
    // The right button: `client` is the click in the view's own pixels.
    ViewEffects RightDown(PixelPoint client, PixelSize viewSize, PixelPoint viewScreenOrigin);
    // The view's 200 ms timer.
    ViewEffects TimerTick();
    ViewEffects ParametersClosed(const ParameterResult& result);
    ViewEffects BlockDialogClosed(BlockChoice choice);
    // Pastes the block buffer at the hover cell ("Pegar", Ctrl+V).
    ViewEffects Paste();
    // The painter calls this after each paint: an ended selection is no
    // longer drawn, and once the button is up it is gone.
    void SelectionPainted();

    // Keys. The hover cell is the keyboard cursor.
    ViewEffects MoveCursor(Direction direction, bool shift);
    // Enter: a left click in the cursor cell, a whole wire piece for the wire tools.
    ViewEffects PlaceAtCursor();
    // A half wire piece on the named side of the cursor cell (Alt+arrow); a
    // side across the current wire tool places nothing.
    ViewEffects PlaceHalfAtCursor(Direction side);
    // The Enter key is released: the end of the click (the cross-out goes).
    ViewEffects PlaceReleased();
    // Delete: erases the cursor cell whatever the tool.
    ViewEffects EraseAtCursor();
    // Shift let go after Shift+arrows: the block dialog.
    ViewEffects ShiftReleased();
    // Ctrl+C and Ctrl+X: the selection being made, or the cursor cell.
    ViewEffects CopySelection() { return TakeSelection(BlockChoice::Copy); }
    ViewEffects CutSelection() { return TakeSelection(BlockChoice::Cut); }

    // "Insertar bloque", "Eliminar bloque", "Subir bloque", "Bajar bloque" at
    // the cursor's block: one undo step, or a message and nothing changed.
    // The cursor goes with a moved block.
    ViewEffects EditBlock(BlockEdit edit);
    // "Importar alias...": the text of the chosen file. Every row is checked
    // first; a refusal changes nothing, an import is one undo step.
    ViewEffects ImportAliases(std::string_view csv);
    // Find and F3 / Shift+F3: the cursor goes to the next (previous) cell the
    // word names. A new word starts at the cursor cell itself; the same word
    // again goes on from the match it found, while the cursor stays there.
    ViewEffects Find(std::string_view word, bool forward);

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    ViewEffects Undo();
    ViewEffects Redo();

    // State the painter and the palette read.
    bool editingEnabled() const { return editingEnabled_; }
    bool live() const { return live_; }
    CellPos hoverCell() const { return overlay_.hover; }
    CellPos previousHoverCell() const { return previousHover_; }
    const BlockSelection& selection() const { return overlay_.selection; }
    int32_t lastResult() const { return lastResult_; }
    PixelPoint lastPoint() const { return lastPoint_; }
    bool deferredOpen() const { return deferredOpen_; }
    // The cell whose parameter dialog was asked for and not yet answered:
    // an answer that comes after another edit settled the click is ignored.
    const std::optional<ParameterRequest>& pendingParameters() const { return dialogOpen_; }
    bool paletteOpen() const { return paletteOpen_; }
    // The palette window was closed through its frame.
    void SetPaletteOpen(bool open) { paletteOpen_ = open; }
    const BlockBuffer& blockBuffer() const { return buffer_; }
    const EditHistory& history() const { return history_; }

private:
    bool Editable() const { return editingEnabled_ && !live_; }
    // Place at a point, as a click without Shift does it, then what follows
    // the click: the deferred dialog or the end of the edit.
    PlaceResult Place(PixelPoint point, ViewEffects& fx);
    void FinishClick(PixelPoint point, ViewEffects& fx);
    void CommitEdit(ViewEffects& fx);
    // Before another edit, a click that waits for its parameter dialog has it
    // opened and answered first, so that no element is left without an
    // instruction: true (with `fx.settleFirst`) when the event must wait.
    bool AskPendingFirst(ViewEffects& fx);
    // The parameter dialog for the waiting click, or nothing when the click
    // is settled without one (nothing to choose, or no cell under it).
    std::optional<ParameterRequest> PendingRequest(ViewEffects& fx);
    // Undo right after a click takes the click back whole, dialog unasked.
    bool AbandonPendingClick();
    void Rollback(CellPos cell);
    void ClosePalette(ViewEffects& fx);
    void MoveHover(CellPos cell, ViewEffects& fx);
    // The cells an erase emptied: the clicked one and a box's other half.
    void MarkErased(CellPos cell, const PlaceResult& erased);
    ViewEffects TakeSelection(BlockChoice choice);
    void HandOnSelection(ViewEffects& fx);
    void RunBlockChoice(BlockChoice choice, const BlockBounds& bounds, ViewEffects& fx);
    ViewEffects Step(bool undo);

    ProgramModel& model_;
    ToolState& tools_;
    BlockBuffer buffer_;
    EditHistory history_;

    bool editingEnabled_ = false;
    bool live_ = false;
    int32_t lastResult_ = 29;
    PixelPoint lastPoint_;
    bool deferredOpen_ = false;
    // The click awaits its parameter dialog (set with the deferred open).
    bool awaitingParameters_ = false;
    std::optional<ParameterRequest> dialogOpen_;
    // The waiting click was saved as it lay: its placement is a step of its own.
    bool savedMidClick_ = false;
    // The clicked cell and the one below it as they were before the click.
    CellContent savedCell_;
    std::optional<CellContent> savedBelow_;
    ViewOverlay& overlay_;
    CellPos previousHover_{1, 1};
    bool buttonDown_ = false;
    bool keyboardSelection_ = false;
    std::optional<BlockBounds> pendingBlock_;
    // The ended selection went to the block dialog already.
    bool handedOn_ = false;
    PixelPoint palettePosition_;  // (0, 0): none remembered
    // The last search: its word, the match it found and where it put the cursor.
    std::string findWord_;
    CellPos findMatch_;
    CellPos findCursor_;
    bool paletteOpen_ = false;
};

// The text of a refused paste.
std::string PasteRefusedMessage(int32_t reason);

}  // namespace velmorin
