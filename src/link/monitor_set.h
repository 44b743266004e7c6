#pragma once
// The variable monitor's rules without its window: the four maps of eight
// rows, the variable lists and what an item stands for, the texts a map
// shows, the description line, the poll lists and what "Enviar PLC" sends.
// Texts handed out here are UTF-8; the model's names are code page 1252.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/controller_image.h"
#include "link/poll_cycle.h"
#include "model/ladder_model.h"
#include "model/result.h"

namespace velmorin {

using MonitorNameTable = std::array<NameField, MonitorNameCount>;

// One row of a map; the file stores it as 8 bytes (reference as a
// little-endian int32, word, send, two unused zero bytes).
struct MonitorRow {
    int32_t reference = 0;  // 0 = no variable, else controller address + 1
    uint8_t word = 0;       // 1: a 16-bit value from the address and the next one
    uint8_t send = 0;       // 1: the row takes part in "Enviar PLC"

    bool hasVariable() const { return reference != 0; }
    int32_t address() const { return reference - 1; }
    bool operator==(const MonitorRow&) const = default;
};

constexpr int MonitorMapCount = 4;
constexpr int MonitorRowsPerMap = 8;
using MonitorMap = std::array<MonitorRow, MonitorRowsPerMap>;
using MonitorSet = std::array<MonitorMap, MonitorMapCount>;

// What the variable monitor keeps between openings; one instance, owned by
// the application, cleared by a new document.
struct MonitorState {
    MonitorSet set{};
    MonitorImage image;
    std::string programPath;  // the associated source file; empty when none

    void Clear() {
        set = MonitorSet{};
        image.Clear();
        programPath.clear();
    }
};

// ---- The variable lists ---------------------------------------------------

constexpr const char* NoVariableItem = "-----------";

// Item 0 "-----------", then the names of addresses 0..91, then one item per
// count state (the names of addresses 93, 95, ...); it ends at the first
// name that starts with 0xFF or after address 255.
std::vector<std::string> VariableListItems(const MonitorNameTable& names);
int VariableItemCount(const MonitorNameTable& names);

int32_t ReferenceForItem(int item);
int ItemForReference(int32_t reference);
// True when the lists can show the reference as it is: it names the item
// that gives this very reference back.
bool ListShowsReference(int32_t reference, const MonitorNameTable& names);

// ---- What a map shows -----------------------------------------------------

// The value of a variable as a row shows it: one byte, or the 16-bit word
// of the address and the next one.
uint32_t VariableValue(const ControllerImage& image, int32_t address, bool word);

struct RowValue {
    std::string text;          // "%u" of the value, "----" without a variable
    std::optional<bool> bit0;  // nothing without a variable
};
RowValue ShowRowValue(const MonitorRow& row, const ControllerImage& image);

struct RowView {
    int item = 0;
    RowValue value;  // opening a map clears the Bit0 box of a row without variable
    bool word = false;
    bool send = false;
};
std::array<RowView, MonitorRowsPerMap> ShowMap(const MonitorMap& map, const ControllerImage& image);
// After a poll cycle: the value fields and Bit0 boxes only; a row without
// variable leaves its Bit0 box as it is.
std::array<RowValue, MonitorRowsPerMap> RefreshMapValues(const MonitorMap& map, const ControllerImage& image);

// The row takes the item's reference. The description line for the chosen
// variable ("V01: Variable"), or nothing when it stays as it was (item 0).
std::optional<std::string> SelectVariable(MonitorRow& row, int item, const MonitorNameTable& names);

// ---- Polling --------------------------------------------------------------

struct PollEntry {
    int32_t row = 0;
    int32_t address = 0;
    bool operator==(const PollEntry&) const = default;
};
using PollList = std::vector<PollEntry>;

// "Recibir PLC": one {row, address} per row with a variable, and {0, address
// + 1} after a word row for its second byte.
PollList BuildPollList(std::span<const MonitorRow> rows);
// Each cycle end: the rows with a variable, without the words' second bytes.
PollList RebuildPollList(std::span<const MonitorRow> rows);
PollAddresses PollListAddresses(const PollList& list);

// What "Recibir PLC" starts the worker with. The window publishes
// `renewed` to the worker's channel before starting it, and the rebuilt
// list of the shown map again whenever a tab or a row changes, so that each
// cycle end polls the map then shown.
struct VariablePollPlan {
    Result result;          // "No hay variables para recibir" for a map without variables
    PollPlan plan;          // the first cycle's list, renewed at each cycle end
    PollAddresses renewed;  // the rebuilt list: PollListAddresses(RebuildPollList(rows))
};
VariablePollPlan PlanVariablePoll(std::span<const MonitorRow> rows);

// ---- Sending --------------------------------------------------------------

struct SendRow {
    int32_t address = 0;
    bool word = false;
    uint16_t value = 0;
    bool operator==(const SendRow&) const = default;
};

// The whole value field, decimal; an empty field is 0. Nothing when it
// holds anything but digits or exceeds 255 (byte) or 65535 (word).
std::optional<uint16_t> ParseRowValue(const std::string& text, bool word);

struct SendPlan {
    Result result;  // "Edición de datos inválido": nothing may be sent
    std::vector<SendRow> rows;
};
// The rows of the map marked for sending that name a variable, in order,
// with the values of their fields. One bad value refuses the whole send.
SendPlan PlanSendValues(const MonitorMap& map, std::span<const std::string, MonitorRowsPerMap> fields);

}  // namespace velmorin
