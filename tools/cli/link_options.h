#pragma once
// What the controller commands of velmorin-cli share: opening the port
// --port names, the program a send or a verify takes from a file, and
// failures reported as the dialogs report them.
#include <memory>
#include <string>

#include "commands.h"
#include "compiler/program_image.h"
#include "link/termios_link.h"
#include "model/result.h"

namespace velmorin::cli {

// The port of --port: a device path opens as port 0, COM1..COM4 (any case)
// as its own index with the device of VELMORIN_COMn or /dev/ttySn.
struct PortChoice {
    std::unique_ptr<TermiosLink> link;
    int port = 0;
};
PortChoice ChoosePort(const std::string& port);

// The program of a .bld file as the send dialog reads it, or of a .ldr
// compiled in memory; a refused file or a program with errors prints the
// reason (and the diagnostics) on standard error and gives nothing.
std::unique_ptr<CodeImage> LoadProgram(const std::string& path);

// A failure as the dialogs report it, on standard error: the fixed message,
// then what the box shows on its second line (the device or the file and
// the system's reason) in parentheses. Returns ExitFailed.
int Fail(const std::string& message, const std::string& detail = {});
int Fail(const Result& failure);

}  // namespace velmorin::cli
