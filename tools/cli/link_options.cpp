#include "link_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "compiler/diagnostics.h"
#include "compiler/headless_compile.h"
#include "compiler/program_image.h"
#include "link/port_devices.h"

namespace velmorin::cli {
namespace {

bool EndsWithIgnoringCase(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) != suffix[i]) return false;
    return true;
}

}  // namespace

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
    if (const Result refusal = compiled.Refusal(); !refusal) {
        std::fputs(ErrorLine(path, refusal.message, refusal.detail).c_str(), stderr);
        return nullptr;
    }
    const CompileOutput& output = compiled.run.output;
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
    return ExitFailed;
}

int Fail(const Result& failure) { return Fail(failure.message, failure.detail); }

}  // namespace velmorin::cli
