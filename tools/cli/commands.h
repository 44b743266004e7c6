#pragma once
// Sub-commands of velmorin-cli. Each returns the process exit status:
// 0 done, 1 refused file, errors or a failed exchange, 2 usage.
#include <string>
#include <vector>

namespace velmorin::cli {

using Args = std::vector<std::string>;  // the words after the sub-command

// "FILE: MESSAGE (DETAIL)\n": the fixed text the editor would show, then what
// the editor puts on the detail line (the file and the system's reason).
inline std::string ErrorLine(const std::string& file, const std::string& message, const std::string& detail) {
    std::string line = file + ": " + message;
    if (!detail.empty() && detail != file) line += " (" + detail + ")";
    return line + "\n";
}

int RunShow(const Args& args);
int RunCompile(const Args& args);
int RunDump(const Args& args);
// What a program uses where, the editor's observations, the operand names.
int RunXref(const Args& args);
int RunCheck(const Args& args);
int RunAliases(const Args& args);
int RunDecompile(const Args& args);
// The controller link (link_options.h has their shared options).
int RunSend(const Args& args);
int RunExtract(const Args& args);
int RunVerify(const Args& args);
int RunRun(const Args& args);
int RunStop(const Args& args);
int RunResetCounters(const Args& args);
int RunRom(const Args& args);
// The variable monitor's polling and sending.
int RunWatch(const Args& args);
int RunWrite(const Args& args);

}  // namespace velmorin::cli
