// velmorin-cli and velmorin-sim as a script or another program uses them:
// the README's command lines in both spellings of an option's value, the
// help agreeing with the README, JSON that parses, and the line scan.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "support/child_process.h"
#include "support/sim_process.h"

namespace velmorin {
namespace {

using nlohmann::json;
using testing::ProgramRun;
using testing::RunProgram;
using testing::SimProcess;

const std::string Examples = std::string(VELMORIN_SOURCE_DIR) + "/examples/";

ProgramRun Cli(const std::vector<std::string>& args, std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    return RunProgram(VELMORIN_CLI_PATH, args, {}, timeout);
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

// The lines of the README's code blocks under "## Command line" that start
// with `program`; the first block holds the synopses, the last the
// command lines of earlier versions.
std::vector<std::vector<std::string>> ReadmeBlocks() {
    const std::string readme = FileText(std::string(VELMORIN_SOURCE_DIR) + "/README.md");
    const size_t start = readme.find("\n## Command line\n");
    const size_t end = readme.find("\n## ", start + 1);
    std::vector<std::vector<std::string>> blocks;
    std::istringstream in(readme.substr(start, end - start));
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("```", 0) == 0) {
            inside = !inside;
            if (inside) blocks.emplace_back();
            continue;
        }
        if (inside) blocks.back().push_back(line);
    }
    return blocks;
}

// "usage: " and its continuation lines, as one line each.
std::vector<std::string> UsageLines(const std::string& help) {
    std::vector<std::string> lines;
    std::istringstream in(help);
    bool on = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("usage: ", 0) == 0) {
            lines.push_back(line.substr(7));
            on = true;
        } else if (on && line.rfind("       ", 0) == 0) {
            const std::string rest = line.substr(line.find_first_not_of(' '));
            if (rest[0] == '[')
                lines.back() += " " + rest;
            else
                lines.push_back(rest);
        } else {
            on = false;
        }
    }
    return lines;
}

// Option -> its value placeholder ("" for a flag), from the help's list.
std::map<std::string, std::string> ListedOptions(const std::string& help) {
    std::map<std::string, std::string> options;
    const std::regex line(R"(^  (?:-[a-z], )?(--[a-z-]+)(?: (\S+))?(?:  .*)?$)");
    std::istringstream in(help);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_match(text, m, line)) options[m[1]] = m[2];
    }
    return options;
}

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    std::istringstream in(Cli({"--help"}).out);
    const std::regex entry(R"(^  ([a-z][a-z-]*)( .*)?$)");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, entry)) names.push_back(m[1]);
    }
    return names;
}

