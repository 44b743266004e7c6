#include "compile_helpers.h"

#include <ostream>
#include <sstream>

namespace velmorin {

void PrintTo(const DiagnosticEntry& e, std::ostream* os) {
    *os << "{key " << e.key << ", column " << e.column << ", row " << e.row << "}";
}

}  // namespace velmorin

namespace velmorin::testing {

Compiled CompileInMemory(ProgramModel& model) {
    Compiled c;
    c.started = c.compiler->Prepare(model, "") == PrepareOutcome::Started;
    if (c.started) c.compiler->Run(model, CompileCallbacks{}, ImageDate{6, 11, 2026});
    return c;
}

std::vector<std::string> Compiled::Instructions() const {
    std::vector<std::string> lines;
    std::istringstream in(compiler->listingText());
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
    return std::vector<int>(compiler->imageBytes(), compiler->imageBytes() + compiler->codeLength());
}

std::vector<DiagnosticEntry> Compiled::Diagnostics() const {
    std::vector<DiagnosticEntry> out;
    for (int i = 0; i < compiler->diagnosticCount(); ++i) {
        const Compiler::Diagnostic d = compiler->diagnostic(i);
        out.push_back({d.key, d.column, d.row});
    }
    return out;
}

std::vector<int> Compiled::Keys() const {
    std::vector<int> keys;
    for (const DiagnosticEntry& d : Diagnostics()) keys.push_back(d.key);
    return keys;
}

}  // namespace velmorin::testing
