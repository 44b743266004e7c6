// velmorin-cli run / stop / reset-counters / rom: the command panel's
// buttons, from a terminal.
#include <cstdio>
#include <string>

#include "link/exchanges.h"
#include "link/link_messages.h"
#include "link_options.h"

namespace velmorin::cli {
namespace {

const char* const RunUsage =
    "usage: velmorin-cli run [--mode total|variables|keep] --port DEV|COM1..COM4 [--id N | --all]\n"
    "  Starts the controller's program: total resets every variable\n"
    "  (\"Reset Total\"), variables all but the retentive ones (\"Reset\n"
    "  Variables\"), keep none (\"Mantiene Variables\", the default).\n"
    "  --id N  the controller addressed (default 1); --all every controller.\n"
    "  The controller does not answer: exit 0 means the command was sent.\n";

const char* const StopUsage =
    "usage: velmorin-cli stop [--outputs-off] --port DEV|COM1..COM4 [--id N | --all]\n"
    "  Stops the controller's program; --outputs-off also switches every\n"
    "  output off (\"Apaga Salidas\").\n"
    "  The controller does not answer: exit 0 means the command was sent.\n";

const char* const ResetUsage =
    "usage: velmorin-cli reset-counters --port DEV|COM1..COM4 [--id N | --all]\n"
    "  Resets the controller's counters.\n"
    "  The controller does not answer: exit 0 means the command was sent.\n";

const char* const RomUsage =
    "usage: velmorin-cli rom --port DEV|COM1..COM4 [--id N]\n"
    "  Prints the controller's ROM version (four characters), or ERROR! on\n"
    "  standard error after ten attempts without reply (exit 1).\n";

// One frame, written and let go: the port is closed only once it has left.
int SendCommand(const LinkOptions& o, CommandFrame (*build)(uint8_t id, const LinkOptions& o)) {
    PortChoice port = ChoosePort(o.port);
    if (port.link->OpenPort(port.port) != 1) return Fail(LinkFailure(port.link->LastError()));
    SystemClock clock;
    const uint8_t id = o.all ? AllControllers : o.id.value_or(1);
    const bool written = SendWithoutReply({*port.link, clock, port.port}, build(id, o));
    const LinkError error = port.link->LastError();
    port.link->ClosePort(port.port);
    return written ? 0 : Fail(LinkFailure(error));
}

RunMode ModeOf(const std::string& mode) {
    if (mode == "total") return RunMode::ResetTotal;
    if (mode == "variables") return RunMode::ResetVariables;
    return RunMode::KeepVariables;
}

}  // namespace

int RunRun(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("run", args, "--port --id --all --mode", 0, RunUsage);
    if (!parsed.options) return parsed.status;
    return SendCommand(*parsed.options,
                       [](uint8_t id, const LinkOptions& o) { return RunProgramFrame(id, ModeOf(o.mode)); });
}

int RunStop(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("stop", args, "--port --id --all --outputs-off", 0, StopUsage);
    if (!parsed.options) return parsed.status;
    return SendCommand(*parsed.options,
                       [](uint8_t id, const LinkOptions& o) { return StopProgramFrame(id, o.outputsOff); });
}

int RunResetCounters(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("reset-counters", args, "--port --id --all", 0, ResetUsage);
    if (!parsed.options) return parsed.status;
    return SendCommand(*parsed.options, [](uint8_t id, const LinkOptions&) { return ResetCountersFrame(id); });
}

int RunRom(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("rom", args, "--port --id", 0, RomUsage);
    if (!parsed.options) return parsed.status;
    const LinkOptions& o = *parsed.options;
    PortChoice port = ChoosePort(o.port);
    if (port.link->OpenPort(port.port) != 1) return Fail(LinkFailure(port.link->LastError()));
    SystemClock clock;
    const RomOutcome rom = ReadRomVersion({*port.link, clock, port.port}, o.id.value_or(1));
    port.link->ClosePort(port.port);
    if (!rom.answered) return Fail(rom.text);
    std::printf("%s\n", rom.text.c_str());
    return 0;
}

}  // namespace velmorin::cli
