#pragma once
// The diagram on screen as the windows beside the editor see it: a box that
// points at a cell (the error list), a mode that colours the elements by the
// controller's state (the live monitor). They reach the view only through
// this, so none of them needs the editor's windows, and the view keeps its
// scroll bars, overlay and repaints to itself.
#include <QRect>

#include <functional>
#include <memory>

#include "editor/geometry.h"
#include "editor/live_values.h"

namespace velmorin {

class DiagramSurface {
public:
    virtual ~DiagramSurface() = default;

    // Scrolls the diagram just enough for the whole cell to be in view.
    virtual void ShowCell(CellPos cell) = 0;
    // Highlights the cell (none with an empty CellPos) and repaints at once:
    // the user looks at the diagram while the box that marked it stays open.
    virtual void MarkCell(CellPos cell) = 0;
    virtual CellPos markedCell() const = 0;
    // Scrolls vertically so that `row` is the first visible row, or as
    // near as the diagram's end allows.
    virtual void ScrollToRow(int row) = 0;
    // Where a cell is on the screen now, and the diagram's visible area, in
    // screen coordinates: a box moves out from under what it points at.
    virtual QRect CellScreenRect(CellPos cell) const = 0;
    virtual QRect VisibleScreenRect() const = 0;

    // Where a click in a list of cells leads (errors, observations, the
    // cross-reference): the cell marked and brought to the third visible
    // row, drawn at once.
    void PointAt(CellPos cell);

    // Live mode: colours and values instead of the editing highlights; the
    // mouse and keys edit nothing.
    virtual void SetLiveMode(bool live) = 0;
    // Every element black, as a new live run starts.
    virtual void ClearLiveColours() = 0;
    // After a poll cycle: takes the new bytes, recolours the elements and
    // repaints only what changed. False when a cell holds an unknown element.
    virtual bool RefreshLive(const LiveImageSnapshot& image) = 0;
    // The operands the last live paint listed, ended by -1.
    virtual const MonitoredOperandList& monitoredOperands() const = 0;
    // Called after each live paint that listed the operands anew; one
    // listener at a time, none with an empty function.
    virtual void OnOperandsListed(std::function<void()> listener) = 0;
};

}  // namespace velmorin
