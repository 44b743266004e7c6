#include "compile_helpers.h"

#include <ostream>
#include <sstream>

namespace velmorin {

void PrintTo(const DiagnosticEntry& e, std::ostream* os) {
    *os << "{key " << e.key << ", column " << e.column << ", row " << e.row << "}";
}

}  // namespace velmorin

namespace velmorin::testing {

Compiled CompileInMemory(const ProgramModel& model) {
    Compiled c;
    c.output = Compile(model);
    c.started = !c.output.nothingToCompile;
    return c;
}

std::vector<std::string> Compiled::Instructions() const {
    std::vector<std::string> lines;
    std::istringstream in(output.listing);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("BINARY", 0) == 0) break;
        if (line.rfind("     ", 0) != 0) continue;
        line.erase(0, 5);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<int> Compiled::Code() const {
    return std::vector<int>(output.image.bytes.begin(), output.image.bytes.begin() + output.image.codeLength);
}

std::vector<DiagnosticEntry> Compiled::Diagnostics() const { return output.diagnostics; }

std::vector<int> Compiled::Keys() const {
    std::vector<int> keys;
    for (const DiagnosticEntry& d : Diagnostics()) keys.push_back(d.key);
    return keys;
}

}  // namespace velmorin::testing
