#pragma once
// Runs the compiler over a test diagram in memory and reads back what it made.
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/diagnostics.h"
#include "test_diagram.h"

namespace velmorin::testing {

struct Compiled {
    CompileOutput output;
    bool started = false;

    // The listing's instruction lines without their indent and trailing
    // blank, in code order: "ld e1", "out s1".
    std::vector<std::string> Instructions() const;
    // The image bytes 0..codeLength.
    std::vector<int> Code() const;
    std::vector<DiagnosticEntry> Diagnostics() const;
    std::vector<int> Keys() const;
};

Compiled CompileInMemory(const ProgramModel& model);

}  // namespace velmorin::testing

namespace velmorin {
void PrintTo(const DiagnosticEntry& e, std::ostream* os);
}  // namespace velmorin
