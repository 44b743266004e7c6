#include "editor/diagram_editor.h"

#include <cstdio>

#include "editor/editor_messages.h"
#include "editor/find.h"
#include "model/alias_csv.h"

namespace velmorin {
namespace {

// Floor division, so that points left of or above the view still land on
// the cell they are in.
int32_t CellStart(int32_t pixel) {
    const int32_t cell = pixel >= 0 ? pixel / CellPixels : -((-pixel + CellPixels - 1) / CellPixels);
    return CellPixels * cell;
}

CellPos Stepped(CellPos cell, Direction direction) {
    switch (direction) {
        case Direction::Left:
            --cell.column;
            break;
        case Direction::Right:
            ++cell.column;
            break;
        case Direction::Up:
            --cell.row;
            break;
        case Direction::Down:
            ++cell.row;
            break;
    }
    return cell;
}

}  // namespace

std::string PasteRefusedMessage(int32_t reason) {
    char text[64];
    std::snprintf(text, sizeof text, msg::PasteRefused, reason);
    return text;
}

DiagramEditor::DiagramEditor(ProgramModel& model, ToolState& tools, ViewOverlay& overlay)
    : model_(model), tools_(tools), overlay_(overlay) {}

void DiagramEditor::InitialUpdate() {
    editingEnabled_ = true;
    // Editing needs a cursor: a session's first one is column 1, row 1.
    if (!IsEditable(overlay_.hover)) ResetHover();
    live_ = false;
    overlay_.selection = {};
    overlay_.pendingErase.clear();
    keyboardSelection_ = false;
    handedOn_ = false;
    buttonDown_ = false;
    pendingBlock_.reset();
    buffer_.Clear();
    history_.Clear();
    lastResult_ = ResultNothing;
    deferredOpen_ = false;
    awaitingParameters_ = false;
    dialogOpen_.reset();
    findCursor_ = {};
    savedMidClick_ = false;
}

void DiagramEditor::MarkSaved() {
    savedMidClick_ = savedMidClick_ || awaitingParameters_ || dialogOpen_.has_value();
    history_.MarkSaved(model_);
}

void DiagramEditor::ResetHover() {
    overlay_.hover = {1, 1};
    previousHover_ = {1, 1};
}

void DiagramEditor::CommitEdit(ViewEffects& fx) {
    if (history_.Commit(model_)) fx.modified = history_.modified();
}

void DiagramEditor::ClosePalette(ViewEffects& fx) {
    if (!paletteOpen_) return;
    paletteOpen_ = false;
    fx.closePalette = true;
}

std::optional<ParameterRequest> DiagramEditor::PendingRequest(ViewEffects& fx) {
    deferredOpen_ = false;
    awaitingParameters_ = false;
    const std::optional<CellHit> hit = CellAt(lastPoint_);
    if (!hit) {
        savedMidClick_ = false;
        CommitEdit(fx);
        return std::nullopt;
    }
    const LadderCell& cell = model_.grid.at(hit->cell.row, hit->cell.column);
    if (InstructionsForKind(cell.shape).empty()) {
        // Nothing to choose (a picked-up lower box half): as a cancelled dialog.
        savedMidClick_ = false;
        Rollback(hit->cell);
        CommitEdit(fx);
        fx.wholeView = true;
        return std::nullopt;
    }
    ParameterRequest request;
    request.cell = hit->cell;
    request.kind = cell.shape;
    request.element = cell.element;
    request.params = cell.params;
    dialogOpen_ = request;
    return request;
}

bool DiagramEditor::AskPendingFirst(ViewEffects& fx) {
    // Asked by the timer and not answered yet, or not asked yet: ask now.
    if (!dialogOpen_ && awaitingParameters_ && !PendingRequest(fx)) return false;
    if (!dialogOpen_) return false;
    fx.settleFirst = dialogOpen_;
    return true;
}

bool DiagramEditor::AbandonPendingClick() {
    if (!awaitingParameters_ && !dialogOpen_) return false;
    awaitingParameters_ = false;
    deferredOpen_ = false;
    dialogOpen_.reset();
    history_.Abandon(model_);
    // Saved in between: the placement became a step, which goes too.
    if (savedMidClick_) history_.Undo(model_);
    savedMidClick_ = false;
    return true;
}

PlaceResult DiagramEditor::Place(PixelPoint point, ViewEffects& fx) {
    lastResult_ = ResultNothing;
    const std::optional<CellHit> hit = CellAt(point);
    if (!hit) return {};
    const int32_t r = hit->cell.row, c = hit->cell.column;
    history_.Begin(model_);
    savedCell_ = ContentOf(model_.grid.at(r, c));
    savedBelow_.reset();
    if (r + 1 < GridRows) savedBelow_ = ContentOf(model_.grid.at(r + 1, c));

    PlaceResult placed = PlaceAt(model_.grid, tools_, *hit);
    if (placed.placed && tools_.currentTool() == KindBlank) MarkErased(hit->cell, placed);
    lastPoint_ = point;
    lastResult_ = placed.lastResult;
    if (placed.placed) fx.invalidate.push_back(SquareAround(point));
    for (const CellPos& cell : placed.neighboursChanged) fx.invalidate.push_back(SquareAroundAnchor(cell));
    if (placed.toolChanged) fx.toolChanged = true;
    fx.crossOut.reset();
    if (placed.crossOut) fx.crossOut = hit->cell;
    return placed;
}

void DiagramEditor::FinishClick(PixelPoint point, ViewEffects& fx) {
    if (lastResult_ < ResultNothing) {
        lastPoint_ = point;
        deferredOpen_ = true;
        // The wire and erase tools are done with the click itself.
        if (ToolOpensParameters(tools_.currentTool())) {
            awaitingParameters_ = true;
            return;
        }
    } else if (lastResult_ == ResultNothing) {
        fx.invalidate.push_back(SquareAround(point));
    }
    CommitEdit(fx);
}

ViewEffects DiagramEditor::LeftDown(PixelPoint point, bool shift) {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (shift) {
        const std::optional<CellHit> hit = CellAt(point);
        if (!hit || overlay_.selection.state != 0) return fx;
        buttonDown_ = true;
        overlay_.selection = {1, hit->cell, hit->cell};
        keyboardSelection_ = false;
        handedOn_ = false;
        fx.invalidate.push_back(CellRect(hit->cell));
        return fx;
    }
    if (AskPendingFirst(fx)) return fx;
    buttonDown_ = true;
    ClosePalette(fx);
    Place(point, fx);
    FinishClick(point, fx);
    return fx;
}

ViewEffects DiagramEditor::LeftUp() {
    ViewEffects fx;
    if (live_) return fx;
    buttonDown_ = false;
    if (lastResult_ >= ResultRefused) fx.invalidate.push_back(SquareAround(lastPoint_));
    if (overlay_.selection.state != 0 && !handedOn_) HandOnSelection(fx);
    palettePosition_ = {};
    return fx;
}

ViewEffects DiagramEditor::PlaceReleased() {
    ViewEffects fx;
    if (live_) return fx;
    if (lastResult_ >= ResultRefused) fx.invalidate.push_back(SquareAround(lastPoint_));
    palettePosition_ = {};
    return fx;
}

void DiagramEditor::HandOnSelection(ViewEffects& fx) {
    pendingBlock_ = BoundsOf(overlay_.selection.fixed, overlay_.selection.moving);
    keyboardSelection_ = false;
    // The question shows what it is about: the selection stays drawn (again,
    // if Shift was let go while dragging) until the dialog has been answered.
    overlay_.selection.state = 1;
    handedOn_ = true;
    fx.runBlockDialog = true;
    fx.wholeView = true;
}

void DiagramEditor::MarkErased(CellPos cell, const PlaceResult& erased) {
    // Emptied at once in the model; the view draws them blank on its next paint.
    overlay_.MarkErased(cell);
    for (const CellPos& partner : erased.neighboursChanged) overlay_.MarkErased(partner);
}

void DiagramEditor::MoveHover(CellPos cell, ViewEffects& fx) {
    // The overlay holds the hover highlight; the model is left alone.
    if (cell != previousHover_) {
        fx.invalidate.push_back(SquareAroundAnchor(previousHover_));
        fx.invalidate.push_back(SquareAroundAnchor(cell));
    }
    overlay_.hover = cell;
}

ViewEffects DiagramEditor::MouseMove(PixelPoint point, bool shift) {
    ViewEffects fx;
    if (!Editable()) return fx;
    const std::optional<CellHit> hit = CellAt(point);
    if (!hit) return fx;
    const CellPos cell = hit->cell;
    MoveHover(cell, fx);
    if (overlay_.selection.state != 0 && !keyboardSelection_) {
        // Letting Shift go ends the selection; the release still hands it on.
        if (!shift) overlay_.selection.state = -1;
        const PixelRect before = CellsRect(overlay_.selection.fixed, overlay_.selection.moving);
        overlay_.selection.moving.column = cell.column;
        if (SameBlock(cell.row, overlay_.selection.fixed.row)) overlay_.selection.moving.row = cell.row;
        fx.invalidate.push_back(Unite(before, CellsRect(overlay_.selection.fixed, overlay_.selection.moving)));
    }
    previousHover_ = cell;
    return fx;
}

ViewEffects DiagramEditor::RightDown(PixelPoint client, PixelSize viewSize, PixelPoint viewScreenOrigin) {
    ViewEffects fx;
    if (live_) return fx;
    if (!paletteOpen_) {
        paletteOpen_ = true;
        fx.openPalette = true;
    }
    // Right of the clicked cell, or left of it near the view's right edge;
    // one cell above it, or two near the bottom edge.
    const int32_t cellX = CellStart(client.x), cellY = CellStart(client.y);
    int32_t x = cellX + CellPixels;
    if (x > viewSize.width) x = cellX - CellPixels;
    int32_t y = cellY - CellPixels;
    if (y > viewSize.height - 2 * CellPixels) y = cellY - 2 * CellPixels;
    const PixelPoint position{viewScreenOrigin.x + x, viewScreenOrigin.y + y};
    fx.palettePosition = position;
    if (position != palettePosition_) {
        palettePosition_ = position;
        return fx;
    }
    // A second right click on the same cell cycles the wire tools.
    const int32_t tool = tools_.currentTool();
    const int32_t next = tool == KindHorizontal ? KindVertical : tool == KindVertical ? KindBlank : KindHorizontal;
    tools_.SelectTool(next);
    fx.toolChanged = true;
    fx.paletteButtonsChanged = true;
    return fx;
}

ViewEffects DiagramEditor::TimerTick() {
    ViewEffects fx;
    if (!deferredOpen_) return fx;
    deferredOpen_ = false;
    if (!awaitingParameters_) return fx;
    fx.openParameters = PendingRequest(fx);
    return fx;
}

void DiagramEditor::Rollback(CellPos at) {
    LadderCell& cell = model_.grid.at(at.row, at.column);
    if (savedCell_.shape == ShapeEmpty) {
        EmptyCell(cell);
    } else {
        SetContent(cell, savedCell_);
    }
    if (savedBelow_ && at.row + 1 < GridRows) {
        LadderCell& below = model_.grid.at(at.row + 1, at.column);
        if (savedBelow_->shape == ShapeEmpty) {
            EmptyCell(below);
        } else {
            SetContent(below, *savedBelow_);
        }
    }
}

ViewEffects DiagramEditor::ParametersClosed(const ParameterResult& result) {
    ViewEffects fx;
    if (!dialogOpen_) return fx;
    const CellPos at = dialogOpen_->cell;
    dialogOpen_.reset();
    savedMidClick_ = false;
    LadderCell& cell = model_.grid.at(at.row, at.column);
    if (result.accepted && result.element >= 0 && result.element < ElementNone) {
        cell.params = result.params;
        cell.element = result.element;
        if (cell.shape == KindBoxUpperHalf && at.row + 1 < GridRows) {
            LadderCell& below = model_.grid.at(at.row + 1, at.column);
            if (below.shape == KindBoxLowerHalf) below.element = result.element;
        }
    } else {
        // The fixes made to the row above (and below a box's lower half) stay.
        Rollback(at);
    }
    fx.wholeView = true;
    CommitEdit(fx);
    return fx;
}

void DiagramEditor::RunBlockChoice(BlockChoice choice, const BlockBounds& bounds, ViewEffects& fx) {
    switch (choice) {
        case BlockChoice::Cancel:
            return;
        case BlockChoice::Copy:
            CopyBlock(model_.grid, bounds, buffer_);
            break;
        case BlockChoice::Cut:
            history_.Begin(model_);
            CutBlock(model_.grid, bounds, buffer_);
            CommitEdit(fx);
            break;
    }
    fx.pasteAvailabilityChanged = true;
    fx.wholeView = true;
}

ViewEffects DiagramEditor::BlockDialogClosed(BlockChoice choice) {
    ViewEffects fx;
    if (!pendingBlock_) return fx;
    if (AskPendingFirst(fx)) return fx;
    const BlockBounds bounds = *pendingBlock_;
    pendingBlock_.reset();
    // Answered: the next paint takes the selection away.
    overlay_.selection.state = -1;
    RunBlockChoice(choice, bounds, fx);
    fx.wholeView = true;
    return fx;
}

ViewEffects DiagramEditor::Paste() {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (buffer_.empty()) {
        fx.wholeView = true;
        return fx;
    }
    if (AskPendingFirst(fx)) return fx;
    history_.Begin(model_);
    const int32_t reason = PasteBlock(model_.grid, buffer_, overlay_.hover);
    CommitEdit(fx);
    if (reason != PasteFits) {
        fx.message = PasteRefusedMessage(reason);
        return fx;
    }
    fx.wholeView = true;
    return fx;
}

void DiagramEditor::SelectionPainted() {
    if (overlay_.selection.state < 0 && !buttonDown_ && !keyboardSelection_) {
        overlay_.selection.state = 0;
        handedOn_ = false;
    }
}

ViewEffects DiagramEditor::MoveCursor(Direction direction, bool shift) {
    ViewEffects fx;
    if (!Editable()) return fx;
    CellPos target = Stepped(overlay_.hover, direction);
    if (!IsEditable(target)) target = overlay_.hover;
    if (shift && overlay_.selection.state == 0 && !buttonDown_) {
        overlay_.selection = {1, overlay_.hover, overlay_.hover};
        keyboardSelection_ = true;
        handedOn_ = false;
    }
    if (shift && keyboardSelection_ && overlay_.selection.state != 0) {
        // A selection stays within the block it started in.
        if (!SameBlock(target.row, overlay_.selection.fixed.row)) target.row = overlay_.hover.row;
        const PixelRect before = CellsRect(overlay_.selection.fixed, overlay_.selection.moving);
        overlay_.selection.moving = target;
        fx.invalidate.push_back(Unite(before, CellsRect(overlay_.selection.fixed, overlay_.selection.moving)));
    }
    MoveHover(target, fx);
    previousHover_ = target;
    fx.ensureVisible = CellRect(target);
    return fx;
}

ViewEffects DiagramEditor::PlaceAtCursor() {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (AskPendingFirst(fx)) return fx;
    ClosePalette(fx);
    const int32_t tool = tools_.currentTool();
    if (tool != KindHorizontal && tool != KindVertical) {
        const PixelPoint centre = CellCentre(overlay_.hover);
        Place(centre, fx);
        FinishClick(centre, fx);
        return fx;
    }
    // A whole piece is both halves or nothing.
    const bool horizontal = tool == KindHorizontal;
    const PixelPoint first = horizontal ? HalfPoint(overlay_.hover, -1, 1) : HalfPoint(overlay_.hover, 1, -1);
    const PixelPoint second = horizontal ? HalfPoint(overlay_.hover, 1, 1) : HalfPoint(overlay_.hover, 1, 1);
    const CellContent before = ContentOf(model_.grid.at(overlay_.hover.row, overlay_.hover.column));
    const PlaceResult firstHalf = Place(first, fx);
    if (firstHalf.placed) {
        const PlaceResult secondHalf = Place(second, fx);
        if (!secondHalf.placed) {
            SetContent(model_.grid.at(overlay_.hover.row, overlay_.hover.column), before);
            lastResult_ = ResultRefused;
            fx.crossOut = overlay_.hover;
        }
    }
    FinishClick(lastPoint_, fx);
    return fx;
}

ViewEffects DiagramEditor::PlaceHalfAtCursor(Direction side) {
    ViewEffects fx;
    if (!Editable()) return fx;
    const int32_t tool = tools_.currentTool();
    const bool across = (tool == KindHorizontal && (side == Direction::Up || side == Direction::Down)) ||
                        (tool == KindVertical && (side == Direction::Left || side == Direction::Right));
    if (tool != KindHorizontal && tool != KindVertical) return PlaceAtCursor();
    if (across) return fx;
    if (AskPendingFirst(fx)) return fx;
    ClosePalette(fx);
    const int32_t xHalf = side == Direction::Left ? -1 : 1;
    const int32_t yHalf = side == Direction::Up ? -1 : 1;
    const PixelPoint point = HalfPoint(overlay_.hover, xHalf, yHalf);
    Place(point, fx);
    FinishClick(point, fx);
    return fx;
}

ViewEffects DiagramEditor::EraseAtCursor() {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (AskPendingFirst(fx)) return fx;
    // The current tool stays what it is.
    ToolState eraser;
    eraser.SelectTool(KindBlank);
    history_.Begin(model_);
    const PlaceResult erased = PlaceAt(model_.grid, eraser, {overlay_.hover, 1, 1});
    MarkErased(overlay_.hover, erased);
    fx.invalidate.push_back(SquareAroundAnchor(overlay_.hover));
    for (const CellPos& cell : erased.neighboursChanged) fx.invalidate.push_back(SquareAroundAnchor(cell));
    CommitEdit(fx);
    return fx;
}

ViewEffects DiagramEditor::ShiftReleased() {
    ViewEffects fx;
    if (!keyboardSelection_) return fx;
    keyboardSelection_ = false;
    if (overlay_.selection.state != 0 && !handedOn_) HandOnSelection(fx);
    return fx;
}

ViewEffects DiagramEditor::TakeSelection(BlockChoice choice) {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (AskPendingFirst(fx)) return fx;
    BlockBounds bounds = BoundsOf(overlay_.hover, overlay_.hover);
    // A selection already handed to the block dialog is only waiting for
    // the paint that clears its highlight; it is not taken twice.
    if (overlay_.selection.state != 0 && !handedOn_) {
        bounds = BoundsOf(overlay_.selection.fixed, overlay_.selection.moving);
        // Taken by the keys: no block dialog follows on release.
        overlay_.selection.state = 0;
        keyboardSelection_ = false;
        handedOn_ = false;
    }
    RunBlockChoice(choice, bounds, fx);
    fx.wholeView = true;
    return fx;
}

ViewEffects DiagramEditor::Step(bool undo) {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (undo && AbandonPendingClick()) {
        fx.wholeView = true;
        fx.modified = history_.modified();
        return fx;
    }
    if (AskPendingFirst(fx)) return fx;
    if (undo ? history_.Undo(model_) : history_.Redo(model_)) {
        fx.wholeView = true;
        fx.modified = history_.modified();
    }
    return fx;
}

ViewEffects DiagramEditor::EditBlock(BlockEdit edit) {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (AskPendingFirst(fx)) return fx;
    const int32_t block = BlockOfRow(overlay_.hover.row);
    history_.Begin(model_);
    const BlockEditOutcome outcome = EditBlocks(model_, edit, block);
    CommitEdit(fx);
    if (!outcome.done) {
        if (outcome.refusal) fx.message = outcome.refusal;
        return fx;
    }
    fx.wholeView = true;
    const CellPos cursor{overlay_.hover.column, overlay_.hover.row + BlockRows * (outcome.block - block)};
    MoveHover(cursor, fx);
    previousHover_ = cursor;
    fx.ensureVisible = CellRect(cursor);
    return fx;
}

ViewEffects DiagramEditor::ImportAliases(std::string_view csv) {
    ViewEffects fx;
    if (!Editable()) return fx;
    if (AskPendingFirst(fx)) return fx;
    std::vector<AliasAssignment> assignments;
    const Result parsed = ParseAliasCsv(model_, csv, assignments);
    if (!parsed) {
        fx.message = parsed.message;
        fx.detail = parsed.detail;
        return fx;
    }
    history_.Begin(model_);
    ApplyAliases(model_, assignments);
    CommitEdit(fx);
    fx.wholeView = true;
    return fx;
}

ViewEffects DiagramEditor::Find(std::string_view word, bool forward) {
    ViewEffects fx;
    if (!Editable()) return fx;
    const std::vector<CellPos> matches = FindMatches(model_, word);
    CellPos from = overlay_.hover;
    bool includeFrom = false;
    if (word != findWord_) {
        // A label's match lies left of the first editable cell; starting
        // there forward, it counts as at the cursor.
        if (forward && from.column == FirstEditColumn) from.column = 0;
        includeFrom = true;
    } else if (overlay_.hover == findCursor_) {
        from = findMatch_;
    }
    findWord_ = std::string(word);
    const FindStep step = StepToMatch(matches, from, forward, includeFrom);
    if (!step.match) {
        findCursor_ = {};
        fx.message = msg::NothingFound;
        return fx;
    }
    if (step.wrapped) fx.statusNote = forward ? msg::FindWrappedToStart : msg::FindWrappedToEnd;
    const CellPos cursor = CursorFor(*step.match);
    findMatch_ = *step.match;
    findCursor_ = cursor;
    MoveHover(cursor, fx);
    previousHover_ = cursor;
    fx.ensureVisible = CellRect(cursor);
    return fx;
}

ViewEffects DiagramEditor::Undo() { return Step(true); }
ViewEffects DiagramEditor::Redo() { return Step(false); }

}  // namespace velmorin
