#include "link/monitor_set.h"
#include "model/messages.h"

#include "link/monitor_messages.h"
#include "model/operand_areas.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr uint8_t EndMark = 0xFF;
// Items 1..92 are the one-byte addresses 0..91; the count states follow,
// one item per two addresses.
constexpr int LastByteItem = 92;
constexpr int32_t FirstListedCountState = FirstCountState + 1;

bool IsEnd(const NameField& name) { return static_cast<uint8_t>(name[0]) == EndMark; }

// Walks the listed addresses in item order; stops where the list ends.
template <typename Visit>
void ForEachListedAddress(const MonitorNameTable& names, Visit visit) {
    for (int32_t address = 0; address < FirstCountState; ++address) {
        if (IsEnd(names[static_cast<size_t>(address)])) return;
        visit(address);
    }
    for (int32_t address = FirstListedCountState; address < MonitorNameCount; address += 2) {
        if (IsEnd(names[static_cast<size_t>(address)])) return;
        visit(address);
    }
}

const OperandArea* MonitorAreaOf(int32_t address) {
    for (const OperandArea& area : MonitorAreas) {
        if (area.id < 0) break;
        if (address >= area.first && address <= area.last) return &area;
    }
    return nullptr;
}

std::string NameText(const NameField& name) { return Windows1252ToUtf8(FieldText(name)); }

}  // namespace

std::vector<std::string> VariableListItems(const MonitorNameTable& names) {
    std::vector<std::string> items{NoVariableItem};
    ForEachListedAddress(names,
                         [&](int32_t address) { items.push_back(NameText(names[static_cast<size_t>(address)])); });
    return items;
}

int VariableItemCount(const MonitorNameTable& names) {
    int count = 1;
    ForEachListedAddress(names, [&](int32_t) { ++count; });
    return count;
}

int32_t ReferenceForItem(int item) { return item <= LastByteItem ? item : 2 * item - 93; }

int ItemForReference(int32_t reference) { return reference <= LastByteItem ? reference : (reference - 93) / 2 + 93; }

bool ListShowsReference(int32_t reference, const MonitorNameTable& names) {
    if (reference < 0) return false;
    const int item = ItemForReference(reference);
    return item < VariableItemCount(names) && ReferenceForItem(item) == reference;
}

uint32_t VariableValue(const ControllerImage& image, int32_t address, bool word) {
    return word ? image.Word(address) : image.Byte(address);
}

RowValue ShowRowValue(const MonitorRow& row, const ControllerImage& image) {
    if (!row.hasVariable()) return {"----", std::nullopt};
    const uint32_t value = VariableValue(image, row.address(), row.word != 0);
    return {std::to_string(value), (value & 1) != 0};
}

std::array<RowView, MonitorRowsPerMap> ShowMap(const MonitorMap& map, const ControllerImage& image) {
    std::array<RowView, MonitorRowsPerMap> views;
    for (size_t i = 0; i < map.size(); ++i) {
        const MonitorRow& row = map[i];
        views[i] = {ItemForReference(row.reference), ShowRowValue(row, image), row.word != 0, row.send != 0};
    }
    return views;
}

std::array<RowValue, MonitorRowsPerMap> RefreshMapValues(const MonitorMap& map, const ControllerImage& image) {
    std::array<RowValue, MonitorRowsPerMap> values;
    for (size_t i = 0; i < map.size(); ++i) values[i] = ShowRowValue(map[i], image);
    return values;
}

std::optional<std::string> SelectVariable(MonitorRow& row, int item, const MonitorNameTable& names) {
    if (item < 0 || item >= VariableItemCount(names)) return std::nullopt;
    row.reference = ReferenceForItem(item);
    if (!row.hasVariable()) return std::nullopt;
    const OperandArea* area = MonitorAreaOf(row.address());
    if (area == nullptr) return std::nullopt;
    return NameText(names[static_cast<size_t>(row.address())]) + ": " + area->caption;
}

PollList BuildPollList(std::span<const MonitorRow> rows) {
    PollList list;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].hasVariable()) continue;
        list.push_back({static_cast<int32_t>(i), rows[i].address()});
        if (rows[i].word != 0) list.push_back({0, rows[i].reference});
    }
    return list;
}

PollList RebuildPollList(std::span<const MonitorRow> rows) {
    PollList list;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].hasVariable()) list.push_back({static_cast<int32_t>(i), rows[i].address()});
    return list;
}

PollAddresses PollListAddresses(const PollList& list) {
    PollAddresses addresses;
    for (const PollEntry& entry : list) addresses.push_back(entry.address);
    return addresses;
}

VariablePollPlan PlanVariablePoll(std::span<const MonitorRow> rows) {
    VariablePollPlan out;
    const PollList first = BuildPollList(rows);
    if (first.empty()) {
        out.result = Result::Fail(msg::NoVariablesToReceive);
        return out;
    }
    out.plan = {ListPolicy::RenewAtCycleEnd, PollListAddresses(first)};
    out.renewed = PollListAddresses(RebuildPollList(rows));
    return out;
}

std::optional<uint16_t> ParseRowValue(const std::string& text, bool word) {
    const uint32_t limit = word ? 0xFFFF : 0xFF;
    uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
        if (value > limit) return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

SendPlan PlanSendValues(const MonitorMap& map, std::span<const std::string, MonitorRowsPerMap> fields) {
    SendPlan plan;
    for (size_t i = 0; i < map.size(); ++i) {
        const MonitorRow& row = map[i];
        if (row.send == 0 || !row.hasVariable()) continue;
        const std::optional<uint16_t> value = ParseRowValue(fields[i], row.word != 0);
        if (!value) return {Result::Fail(msg::InvalidData), {}};
        plan.rows.push_back({row.address(), row.word != 0, *value});
    }
    return plan;
}

}  // namespace velmorin
