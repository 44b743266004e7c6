#include "editor/find.h"

#include "model/text_encoding.h"

namespace velmorin {
namespace {

bool Before(CellPos a, CellPos b) { return a.row != b.row ? a.row < b.row : a.column < b.column; }

std::string_view FieldView(const NameField& field) {
    size_t n = 0;
    while (n < field.size() && field[n] != '\0') ++n;
    return {field.data(), n};
}

bool NamesLabel(const ProgramModel& model, std::string_view word, uint8_t label) {
    if (label >= LabelCount) return false;
    const LabelEntry& entry = model.labels[label];
    return SameNameIgnoringCase(word, FieldView(entry.name)) || SameNameIgnoringCase(word, FieldView(entry.alias));
}

bool NamesOperand(const ProgramModel& model, std::string_view word, uint8_t index) {
    const AliasEntry& entry = model.aliases[index];
    if (entry.name[0] == 0 || static_cast<unsigned char>(entry.name[0]) == Unchosen) return false;
    return SameNameIgnoringCase(word, FieldView(entry.name)) || SameNameIgnoringCase(word, FieldView(entry.alias));
}

bool CellMatches(const ProgramModel& model, const LadderCell& cell, std::string_view word) {
    if (!KindHas(cell.shape, AttrElement) || cell.shape == KindBoxLowerHalf || cell.element < 0 ||
        cell.element >= ElementDummy)
        return false;
    const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
    if (SameNameIgnoringCase(word, entry.mnemonic)) return true;
    for (int32_t p = 0; p < entry.paramCount; ++p) {
        const uint8_t index = cell.params[static_cast<size_t>(p)][0];
        if (index == Unchosen) continue;
        const ParamKind kind = entry.paramDefs[static_cast<size_t>(p)].kind;
        if (kind == ParamKind::Variable && NamesOperand(model, word, index)) return true;
        if (kind == ParamKind::Label && NamesLabel(model, word, index)) return true;
    }
    return false;
}

}  // namespace

std::vector<CellPos> FindMatches(const ProgramModel& model, std::string_view word) {
    std::vector<CellPos> matches;
    while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
    while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
    // Names are Windows-1252 in the model; a word it cannot spell names nothing.
    const std::optional<std::string> bytes = Utf8ToWindows1252(word);
    if (!bytes || bytes->empty()) return matches;
    for (int32_t row = FirstEditRow; row <= LastEditRow; ++row) {
        if (IsBlockFirstRow(row) && NamesLabel(model, *bytes, static_cast<uint8_t>(BlockOfRow(row))))
            matches.push_back({0, row});
        for (int32_t column = FirstEditColumn; column <= LastEditColumn; ++column)
            if (CellMatches(model, model.grid.at(row, column), *bytes)) matches.push_back({column, row});
    }
    return matches;
}

FindStep StepToMatch(const std::vector<CellPos>& matches, CellPos from, bool forward, bool includeFrom) {
    FindStep step;
    if (matches.empty()) return step;
    if (forward) {
        for (const CellPos& m : matches) {
            if (Before(from, m) || (includeFrom && m == from)) {
                step.match = m;
                return step;
            }
        }
        step.match = matches.front();
    } else {
        for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
            if (Before(*it, from) || (includeFrom && *it == from)) {
                step.match = *it;
                return step;
            }
        }
        step.match = matches.back();
    }
    step.wrapped = true;
    return step;
}

CellPos CursorFor(CellPos match) {
    if (match.column < FirstEditColumn) match.column = FirstEditColumn;
    return match;
}

}  // namespace velmorin
