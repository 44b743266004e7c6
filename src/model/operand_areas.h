#pragma once
// The controller's variable space, divided into named areas.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace velmorin {

struct OperandArea {
    int32_t id;  // -1 ends a table
    int32_t first;
    int32_t last;
    const char* format;  // one printf decimal field
    int32_t count;
    const char* caption;  // UTF-8
};

// Operands and aliases: ids 0..8 and the end row.
extern const std::array<OperandArea, 10> VariableAreas;
// Monitor: ids 0..10 (adding counter and timer count states) and the end row.
extern const std::array<OperandArea, 12> MonitorAreas;

constexpr int32_t FirstCountState = 92;  // monitor index of CntE1

// The formatted name of a variable or monitor index as its area spells it
// ("Cnt1", "v01", "CntE1"); empty when no area holds the index.
std::string FormatOperandName(std::span<const OperandArea> areaTable, int32_t index);

// Monitor index of the count state of a counter or timer output (index >= 76).
inline int32_t CountStateIndex(int32_t variableIndex) { return 92 + 2 * (variableIndex - 76); }

}  // namespace velmorin
