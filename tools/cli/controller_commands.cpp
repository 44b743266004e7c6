// velmorin-cli run / stop / reset-counters / rom: the command panel's
// buttons, from a terminal.
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "link/exchanges.h"
#include "link/link_messages.h"
#include "link_options.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const char* const NoAnswer = "The controller does not answer: status 0 means the command was sent.";

const CommandText RunText{
    "run",
    "",
    "start the controller's program (--all: every controller)",
    "run [--mode total|variables|keep] --port DEV|COM1..COM4 [--id N | --all]",
    "Starts the controller's program.",
    NoAnswer,
};

const CommandText StopText{
    "stop",
    "",
    "stop the controller's program",
    "stop [--outputs-off] --port DEV|COM1..COM4 [--id N | --all]",
    "Stops the controller's program.",
    NoAnswer,
};

const CommandText ResetText{
    "reset-counters",
    "",
    "reset the controller's counters",
    "reset-counters --port DEV|COM1..COM4 [--id N | --all]",
    "Resets the controller's counters.",
    NoAnswer,
};

const CommandText RomText{
    "rom",
    "",
    "print the controller's ROM version",
    "rom --port DEV|COM1..COM4 [--id N] [--json]",
    "Prints the controller's ROM version (four characters), or ERROR! on\n"
    "standard error after ten attempts without reply (the job failed).",
};

struct Options {
    std::string port;
    std::optional<uint8_t> id;
    bool all = false;
    std::string mode = "keep";
    bool outputsOff = false;
    bool json = false;
};

const char* const IdHelp = "the controller addressed, 1..255 (default 1)";

// The options of the three commands sent to one controller or to all.
std::shared_ptr<Options> AddPanelOptions(CLI::App& app) {
    auto o = std::make_shared<Options>();
    AddPortOption(app, o->port);
    CLI::Option* id = AddIdOption(app, o->id, IdHelp);
    CLI::Option* all = AddFlag(app, "--all", o->all, "every controller on the line (identifier 0)");
    id->excludes(all);
    return o;
}

// One frame, written and let go: the port is closed only once it has left.
int SendCommand(const Options& o, const CommandFrame& frame) {
    PortChoice port = ChoosePort(o.port);
    if (port.link->OpenPort(port.port) != 1) return Fail(LinkFailure(port.link->LastError()));
    SystemClock clock;
    const bool written = SendWithoutReply({*port.link, clock, port.port}, frame);
    const LinkError error = port.link->LastError();
    port.link->ClosePort(port.port);
    return written ? ExitDone : Fail(LinkFailure(error));
}

uint8_t Target(const Options& o) { return o.all ? AllControllers : o.id.value_or(1); }

RunMode ModeOf(const std::string& mode) {
    if (mode == "total") return RunMode::ResetTotal;
    if (mode == "variables") return RunMode::ResetVariables;
    return RunMode::KeepVariables;
}

}  // namespace

Command AddRun(CLI::App& root) {
    CLI::App* app = AddCommand(root, RunText);
    auto o = AddPanelOptions(*app);
    app->add_option("--mode", o->mode,
                    "total resets every variable (\"Reset Total\"),\n"
                    "variables all but the retentive ones (\"Reset\n"
                    "Variables\"), keep none (\"Mantiene Variables\", the\n"
                    "default)")
        ->option_text("total|variables|keep")
        ->check(CLI::Validator(
            [](std::string& text) {
                return text == "total" || text == "variables" || text == "keep" ? std::string()
                                                                                : "needs total, variables or keep";
            },
            ""));
    return {app, [o] { return SendCommand(*o, RunProgramFrame(Target(*o), ModeOf(o->mode))); }};
}

Command AddStop(CLI::App& root) {
    CLI::App* app = AddCommand(root, StopText);
    auto o = AddPanelOptions(*app);
    AddFlag(*app, "--outputs-off", o->outputsOff, "switch every output off as well (\"Apaga Salidas\")");
    return {app, [o] { return SendCommand(*o, StopProgramFrame(Target(*o), o->outputsOff)); }};
}

Command AddResetCounters(CLI::App& root) {
    CLI::App* app = AddCommand(root, ResetText);
    auto o = AddPanelOptions(*app);
    return {app, [o] { return SendCommand(*o, ResetCountersFrame(Target(*o))); }};
}

Command AddRom(CLI::App& root) {
    CLI::App* app = AddCommand(root, RomText);
    auto o = std::make_shared<Options>();
    AddPortOption(*app, o->port);
    AddIdOption(*app, o->id, IdHelp);
    AddJsonFlag(*app, o->json, "the identifier and the version as JSON");
    return {app, [o] {
                PortChoice port = ChoosePort(o->port);
                if (port.link->OpenPort(port.port) != 1) return Fail(LinkFailure(port.link->LastError()));
                SystemClock clock;
                const uint8_t id = o->id.value_or(1);
                const RomOutcome rom = ReadRomVersion({*port.link, clock, port.port}, id);
                port.link->ClosePort(port.port);
                if (!rom.answered) return Fail(rom.text);
                if (o->json)
                    std::printf("%s\n", json{{"id", id}, {"rom", rom.text}}.dump().c_str());
                else
                    std::printf("%s\n", rom.text.c_str());
                return std::fflush(stdout) == 0 ? ExitDone : ExitFailed;
            }};
}

}  // namespace velmorin::cli
