#include "editor/parameter_session.h"

#include <algorithm>
#include <cstring>

#include "editor/editor_messages.h"
#include "model/messages.h"
#include "model/operand_areas.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr size_t MaxTypedLength = 8;   // the edit boxes take eight characters
constexpr int32_t OfferedLabels = 24;  // label 24 belongs to no block

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view FieldView(const NameField& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return {field.data(), static_cast<size_t>(end - field.begin())};
}

std::string Readable(const NameField& field) { return Windows1252ToUtf8(FieldView(field)); }

// A fresh 10-byte field holding `bytes` (at most 8) and zeros after.
NameField FieldOf(std::string_view bytes) {
    NameField field{};
    std::memcpy(field.data(), bytes.data(), std::min(bytes.size(), MaxTypedLength));
    return field;
}

// The stored text of a number or time record as the edit box shows it.
std::string RecordText(const ParamSlot& slot) {
    if (slot[0] == Unchosen) return {};
    std::string bytes = SlotText(slot);
    if (bytes.size() > MaxTypedLength) bytes.resize(MaxTypedLength);
    return Windows1252ToUtf8(bytes);
}

const char* AreaCaption(int32_t index) {
    for (const OperandArea& area : VariableAreas) {
        if (area.id < 0) break;
        if (index >= area.first && index <= area.last) return area.caption;
    }
    return "";
}

bool IsValueKind(int32_t display) {
    return display == static_cast<int32_t>(ParamKind::Number) || display == static_cast<int32_t>(ParamKind::Time10) ||
           display == static_cast<int32_t>(ParamKind::Time100);
}

}  // namespace

std::vector<int32_t> InstructionsForKind(int32_t kind) {
    std::vector<int32_t> ids;
    if (!KindHas(kind, AttrElement)) return ids;
    for (const CatalogueEntry& entry : ElementCatalogue) {
        if (entry.cellKind == kind && entry.opcode >= 0) ids.push_back(entry.id);
    }
    std::stable_sort(ids.begin(), ids.end(), [](int32_t a, int32_t b) {
        return std::strcmp(CatalogueEntryFor(a).mnemonic, CatalogueEntryFor(b).mnemonic) < 0;
    });
    return ids;
}

std::string WithoutSpaces(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ') out.push_back(c);
    }
    return out;
}

bool ValueTextValid(ParamKind kind, int32_t low, int32_t high, std::string_view text) {
    if (text.empty() || text.size() > MaxTypedLength) return false;
    int32_t decimals = 0;
    if (kind == ParamKind::Time10) decimals = 1;
    if (kind == ParamKind::Time100) decimals = 2;
    if (kind != ParamKind::Number && decimals == 0) return false;

    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (point != std::string_view::npos && decimals == 0) return false;
    if (fraction.size() > static_cast<size_t>(decimals)) return false;  // also a second point
    if (whole.empty() && fraction.empty()) return false;
    if (!std::all_of(whole.begin(), whole.end(), IsDigit) || !std::all_of(fraction.begin(), fraction.end(), IsDigit))
        return false;

    // Eight characters at most, so the value fits easily.
    int64_t value = 0;
    for (char c : whole) value = value * 10 + (c - '0');
    for (int32_t i = 0; i < decimals; ++i) {
        value = value * 10 + (static_cast<size_t>(i) < fraction.size() ? fraction[static_cast<size_t>(i)] - '0' : 0);
    }
    return value >= low && value <= high;
}

std::optional<std::string> StoredName(std::string_view text) {
    std::optional<std::string> bytes = Utf8ToWindows1252(text);
    if (!bytes || bytes->empty() || bytes->size() > MaxTypedLength) return std::nullopt;
    // A zero byte would cut the name short in its field.
    if (bytes->find('\0') != std::string::npos) return std::nullopt;
    return bytes;
}

ParameterSession::ParameterSession(ProgramModel& model, const ParameterRequest& request)
    : model_(model),
      request_(request),
      records_(request.params),
      savedAliases_(model.aliases),
      savedLabels_(model.labels),
      instructions_(InstructionsForKind(request.kind)) {
    if (!instructions_.empty()) selected_ = 0;
    for (size_t i = 0; i < instructions_.size(); ++i) {
        if (instructions_[i] == request.element) selected_ = static_cast<int32_t>(i);
    }
}

int32_t ParameterSession::selectedElement() const {
    return selected_ < 0 ? ElementNone : instructions_[static_cast<size_t>(selected_)];
}

int32_t ParameterSession::ParameterCount() const {
    if (selected_ < 0) return 0;
    return std::min(CatalogueEntryFor(selectedElement()).paramCount, EditableParameters);
}

