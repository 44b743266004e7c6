#pragma once
// Faults a compilation accepts but a technician wants to hear about: two
// coils fighting over one output, a latch that is never released, a timer
// number given to two boxes, an output that is read and never driven. They
// are the editor's own remarks, kept apart from the compiler's diagnostics:
// they change no listing, no image and no exit status of a compilation.
#include <cstdint>
#include <string>
#include <vector>

#include "model/cross_reference.h"
#include "model/ladder_model.h"

namespace velmorin {

enum class ObservationKind : int32_t {
    DuplicateCoil,       // one operand written by more than one `out`
    SetWithoutReset,     // `set` of an operand no `rst` clears
    ResetWithoutSet,     // `rst` of an operand no `set` sets
    SharedTimerCounter,  // one timer or counter number on two boxes
    OutputNeverWritten,  // an output read but written by no element
};

// A short stable name for machines ("duplicate-coil", ...).
const char* ObservationKey(ObservationKind kind);

struct Observation {
    ObservationKind kind;
    int32_t operand = 0;            // variable index
    std::string text;               // the remark, UTF-8
    std::vector<OperandUse> cells;  // the cells it is about, grid order
    bool operator==(const Observation&) const = default;
};

// In ascending operand order, and for one operand in the order of the kinds.
std::vector<Observation> FindObservations(const CrossReference& xref);
std::vector<Observation> FindObservations(const ProgramModel& model);

}  // namespace velmorin
