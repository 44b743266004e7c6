#pragma once
// Where the program uses each operand and each jump label: the table behind
// the cross-reference window, find, the program's observations and
// `velmorin-cli xref`. Computed from the model alone, each time it is asked
// for (a few microseconds for a full grid), so it never goes stale.
#include <cstdint>
#include <string>
#include <vector>

#include "model/catalogue.h"
#include "model/ladder_model.h"

namespace velmorin {

// The role as the tables print it: "lee", "escribe", "salta" ("" for None).
const char* RoleText(OperandRole role);

// One operand of one element cell.
struct OperandUse {
    int32_t row = 0;     // grid row 1..96
    int32_t column = 0;  // X
    int32_t element = ElementNone;
    int32_t param = 0;  // 0-based parameter of the element
    OperandRole role = OperandRole::None;

    int32_t block() const { return BlockOfRow(row); }
    int32_t rowInBlock() const { return (row - 1) % BlockRows + 1; }  // Y
    bool operator==(const OperandUse&) const = default;
};

struct OperandReference {
    int32_t index = 0;             // variable index
    std::string name;              // memory name as the program shows it (E1, V12, CNT1); "#92" past the named ones
    std::string alias;             // UTF-8
    std::vector<OperandUse> uses;  // grid order
};

struct LabelReference {
    int32_t index = 0;              // label 0..24 (a damaged file may hold more)
    std::string name;               // ETQ01..ETQ25
    std::string alias;              // UTF-8
    std::vector<OperandUse> jumps;  // grid order
};

struct CrossReference {
    std::vector<OperandReference> operands;  // ascending index; only the operands the diagram uses
    std::vector<LabelReference> labels;      // ascending index; only the labels some jump reaches
};

// The element cells the compiler reads: rows 1..96, columns 0..8, a kind
// that holds an element (a two-row box counted once, at its upper half) and
// an element id of the catalogue. Operands not yet chosen are left out.
CrossReference BuildCrossReference(const ProgramModel& model);

// "ETQ03 Y2 X5", as the error list and the compiler's report name a cell.
std::string PlaceText(const ProgramModel& model, int32_t row, int32_t column);

// The memory name, then the alias in brackets when the user gave one
// ("S3 (motor)"; "S3" while the alias is still the default "s3").
std::string OperandLabel(const OperandReference& operand);

}  // namespace velmorin
