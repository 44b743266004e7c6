// velmorin-cli: the headless face of the core (show, compile, dump).
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace {

const char* const Usage =
    "usage: velmorin-cli <command> [options]\n"
    "\n"
    "commands:\n"
    "  show FILE.ldr                     print a ladder source file as text\n"
    "  compile FILE.ldr [--date Y-M-D]   compile to FILE.prg and FILE.bld\n"
    "  dump FILE.bld                     list a binary image instruction by instruction\n"
    "\n"
    "Run 'velmorin-cli <command> --help' for a command's options.\n"
    "Exit status: 0 done, 1 refused file or compile errors, 2 usage error.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(Usage, stdout);
        return 0;
    }
    velmorin::cli::Args args(argv + 2, argv + argc);
    if (command == "show") return velmorin::cli::RunShow(args);
    if (command == "compile") return velmorin::cli::RunCompile(args);
    if (command == "dump") return velmorin::cli::RunDump(args);
    std::fprintf(stderr, "velmorin-cli: unknown command '%s'\n\n%s", command.c_str(), Usage);
    return 2;
}
