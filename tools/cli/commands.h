#pragma once
// The commands of velmorin-cli. Each adds itself to the parser with its
// options and returns what runs it; the run returns the exit status
// (command_line.h): 0 done, 1 the job failed, 2 usage.
#include <string>

#include "command_line.h"

namespace velmorin::cli {

// "FILE: MESSAGE (DETAIL)\n": the fixed text the editor would show, then what
// the editor puts on the detail line (the file and the system's reason).
inline std::string ErrorLine(const std::string& file, const std::string& message, const std::string& detail) {
    std::string line = file + ": " + message;
    if (!detail.empty() && detail != file) line += " (" + detail + ")";
    return line + "\n";
}

// Files: a source as text, its compilation, an image listed.
Command AddShow(CLI::App& root);
Command AddCompile(CLI::App& root);
Command AddDump(CLI::App& root);
// The diagram of an image, recovered and checked by compiling it back.
Command AddDecompile(CLI::App& root);
// What a program uses where, the editor's observations, the operand names.
Command AddXref(CLI::App& root);
Command AddCheck(CLI::App& root);
Command AddAliases(CLI::App& root);
// The controller link (link_options.h has what they share).
Command AddSend(CLI::App& root);
Command AddExtract(CLI::App& root);
Command AddVerify(CLI::App& root);
Command AddRun(CLI::App& root);
Command AddStop(CLI::App& root);
Command AddResetCounters(CLI::App& root);
Command AddRom(CLI::App& root);
Command AddScan(CLI::App& root);
// The variable monitor's polling and sending.
Command AddWatch(CLI::App& root);
Command AddWrite(CLI::App& root);

}  // namespace velmorin::cli