TEST(CommandLineConventions, HelpReadmeAndUsageAgree) {
    const std::vector<std::string> commands = CommandNames();
    ASSERT_GE(commands.size(), 16u);
    const std::vector<std::vector<std::string>> blocks = ReadmeBlocks();
    ASSERT_GE(blocks.size(), 2u);
    // The README's synopses, with a continued line joined to its first.
    std::vector<std::string> readme;
    for (const std::string& line : blocks.front()) {
        if (line.rfind(" ", 0) == 0 && !readme.empty())
            readme.back() += " " + line.substr(line.find_first_not_of(' '));
        else
            readme.push_back(line);
    }
    std::set<std::string> fromHelp;
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const ProgramRun help = Cli({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(Cli({command, "-h"}).out, help.out);
        const ProgramRun viaHelp = Cli({"help", command});
        EXPECT_EQ(viaHelp.status, 0);
        EXPECT_EQ(viaHelp.out, help.out) << "help COMMAND prints the command's help";
        const std::vector<std::string> usage = UsageLines(help.out);
        ASSERT_FALSE(usage.empty()) << help.out;
        std::string synopsis;
        for (const std::string& line : usage) {
            fromHelp.insert(line);
            synopsis += line + " ";
            EXPECT_NE(std::find(readme.begin(), readme.end(), line), readme.end()) << "not in the README: " << line;
        }
        for (const auto& [option, placeholder] : ListedOptions(help.out)) {
            if (option == "--help") continue;
            EXPECT_NE(synopsis.find(placeholder.empty() ? option : option + " " + placeholder), std::string::npos)
                << option << " " << placeholder << " is not in the synopsis " << synopsis;
        }
    }
    for (const std::string& line : readme) {
        if (line.rfind("velmorin-cli ", 0) == 0 && line != "velmorin-cli help [COMMAND]") {
            EXPECT_TRUE(fromHelp.count(line)) << "the README names a synopsis no --help prints: " << line;
        }
    }
    const ProgramRun sim = RunProgram(VELMORIN_SIM_PATH, {"--help"});
    EXPECT_EQ(sim.status, 0);
    EXPECT_NE(std::find(readme.begin(), readme.end(), UsageLines(sim.out).front()), readme.end()) << sim.out;
    // The version is the project's, for both programs.
    const std::string cmake = FileText(std::string(VELMORIN_SOURCE_DIR) + "/CMakeLists.txt");
    std::smatch version;
    ASSERT_TRUE(std::regex_search(cmake, version, std::regex(R"(project\(velmorin VERSION ([0-9.]+))")));
    EXPECT_EQ(Cli({"--version"}).out, "velmorin-cli " + version[1].str() + "\n");
    EXPECT_EQ(RunProgram(VELMORIN_SIM_PATH, {"--version"}).out, "velmorin-sim " + version[1].str() + "\n");
}

// "--port PORT" becomes "--port=PORT" for every option that takes a value.
std::vector<std::string> JoinedValues(const std::vector<std::string>& words) {
    const std::map<std::string, std::string> options = ListedOptions(Cli({words[0], "--help"}).out);
    std::vector<std::string> joined;
    for (size_t i = 0; i < words.size(); ++i) {
        const auto option = options.find(words[i]);
        if (option != options.end() && !option->second.empty() && i + 1 < words.size()) {
            joined.push_back(words[i] + "=" + words[i + 1]);
            ++i;
        } else {
            joined.push_back(words[i]);
        }
    }
    return joined;
}

TEST(CommandLineConventions, ReadmeCommandLinesKeepWorkingInBothSpellings) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    const std::filesystem::path folder = std::filesystem::path(sim.device()).parent_path();
    std::filesystem::copy_file(Examples + "latch.ldr", folder / "latch.ldr");
    std::vector<std::vector<std::string>> lines;
    const std::vector<std::vector<std::string>> blocks = ReadmeBlocks();
    for (const std::string& line : blocks.back()) {
        std::vector<std::string> words = Words(line);
        ASSERT_EQ(words.front(), "velmorin-cli") << line;
        words.erase(words.begin());
        for (std::string& word : words) {
            if (word == "PORT") word = sim.device();
            if (word.find(".ldr") != std::string::npos || word.find(".bld") != std::string::npos)
                word = (folder / word).string();
        }
        lines.push_back(words);
    }
    ASSERT_GE(lines.size(), 15u);
    for (const bool joined : {false, true}) {
        for (const std::vector<std::string>& words : lines) {
            const std::vector<std::string> args = joined ? JoinedValues(words) : words;
            std::string shown;
            for (const std::string& word : args) shown += word + " ";
            SCOPED_TRACE(shown);
            const ProgramRun run = Cli(args);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err, "");
        }
    }
    // What the lines did is there to see: the download with its new
    // identifier, the values written, the copy read back.
    EXPECT_EQ(FileText((folder / "copy.bld").string()).substr(0, 22), "~VLB| 100r01 |256 rcv ");
    EXPECT_EQ(sim.Command("get V02 CNTE1").value_or(""), "V02 = 200\nCNTE1 = 1234\n");
}

json Parsed(const ProgramRun& run) {
    EXPECT_TRUE(json::accept(run.out)) << run.out << run.err;
    return json::parse(run.out, nullptr, false);
}

