// velmorin-cli xref, check and aliases: what a program uses where, the
// editor's observations about it, and its operand names as a table.
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "model/alias_csv.h"
#include "model/cross_reference.h"
#include "model/observations.h"
#include "model/source_file.h"
#include "model/text_encoding.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const CommandText XrefText{
    "xref",
    "FILE.ldr",
    "where each operand and label is used",
    "xref FILE.ldr [--json]",
    "Lists every operand the program uses (memory name, alias, number of\n"
    "uses) and, under it, each use: the block's label, row (Y) and column\n"
    "(X), the mnemonic and what the element does with it (lee, escribe);\n"
    "then every label a jump reaches, with its jumps (salta).",
};

const CommandText CheckText{
    "check",
    "FILE.ldr",
    "the editor's observations (duplicate coils, ...)",
    "check FILE.ldr [--json]",
    "Prints the editor's observations about a program, one per line with\n"
    "the cells concerned: an output written by more than one OUT, a SET\n"
    "without RST of the same operand or the reverse, a timer or counter\n"
    "number on two boxes, an output read but written by no element. They\n"
    "are not compiler diagnostics and change nothing a compilation does.",
    "Observations make the job fail (status 1), as a lint does.",
};

const CommandText AliasesText{
    "aliases",
    "FILE.ldr",
    "print the operand names, or take them from a table",
    "aliases FILE.ldr [--csv | --import NAMES.csv]",
    "Prints the operand names of a program: memory name, alias and how\n"
    "often the program uses it. --import reads a table as --csv prints it,\n"
    "checks every row (memory name, alias of at most 8 characters in\n"
    "Windows-1252, no alias twice) and only then writes the names into\n"
    "FILE.ldr through a temporary file. A source file keeps the aliases of\n"
    "the operands its program uses only; the others are named on output.",
};

struct Options {
    std::string file;
    bool json = false;
    bool csv = false;
    std::string import;
};

// The source file and --json of xref and check.
std::shared_ptr<Options> AddReviewOptions(CLI::App& app, const char* json) {
    auto o = std::make_shared<Options>();
    app.add_option("FILE.ldr", o->file, "the ladder source")->required();
    AddJsonFlag(app, o->json, json);
    return o;
}

bool Load(const std::string& path, ProgramModel& model) {
    ResetModel(model);
    const Result loaded = ReadSourceFile(model, path);
    if (!loaded) std::fputs(ErrorLine(path, loaded.message, loaded.detail).c_str(), stderr);
    return static_cast<bool>(loaded);
}

int Print(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0 ? 0 : 1;
}

