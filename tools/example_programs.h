#pragma once
// The example programs of examples/, built through the model: the
// make-examples tool writes them, and the tests take them as programs a
// person drew.
#include <string_view>
#include <vector>

#include "model/ladder_model.h"

namespace velmorin::examples {

// Variable indices of the operands the examples use.
constexpr int E1 = 0, E2 = 1, E3 = 2;
constexpr int S1 = 8, S2 = 9;
constexpr int Cnt1 = 76;
constexpr int Tp1 = 86;

class Program {
public:
    Program() { ResetModel(model_); }

    // An element cell; operands are given in catalogue order, indices for
    // variables and labels, texts for numbers and times.
    LadderCell& Element(int row, int column, int element) {
        LadderCell& cell = model_.grid.at(row, column);
        cell.element = element;
        cell.shape = CatalogueEntryFor(element).cellKind;
        return cell;
    }
    Program& Index(int row, int column, int param, int index) {
        ParamSlot& slot = model_.grid.at(row, column).params[static_cast<size_t>(param)];
        slot[0] = static_cast<uint8_t>(index);
        slot[1] = 0;
        return *this;
    }
    Program& Text(int row, int column, int param, std::string_view text) {
        SetSlotText(model_.grid.at(row, column).params[static_cast<size_t>(param)], text);
        return *this;
    }
    // A contact or coil with its one variable.
    Program& Contact(int row, int column, int element, int variable) {
        Element(row, column, element);
        return Index(row, column, 0, variable);
    }
    Program& Shape(int row, int column, int shape) {
        model_.grid.at(row, column).shape = shape;
        return *this;
    }
    // Horizontal wire over the columns first..last of a row.
    Program& Wire(int row, int first, int last) {
        for (int column = first; column <= last; ++column) Shape(row, column, KindHorizontal);
        return *this;
    }
    // The block's closing rung: the end element straight off the left rail.
    Program& End(int block) {
        Element(BlockFirstRow(block), 1, ElementEnd);
        return *this;
    }
    Program& Alias(int index, std::string_view alias) {
        SetFieldText(model_.aliases[static_cast<size_t>(index)].alias, alias);
        return *this;
    }
    Program& LabelAlias(int label, std::string_view alias) {
        SetFieldText(model_.labels[static_cast<size_t>(label)].alias, alias);
        return *this;
    }
    const ProgramModel& model() const { return model_; }

private:
    ProgramModel model_;
};

// Start/stop latch: the motor runs from the start button and holds itself
// through its own contact until the stop button opens.
inline Program Latch() {
    Program p;
    p.Contact(1, 1, ElementLd, E1).Shape(1, 2, KindTeeLeftRightDown).Contact(1, 3, ElementLdn, E2);
    p.Wire(1, 4, 7).Contact(1, 8, ElementOut, S1);
    // The seal-in contact rejoins the rung between the two buttons.
    p.Contact(2, 1, ElementLd, S1).Shape(2, 2, KindCornerUpLeft);
    p.End(1);
    p.Alias(E1, "marcha").Alias(E2, "paro").Alias(S1, "motor");
    return p;
}

// Timer: the lamp lights 2.5 s after the switch closes.
inline Program Timer() {
    Program p;
    p.Contact(1, 1, ElementLd, E1).Wire(1, 2, 7);
    p.Element(1, 8, ElementTp);
    p.Index(1, 8, 0, Tp1).Text(1, 8, 1, "2.5");
    p.Contact(5, 1, ElementLd, Tp1).Wire(5, 2, 7).Contact(5, 8, ElementOut, S1);
    p.End(2);
    p.Alias(E1, "llave").Alias(Tp1, "retardo").Alias(S1, "l\xE1mpara");
    return p;
}

// Counter: pulses on e1 count, e2 resets; the output follows the counter.
inline Program Counter() {
    Program p;
    p.Contact(1, 1, ElementLd, E1).Wire(1, 2, 7);
    p.Element(1, 8, ElementCtv);
    p.Index(1, 8, 0, Cnt1);
    p.Contact(2, 1, ElementLd, E2).Wire(2, 2, 7).Shape(2, 8, KindBoxLowerHalf);
    p.Contact(5, 1, ElementLd, Cnt1).Wire(5, 2, 7).Contact(5, 8, ElementOut, S1);
    p.End(2);
    p.Alias(E1, "pulsos").Alias(E2, "borrar").Alias(Cnt1, "piezas").Alias(S1, "lleno");
    return p;
}

// Jump: while e1 is on, block 1 is skipped and s1 keeps its state.
inline Program Jump() {
    Program p;
    p.Contact(1, 1, ElementLd, E1).Wire(1, 2, 7);
    p.Element(1, 8, ElementJp1);
    p.Index(1, 8, 0, 2);
    p.Contact(5, 1, ElementLd, E2).Wire(5, 2, 7).Contact(5, 8, ElementOut, S1);
    p.Contact(9, 1, ElementLd, E3).Wire(9, 2, 7).Contact(9, 8, ElementOut, S2);
    p.End(3);
    p.Alias(E1, "saltar")
        .Alias(E2, "entrada")
        .Alias(E3, "siempre")
        .Alias(S1, "retenida")
        .Alias(S2,
               "se\xF1"
               "al");
    p.LabelAlias(2, "destino");
    return p;
}

struct Example {
    const char* name;  // the file name under examples/
    Program program;
};

inline std::vector<Example> ExamplePrograms() {
    return {{"latch.ldr", Latch()}, {"timer.ldr", Timer()}, {"counter.ldr", Counter()}, {"jump.ldr", Jump()}};
}

}  // namespace velmorin::examples
