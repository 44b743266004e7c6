#pragma once
// What the error list shows and where a click on one of its rows leads: the
// five texts of each diagnostic, the grid cell it points at and the row the
// diagram scrolls to so that the cell shows. The dialog only draws these.
#include <string>
#include <vector>

#include "compiler/diagnostics.h"
#include "model/ladder_model.h"
#include "model/observations.h"

namespace velmorin {

struct ErrorListRow {
    std::string number;       // "000", "001", ...
    std::string block;        // the name of the block's label
    std::string rowInBlock;   // " 4"
    std::string column;       // " 3"
    std::string description;  // the catalogue text, UTF-8
    int gridRow = 0;          // the item's data: where a click leads
    bool operator==(const ErrorListRow&) const = default;
};

// One row per diagnostic, in the order given.
std::vector<ErrorListRow> ErrorListRows(const ProgramModel& model, const std::vector<DiagnosticEntry>& diagnostics);

// The program's observations in the same columns: one row for each cell an
// observation is about, numbered by the observation, so that every cell of a
// duplicate coil can be reached with a click.
std::vector<ErrorListRow> ObservationRows(const ProgramModel& model, const std::vector<Observation>& observations);

// The cell marked after a click and the first visible row that shows it as
// the third visible row (row 0 near the top).
struct ErrorListTarget {
    int row = -1;
    int column = -1;
    int topRow = 0;
    bool operator==(const ErrorListTarget&) const = default;
};
ErrorListTarget TargetOf(int gridRow, int column);

}  // namespace velmorin