const ParamDef* ParameterSession::Definition(int32_t parameter) const {
    if (parameter < 0 || parameter >= ParameterCount()) return nullptr;
    return &CatalogueEntryFor(selectedElement()).paramDefs[static_cast<size_t>(parameter)];
}

void ParameterSession::SetText(int32_t parameter, std::string text) { params_[Slot(parameter)].text = std::move(text); }

std::array<const char*, 2> ParameterSession::listHeadings() const {
    const int32_t display = displayKind(active_);
    if (display == static_cast<int32_t>(ParamKind::Label)) return {msg::LabelHeading, msg::AliasHeading};
    return {msg::OperandHeading, msg::AliasHeading};
}

bool ParameterSession::Open(Prompts& prompts) { return ShowSelected(prompts); }

bool ParameterSession::ShowSelected(Prompts& prompts) {
    const size_t offered = instructions_.size();
    for (size_t tried = 1;; ++tried) {
        if (ShowInstruction() == Shown::Ok) return true;
        if (offered < 2 || tried >= offered) {
            prompts.ShowMessage(msg::NoJumpTargets);
            CloseCancelled();
            return false;
        }
        selected_ = static_cast<int32_t>((static_cast<size_t>(selected_) + 1) % offered);
        // The records of the skipped instruction mean nothing to the next one.
        UnsetRecords();
    }
}

ParameterSession::Shown ParameterSession::ShowInstruction() {
    areaLine_.clear();
    params_ = {};
    listEnabled_ = false;
    rows_.clear();
    listSelection_ = -1;
    active_ = 0;
    description_.clear();
    if (selected_ < 0) return Shown::Ok;

    description_ = CatalogueEntryFor(selectedElement()).description;
    const int32_t count = ParameterCount();
    for (int32_t p = 0; p < count; ++p) {
        const ParamDef& def = *Definition(p);
        ParamState& state = params_[Slot(p)];
        state.display = static_cast<int32_t>(def.kind);
        state.caption = def.label;
        state.enabled = true;
        if (IsValueKind(state.display)) state.text = RecordText(records_[static_cast<size_t>(p)]);
    }
    // Parameter 2 first, so that the dialog ends with parameter 1 active and
    // both boxes showing the chosen names.
    for (int32_t p = count - 1; p >= 0; --p) {
        active_ = p;
        if (!BuildList(p)) return Shown::NoLabel;
        if (listSelection_ >= 0) ApplyRow(listSelection_);
    }
    active_ = 0;
    return Shown::Ok;
}

bool ParameterSession::BuildList(int32_t parameter) {
    rows_.clear();
    listSelection_ = -1;
    listEnabled_ = false;
    const ParamDef* def = Definition(parameter);
    if (!def) return true;
    const uint8_t held = records_[static_cast<size_t>(parameter)][0];

    if (def->kind == ParamKind::Label) {
        // A jump goes forward only: labels of later blocks.
        for (int32_t j = 0; j < OfferedLabels; ++j) {
            if (BlockRows * j < request_.cell.row) continue;
            const LabelEntry& label = model_.labels[static_cast<size_t>(j)];
            rows_.push_back({Readable(label.name), Readable(label.alias), j});
        }
        if (rows_.empty()) return false;
    } else if (def->kind == ParamKind::Variable) {
        const IndexRange range = VariableRange(*def);
        for (int32_t i = std::max(range.first, 0); i <= std::min(range.last, AliasCount - 1); ++i) {
            const AliasEntry& entry = model_.aliases[static_cast<size_t>(i)];
            if (static_cast<uint8_t>(entry.name[0]) == 0xFF) break;
            rows_.push_back({Readable(entry.name), Readable(entry.alias), i});
        }
    } else {
        return true;
    }
    listEnabled_ = true;
    if (rows_.empty()) return true;
    // Whatever the cell held, only an offered row can be the choice.
    listSelection_ = 0;
    for (size_t n = 0; n < rows_.size(); ++n) {
        if (rows_[n].index == held) listSelection_ = static_cast<int32_t>(n);
    }
    return true;
}

