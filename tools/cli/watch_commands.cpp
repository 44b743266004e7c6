// velmorin-cli watch / write: the variable monitor's "Recibir PLC" and
// "Enviar PLC" from a terminal, for logging a machine or forcing a value
// from a script.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>

#include "link/link_messages.h"
#include "link/monitor_link.h"
#include "link/monitor_messages.h"
#include "link/monitor_watch.h"
#include "link_options.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const CommandText WatchText{
    "watch",
    "VAR... | --set FILE.mld",
    "print the variables once per poll cycle",
    "watch --port DEV|COM1..COM4 [--id N] [--cycles N] [--csv | --json] VAR...\n"
    "velmorin-cli watch --port DEV|COM1..COM4 [--id N] [--cycles N] [--csv | --json] --set FILE.mld [--map K]",
    "Polls the variables as the monitor's \"Recibir PLC\" does and prints one\n"
    "line per poll cycle: the time and each value (\"sin respuesta\" for a\n"
    "cycle the controller did not answer). A VAR is a name the monitor's\n"
    "lists show (E1, S3, V12, CNT1, CNTE1, TPE3; any case) or an address\n"
    "0..254; count states are 16-bit words, and ':w' reads any VAR as one.",
    "Without --cycles it runs until Ctrl+C. The job fails (status 1) when the\n"
    "port cannot be opened, the set is refused, standard output takes no more,\n"
    "or the controller answered in none of the cycles.",
};

const CommandText WriteText{
    "write",
    "VAR=VALUE...",
    "force variables in the controller's memory",
    "write --port DEV|COM1..COM4 [--id N] VAR=VALUE...",
    "Sends the values as the monitor's \"Enviar PLC\" does: 0..255 for a\n"
    "byte, 0..65535 for a word (count states, and any VAR with ':w').\n"
    "A bad value is refused before anything is sent.",
    "Every row is sent even when one is not answered; then the job fails\n"
    "(status 1) with \"Hubo error en el envio de datos\".",
};

struct Options {
    std::vector<std::string> words;
    std::string port;
    std::optional<uint8_t> id;
    std::optional<int> cycles;
    bool csv = false;
    bool json = false;
    std::string setFile;
    std::optional<int> map;
};

const char* const IdHelp = "the controller addressed, 1..255 (default 1)";

constexpr const char* SilentController = "Sin respuesta del PLC";

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

std::string Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return FormatWatchTimestamp(local, static_cast<int>(ms));
}

// False once standard output refuses a line (a full disk, /dev/full): a
// log nobody can read is no reason to keep polling a machine for ever.
bool PrintLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    // A log is read while it grows.
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// RFC 3339 local time with milliseconds and the offset from UTC:
// "2026-03-15T10:22:01.123+01:00".
std::string Rfc3339Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    char stamp[40], offset[8];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(offset, sizeof offset, "%z", &local);
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03d%.3s:%.2s", stamp, static_cast<int>(ms), offset, offset + 3);
    return text;
}

// One cycle as one line of JSON; the values are null in a cycle the
// controller did not answer.
std::string CycleJson(int cycle, const std::vector<WatchVariable>& variables, const ControllerImage& image,
                      bool replied) {
    json values = json::array();
    for (const WatchVariable& v : variables) {
        const json value = !replied ? json(nullptr)
                           : v.word ? json(image.Word(v.address))
                                    : json(image.Byte(v.address));
        values.push_back({{"name", v.label}, {"address", v.address}, {"word", v.word}, {"value", value}});
    }
    return json{{"time", Rfc3339Now()}, {"cycle", cycle}, {"answered", replied}, {"values", values}}.dump(
        -1, ' ', false, json::error_handler_t::replace);
}

