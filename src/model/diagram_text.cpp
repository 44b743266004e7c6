#include "model/diagram_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr int32_t LastColumn = GridColumns - 1;

// One glyph per wire, rail and mark kind; element kinds are drawn as letters instead.
constexpr std::array<const char*, CellKindCount> Glyphs{
    "?", "?", "?", "?", "┌", "└", "┘", "┐", "┼", "╷",  // 0..9
    "╶", "╵", "╴", "─", "?", "?", "┴", "┤", "├", "┬",  // 10..19
    "│", "?", "?", "·", "×", "▯", "×", "■", "□", " ",  // 20..29
};

constexpr std::string_view CellLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

bool IsUndefinedByte(unsigned char b) { return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D; }

// Windows-1252 bytes as UTF-8, with control bytes spelled out so that a
// stray byte in a file cannot steer the terminal.
std::string Display(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || IsUndefinedByte(b)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            out += escaped;
        } else {
            out += Windows1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return out;
}

bool Lettered(const LadderCell& cell) { return KindHas(cell.shape, AttrElement) || cell.hasElement(); }

bool ShownAtAll(const LadderCell& cell) { return cell.occupied() || cell.hasElement(); }

int32_t ResetRailShape(int32_t row, int32_t column) {
    const int32_t inBlock = row % BlockRows;
    if (column == 0) return inBlock == 1 ? KindCornerDownRight : inBlock == 0 ? KindCornerUpRight : KindTeeUpDownRight;
    return inBlock == 1 ? KindCornerDownLeft : inBlock == 0 ? KindCornerUpLeft : KindTeeUpDownLeft;
}

bool HoldsAnything(const ProgramModel& model, int32_t firstRow, int32_t rows) {
    for (int32_t row = firstRow; row < firstRow + rows; ++row) {
        for (int32_t column = 0; column < GridColumns; ++column) {
            const LadderCell& cell = model.grid.at(row, column);
            const bool rail = row > 0 && (column == 0 || column == LastColumn);
            if (rail ? (cell.shape != ResetRailShape(row, column) || cell.hasElement()) : ShownAtAll(cell))
                return true;
        }
    }
    return false;
}

std::string VariableText(const ProgramModel& model, uint8_t index) {
    const AliasEntry& entry = model.aliases[index];
    const std::string alias = FieldText(entry.alias);
    if (!alias.empty() && static_cast<unsigned char>(entry.name[0]) != 0xFF) return Display(alias);
    return "#" + std::to_string(index);  // beyond the named variables
}

std::string OperandText(const ProgramModel& model, const ParamDef& def, const ParamSlot& slot) {
    switch (def.kind) {
        case ParamKind::Variable:
            return slot[0] == Unchosen ? "?" : VariableText(model, slot[0]);
        case ParamKind::Label:
            if (slot[0] == Unchosen) return "?";
            if (slot[0] >= LabelCount) return "#" + std::to_string(slot[0]);
            return "->" + Display(FieldText(model.labels[slot[0]].alias));
        case ParamKind::Number:
        case ParamKind::Time10:
        case ParamKind::Time100: {
            const std::string text = SlotText(slot);
            if (text.empty() || slot[0] == Unchosen) return "?";
            return Display(text) + (def.kind == ParamKind::Number ? "" : "s");
        }
        default:
            return {};
    }
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string CellDescription(const ProgramModel& model, const LadderCell& cell) {
    if (!cell.hasElement()) return cell.shape == KindBoxLowerHalf ? "(lower half)" : "(no element)";
    const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
    std::string text = Upper(entry.mnemonic);
    for (int32_t i = 0; i < entry.paramCount; ++i) {
        const std::string operand =
            OperandText(model, entry.paramDefs[static_cast<size_t>(i)], cell.params[static_cast<size_t>(i)]);
        if (!operand.empty()) text += " " + operand;
    }
    if (cell.shape != entry.cellKind) text += "  [kind " + std::to_string(cell.shape) + "]";
    return text;
}

void AppendRows(std::string& out, const ProgramModel& model, int32_t firstRow, int32_t rows) {
    out += "     0123456789\n";
    std::string legend;
    size_t letters = 0;
    for (int32_t row = firstRow; row < firstRow + rows; ++row) {
        char number[16];
        std::snprintf(number, sizeof number, "  %2d ", row);
        out += number;
        for (int32_t column = 0; column < GridColumns; ++column) {
            const LadderCell& cell = model.grid.at(row, column);
            if (!Lettered(cell)) {
                out += cell.occupied() ? Glyphs[static_cast<size_t>(cell.shape)] : " ";
                continue;
            }
            // A block has at most 40 cells; past the letters the cell still gets its line.
            const char letter = letters < CellLetters.size() ? CellLetters[letters] : '+';
            ++letters;
            out += letter;
            char head[32];
            std::snprintf(head, sizeof head, "     %c  r%dc%d  ", letter, row, column);
            legend += head + CellDescription(model, cell) + "\n";
        }
        out += "\n";
    }
    out += legend;
}

void AppendOperands(std::string& out, const ProgramModel& model) {
    std::array<bool, AliasCount> used{};
    for (const LadderCell& cell : model.grid.cells) {
        if (!cell.hasElement()) continue;
        const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
        for (int32_t i = 0; i < entry.paramCount; ++i)
            if (entry.paramDefs[static_cast<size_t>(i)].kind == ParamKind::Variable &&
                cell.params[static_cast<size_t>(i)][0] != Unchosen)
                used[cell.params[static_cast<size_t>(i)][0]] = true;
    }
    std::string lines;
    for (int32_t index = 0; index < AliasCount; ++index) {
        if (!used[static_cast<size_t>(index)]) continue;
        const AliasEntry& entry = model.aliases[static_cast<size_t>(index)];
        if (static_cast<unsigned char>(entry.name[0]) == 0xFF || entry.name[0] == 0) continue;
        char head[32];
        std::snprintf(head, sizeof head, "  %3d  ", index);
        std::string name = Display(FieldText(entry.name));
        name.resize(std::max<size_t>(name.size(), 7), ' ');
        lines += head + name + " " + Display(FieldText(entry.alias)) + "\n";
    }
    if (!lines.empty()) out += "operands\n" + lines;
}

}  // namespace

std::string FormatDiagramText(const ProgramModel& model) {
    std::string out;
    if (HoldsAnything(model, 0, 1)) {
        out += "row 0 (outside the blocks)\n";
        AppendRows(out, model, 0, 1);
        out += "\n";
    }
    for (int32_t block = 0; block < BlockCount; ++block) {
        const int32_t first = BlockFirstRow(block);
        if (!HoldsAnything(model, first, BlockRows)) continue;
        out += "block " + std::to_string(block) + "  " +
               Display(FieldText(model.labels[static_cast<size_t>(block)].alias)) + "\n";
        AppendRows(out, model, first, BlockRows);
        out += "\n";
    }
    if (out.empty()) out += "(no elements)\n\n";
    AppendOperands(out, model);
    return out;
}

}  // namespace velmorin
