#include "link/monitor_watch.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>

#include "link/monitor_file.h"
#include "link/monitor_messages.h"
#include "model/messages.h"
#include "model/operand_areas.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr int MaxNumberDigits = 6;

// The names a reset gives the monitor table: what the lists show before
// any program lends its aliases.
const MonitorNameTable& StandardMonitorNames() {
    static const MonitorNameTable names = [] {
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        return model->monitorNames;
    }();
    return names;
}

// "CntE01" -> {"CNTE", 1}; nothing unless letters are followed by digits.
struct SplitName {
    std::string letters;
    int number = 0;
    bool operator==(const SplitName&) const = default;
};

std::optional<SplitName> Split(const std::string& text) {
    SplitName split;
    size_t i = 0;
    for (; i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])); ++i)
        split.letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(text[i]))));
    if (split.letters.empty() || i == text.size() || text.size() - i > MaxNumberDigits) return std::nullopt;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        split.number = split.number * 10 + (text[i] - '0');
    }
    return split;
}

std::optional<int32_t> ParseAddress(const std::string& text) {
    if (text.empty() || text.size() > MaxNumberDigits) return std::nullopt;
    int32_t value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > HighestPollAddress) return std::nullopt;
    return value;
}

// A count state is a word by its name; any other name read as a word says so.
std::string LabelFor(const std::string& name, int32_t address, bool word) {
    return word && address < FirstCountState ? name + ":w" : name;
}

// The listed address whose name matches, if any.
std::optional<int32_t> FindListedName(const std::string& text) {
    const std::optional<SplitName> wanted = Split(text);
    if (!wanted) return std::nullopt;
    const MonitorNameTable& names = StandardMonitorNames();
    const int count = VariableItemCount(names);
    for (int item = 1; item < count; ++item) {
        const int32_t address = ReferenceForItem(item) - 1;
        if (Split(FieldText(names[static_cast<size_t>(address)])) == wanted) return address;
    }
    return std::nullopt;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

std::string ValueText(const WatchVariable& variable, const ControllerImage& image) {
    return std::to_string(VariableValue(image, variable.address, variable.word));
}

}  // namespace

Result ParseWatchVariable(const std::string& text, WatchVariable& variable) {
    const Result refused = Result::Fail("Variable desconocida: " + text);
    std::string name = text;
    bool word = false;
    if (name.size() > 2 && name[name.size() - 2] == ':' &&
        std::tolower(static_cast<unsigned char>(name.back())) == 'w') {
        word = true;
        name.resize(name.size() - 2);
    }
    if (const std::optional<int32_t> address = ParseAddress(name)) {
        variable = {*address, word, std::to_string(*address) + (word ? ":w" : "")};
        return Result::Ok();
    }
    const std::optional<int32_t> address = FindListedName(name);
    if (!address) return refused;
    const bool countState = *address >= FirstCountState;
    const std::string canonical = FieldText(StandardMonitorNames()[static_cast<size_t>(*address)]);
    variable = {*address, word || countState, LabelFor(canonical, *address, word)};
    return Result::Ok();
}

Result ParseWriteAssignment(const std::string& text, SendRow& row) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos) return Result::Fail("Falta el valor: " + text);
    WatchVariable variable;
    if (Result parsed = ParseWatchVariable(text.substr(0, equals), variable); !parsed) return parsed;
    // On the command line an empty value is a slip, not a zero to force on a machine.
    const std::string value = text.substr(equals + 1);
    const std::optional<uint16_t> parsed = value.empty() ? std::nullopt : ParseRowValue(value, variable.word);
    if (!parsed) return Result::Fail(msg::InvalidData);
    row = {variable.address, variable.word, *parsed};
    return Result::Ok();
}

WatchSet ReadWatchSet(const std::string& path, int mapIndex) {
    WatchSet set;
    if (mapIndex < 0 || mapIndex >= MonitorMapCount) {
        set.result = Result::Fail("Mapa inexistente");
        return set;
    }
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    MonitorFileContents contents;
    if (Result read = ReadMonitorFile(path, model->monitorNames, contents); !read) {
        set.result = read;
        return set;
    }
    if (!contents.programPath.empty()) {
        std::vector<SourceAlias> records;
        if (const Result aliases = ReadAssociatedAliases(contents.programPath, records); aliases)
            ApplyProgramAliases(records, model->aliases, model->monitorNames);
        else
            set.warning = aliases.message;
    }
    for (const MonitorRow& row : contents.set[static_cast<size_t>(mapIndex)]) {
        if (!row.hasVariable()) continue;
        const std::string name = Windows1252ToUtf8(FieldText(model->monitorNames[static_cast<size_t>(row.address())]));
        set.variables.push_back({row.address(), row.word != 0, LabelFor(name, row.address(), row.word != 0)});
    }
    if (set.variables.empty()) set.result = Result::Fail(msg::NoVariablesToReceive);
    return set;
}

std::vector<MonitorRow> WatchRows(std::span<const WatchVariable> variables) {
    std::vector<MonitorRow> rows;
    for (const WatchVariable& v : variables) rows.push_back({v.address + 1, static_cast<uint8_t>(v.word ? 1 : 0), 0});
    return rows;
}

std::string FormatWatchTimestamp(const std::tm& local, int milliseconds) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, milliseconds);
    return text;
}

std::string FormatWatchLine(const std::string& timestamp, std::span<const WatchVariable> variables,
                            const ControllerImage& image, bool replied) {
    std::string line = timestamp;
    if (!replied) return line + " sin respuesta";
    for (const WatchVariable& v : variables) line += " " + v.label + "=" + ValueText(v, image);
    return line;
}

std::string FormatWatchCsvHeader(std::span<const WatchVariable> variables) {
    std::string line = "hora";
    for (const WatchVariable& v : variables) line += "," + CsvField(v.label);
    return line;
}

std::string FormatWatchCsvRow(const std::string& timestamp, std::span<const WatchVariable> variables,
                              const ControllerImage& image, bool replied) {
    std::string line = CsvField(timestamp);
    for (const WatchVariable& v : variables) line += "," + (replied ? ValueText(v, image) : std::string());
    return line;
}

}  // namespace velmorin