void ParameterSession::ApplyRow(int32_t row) {
    const ParamDef* def = Definition(active_);
    if (!def || row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
    listSelection_ = row;
    const int32_t index = rows_[static_cast<size_t>(row)].index;
    ParamSlot& record = records_[static_cast<size_t>(active_)];
    record[0] = static_cast<uint8_t>(index);
    record[1] = 0;
    if (def->kind == ParamKind::Label) {
        params_[Slot(active_)].text = Readable(model_.labels[static_cast<size_t>(index)].alias);
    } else {
        params_[Slot(active_)].text = Readable(model_.aliases[static_cast<size_t>(index)].alias);
        areaLine_ = AreaCaption(index);
    }
}

void ParameterSession::ChooseRow(int32_t row) {
    if (state_ != State::Open || !listEnabled_) return;
    ApplyRow(row);
}

bool ParameterSession::SelectInstruction(int32_t position, Prompts& prompts) {
    if (state_ != State::Open) return false;
    if (position < 0 || static_cast<size_t>(position) >= instructions_.size()) return true;
    selected_ = position;
    UnsetRecords();
    return ShowSelected(prompts);
}

void ParameterSession::UnsetRecords() {
    for (ParamSlot& record : records_) record[0] = Unchosen;
}

bool ParameterSession::Validate(int32_t parameter, Prompts& prompts) {
    const ParamDef* def = Definition(parameter);
    if (!def) return true;
    const std::string typed = WithoutSpaces(text(parameter));
    const uint8_t chosen = records_[static_cast<size_t>(parameter)][0];

    if (def->kind == ParamKind::Variable || def->kind == ParamKind::Label) {
        // An empty box renames nothing; accepting it is refused as empty.
        if (typed.empty()) return true;
        const std::optional<std::string> name = StoredName(typed);
        if (!name) {
            prompts.ShowMessage(msg::InvalidData);
            return false;
        }
        if (def->kind == ParamKind::Variable) {
            if (chosen == Unchosen) return false;
            for (size_t i = 0; i < model_.aliases.size(); ++i) {
                const AliasEntry& entry = model_.aliases[i];
                if (static_cast<uint8_t>(entry.name[0]) == 0xFF) break;
                if (i != chosen && SameNameIgnoringCase(*name, FieldView(entry.alias))) {
                    prompts.ShowMessage(msg::DuplicateVariable);
                    return false;
                }
            }
            model_.aliases[chosen].alias = FieldOf(*name);
        } else {
            if (chosen >= LabelCount) return false;
            for (size_t j = 0; j < model_.labels.size(); ++j) {
                if (j != chosen && SameNameIgnoringCase(*name, FieldView(model_.labels[j].alias))) {
                    prompts.ShowMessage(msg::DuplicateLabel);
                    return false;
                }
            }
            model_.labels[chosen].alias = FieldOf(*name);
        }
        return true;
    }
    if (IsValueKind(static_cast<int32_t>(def->kind)) && !ValueTextValid(def->kind, def->low, def->high, typed)) {
        // An empty box is left for the accept to refuse as empty.
        if (typed.empty()) return true;
        prompts.ShowMessage(msg::InvalidData);
        return false;
    }
    return true;
}

void ParameterSession::FocusEntered(int32_t parameter, Prompts& prompts, const FocusEdit& focusEdit) {
    if (state_ != State::Open || !guard_) return;
    if (parameter < 0 || parameter >= ParameterCount()) return;
    guard_ = false;
    const int32_t other = 1 - parameter;
    if (Validate(other, prompts)) {
        active_ = parameter;
        BuildList(parameter);
    } else if (focusEdit) {
        focusEdit(other);
    }
    guard_ = true;
}

bool ParameterSession::Accept(Prompts& prompts, const FocusEdit& focusEdit) {
    if (state_ != State::Open) return false;
    guard_ = false;
    const int32_t count = ParameterCount();
    for (int32_t p = 0; p < count; ++p) {
        if (WithoutSpaces(text(p)).empty()) {
            prompts.ShowMessage(msg::EmptyParameter);
            if (focusEdit) focusEdit(p);
            guard_ = true;
            return false;
        }
    }
    for (int32_t p = 0; p < count; ++p) {
        if (!Validate(p, prompts)) {
            if (focusEdit) focusEdit(p);
            guard_ = true;
            return false;
        }
    }
    guard_ = true;

    resultElement_ = selectedElement();
    for (int32_t p = 0; p < count; ++p) {
        const ParamDef& def = *Definition(p);
        if (!IsValueKind(static_cast<int32_t>(def.kind))) continue;
        // Validated digits and a point: the same bytes in either encoding.
        ParamSlot& record = records_[static_cast<size_t>(p)];
        record.fill(0);
        SetSlotText(record, WithoutSpaces(text(p)));
    }
    state_ = State::Accepted;
    return true;
}

void ParameterSession::Cancel() {
    if (state_ != State::Open) return;
    CloseCancelled();
}

void ParameterSession::CloseCancelled() {
    // Every way of closing without accepting puts the tables back, so no
    // rename survives a cell that is rolled back.
    model_.aliases = savedAliases_;
    model_.labels = savedLabels_;
    state_ = State::Cancelled;
}

ParameterResult ParameterSession::result() const {
    ParameterResult out;
    out.accepted = state_ == State::Accepted;
    out.element = out.accepted ? resultElement_ : ElementNone;
    out.params = records_;
    return out;
}

}  // namespace velmorin
