#include "command_line.h"

#include <cstdio>
#include <memory>

#include "link/link_fields.h"

namespace velmorin::cli {
namespace {

constexpr const char* Program = "velmorin-cli";
constexpr size_t OptionColumn = 27;  // where an option's description starts
constexpr size_t CommandColumn = 36;

// Continuation lines of a synopsis line up under its first word.
std::string UsageLines(const std::string& synopsis) {
    std::string out = "usage: ";
    for (const char c : synopsis) {
        out += c;
        if (c == '\n') out += "       ";
    }
    return out + "\n";
}

std::string Indented(const std::string& text, const std::string& indent) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && c != '\n') out += indent;
        out += c;
        lineStart = c == '\n';
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

std::string Padded(std::string text, size_t width) {
    text += text.size() + 2 <= width ? std::string(width - text.size(), ' ') : "  ";
    return text;
}

// The program a command belongs to: velmorin-cli for its commands, the
// program itself for one without commands (velmorin-sim).
std::string ProgramOf(const CLI::App& app) {
    const CLI::App* top = &app;
    while (top->get_parent()) top = top->get_parent();
    return top->get_name();
}

// "velmorin-cli send" or "velmorin-sim".
std::string FullName(const CLI::App& app) {
    return app.get_parent() ? ProgramOf(app) + " " + app.get_name() : app.get_name();
}

std::string OptionNames(const CLI::Option& option) {
    std::string names;
    for (const std::string& s : option.get_snames()) names += (names.empty() ? "-" : ", -") + s;
    for (const std::string& l : option.get_lnames()) names += (names.empty() ? "--" : ", --") + l;
    if (option.get_type_size() != 0) names += " " + option.get_option_text();
    return names;
}

// A description's later lines line up under its first.
std::string OptionLine(const std::string& head, const std::string& description) {
    std::string line = Padded("  " + head, OptionColumn);
    const std::string continuation(OptionColumn, ' ');
    for (const char c : description) {
        line += c;
        if (c == '\n') line += continuation;
    }
    return line + "\n";
}

// The help of every command: usage, what it does, its options, notes.
class HelpLayout : public CLI::FormatterBase {
public:
    HelpLayout(CommandText text) : text_(text) {}

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::string out = UsageLines((app->get_parent() ? ProgramOf(*app) + " " : std::string()) + text_.synopsis);
        out += Indented(text_.description, "  ");
        std::string options;
        for (const CLI::Option* option : app->get_options()) {
            if (!option->nonpositional()) continue;
            options += OptionLine(OptionNames(*option), option->get_description());
        }
        if (!options.empty()) out += "\noptions:\n" + options;
        if (*text_.notes) out += "\n" + Indented(text_.notes, "  ");
        return out;
    }

private:
    CommandText text_;
};

// The list of commands is made from the commands themselves, so that the
// help, the manual page and the completion name the same ones.
class RootLayout : public CLI::FormatterBase {
public:
    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::string out = UsageLines(std::string(Program) + " COMMAND [OPTIONS] [--] [ARGUMENTS]\n" + Program +
                                     " help [COMMAND]\n" + Program + " --help | --version");
        out += "\ncommands:\n";
        for (const CLI::App* command : app->get_subcommands({})) {
            if (command->get_name() == "help") continue;
            out += Padded("  " + command->get_name() + " " + command->get_group(), CommandColumn) +
                   command->get_description() + "\n";
        }
        out +=
            "\n"
            "An option's value follows it as '--port COM2' or '--port=COM2'; '--' ends\n"
            "the options. 'velmorin-cli help COMMAND' or 'velmorin-cli COMMAND --help'\n"
            "prints a command's options. Messages about files and the controller are\n"
            "the editor's own, in Spanish, on standard error.\n"
            "Exit status: 0 done, 1 the job failed (a refused file, errors in the\n"
            "program, observations, a silent controller), 2 usage error; verify as\n"
            "cmp: 0 equal, 1 different, 2 trouble.\n";
        return out;
    }
};

// The parser's reason in the words the old hand-written parsing used:
// "unknown option '--any'", "--port needs a value".
std::string Why(const CLI::ParseError& e) {
    const std::string what = e.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
        const size_t colon = what.find(": ");
        const std::string words = colon == std::string::npos ? what : what.substr(colon + 2);
        const std::string first = words.substr(0, words.find(' '));
        return (first.size() > 1 && first[0] == '-' ? "unknown option '" : "unexpected argument '") + first + "'";
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        if (what.find(" missing") != std::string::npos) return what.substr(0, what.find(':')) + " needs a value";
        // "json was given a disallowed flag override"
        if (what.find("flag override") != std::string::npos)
            return "--" + what.substr(0, what.find(' ')) + " takes no value";
    }
    return what;
}

// The sub-command of that name, or nothing.
const CLI::App* Find(const CLI::App& root, const std::string& name) {
    for (const CLI::App* command : root.get_subcommands({}))
        if (command->get_name() == name) return command;
    return nullptr;
}

const CLI::App* Selected(const CLI::App& root) {
    const std::vector<CLI::App*> parsed = root.get_subcommands();
    return parsed.empty() ? nullptr : parsed.front();
}

}  // namespace

void SetUpProgram(CLI::App& program, const CommandText& text, const char* version) {
    program.name(text.name);
    program.description(text.summary);
    program.formatter(std::make_shared<HelpLayout>(text));
    program.set_help_flag("-h,--help", "this summary");
    program.set_version_flag("--version", std::string(text.name) + " " + version, "the version");
}

