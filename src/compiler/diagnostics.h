#pragma once
// Compiler diagnostics are data: a key into one fixed catalogue plus the grid
// position of the element. The error list and the command-line tool turn them
// into text with the same functions.
#include <array>
#include <cstdint>
#include <string>

#include "model/ladder_model.h"

namespace velmorin {

enum DiagnosticKey : int32_t {
    DiagUndefinedLabel = 0,
    DiagShortCircuit = 1,
    DiagUnresolvedBranch = 2,
    DiagInvalidBranchStart = 3,
    DiagMissingTimerLink = 4,
    DiagUndefinedAccumulator = 5,
    DiagInvalidCombination = 6,
    DiagTooManyErrors = 7,
    DiagOutOfMemory = 8,
    DiagTimerUnresolved = 9,
    DiagBranchJoinFailed = 10,
    DiagBadLabel = 11,
    DiagCallWithoutReturn = 12,
    DiagNestingOverflow = 13,
    DiagLastInstruction = 14,
    DiagReverseFlow = 15,
    DiagTooManyBranches = 16,
};

constexpr int32_t DiagnosticKeyCount = 17;
constexpr int32_t DiagnosticCapacity = 500;

struct DiagnosticText {
    const char* text;  // UTF-8
    bool isError;
};

extern const std::array<DiagnosticText, DiagnosticKeyCount> DiagnosticCatalogue;

// The catalogue text of a key; empty for a key outside the catalogue.
std::string DiagnosticMessage(int32_t key);

struct DiagnosticEntry {
    int32_t key;
    int32_t column;
    int32_t row;
    bool operator==(const DiagnosticEntry&) const = default;
};

// The diagnostics of one compilation, in order of raising, with the two
// counters. Duplicates are neither stored nor counted; once the list is full
// the counters keep counting.
class DiagnosticList {
public:
    void Reset();
    // 0 when the list is full (the diagnostic was still counted), else 1.
    int Raise(int32_t key, int32_t column, int32_t row);

    int32_t errorCount() const { return errorCount_; }
    int32_t warningCount() const { return warningCount_; }
    int32_t size() const { return size_; }
    const DiagnosticEntry& at(int32_t index) const { return entries_[index]; }

private:
    std::array<DiagnosticEntry, DiagnosticCapacity> entries_;  // read only below size_
    int32_t size_ = 0;
    int32_t errorCount_ = 0;
    int32_t warningCount_ = 0;
};

// The label name, row within the block and column the error list shows for a
// grid position: rows 1..4 of block k read "ETQ(k+1) Y1..Y4"; row 0 reads as
// label 0, row 0.
struct DiagnosticPlace {
    int32_t label;
    int32_t rowInBlock;
    int32_t column;
};
DiagnosticPlace PlaceOf(int32_t column, int32_t row);

// "ETQ02 Y4 X3: Error: No se pudo unir el ramal"
std::string FormatDiagnosticLine(const ProgramModel& model, const DiagnosticEntry& entry);

// "2 errores, 1 warning": the counts of a compilation, each word singular
// for exactly one ("warning" is the compile dialog's own word).
std::string FormatCompileTotals(int errors, int warnings);
// The totals and the code size: "0 errores, 1 warning, 5 bytes".
std::string FormatCompileTotals(int errors, int warnings, int codeBytes);

}  // namespace velmorin
