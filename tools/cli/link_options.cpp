#include "link_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "compile_source.h"
#include "compiler/image_file.h"
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
    const CompiledSource compiled = CompileSource(path, false, std::nullopt);
    if (!compiled.ran()) {
        std::fputs(ErrorLine(path, compiled.refused.message, compiled.refused.detail).c_str(), stderr);
        return nullptr;
    }
    const Compiler& compiler = *compiled.compiler;
    if (!compiler.hasFinalImage()) {
        for (const DiagnosticEntry& d : compiled.diagnostics)
            std::fprintf(stderr, "%s\n", FormatDiagnosticLine(*compiled.model, d).c_str());
        std::fprintf(stderr, "%s: %s\n", path.c_str(),
                     FormatCompileTotals(compiler.errorCount(), compiler.warningCount()).c_str());
        return nullptr;
    }
    std::copy_n(compiler.imageBytes(), ImageSize, image->bytes.begin());
    image->codeLength = compiler.codeLength();
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
