#pragma once
// A ladder program as plain text, for terminals and for diffs of *.ldr files.
#include <string>

#include "model/ladder_model.h"

namespace velmorin {

// Block by block (blocks holding nothing but their rails are left out): the
// block's label, a picture of its rows with box-drawing wires and a letter
// for every element cell, then one line per lettered cell with its position,
// the upper-case mnemonic and the operand texts; last the operands used with
// their memory names. Aliases are converted from Windows-1252 to UTF-8.
std::string FormatDiagramText(const ProgramModel& model);

}  // namespace velmorin
