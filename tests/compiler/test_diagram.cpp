#include "test_diagram.h"

#include <cctype>
#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmorin::testing {
namespace {

struct WireGlyph {
    std::string_view glyph;
    int32_t kind;
};
constexpr WireGlyph Wires[] = {
    {"─", KindHorizontal}, {"│", KindVertical}, {"┼", KindCross},
    {"┬", KindTeeLeftRightDown}, {"┴", KindTeeLeftRightUp}, {"├", KindTeeUpDownRight},
    {"┤", KindTeeUpDownLeft}, {"┌", KindCornerDownRight}, {"┐", KindCornerDownLeft},
    {"└", KindCornerUpRight}, {"┘", KindCornerUpLeft},
};

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) tokens.push_back(text.substr(start, i - start));
    }
    return tokens;
}

int Number(std::string_view text) {
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) throw std::invalid_argument(std::string(text));
    return value;
}

int ElementByMnemonic(std::string_view mnemonic) {
    for (const CatalogueEntry& entry : ElementCatalogue)
        if (mnemonic == entry.mnemonic) return entry.id;
    throw std::invalid_argument("no element " + std::string(mnemonic));
}

}  // namespace

int OperandIndex(const ProgramModel& model, std::string_view name) {
    if (!name.empty() && name[0] == '#') return Number(name.substr(1));
    for (int i = 0; i < AliasCount; ++i) {
        const std::string canonical = FieldText(model.aliases[i].name);
        if (canonical.size() != name.size() || canonical.empty()) continue;
        bool same = true;
        for (size_t c = 0; c < name.size(); ++c)
            same = same && std::tolower(static_cast<unsigned char>(canonical[c])) == std::tolower(static_cast<unsigned char>(name[c]));
        if (same) return i;
    }
    throw std::invalid_argument("no operand " + std::string(name));
}

Diagram::Diagram() : model_(std::make_unique<ProgramModel>()) { ResetModel(*model_); }

Diagram& Diagram::Block(int block, std::initializer_list<std::string_view> rows) {
    int row = BlockFirstRow(block);
    for (std::string_view cells : rows) Row(row++, cells);
    return *this;
}

Diagram& Diagram::Row(int row, std::string_view cells) {
    int column = 1;
    for (std::string_view token : Tokens(cells)) Cell(row, column++, token);
    return *this;
}

Diagram& Diagram::Alias(std::string_view operand, std::string_view alias) {
    SetFieldText(model_->aliases[OperandIndex(*model_, operand)].alias, alias);
    return *this;
}

void Diagram::Cell(int row, int column, std::string_view token) {
    LadderCell& cell = model_->grid.at(row, column);
    if (token == ".") return;
    for (const WireGlyph& w : Wires) {
        if (token == w.glyph) {
            cell.shape = w.kind;
            return;
        }
    }
    if (token[0] == '#') {
        cell.shape = Number(token.substr(1));
        return;
    }
    if (token == "▽") {
        const LadderCell& upper = model_->grid.at(row - 1, column);
        cell.shape = KindBoxLowerHalf;
        cell.element = upper.element;
        return;
    }
    const std::vector<std::string_view> parts = Split(token, ':');
    std::string_view mnemonic = parts[0];
    int32_t kind = -1;
    if (const size_t eq = mnemonic.find('='); eq != std::string_view::npos) {
        kind = Number(mnemonic.substr(eq + 1));
        mnemonic = mnemonic.substr(0, eq);
    }
    const int element = ElementByMnemonic(mnemonic);
    const CatalogueEntry& entry = CatalogueEntryFor(element);
    cell.element = element;
    cell.shape = kind >= 0 ? kind : entry.cellKind;
    for (size_t p = 1; p < parts.size(); ++p) {
        const ParamDef& def = entry.paramDefs[p - 1];
        ParamSlot& slot = cell.params[p - 1];
        const std::string_view value = parts[p];
        switch (def.kind) {
            case ParamKind::Label:
                slot[0] = static_cast<uint8_t>(Number(value.substr(value[0] == '@' ? 1 : 0)));
                slot[1] = 0;
                break;
            case ParamKind::Variable:
                slot[0] = static_cast<uint8_t>(OperandIndex(*model_, value));
                slot[1] = 0;
                break;
            default:
                SetSlotText(slot, value);
                break;
        }
    }
}

}  // namespace velmorin::testing