int ParseProgram(CLI::App& program, int argc, char** argv) {
    try {
        program.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(program.help().c_str(), stdout);
        return ExitDone;
    } catch (const CLI::CallForVersion&) {
        std::printf("%s\n", program.version().c_str());
        return ExitDone;
    } catch (const CLI::ParseError& e) {
        return UsageError(program, Why(e));
    }
    return -1;
}

void SetUpRoot(CLI::App& root, const char* version) {
    root.name(Program);
    root.formatter(std::make_shared<RootLayout>());
    root.set_help_flag("-h,--help", "this summary");
    root.set_version_flag("--version", std::string(Program) + " " + version, "the version");
    root.require_subcommand(1);
}

CLI::App* AddCommand(CLI::App& root, const CommandText& text) {
    CLI::App* command = root.add_subcommand(text.name, text.summary);
    // The group is not shown as one: it carries the arguments for the list.
    command->group(text.arguments);
    command->formatter(std::make_shared<HelpLayout>(text));
    command->set_help_flag("-h,--help", "this summary");
    return command;
}

int UsageError(const CLI::App& command, const std::string& why) {
    std::string text = FullName(command) + ": " + why + "\n";
    const std::string help = command.help();
    // The usage lines only: the rest is one --help away.
    size_t end = 0;
    while (end < help.size()) {
        const size_t next = help.find('\n', end);
        if (next == std::string::npos) break;
        if (end > 0 && help.compare(end, 7, "       ") != 0) break;
        end = next + 1;
    }
    text += help.substr(0, end);
    text += "Run '" + FullName(command) + " --help' for more.\n";
    std::fputs(text.c_str(), stderr);
    return ExitUsage;
}

Command AddHelpCommand(CLI::App& root) {
    static const CommandText Text{"help", "[COMMAND]", "a command's options, or this summary", "help [COMMAND]",
                                  "Prints what 'velmorin-cli COMMAND --help' prints, or without a\n"
                                  "COMMAND the summary of every command."};
    CLI::App* help = AddCommand(root, Text);
    auto topic = std::make_shared<std::string>();
    help->add_option("COMMAND", *topic, "the command")->option_text("COMMAND");
    return {help, [&root, help, topic] {
                if (topic->empty()) {
                    std::fputs(root.get_formatter()->make_help(&root, "", CLI::AppFormatMode::Normal).c_str(), stdout);
                    return ExitDone;
                }
                const CLI::App* command = Find(root, *topic);
                if (!command || command == help) return UsageError(*help, "unknown command '" + *topic + "'");
                std::fputs(command->help().c_str(), stdout);
                return ExitDone;
            }};
}

int RunCommandLine(CLI::App& root, const std::vector<Command>& commands, int argc, char** argv) {
    if (argc < 2) return UsageError(root, "a command is needed");
    const std::string first = argv[1];
    if (!first.empty() && first[0] != '-' && !Find(root, first))
        return UsageError(root, "unknown command '" + first + "'");
    try {
        root.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(root.help().c_str(), stdout);
        return ExitDone;
    } catch (const CLI::CallForVersion&) {
        std::printf("%s\n", root.version().c_str());
        return ExitDone;
    } catch (const CLI::ParseError& e) {
        const CLI::App* command = Selected(root);
        return UsageError(command ? *command : root, Why(e));
    }
    for (const Command& command : commands)
        if (command.app->parsed()) return command.run();
    return UsageError(root, "a command is needed");
}

CLI::Option* AddFlag(CLI::App& app, const std::string& names, bool& flag, const std::string& description) {
    return app.add_flag(names, flag, description)->disable_flag_override();
}

CLI::Option* AddPortOption(CLI::App& app, std::string& port) {
    return app
        .add_option("--port", port,
                    "the serial line: a device, or COM1..COM4 (any case)\nas VELMORIN_COMn or /dev/ttySn name it")
        ->option_text("DEV|COM1..COM4")
        ->required();
}

CLI::Option* AddIdOption(CLI::App& app, std::optional<uint8_t>& id, const std::string& description,
                         const std::string& name) {
    return app
        .add_option_function<std::string>(
            name, [&id](const std::string& text) { id = ParseIdentifier(text); }, description)
        ->option_text("N")
        ->check(CLI::Validator(
            [](std::string& text) { return ParseIdentifier(text) ? std::string() : "needs an identifier 1..255"; },
            ""));
}

CLI::Option* AddPasswordOption(CLI::App& app, uint16_t& password) {
    return app
        .add_option_function<std::string>(
            "--password", [&password](const std::string& text) { password = *ParsePassword(text); },
            "the program password, four hexadecimal digits\n(high byte first; default 0000)")
        ->option_text("HHLL")
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParsePassword(text) ? std::string() : "needs four hexadecimal digits HHLL";
            },
            ""));
}

CLI::Option* AddJsonFlag(CLI::App& app, bool& json, const std::string& description) {
    return AddFlag(app, "--json", json, description);
}

CLI::Validator WholeNumberIn(int low, int high, const std::string& what) {
    return CLI::Validator(
        [low, high, what](std::string& text) -> std::string {
            const std::string why = "needs " + what + " " + std::to_string(low) + ".." + std::to_string(high);
            if (text.empty() || text.size() > 9) return why;
            long value = 0;
            for (const char c : text) {
                if (c < '0' || c > '9') return why;
                value = value * 10 + (c - '0');
            }
            return value < low || value > high ? why : std::string();
        },
        "");
}

}  // namespace velmorin::cli
