#pragma once
// What every command of velmorin-cli shares on its command line: one parser
// (CLI11) for all of them, one layout for their help, one way to report a
// usage error, and the exit statuses.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmorin::cli {

// The exit statuses of the three programs: the job done, the job failed (a
// refused file, errors in the program, a silent controller), a usage error.
constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// How a command presents itself. `synopsis` is what follows "usage: " (more
// lines after "\n", each starting with the program's name); `description`
// comes under it and `notes` after the options.
struct CommandText {
    const char* name;
    const char* arguments;  // in the list of commands: "FILE.ldr"
    const char* summary;    // one line in the list of commands
    const char* synopsis;
    const char* description;
    const char* notes = "";
};

// A command on the parser, and what runs it once its words are parsed.
struct Command {
    CLI::App* app = nullptr;
    std::function<int()> run;
};

// A program without commands (velmorin-sim): its help laid out as a
// command's, -h, --help and --version. `synopsis` starts with its name.
void SetUpProgram(CLI::App& program, const CommandText& text, const char* version);
// -1 when the words are parsed and the program goes on; otherwise the
// exit status after --help, --version or a usage error.
int ParseProgram(CLI::App& program, int argc, char** argv);

// The root of velmorin-cli: its help, --version and `help [COMMAND]`.
void SetUpRoot(CLI::App& root, const char* version);
// A sub-command whose help is laid out like every other's; -h and --help.
CLI::App* AddCommand(CLI::App& root, const CommandText& text);

// `help [COMMAND]`.
Command AddHelpCommand(CLI::App& root);

// Parses the words and runs the command they name. --help, `help COMMAND`
// and --version print on standard output and end with 0; a word the
// parser refuses ends with a usage error.
int RunCommandLine(CLI::App& root, const std::vector<Command>& commands, int argc, char** argv);

// "velmorin-cli COMMAND: WHY", the command's usage and where to read more,
// on standard error; returns ExitUsage.
int UsageError(const CLI::App& command, const std::string& why);

// A flag that takes no value: `--json=1` is a usage error, not a yes.
CLI::Option* AddFlag(CLI::App& app, const std::string& names, bool& flag, const std::string& description);

// Options that more than one command takes, each with the check its value
// must pass before any file or port is touched.
CLI::Option* AddPortOption(CLI::App& app, std::string& port);
// --id N (or another name for a value of the same kind, --new-id N).
CLI::Option* AddIdOption(CLI::App& app, std::optional<uint8_t>& id, const std::string& description,
                         const std::string& name = "--id");
CLI::Option* AddPasswordOption(CLI::App& app, uint16_t& password);
CLI::Option* AddJsonFlag(CLI::App& app, bool& json, const std::string& description);
// A whole number low..high.
CLI::Validator WholeNumberIn(int low, int high, const std::string& what);

}  // namespace velmorin::cli
