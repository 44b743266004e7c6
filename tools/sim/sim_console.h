#pragma once
// The simulator's command interface, one line at a time (standard input or
// the FIFO): set memory, switch inputs, choose faults, print the state.
#include <string>

#include "sim_controller.h"

namespace velmorin::sim {

struct ConsoleResult {
    std::string output;  // lines to print; the last is "ok" or "error: ..."
    bool quit = false;
};

ConsoleResult Execute(Controller& controller, const std::string& line);

extern const char* const ConsoleHelp;

}  // namespace velmorin::sim
