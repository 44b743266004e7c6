#include "compiler/program_budget.h"

#include <bitset>

#include "compiler/compiler.h"
#include "compiler/error_list.h"
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
OperandSet OperandsNamed(const Compiler& compiler) {
    OperandSet named;
    const uint8_t* bytes = compiler.imageBytes();
    const int32_t end = compiler.codeLength();
    const bool final = compiler.hasFinalImage();
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

BudgetMeter::BudgetMeter() : compiler_(std::make_unique<Compiler>()), scratch_(std::make_unique<ProgramModel>()) {}
BudgetMeter::~BudgetMeter() = default;

const ProgramBudget& BudgetMeter::Measure(const ProgramModel& model) {
    // The compilation marks labels and fills in code addresses: never on the document's own model.
    *scratch_ = model;
    last_ = ProgramBudget{};
    // An empty source path: nothing is written, not even a listing.
    if (compiler_->Prepare(*scratch_, std::string()) != PrepareOutcome::Started) return last_;
    compiler_->Run(*scratch_, CompileCallbacks{}, ImageDate{1, 0, 2000});

    last_.nothingToCompile = false;
    last_.codeBytes = compiler_->codeLength();
    last_.errors = compiler_->errorCount();
    last_.warnings = compiler_->warningCount();
    last_.diagnostics = DiagnosticsOf(*compiler_);
    const OperandSet named = OperandsNamed(*compiler_);
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
    return text;
}

}  // namespace velmorin
