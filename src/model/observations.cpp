#include "model/observations.h"

#include <cstdio>

#include "model/observation_messages.h"
#include "model/operand_areas.h"

namespace velmorin {
namespace {

constexpr const OperandArea& OutputArea = VariableAreas[1];
// Counter outputs up to the fast fixed timers: each is the output of exactly one box.
constexpr const OperandArea& FirstBoxArea = VariableAreas[4];
constexpr const OperandArea& LastBoxArea = VariableAreas[8];

bool IsBoxOutput(int32_t index) { return index >= FirstBoxArea.first && index <= LastBoxArea.last; }

// Only the program drives these: an output or a box output that nothing
// writes stays off, whereas an input or a variable may be set from outside.
bool IsDrivenOnlyByProgram(int32_t index) {
    return (index >= OutputArea.first && index <= OutputArea.last) || IsBoxOutput(index);
}

template <typename Keep>
std::vector<OperandUse> UsesWhere(const OperandReference& operand, Keep keep) {
    std::vector<OperandUse> kept;
    for (const OperandUse& use : operand.uses)
        if (keep(use)) kept.push_back(use);
    return kept;
}

bool Writes(const OperandUse& use, int32_t element) {
    return use.role == OperandRole::Writes && use.element == element;
}

std::string Format(const char* format, const std::string& operand, size_t count = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, operand.c_str(), static_cast<int>(count));
    return text;
}

void Add(std::vector<Observation>& out, ObservationKind kind, const OperandReference& operand, std::string text,
         std::vector<OperandUse> cells) {
    out.push_back({kind, operand.index, std::move(text), std::move(cells)});
}

}  // namespace

const char* ObservationKey(ObservationKind kind) {
    switch (kind) {
        case ObservationKind::DuplicateCoil:
            return "duplicate-coil";
        case ObservationKind::SetWithoutReset:
            return "set-without-reset";
        case ObservationKind::ResetWithoutSet:
            return "reset-without-set";
        case ObservationKind::SharedTimerCounter:
            return "shared-timer-counter";
        case ObservationKind::OutputNeverWritten:
            return "output-never-written";
    }
    return "";
}

std::vector<Observation> FindObservations(const CrossReference& xref) {
    std::vector<Observation> found;
    for (const OperandReference& operand : xref.operands) {
        const std::string label = OperandLabel(operand);
        std::vector<OperandUse> coils = UsesWhere(operand, [](const OperandUse& u) { return Writes(u, ElementOut); });
        if (coils.size() > 1) {
            std::string text = Format(msg::DuplicateCoil, label, coils.size());
            Add(found, ObservationKind::DuplicateCoil, operand, std::move(text), std::move(coils));
        }
        std::vector<OperandUse> sets = UsesWhere(operand, [](const OperandUse& u) { return Writes(u, ElementSet); });
        std::vector<OperandUse> resets = UsesWhere(operand, [](const OperandUse& u) { return Writes(u, ElementRst); });
        if (!sets.empty() && resets.empty())
            Add(found, ObservationKind::SetWithoutReset, operand, Format(msg::SetWithoutReset, label), std::move(sets));
        if (!resets.empty() && sets.empty())
            Add(found, ObservationKind::ResetWithoutSet, operand, Format(msg::ResetWithoutSet, label),
                std::move(resets));
        if (IsBoxOutput(operand.index)) {
            std::vector<OperandUse> boxes =
                UsesWhere(operand, [](const OperandUse& u) { return u.role == OperandRole::Writes; });
            if (boxes.size() > 1) {
                std::string text = Format(msg::SharedTimerCounter, label, boxes.size());
                Add(found, ObservationKind::SharedTimerCounter, operand, std::move(text), std::move(boxes));
            }
        }
        if (IsDrivenOnlyByProgram(operand.index)) {
            std::vector<OperandUse> reads =
                UsesWhere(operand, [](const OperandUse& u) { return u.role == OperandRole::Reads; });
            const bool written =
                !UsesWhere(operand, [](const OperandUse& u) { return u.role == OperandRole::Writes; }).empty();
            if (!reads.empty() && !written)
                Add(found, ObservationKind::OutputNeverWritten, operand, Format(msg::OutputNeverWritten, label),
                    std::move(reads));
        }
    }
    return found;
}

std::vector<Observation> FindObservations(const ProgramModel& model) {
    return FindObservations(BuildCrossReference(model));
}

}  // namespace velmorin