TEST(CommandLineConventions, JsonOutputsParseAndSayWhatTheTextSays) {
    SimProcess sim({"--id", "9", "--rom", "0310"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    const std::filesystem::path folder = std::filesystem::path(sim.device()).parent_path();
    const std::string source = (folder / "join.ldr").string();
    std::filesystem::copy_file(std::string(VELMORIN_TESTS_DIR) + "/compiler/golden/join_failed/join_failed.ldr",
                               source);

    // compile: the diagnostics of the three forms are the same ones.
    const ProgramRun gnu = Cli({"compile", "--format=gnu", source});
    EXPECT_EQ(gnu.status, 1);
    const json compiled = Parsed(Cli({"compile", source, "--json"}));
    ASSERT_TRUE(compiled["diagnostics"].is_array());
    ASSERT_FALSE(compiled["diagnostics"].empty());
    int errors = 0;
    for (const json& d : compiled["diagnostics"]) errors += d["severity"] == "error";
    EXPECT_EQ(compiled["totals"]["errors"], errors);
    EXPECT_TRUE(compiled["image"].is_null()) << "no image after errors";
    std::string expected;
    for (const json& d : compiled["diagnostics"]) {
        expected += source + ":" + std::to_string(d["row"].get<int>()) + ":" + std::to_string(d["column"].get<int>()) +
                    ": " + d["severity"].get<std::string>() + ": ";
        std::string text = d["text"];
        expected += text.substr(text.find(": ") + 2) + "\n";
        EXPECT_EQ(d["label"], "ETQ" + std::string(d["block"].get<int>() < 9 ? "0" : "") +
                                  std::to_string(d["block"].get<int>() + 1));
        EXPECT_EQ(d["row"].get<int>(), 4 * d["block"].get<int>() + d["y"].get<int>());
    }
    EXPECT_EQ(gnu.out.substr(0, expected.size()), expected);
    EXPECT_NE(gnu.out.find("error: No se pudo unir el ramal"), std::string::npos) << gnu.out;

    // A clean program: its image, dumped, shown, sent and verified.
    std::filesystem::copy_file(Examples + "timer.ldr", folder / "timer.ldr");
    const json clean = Parsed(Cli({"compile", (folder / "timer.ldr").string(), "--json"}));
    EXPECT_EQ(clean["totals"]["errors"], 0);
    const std::string image = clean["image"];
    const json dump = Parsed(Cli({"dump", "--json", image}));
    const std::string dumpText = Cli({"dump", image}).out;
    int bytes = 0;
    for (const json& instruction : dump["instructions"]) {
        EXPECT_EQ(instruction["offset"], bytes);
        bytes += static_cast<int>(instruction["bytes"].size());
        EXPECT_NE(dumpText.find(instruction["mnemonic"].get<std::string>()), std::string::npos);
    }
    EXPECT_EQ(bytes, clean["totals"]["bytes"].get<int>());
    EXPECT_EQ(dump["length"], bytes);

    const json shown = Parsed(Cli({"show", (folder / "timer.ldr").string(), "--json"}));
    ASSERT_FALSE(shown["cells"].empty());
    std::set<std::string> mnemonics;
    for (const json& cell : shown["cells"]) mnemonics.insert(cell["mnemonic"]);
    EXPECT_TRUE(mnemonics.count("TP")) << shown["cells"].dump();
    for (const json& operand : shown["operands"]) EXPECT_TRUE(operand["memory"].is_string());

    ASSERT_EQ(Cli({"send", Examples + "latch.ldr", "--port", sim.device(), "--id=9"}).status, 0);
    const ProgramRun differ = Cli({"verify", image, "--port", sim.device(), "--id", "9", "--json"});
    EXPECT_EQ(differ.status, 1) << differ.err;
    const json differences = Parsed(differ);
    EXPECT_EQ(differences["equal"], false);
    const std::string text = Cli({"verify", image, "--port", sim.device(), "--id", "9"}).out;
    EXPECT_NE(text.find(std::to_string(differences["count"].get<int>()) + " bytes distintos"), std::string::npos);
    for (const json& d : differences["differences"]) {
        char line[32];
        std::snprintf(line, sizeof line, "%02X: archivo %02X, PLC %02X", d["address"].get<int>(), d["file"].get<int>(),
                      d["controller"].get<int>());
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(Parsed(Cli({"rom", "--port", sim.device(), "--id", "9", "--json"})), json({{"id", 9}, {"rom", "0310"}}));

    // watch: one object a line, one line a cycle.
    ASSERT_TRUE(sim.Command("set CNTE1 4660"));
    const ProgramRun watched =
        Cli({"watch", "--port", sim.device(), "--id", "9", "--json", "--cycles", "3", "E1", "CNTE1"});
    EXPECT_EQ(watched.status, 0) << watched.err;
    std::istringstream cycles(watched.out);
    int count = 0;
    for (std::string line; std::getline(cycles, line); ++count) {
        ASSERT_TRUE(json::accept(line)) << line;
        const json cycle = json::parse(line);
        EXPECT_EQ(cycle["cycle"], count + 1);
        EXPECT_TRUE(std::regex_match(cycle["time"].get<std::string>(),
                                     std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)")))
            << cycle["time"];
        const json& counter = cycle["values"][1];
        EXPECT_EQ(counter["name"], "CNTE1");
        EXPECT_EQ(counter["address"], 92);
        EXPECT_EQ(counter["word"], true);
        // A reply lost to a loaded machine leaves one byte of the first cycle
        // unread; by the last cycle both bytes have been read.
        if (count == 2) EXPECT_EQ(counter["value"], 4660) << line;
    }
    EXPECT_EQ(count, 3);
}

// A controller answers its own identifier only, and no neighbour is taken
// for it (a late answer credited to the next identifier would be).
TEST(CommandLineConventions, ScanFindsTheControllerByItsIdentifierOnly) {
    SimProcess sim({"--id", "200", "--rom", "0215"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    const ProgramRun found = Cli({"scan", "--port", sim.device(), "--ids", "1-3,195-210"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "200  0215\n");
    EXPECT_EQ(found.err, "") << "no progress bar when standard error is no terminal";
    const json report = Parsed(Cli({"scan", "--port=" + sim.device(), "--ids=199-201", "--json"}));
    EXPECT_EQ(report["tried"], 3);
    EXPECT_EQ(report["controllers"], json::parse(R"([{"id": 200, "rom": "0215"}])"));

    const ProgramRun none = Cli({"scan", "--port", sim.device(), "--ids", "1-5"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "no controller answered on " + sim.device() + " (identifiers 1-5)\n");
}

}  // namespace
}  // namespace velmorin
