// velmorin-cli show: a ladder source file as text, or its cells and
// operands as JSON.
#include <nlohmann/json.hpp>

#include <array>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "model/catalogue.h"
#include "model/cell_kinds.h"
#include "model/diagram_text.h"
#include "model/source_file.h"
#include "model/text_encoding.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const CommandText Text{
    "show",
    "FILE.ldr",
    "print a ladder source file as text",
    "show FILE.ldr [--json]",
    "Prints a ladder source file block by block: the block's label, a picture\n"
    "of its four rows (rails and wires in box-drawing characters, element cells\n"
    "as letters), then one line per lettered cell with its row and column, the\n"
    "mnemonic and the operands (aliases, ->labels, numbers, times in seconds;\n"
    "? for an operand not yet chosen). Blocks with nothing but their rails are\n"
    "left out. Last come the operands the program uses with their memory names.",
    "For readable git diffs of *.ldr files:\n"
    "  echo '*.ldr diff=ldr' >> .gitattributes\n"
    "  git config diff.ldr.textconv \"velmorin-cli show\"",
};

struct Options {
    std::string path;
    bool json = false;
};

std::string Text1252(const NameField& field) { return Windows1252ToUtf8(FieldText(field)); }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

const char* KindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::Number:
            return "number";
        case ParamKind::Label:
            return "label";
        case ParamKind::Time10:
            return "time10";
        case ParamKind::Time100:
            return "time100";
        case ParamKind::Variable:
            return "variable";
        default:
            return "reserved";
    }
}

// One operand as the cell holds it; `index` is null while none is chosen.
json OperandJson(const ProgramModel& model, const ParamDef& def, const ParamSlot& slot,
                 std::array<bool, AliasCount>& used) {
    json operand{{"kind", KindName(def.kind)}};
    const bool chosen = slot[0] != Unchosen;
    switch (def.kind) {
        case ParamKind::Variable:
            operand["index"] = chosen ? json(slot[0]) : json(nullptr);
            if (chosen) {
                used[slot[0]] = true;
                operand["memory"] = Text1252(model.aliases[slot[0]].name);
                operand["alias"] = Text1252(model.aliases[slot[0]].alias);
            }
            break;
        case ParamKind::Label:
            operand["index"] = chosen ? json(slot[0]) : json(nullptr);
            if (chosen && slot[0] < LabelCount) {
                operand["name"] = Text1252(model.labels[slot[0]].name);
                operand["alias"] = Text1252(model.labels[slot[0]].alias);
            }
            break;
        default:
            operand["text"] = chosen ? json(Windows1252ToUtf8(SlotText(slot))) : json(nullptr);
            break;
    }
    return operand;
}

std::string ModelJson(const ProgramModel& model) {
    std::array<bool, AliasCount> used{};
    json cells = json::array();
    json wires = json::array();
    for (int32_t row = 0; row < GridRows; ++row) {
        for (int32_t column = 0; column < GridColumns; ++column) {
            const LadderCell& cell = model.grid.at(row, column);
            const json place{{"row", row},
                             {"column", column},
                             {"block", row >= 1 ? json(BlockOfRow(row)) : json(nullptr)},
                             {"kind", cell.shape}};
            if (cell.hasElement()) {
                const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
                json operands = json::array();
                for (int32_t i = 0; i < entry.paramCount; ++i)
                    operands.push_back(OperandJson(model, entry.paramDefs[static_cast<size_t>(i)],
                                                   cell.params[static_cast<size_t>(i)], used));
                json element = place;
                element["mnemonic"] = Upper(entry.mnemonic);
                element["operands"] = operands;
                cells.push_back(element);
            } else if (cell.occupied() && column > 0 && column < GridColumns - 1) {
                wires.push_back(place);
            }
        }
    }
    json labels = json::array();
    for (int32_t block = 0; block < BlockCount; ++block)
        labels.push_back({{"block", block},
                          {"name", Text1252(model.labels[static_cast<size_t>(block)].name)},
                          {"alias", Text1252(model.labels[static_cast<size_t>(block)].alias)}});
    json operands = json::array();
    for (int32_t index = 0; index < AliasCount; ++index) {
        if (!used[static_cast<size_t>(index)]) continue;
        const AliasEntry& entry = model.aliases[static_cast<size_t>(index)];
        operands.push_back({{"index", index}, {"memory", Text1252(entry.name)}, {"alias", Text1252(entry.alias)}});
    }
    const json out{{"cells", cells}, {"wires", wires}, {"labels", labels}, {"operands", operands}};
    return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace

Command AddShow(CLI::App& root) {
    CLI::App* app = AddCommand(root, Text);
    auto o = std::make_shared<Options>();
    app->add_option("FILE.ldr", o->path, "the ladder source")->required();
    AddJsonFlag(*app, o->json,
                "the element cells (row, column, block, kind, mnemonic,\n"
                "operands), the wires, the labels and the operands used\n"
                "as JSON");
    return {app, [o] {
                auto model = std::make_unique<ProgramModel>();
                ResetModel(*model);
                if (const Result loaded = ReadSourceFile(*model, o->path); !loaded) {
                    std::fputs(ErrorLine(o->path, loaded.message, loaded.detail).c_str(), stderr);
                    return ExitFailed;
                }
                const std::string text = o->json ? ModelJson(*model) : FormatDiagramText(*model);
                if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
                    return ExitFailed;
                return ExitDone;
            }};
}

}  // namespace velmorin::cli
