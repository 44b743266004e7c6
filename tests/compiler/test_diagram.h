#pragma once
// Diagrams for the compiler tests, drawn as text. A block is up to four rows
// of up to eight cells (columns 1..8), separated by blanks:
//   .            empty cell
//   ─ │ ┼ ┬ ┴ ├ ┤ ┌ ┐ └ ┘   wires (┬ is left-right-down, ┴ left-right-up)
//   #N           a cell of raw kind N
//   ld:e1        an element with its operands in catalogue order: operand
//                names (e1, s1, v01, cnt1, tp1, ...) or #N for variables,
//                @N for labels, texts for numbers and times
//   ctv:cnt1     elements whose kind is a two-row box take the upper half;
//   ▽            the lower half below it carries the same element
//   tp=3:tp1:2.5 the =K suffix puts the element on cell kind K
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "model/ladder_model.h"

namespace velmorin::testing {

class Diagram {
public:
    Diagram();
    // Draws rows of block k from its first row on.
    Diagram& Block(int block, std::initializer_list<std::string_view> rows);
    // Draws one grid row (columns 1..8).
    Diagram& Row(int row, std::string_view cells);
    Diagram& Alias(std::string_view operand, std::string_view alias);
    ProgramModel& model() { return *model_; }
    const ProgramModel& model() const { return *model_; }

private:
    void Cell(int row, int column, std::string_view token);
    std::unique_ptr<ProgramModel> model_;
};

// The variable index of an operand name ("e1", "cnt1", "#200").
int OperandIndex(const ProgramModel& model, std::string_view name);

}  // namespace velmorin::testing