std::string Upper(const char* text) {
    std::string out = text;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

// Pads UTF-8 text to `width` characters.
std::string Padded(const std::string& text, size_t width) {
    size_t characters = 0;
    for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters >= width ? text + " " : text + std::string(width - characters, ' ');
}

std::string LabelName(const ProgramModel& model, int32_t block) {
    if (block < 0 || block >= LabelCount) return {};
    return Windows1252ToUtf8(FieldText(model.labels[static_cast<size_t>(block)].name));
}

json UseJson(const ProgramModel& model, const OperandUse& use) {
    return {{"block", use.block()},
            {"label", LabelName(model, use.block())},
            {"y", use.rowInBlock()},
            {"x", use.column},
            {"row", use.row},
            {"mnemonic", Upper(CatalogueEntryFor(use.element).mnemonic)},
            {"role", RoleText(use.role)}};
}

std::string UseLine(const ProgramModel& model, const OperandUse& use) {
    return "    " + Padded(PlaceText(model, use.row, use.column), 14) +
           Padded(Upper(CatalogueEntryFor(use.element).mnemonic), 8) + RoleText(use.role) + "\n";
}

// How often the program uses each operand, by index.
std::vector<size_t> UseCounts(const CrossReference& xref) {
    std::vector<size_t> counts(AliasCount, 0);
    for (const OperandReference& operand : xref.operands)
        counts[static_cast<size_t>(operand.index)] = operand.uses.size();
    return counts;
}

int RunXref(const Options& options) {
    auto model = std::make_unique<ProgramModel>();
    if (!Load(options.file, *model)) return 1;
    const CrossReference xref = BuildCrossReference(*model);

    if (options.json) {
        json operands = json::array();
        for (const OperandReference& operand : xref.operands) {
            json uses = json::array();
            for (const OperandUse& use : operand.uses) uses.push_back(UseJson(*model, use));
            operands.push_back({{"memory", operand.name},
                                {"alias", operand.alias},
                                {"index", operand.index},
                                {"count", operand.uses.size()},
                                {"uses", uses}});
        }
        json labels = json::array();
        for (const LabelReference& label : xref.labels) {
            json jumps = json::array();
            for (const OperandUse& use : label.jumps) jumps.push_back(UseJson(*model, use));
            labels.push_back({{"label", label.name},
                              {"alias", label.alias},
                              {"index", label.index},
                              {"block", label.index < BlockCount ? json(label.index) : json(nullptr)},
                              {"count", label.jumps.size()},
                              {"jumps", jumps}});
        }
        return Print(json{{"operands", operands}, {"labels", labels}}.dump(2) + "\n");
    }

    std::string text = Padded("Memoria", 9) + Padded("Alias", 10) + "Usos\n";
    for (const OperandReference& operand : xref.operands) {
        text += Padded(operand.name, 9) + Padded(operand.alias, 10) + std::to_string(operand.uses.size()) + "\n";
        for (const OperandUse& use : operand.uses) text += UseLine(*model, use);
    }
    if (!xref.labels.empty()) {
        text += "\n" + Padded("Etiqueta", 9) + Padded("Alias", 10) + "Saltos\n";
        for (const LabelReference& label : xref.labels) {
            text += Padded(label.name, 9) + Padded(label.alias, 10) + std::to_string(label.jumps.size()) + "\n";
            for (const OperandUse& use : label.jumps) text += UseLine(*model, use);
        }
    }
    return Print(text);
}

int RunCheck(const Options& options) {
    auto model = std::make_unique<ProgramModel>();
    if (!Load(options.file, *model)) return 1;
    const CrossReference xref = BuildCrossReference(*model);
    const std::vector<Observation> observations = FindObservations(xref);

    std::string text;
    if (options.json) {
        json list = json::array();
        for (const Observation& observation : observations) {
            json cells = json::array();
            for (const OperandUse& use : observation.cells) cells.push_back(UseJson(*model, use));
            const OperandReference* operand = nullptr;
            for (const OperandReference& o : xref.operands)
                if (o.index == observation.operand) operand = &o;
            list.push_back({{"kind", ObservationKey(observation.kind)},
                            {"memory", operand ? operand->name : std::string()},
                            {"alias", operand ? operand->alias : std::string()},
                            {"index", observation.operand},
                            {"text", observation.text},
                            {"cells", cells}});
        }
        text = json{{"observations", list}}.dump(2) + "\n";
    } else {
        for (const Observation& observation : observations) {
            text += observation.text + ":";
            for (size_t i = 0; i < observation.cells.size(); ++i)
                text += (i ? ", " : " ") + PlaceText(*model, observation.cells[i].row, observation.cells[i].column);
            text += "\n";
        }
        text += observations.size() == 1 ? "1 observación\n" : std::to_string(observations.size()) + " observaciones\n";
    }
    if (Print(text) != 0) return 1;
    return observations.empty() ? 0 : 1;
}

int RunAliases(const Options& options) {
    auto model = std::make_unique<ProgramModel>();
    if (!Load(options.file, *model)) return 1;

    if (!options.import.empty()) {
        std::string table;
        if (Result read = ReadAliasCsvFile(options.import, table); !read) {
            std::fputs(ErrorLine(options.import, read.message, read.detail).c_str(), stderr);
            return 1;
        }
        std::vector<AliasAssignment> assignments;
        if (Result parsed = ParseAliasCsv(*model, table, assignments); !parsed) {
            std::fputs(ErrorLine(options.import, parsed.message, parsed.detail).c_str(), stderr);
            return 1;
        }
        ApplyAliases(*model, assignments);
        if (Result written = WriteSourceFile(*model, options.file); !written) {
            std::fputs(ErrorLine(options.file, written.message, written.detail).c_str(), stderr);
            return 1;
        }
        const std::vector<size_t> counts = UseCounts(BuildCrossReference(*model));
        std::string unused;
        for (const AliasAssignment& row : assignments) {
            if (counts[static_cast<size_t>(row.index)] != 0) continue;
            unused += (unused.empty() ? "" : ", ") +
                      Windows1252ToUtf8(FieldText(model->aliases[static_cast<size_t>(row.index)].name));
        }
        std::string text = std::to_string(assignments.size()) + " alias leídos, " + options.file + " escrito\n";
        if (!unused.empty()) text += "No quedan en el archivo (el programa no usa esas memorias): " + unused + "\n";
        return Print(text);
    }

    if (options.csv) return Print(FormatAliasCsv(*model));
    const std::vector<size_t> counts = UseCounts(BuildCrossReference(*model));
    std::string text = Padded("Memoria", 9) + Padded("Alias", 10) + "Usos\n";
    for (int32_t index = 0; index < AliasCount; ++index) {
        const AliasEntry& entry = model->aliases[static_cast<size_t>(index)];
        if (entry.name[0] == 0 || static_cast<unsigned char>(entry.name[0]) == Unchosen) break;
        text += Padded(Windows1252ToUtf8(FieldText(entry.name)), 9) +
                Padded(Windows1252ToUtf8(FieldText(entry.alias)), 10) +
                std::to_string(counts[static_cast<size_t>(index)]) + "\n";
    }
    return Print(text);
}

}  // namespace

Command AddXref(CLI::App& root) {
    CLI::App* app = AddCommand(root, XrefText);
    const auto o = AddReviewOptions(*app, "the operands and labels with their uses as JSON");
    return {app, [o] { return RunXref(*o); }};
}

Command AddCheck(CLI::App& root) {
    CLI::App* app = AddCommand(root, CheckText);
    const auto o = AddReviewOptions(*app, "the observations with their cells as JSON");
    return {app, [o] { return RunCheck(*o); }};
}

Command AddAliases(CLI::App& root) {
    CLI::App* app = AddCommand(root, AliasesText);
    auto o = std::make_shared<Options>();
    app->add_option("FILE.ldr", o->file, "the ladder source")->required();
    CLI::Option* csv = AddFlag(*app, "--csv", o->csv,
                               "print them as the editor exports them (UTF-8,\n"
                               "header memoria;alias)");
    app->add_option("--import", o->import, "take the names from such a table")->option_text("NAMES.csv")->excludes(csv);
    return {app, [o] { return RunAliases(*o); }};
}

}  // namespace velmorin::cli
