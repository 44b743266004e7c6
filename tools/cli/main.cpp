// velmorin-cli: the headless face of the core: files (show, compile, dump,
// decompile, xref, check, aliases) and the controller link (send, extract,
// verify, run, stop, reset-counters, rom, watch, write).
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
    "  decompile IN.bld OUT.ldr          recover the diagram of an image as a source file\n"
    "  xref FILE.ldr [--json]            where each operand and label is used\n"
    "  check FILE.ldr [--json]           the editor's observations (duplicate coils, ...)\n"
    "  aliases FILE.ldr [--csv | --import NAMES.csv]\n"
    "                                    print the operand names, or take them from a table\n"
    "\n"
    "controller link (--port DEV|COM1..COM4, --id N; messages in Spanish on standard error):\n"
    "  send FILE.bld|FILE.ldr            download a program (a .ldr is compiled in memory)\n"
    "  extract OUT.bld                   upload the controller's program into a file\n"
    "  verify FILE.bld|FILE.ldr          compare the controller's program with a file\n"
    "  run | stop | reset-counters       start, stop, reset the counters (--all: every controller)\n"
    "  rom                               print the controller's ROM version\n"
    "  watch VAR... | --set FILE.mld     print the variables once per poll cycle (--csv, --cycles N)\n"
    "  write VAR=VALUE...                force variables in the controller's memory\n"
    "\n"
    "Run 'velmorin-cli <command> --help' for a command's options.\n"
    "Exit status: 0 done, 1 refused file, compile errors, observations, an image\n"
    "whose diagram could not be recovered or a failed exchange, 2 usage error.\n";

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
    if (command == "decompile") return velmorin::cli::RunDecompile(args);
    if (command == "xref") return velmorin::cli::RunXref(args);
    if (command == "check") return velmorin::cli::RunCheck(args);
    if (command == "aliases") return velmorin::cli::RunAliases(args);
    if (command == "send") return velmorin::cli::RunSend(args);
    if (command == "extract") return velmorin::cli::RunExtract(args);
    if (command == "verify") return velmorin::cli::RunVerify(args);
    if (command == "run") return velmorin::cli::RunRun(args);
    if (command == "stop") return velmorin::cli::RunStop(args);
    if (command == "reset-counters") return velmorin::cli::RunResetCounters(args);
    if (command == "rom") return velmorin::cli::RunRom(args);
    if (command == "watch") return velmorin::cli::RunWatch(args);
    if (command == "write") return velmorin::cli::RunWrite(args);
    std::fprintf(stderr, "velmorin-cli: unknown command '%s'\n\n%s", command.c_str(), Usage);
    return 2;
}
