// velmorin-cli: the headless face of the core: files (show, compile, dump,
// decompile, xref, check, aliases) and the controller link (send, extract, verify,
// run, stop, reset-counters, rom, scan, watch, write).
#include <vector>

#include "commands.h"

int main(int argc, char** argv) {
    using namespace velmorin::cli;
    CLI::App root;
    SetUpRoot(root, VELMORIN_VERSION);
    // In the order the list of commands shows them.
    const std::vector<Command> commands{
        AddShow(root),  AddCompile(root), AddDump(root),          AddDecompile(root), AddXref(root),
        AddCheck(root), AddAliases(root), AddSend(root),          AddExtract(root),   AddVerify(root),
        AddRun(root),   AddStop(root),    AddResetCounters(root), AddRom(root),       AddScan(root),
        AddWatch(root), AddWrite(root),   AddHelpCommand(root),
    };
    return RunCommandLine(root, commands, argc, argv);
}
