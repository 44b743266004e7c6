#include "compiler/error_list.h"

#include <algorithm>

#include "compiler/numbers.h"

namespace velmorin {

namespace {

// " %01d": one leading space, no padding beyond the digits.
std::string SpacedNumber(int value) {
    std::string text = " ";
    AppendDecimal(text, value);
    return text;
}

}  // namespace

namespace {

std::string BlockName(const ProgramModel& model, int label) {
    // A damaged position names no label rather than reading past the table.
    if (label < 0 || label >= LabelCount) return {};
    return FieldText(model.labels[static_cast<size_t>(label)].name);
}

}  // namespace

std::vector<ErrorListRow> ErrorListRows(const ProgramModel& model, const std::vector<DiagnosticEntry>& diagnostics) {
    std::vector<ErrorListRow> rows;
    rows.reserve(diagnostics.size());
    for (size_t i = 0; i < diagnostics.size(); ++i) {
        const DiagnosticEntry& entry = diagnostics[i];
        const DiagnosticPlace place = PlaceOf(entry.column, entry.row);
        ErrorListRow row;
        AppendZeroPadded(row.number, static_cast<int64_t>(i), 3);
        row.block = BlockName(model, place.label);
        row.rowInBlock = SpacedNumber(place.rowInBlock);
        row.column = SpacedNumber(place.column);
        row.description = DiagnosticMessage(entry.key);
        row.gridRow = entry.row;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ErrorListRow> ObservationRows(const ProgramModel& model, const std::vector<Observation>& observations) {
    std::vector<ErrorListRow> rows;
    for (size_t i = 0; i < observations.size(); ++i) {
        for (const OperandUse& cell : observations[i].cells) {
            ErrorListRow row;
            AppendZeroPadded(row.number, static_cast<int64_t>(i), 3);
            row.block = BlockName(model, cell.block());
            row.rowInBlock = SpacedNumber(cell.rowInBlock());
            row.column = SpacedNumber(cell.column);
            row.description = observations[i].text;
            row.gridRow = cell.row;
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

ErrorListTarget TargetOf(int gridRow, int column) {
    // Two rows above the marked one stay in view; the first rows cannot scroll that far.
    return {gridRow, column, std::max(0, gridRow - 2)};
}

}  // namespace velmorin
