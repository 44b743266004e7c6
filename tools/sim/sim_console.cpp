#include "sim_console.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <sstream>
#include <vector>

#include "link/link_fields.h"
#include "model/operand_areas.h"

namespace velmorin::sim {

const char* const ConsoleHelp =
    "commands (a VAR is a memory name such as E1, S3, V12, CNT1, CNTE1, TPE3, or an address 0..255;\n"
    "          count states CNTEn/TPEn and a ':w' suffix are 16-bit words):\n"
    "  on VAR | off VAR | toggle VAR   switch bit 0 (an input, say)\n"
    "  set VAR VALUE                   store a value\n"
    "  get VAR...                      print values\n"
    "  fault none | silent | late MS | short N | badcheck | baddownload | shortupload N\n"
    "                                  misbehave (faults add up; 'none' clears them)\n"
    "  id N | password HHLL | rom HHLL set the identifier, the program password, the ROM version\n"
    "  show                            identifier, run state, faults, program date, inputs and outputs\n"
    "  dump | image                    memory / stored program in hex\n"
    "  quit\n";

namespace {

struct Variable {
    int address = 0;
    bool word = false;
    std::string name;
};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::optional<int> Number(const std::string& text, int max) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value <= max ? std::optional<int>(value) : std::nullopt;
}

std::optional<Variable> FindVariable(std::string text) {
    bool word = false;
    if (text.size() > 2 && (text.ends_with(":w") || text.ends_with(":W"))) {
        word = true;
        text.resize(text.size() - 2);
    }
    if (auto address = Number(text, 255)) return Variable{*address, word, std::to_string(*address)};
    const std::string wanted = Upper(text);
    for (int32_t index = 0; index < 256; ++index) {
        const std::string name = Upper(FormatOperandName(MonitorAreas, index));
        if (name.empty() || name != wanted) continue;
        return Variable{index, word || index >= FirstCountState, name};
    }
    return std::nullopt;
}

int Read(const Controller& c, const Variable& v) {
    return v.word ? c.memory[v.address] | (c.memory[(v.address + 1) & 0xFF] << 8) : c.memory[v.address];
}

void Write(Controller& c, const Variable& v, int value) {
    c.memory[v.address] = static_cast<uint8_t>(value & 0xFF);
    if (v.word) c.memory[(v.address + 1) & 0xFF] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

std::string HexRows(const std::array<uint8_t, 256>& bytes) {
    std::string out;
    char cell[8];
    for (int row = 0; row < 256; row += 16) {
        std::snprintf(cell, sizeof cell, "%02X:", row);
        out += cell;
        for (int i = 0; i < 16; ++i) {
            std::snprintf(cell, sizeof cell, " %02X", bytes[row + i]);
            out += cell;
        }
        out += '\n';
    }
    return out;
}

std::string Bits(const Controller& c, int first, int last) {
    std::string out;
    for (int a = first; a <= last; ++a) out += (c.memory[a] & 1) ? " 1" : " 0";
    return out;
}

std::string Show(const Controller& c) {
    const ImageDate date = DecodeDateStamp(c.stamp);
    char text[256];
    std::snprintf(text, sizeof text,
                  "controller %d, %s (run mode %d), password %04X, ROM %04X\n"
                  "faults: %s\n"
                  "program dated %02d-%02d-%04d\n",
                  c.id, c.running ? "running" : "stopped", static_cast<int>(c.mode), c.password, c.rom,
                  c.faults.Describe().c_str(), date.day, date.month0, date.year);
    std::string out = text;
    out += "inputs  E1..E8:" + Bits(c, 0, 7) + "\n";
    out += "outputs S1..S6:" + Bits(c, 8, 13) + "\n";
    out += "requests: " + std::to_string(c.requests) + ", last: " + (c.event.empty() ? "-" : c.event) + "\n";
    return out;
}

std::string FaultCommand(Faults& faults, const std::vector<std::string>& words) {
    if (words.size() < 2) return "fault needs a kind";
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& kind = words[i];
        auto argument = [&](int max) -> std::optional<int> {
            if (i + 1 >= words.size()) return std::nullopt;
            return Number(words[++i], max);
        };
        if (kind == "none") {
            faults = Faults{};
        } else if (kind == "silent") {
            faults.silent = true;
        } else if (kind == "badcheck") {
            faults.badCheck = true;
        } else if (kind == "baddownload") {
            faults.badDownloadReply = true;
        } else if (kind == "late") {
            const auto ms = argument(60000);
            if (!ms) return "late needs milliseconds";
            faults.lateMs = *ms;
        } else if (kind == "short") {
            const auto n = argument(6);
            if (!n) return "short needs a byte count 0..6";
            faults.shortReply = *n;
        } else if (kind == "shortupload") {
            const auto n = argument(257);
            if (!n) return "shortupload needs a byte count 0..257";
            faults.shortUpload = *n;
        } else {
            return "unknown fault '" + kind + "'";
        }
    }
    return {};
}

}  // namespace

ConsoleResult Execute(Controller& c, const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    ConsoleResult result;
    auto fail = [&](const std::string& why) {
        result.output += "error: " + why + "\n";
        return result;
    };
    if (words.empty()) return result;
    const std::string& command = words[0];
    const size_t args = words.size() - 1;

    if (command == "help") {
        result.output = ConsoleHelp;
    } else if (command == "quit" || command == "exit") {
        result.quit = true;
    } else if (command == "show") {
        result.output = Show(c);
    } else if (command == "dump") {
        result.output = HexRows(c.memory);
    } else if (command == "image") {
        result.output = HexRows(c.image);
    } else if (command == "get") {
        if (args == 0) return fail("get needs a variable");
        for (size_t i = 1; i < words.size(); ++i) {
            const auto v = FindVariable(words[i]);
            if (!v) return fail("unknown variable '" + words[i] + "'");
            result.output += v->name + " = " + std::to_string(Read(c, *v)) + "\n";
        }
    } else if (command == "on" || command == "off" || command == "toggle") {
        if (args != 1) return fail(command + " needs one variable");
        const auto v = FindVariable(words[1]);
        if (!v) return fail("unknown variable '" + words[1] + "'");
        uint8_t& byte = c.memory[v->address];
        byte = command == "on" ? (byte | 1) : command == "off" ? (byte & ~1) : (byte ^ 1);
        result.output = v->name + " = " + std::to_string(Read(c, *v)) + "\n";
    } else if (command == "set") {
        if (args != 2) return fail("set needs a variable and a value");
        const auto v = FindVariable(words[1]);
        if (!v) return fail("unknown variable '" + words[1] + "'");
        const auto value = Number(words[2], v->word ? 65535 : 255);
        if (!value) return fail(std::string("value must be 0..") + (v->word ? "65535" : "255"));
        Write(c, *v, *value);
        result.output = v->name + " = " + std::to_string(Read(c, *v)) + "\n";
    } else if (command == "fault") {
        if (const std::string error = FaultCommand(c.faults, words); !error.empty()) return fail(error);
        result.output = "faults: " + c.faults.Describe() + "\n";
    } else if (command == "id") {
        const auto id = args == 1 ? ParseIdentifier(words[1]) : std::nullopt;
        if (!id) return fail("id needs 1..255");
        c.id = *id;
    } else if (command == "password" || command == "rom") {
        const auto value = args == 1 ? ParsePassword(words[1]) : std::nullopt;
        if (!value) return fail(command + " needs four hexadecimal digits");
        (command == "rom" ? c.rom : c.password) = *value;
    } else {
        return fail("unknown command '" + command + "' (try help)");
    }
    result.output += "ok\n";
    return result;
}

}  // namespace velmorin::sim
