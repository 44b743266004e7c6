#include "link_options.h"

#include <cstdio>

#include "compiler/diagnostics.h"
#include "compiler/headless_compile.h"
#include "compiler/program_image.h"
#include "link/link_fields.h"
#include "link/port_devices.h"
#include "model/messages.h"

namespace velmorin::cli {
namespace {

bool Allowed(std::string_view allowed, std::string_view option) {
    size_t at = 0;
    while ((at = allowed.find(option, at)) != std::string_view::npos) {
        const size_t end = at + option.size();
        if (end == allowed.size() || allowed[end] == ' ') return true;
        at = end;
    }
    return false;
}

bool EndsWithIgnoringCase(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) != suffix[i]) return false;
    return true;
}

std::optional<int> WholeNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 7) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

ParsedOptions ParseLinkOptions(const char* command, const Args& args, std::string_view allowed, size_t fileCount,
                               const char* usage) {
    ParsedOptions parsed;
    LinkOptions o;
    auto usageError = [&](const std::string& why) {
        std::fprintf(stderr, "velmorin-cli %s: %s\n%s", command, why.c_str(), usage);
        parsed.status = 2;
        return parsed;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return parsed;
        }
        if (arg.empty() || arg[0] != '-') {
            o.files.push_back(arg);
            continue;
        }
        if (!Allowed(allowed, arg)) return usageError("unknown option '" + arg + "'");
        if (arg == "--any") {
            o.any = true;
            continue;
        }
        if (arg == "--all") {
            o.all = true;
            continue;
        }
        if (arg == "--outputs-off") {
            o.outputsOff = true;
            continue;
        }
        if (arg == "--csv") {
            o.csv = true;
            continue;
        }
        if (arg == "--force") {
            o.force = true;
            continue;
        }
        if (i + 1 >= args.size()) return usageError(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--port") {
            o.port = value;
        } else if (arg == "--id" || arg == "--new-id") {
            const std::optional<uint8_t> id = ParseIdentifier(value);
            if (!id) return usageError(arg + " needs an identifier 1..255");
            (arg == "--id" ? o.id : o.newId) = id;
        } else if (arg == "--password") {
            const std::optional<uint16_t> password = ParsePassword(value);
            if (!password) return usageError("--password needs four hexadecimal digits HHLL");
            o.password = *password;
        } else if (arg == "--cycles") {
            const std::optional<int> cycles = WholeNumber(value, 1, 1000000);
            if (!cycles) return usageError("--cycles needs a number 1..1000000");
            o.cycles = cycles;
        } else if (arg == "--set") {
            o.setFile = value;
        } else if (arg == "--map") {
            const std::optional<int> map = WholeNumber(value, 1, 4);
            if (!map) return usageError("--map needs a map 1..4");
            o.map = map;
        } else if (arg == "--mode") {
            if (value != "total" && value != "variables" && value != "keep")
                return usageError("--mode is total, variables or keep");
            o.mode = value;
        }
    }
    if (o.port.empty()) return usageError("--port DEV|COM1..COM4 is needed");
    if (fileCount != AnyFileCount && o.files.size() != fileCount)
        return usageError(fileCount == 0 ? "no file is taken" : "one file is needed");
    if (o.id && (o.any || o.all))
        return usageError("--id and " + std::string(o.any ? "--any" : "--all") + " exclude each other");
    parsed.options = std::move(o);
    return parsed;
}

PortChoice ChoosePort(const std::string& port) {
    std::array<std::string, PortCount> devices = ResolvePortDevices({}, ProcessEnvironment());
    PortChoice choice;
    if (const std::optional<int> com = ParseComName(port)) {
        choice.port = *com;
    } else {
        devices[0] = port;
        choice.port = 0;
    }
    choice.link = std::make_unique<TermiosLink>(devices);
    return choice;
}

std::unique_ptr<CodeImage> LoadProgram(const std::string& path) {
    auto image = std::make_unique<CodeImage>();
    if (!EndsWithIgnoringCase(path, ".ldr")) {
        if (Result read = ReadImageFile(path, *image); !read) {
            std::fputs(ErrorLine(path, read.message, read.detail).c_str(), stderr);
            return nullptr;
        }
        return image;
    }
    const SourceCompilation compiled = CompileSource(path, SourceOutputs::InMemory);
    if (!compiled.read) {
        std::fputs(ErrorLine(path, compiled.read.message, compiled.read.detail).c_str(), stderr);
        return nullptr;
    }
    const CompileOutput& output = compiled.run.output;
    if (output.nothingToCompile) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), msg::NothingToCompile);
        return nullptr;
    }
    if (!output.finalImage) {
        std::fputs(DiagnosticLines(*compiled.model, output).c_str(), stderr);
        std::fprintf(stderr, "%s: %s\n", path.c_str(),
                     FormatCompileTotals(output.errorCount, output.warningCount).c_str());
        return nullptr;
    }
    *image = output.image;
    return image;
}

int Fail(const std::string& message, const std::string& detail) {
    if (detail.empty())
        std::fprintf(stderr, "%s\n", message.c_str());
    else
        std::fprintf(stderr, "%s (%s)\n", message.c_str(), detail.c_str());
    return 1;
}

int Fail(const Result& failure) { return Fail(failure.message, failure.detail); }

}  // namespace velmorin::cli
