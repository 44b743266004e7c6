#include "compiler/program_budget.h"

#include <bitset>
#include <utility>

#include "compiler/compiler.h"
#include "compiler/instruction_set.h"
#include "compiler/numbers.h"
#include "model/operand_areas.h"

namespace velmorin {

namespace {

// The operand areas of counter outputs and of the four kinds of timer output.
constexpr size_t CounterArea = 4;
constexpr size_t FirstTimerArea = 5;
constexpr size_t LastTimerArea = 8;

using OperandSet = std::bitset<256>;

// Every variable operand of the instructions in the image. A finished image
// holds opcodes; one left by errors still holds element ids, and its label
// operands are not code addresses yet (they are not variables either way).
OperandSet OperandsNamed(const CompileOutput& output) {
    OperandSet named;
    const uint8_t* bytes = output.image.bytes.data();
    const int32_t end = output.image.codeLength;
    const bool final = output.finalImage;
    for (int32_t offset = 0; offset < end;) {
        const int32_t firstOperand = offset + 1 < end ? bytes[offset + 1] : -1;
        const int32_t element = final ? ElementForOpcode(bytes[offset], firstOperand) : bytes[offset];
        // Emission writes only known elements; anything else ends the walk rather than guessing lengths.
        if (EntryOrNull(element) == nullptr) break;
        const Instruction ins = DecodeAt(bytes, offset, end, element);
        for (int32_t n = 0; n < ins.operandCount; ++n) {
            const Operand& op = ins.operands[n];
            if (op.kind == ParamKind::Variable) named.set(static_cast<size_t>((op.value + op.base) & 0xFF));
        }
        offset += ins.length;
    }
    return named;
}

int CountIn(const OperandSet& named, int32_t first, int32_t last) {
    int count = 0;
    for (int32_t index = first; index <= last; ++index) count += named.test(static_cast<size_t>(index)) ? 1 : 0;
    return count;
}

}  // namespace

const ProgramBudget& BudgetMeter::Measure(const ProgramModel& model) {
    last_ = ProgramBudget{};
    // A half-drawn program that compiles nothing yet can already hold a remark.
    last_.observations = FindObservations(model);
    // In memory: nothing is written, not even a listing.
    CompileOutput output = Compile(model);
    if (output.nothingToCompile) return last_;

    last_.nothingToCompile = false;
    last_.codeBytes = output.image.codeLength;
    last_.errors = output.errorCount;
    last_.warnings = output.warningCount;
    const OperandSet named = OperandsNamed(output);
    last_.diagnostics = std::move(output.diagnostics);
    last_.counters = CountIn(named, VariableAreas[CounterArea].first, VariableAreas[CounterArea].last);
    last_.timers = CountIn(named, VariableAreas[FirstTimerArea].first, VariableAreas[LastTimerArea].last);
    return last_;
}

ProgramBudget MeasureBudget(const ProgramModel& model) {
    BudgetMeter meter;
    return meter.Measure(model);
}

std::string BudgetText(const ProgramBudget& budget) {
    std::string text = "Código ";
    AppendDecimal(text, budget.codeBytes);
    text += '/';
    AppendDecimal(text, CodeBudgetBytes);
    text += " bytes · Temp. ";
    AppendDecimal(text, budget.timers);
    text += '/';
    AppendDecimal(text, TimerBudget);
    text += " · Cont. ";
    AppendDecimal(text, budget.counters);
    text += '/';
    AppendDecimal(text, CounterBudget);
    text += " · Errores ";
    AppendDecimal(text, budget.errors);
    text += " · Warnings ";
    AppendDecimal(text, budget.warnings);
    if (!budget.observations.empty()) {
        text += " · ";
        AppendDecimal(text, static_cast<int64_t>(budget.observations.size()));
        text += budget.observations.size() == 1 ? " observación" : " observaciones";
    }
    return text;
}

}  // namespace velmorin