int RunWatch(const CLI::App& app, const Options& o) {
    std::vector<WatchVariable> variables;
    if (!o.setFile.empty()) {
        if (!o.words.empty()) return UsageError(app, "--set and VAR exclude each other");
        const WatchSet set = ReadWatchSet(o.setFile, o.map.value_or(1) - 1);
        if (!set.result) {
            std::fputs(ErrorLine(o.setFile, set.result.message, set.result.detail).c_str(), stderr);
            return ExitFailed;
        }
        if (!set.warning.empty()) std::fprintf(stderr, "%s\n", set.warning.c_str());
        variables = set.variables;
    } else {
        if (o.map) return UsageError(app, "--map needs --set");
        if (o.words.empty()) return UsageError(app, "no variable to watch");
        for (const std::string& text : o.words) {
            WatchVariable variable;
            if (const Result parsed = ParseWatchVariable(text, variable); !parsed)
                return UsageError(app, parsed.message + " (" + text + ")");
            variables.push_back(variable);
        }
    }
    if (variables.size() > MaxWatchVariables)
        return UsageError(app, "at most " + std::to_string(MaxWatchVariables) + " variables");

    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    ControllerImage image;
    MonitorLink monitor(*port.link, clock, port.port);
    if (const Result opened = monitor.Open(); !opened) return Fail(opened);
    monitor.SetControllerId(o.id.value_or(1));

    // The monitor's own plan: words' second bytes in the first cycle, the
    // rows alone after it.
    const VariablePollPlan plan = PlanVariablePoll(WatchRows(variables));
    monitor.channel().Publish(plan.renewed);
    PollCycle cycle(monitor.channel(), monitor.Exchanger(image), plan.plan);

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    bool printed = !o.csv || PrintLine(FormatWatchCsvHeader(variables));
    cycle.Start();
    int cycles = 0;
    bool answered = false;
    while (printed && !stopRequested && (!o.cycles || cycles < *o.cycles)) {
        const PollStep step = cycle.Step();
        if (!step.cycleEnd) continue;
        ++cycles;
        answered = answered || step.cycleEnd->replySeen;
        const bool replied = step.cycleEnd->replySeen;
        if (o.json) {
            printed = PrintLine(CycleJson(cycles, variables, image, replied));
        } else {
            const std::string time = Now();
            printed = PrintLine(o.csv ? FormatWatchCsvRow(time, variables, image, replied)
                                      : FormatWatchLine(time, variables, image, replied));
        }
    }
    const int outputError = errno;
    monitor.Close();
    if (!printed) {
        std::fprintf(stderr, "velmorin-cli watch: standard output: %s\n", std::strerror(outputError));
        return ExitFailed;
    }
    if (cycles > 0 && !answered) return Fail(SilentController);
    return ExitDone;
}

int RunWrite(const CLI::App& app, const Options& o) {
    std::vector<SendRow> rows;
    for (const std::string& text : o.words) {
        if (text.find('=') == std::string::npos) return UsageError(app, "'" + text + "' has no =VALUE");
        SendRow row;
        // A bad value stops everything before a byte is sent, as in the monitor.
        if (const Result parsed = ParseWriteAssignment(text, row); !parsed)
            return UsageError(app, parsed.message + " (" + text + ")");
        rows.push_back(row);
    }

    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    MonitorLink monitor(*port.link, clock, port.port);
    if (const Result opened = monitor.Open(); !opened) return Fail(opened);
    monitor.SetControllerId(o.id.value_or(1));
    const bool answered = monitor.Write(WriteRowsFor(rows));
    monitor.Close();
    return answered ? ExitDone : Fail(msg::WriteRowsFailed);
}

}  // namespace

Command AddWatch(CLI::App& root) {
    CLI::App* app = AddCommand(root, WatchText);
    auto o = std::make_shared<Options>();
    app->add_option("VAR", o->words, "the variables");
    AddPortOption(*app, o->port);
    AddIdOption(*app, o->id, IdHelp);
    app->add_option("--cycles", o->cycles, "stop after N poll cycles")
        ->option_text("N")
        ->check(WholeNumberIn(1, 1000000, "a number"));
    CLI::Option* csv = AddFlag(*app, "--csv", o->csv, "a header line, then comma-separated rows");
    AddJsonFlag(*app, o->json,
                "one JSON object a line per cycle: time, cycle,\n"
                "answered and each variable's name, address, word\n"
                "and value")
        ->excludes(csv);
    app->add_option("--set", o->setFile,
                    "the variables of a map of a monitor set, named\n"
                    "with its associated program's aliases")
        ->option_text("FILE.mld");
    app->add_option("--map", o->map, "the map of --set, 1..4 (default 1)")
        ->option_text("K")
        ->check(WholeNumberIn(1, 4, "a map"));
    return {app, [app, o] { return RunWatch(*app, *o); }};
}

Command AddWrite(CLI::App& root) {
    CLI::App* app = AddCommand(root, WriteText);
    auto o = std::make_shared<Options>();
    app->add_option("VAR=VALUE", o->words, "the values")->required();
    AddPortOption(*app, o->port);
    AddIdOption(*app, o->id, IdHelp);
    return {app, [app, o] { return RunWrite(*app, *o); }};
}

}  // namespace velmorin::cli
