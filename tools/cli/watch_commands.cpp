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

#include "link/link_messages.h"
#include "link/monitor_link.h"
#include "link/monitor_messages.h"
#include "link/monitor_watch.h"
#include "link_options.h"

namespace velmorin::cli {
namespace {

const char* const WatchUsage =
    "usage: velmorin-cli watch --port DEV|COM1..COM4 [--id N] [--cycles N] [--csv] VAR...\n"
    "       velmorin-cli watch --port DEV|COM1..COM4 [--id N] [--cycles N] [--csv] --set FILE.mld [--map K]\n"
    "  Polls the variables as the monitor's \"Recibir PLC\" does and prints one\n"
    "  line per poll cycle: the time and each value (\"sin respuesta\" for a\n"
    "  cycle the controller did not answer). A VAR is a name the monitor's\n"
    "  lists show (E1, S3, V12, CNT1, CNTE1, TPE3; any case) or an address\n"
    "  0..254; count states are 16-bit words, and ':w' reads any VAR as one.\n"
    "  --set FILE.mld takes the variables of map K (1..4, default 1) of a\n"
    "  monitor set, named with its associated program's aliases.\n"
    "  --csv prints a header line, then comma-separated rows.\n"
    "  --cycles N stops after N cycles; otherwise Ctrl+C stops.\n"
    "  Exit status 1 when the port cannot be opened, the set is refused, or\n"
    "  the controller answered in none of the cycles.\n";

const char* const WriteUsage =
    "usage: velmorin-cli write --port DEV|COM1..COM4 [--id N] VAR=VALUE...\n"
    "  Sends the values as the monitor's \"Enviar PLC\" does: 0..255 for a\n"
    "  byte, 0..65535 for a word (count states, and any VAR with ':w').\n"
    "  Every row is sent even when one is not answered; then the exit status\n"
    "  is 1 with \"Hubo error en el envio de datos\".\n";

constexpr const char* SilentController = "Sin respuesta del PLC";

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

int UsageError(const char* command, const std::string& why, const char* usage) {
    std::fprintf(stderr, "velmorin-cli %s: %s\n%s", command, why.c_str(), usage);
    return 2;
}

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

}  // namespace

int RunWatch(const Args& args) {
    const ParsedOptions parsed =
        ParseLinkOptions("watch", args, "--port --id --cycles --csv --set --map", AnyFileCount, WatchUsage);
    if (!parsed.options) return parsed.status;
    const LinkOptions& o = *parsed.options;

    std::vector<WatchVariable> variables;
    if (!o.setFile.empty()) {
        if (!o.files.empty()) return UsageError("watch", "--set and VAR exclude each other", WatchUsage);
        const WatchSet set = ReadWatchSet(o.setFile, o.map.value_or(1) - 1);
        if (!set.result) {
            std::fputs(ErrorLine(o.setFile, set.result.message, set.result.detail).c_str(), stderr);
            return 1;
        }
        if (!set.warning.empty()) std::fprintf(stderr, "%s\n", set.warning.c_str());
        variables = set.variables;
    } else {
        if (o.map) return UsageError("watch", "--map needs --set", WatchUsage);
        if (o.files.empty()) return UsageError("watch", "no variable to watch", WatchUsage);
        for (const std::string& text : o.files) {
            WatchVariable variable;
            if (const Result parsed = ParseWatchVariable(text, variable); !parsed)
                return UsageError("watch", parsed.message, WatchUsage);
            variables.push_back(variable);
        }
    }
    if (variables.size() > MaxWatchVariables)
        return UsageError("watch", "at most " + std::to_string(MaxWatchVariables) + " variables", WatchUsage);

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
        const std::string time = Now();
        printed = PrintLine(o.csv ? FormatWatchCsvRow(time, variables, image, step.cycleEnd->replySeen)
                                  : FormatWatchLine(time, variables, image, step.cycleEnd->replySeen));
    }
    const int outputError = errno;
    monitor.Close();
    if (!printed) {
        std::fprintf(stderr, "velmorin-cli watch: standard output: %s\n", std::strerror(outputError));
        return 1;
    }
    if (cycles > 0 && !answered) return Fail(SilentController);
    return 0;
}

int RunWrite(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("write", args, "--port --id", AnyFileCount, WriteUsage);
    if (!parsed.options) return parsed.status;
    const LinkOptions& o = *parsed.options;
    if (o.files.empty()) return UsageError("write", "no VAR=VALUE to send", WriteUsage);
    std::vector<SendRow> rows;
    for (const std::string& text : o.files) {
        if (text.find('=') == std::string::npos) return UsageError("write", "'" + text + "' has no =VALUE", WriteUsage);
        SendRow row;
        // A bad value stops everything before a byte is sent, as in the monitor.
        if (const Result parsed = ParseWriteAssignment(text, row); !parsed)
            return UsageError("write", parsed.message + " (" + text + ")", WriteUsage);
        rows.push_back(row);
    }

    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    MonitorLink monitor(*port.link, clock, port.port);
    if (const Result opened = monitor.Open(); !opened) return Fail(opened);
    monitor.SetControllerId(o.id.value_or(1));
    const bool answered = monitor.Write(WriteRowsFor(rows));
    monitor.Close();
    return answered ? 0 : Fail(msg::WriteRowsFailed);
}

}  // namespace velmorin::cli
