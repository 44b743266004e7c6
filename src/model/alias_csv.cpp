#include "model/alias_csv.h"

#include <cstdio>
#include <optional>

#include "model/atomic_file.h"
#include "model/messages.h"
#include "model/operand_areas.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr char Separator = ';';
constexpr size_t MaxAliasBytes = 8;
constexpr std::string_view Header[] = {"memoria", "alias"};
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t MaxFileBytes = 1 << 20;

bool IsNamed(const AliasEntry& entry) {
    return entry.name[0] != 0 && static_cast<unsigned char>(entry.name[0]) != Unchosen;
}

// The named operands: the alias table up to its end mark.
int32_t NamedCount(const ProgramModel& model) {
    int32_t count = 0;
    while (count < AliasCount && IsNamed(model.aliases[static_cast<size_t>(count)])) ++count;
    return count;
}

std::string Quoted(const std::string& field) {
    if (field.find_first_of(";\"\r\n") == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The fields of one line; nothing when a quote is left open.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') {
                fields.back() += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == Separator) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (quoted) return std::nullopt;
    for (std::string& field : fields) field = std::string(Trimmed(field));
    // Spreadsheets add empty columns after the last one used.
    while (fields.size() > 2 && fields.back().empty()) fields.pop_back();
    return fields;
}

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string Detail(const char* format, int line, const std::string& text = {}, const std::string& more = {}) {
    char buffer[512];
    if (more.empty()) {
        std::snprintf(buffer, sizeof buffer, format, line, text.c_str());
    } else {
        std::snprintf(buffer, sizeof buffer, format, line, text.c_str(), more.c_str());
    }
    return buffer;
}

Result Refused(std::string detail) { return Result::Fail(msg::AliasesNotImported, std::move(detail)); }

}  // namespace

std::string FormatAliasCsv(const ProgramModel& model) {
    std::string out = std::string(Header[0]) + Separator + std::string(Header[1]) + "\n";
    const int32_t count = NamedCount(model);
    for (int32_t index = 0; index < count; ++index) {
        const AliasEntry& entry = model.aliases[static_cast<size_t>(index)];
        out += Quoted(Windows1252ToUtf8(FieldText(entry.name))) + Separator +
               Quoted(Windows1252ToUtf8(FieldText(entry.alias))) + "\n";
    }
    return out;
}

Result ParseAliasCsv(const ProgramModel& model, std::string_view text, std::vector<AliasAssignment>& assignments) {
    assignments.clear();
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark) text.remove_prefix(ByteOrderMark.size());
    const int32_t named = NamedCount(model);
    std::vector<int> lineOf(static_cast<size_t>(named), 0);  // the line that named each operand
    std::vector<AliasAssignment> rows;
    std::vector<int> rowLines;
    bool headerSeen = false;
    int line = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (!IsValidUtf8(raw)) return Refused(Detail(msg::CsvNotUtf8, line));
        const std::optional<std::vector<std::string>> fields = Fields(raw);
        if (!fields) return Refused(Detail(msg::CsvBadQuotes, line));
        bool blank = true;
        for (const std::string& field : *fields) blank = blank && field.empty();
        if (blank) continue;
        if (!headerSeen) {
            if (fields->size() != 2 || !SameAscii((*fields)[0], Header[0]) || !SameAscii((*fields)[1], Header[1]))
                return Refused(Detail(msg::CsvNoHeader, line));
            headerSeen = true;
            continue;
        }
        if (fields->size() != 2) return Refused(Detail(msg::CsvFieldCount, line));
        const std::string& memory = (*fields)[0];
        const std::string& typed = (*fields)[1];

        int32_t index = 0;
        while (index < named && !SameAscii(FieldText(model.aliases[static_cast<size_t>(index)].name), memory)) ++index;
        if (index == named) return Refused(Detail(msg::CsvUnknownMemory, line, memory));
        if (lineOf[static_cast<size_t>(index)] != 0) {
            char buffer[256];
            std::snprintf(buffer, sizeof buffer, msg::CsvMemoryTwice, line, memory.c_str(),
                          lineOf[static_cast<size_t>(index)]);
            return Refused(buffer);
        }
        lineOf[static_cast<size_t>(index)] = line;

        std::string bytes;
        if (typed.empty()) {
            bytes = FormatOperandName(VariableAreas, index);
        } else {
            const std::optional<std::string> converted = Utf8ToWindows1252(typed);
            if (!converted) return Refused(Detail(msg::CsvAliasNotWindows1252, line, typed));
            for (char c : *converted) {
                const auto b = static_cast<unsigned char>(c);
                if (b <= 0x20 || b == 0x7F || b == 0xA0) return Refused(Detail(msg::CsvAliasSpaces, line, typed));
            }
            if (converted->size() > MaxAliasBytes) return Refused(Detail(msg::CsvAliasTooLong, line, typed));
            bytes = *converted;
        }
        AliasAssignment assignment{index, {}};
        SetFieldText(assignment.alias, bytes);
        rows.push_back(assignment);
        rowLines.push_back(line);
    }
    if (!headerSeen) return Refused(Detail(msg::CsvNoHeader, line < 1 ? 1 : line));

    // Names must stay apart as the parameter dialog keeps them, checked on
    // the table as the import would leave it.
    std::vector<std::string> after(static_cast<size_t>(named));
    for (int32_t i = 0; i < named; ++i)
        after[static_cast<size_t>(i)] = FieldText(model.aliases[static_cast<size_t>(i)].alias);
    for (const AliasAssignment& row : rows) after[static_cast<size_t>(row.index)] = FieldText(row.alias);
    for (size_t r = 0; r < rows.size(); ++r) {
        const int32_t index = rows[r].index;
        for (int32_t other = 0; other < named; ++other) {
            if (other == index ||
                !SameNameIgnoringCase(after[static_cast<size_t>(index)], after[static_cast<size_t>(other)]))
                continue;
            return Refused(Detail(msg::CsvAliasDuplicate, rowLines[r],
                                  Windows1252ToUtf8(after[static_cast<size_t>(index)]),
                                  Windows1252ToUtf8(FieldText(model.aliases[static_cast<size_t>(other)].name))));
        }
    }
    assignments = std::move(rows);
    return Result::Ok();
}

void ApplyAliases(ProgramModel& model, const std::vector<AliasAssignment>& assignments) {
    for (const AliasAssignment& row : assignments) {
        if (row.index < 0 || row.index >= AliasCount) continue;
        NameField& alias = model.aliases[static_cast<size_t>(row.index)].alias;
        // An alias read as it was keeps its bytes, whatever follows its end
        // in the field, so the saved file changes only where a name did.
        if (FieldText(alias) != FieldText(row.alias)) alias = row.alias;
    }
}

Result WriteAliasCsvFile(const ProgramModel& model, const std::string& path) {
    return WriteFileAtomically(path, FormatAliasCsv(model));
}

Result ReadAliasCsvFile(const std::string& path, std::string& text) {
    std::vector<uint8_t> bytes;
    // One byte past the limit tells a file of exactly 1 MiB from a longer one.
    if (Result read = ReadFileBytes(path, MaxFileBytes + 1, bytes); !read) return read;
    if (bytes.size() > MaxFileBytes) return Result::Fail(msg::AliasesNotImported, msg::CsvTooLarge);
    text.assign(bytes.begin(), bytes.end());
    return Result::Ok();
}

}  // namespace velmorin
