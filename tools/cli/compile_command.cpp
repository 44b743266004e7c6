// velmorin-cli compile FILE.ldr [--date YYYY-MM-DD]: the compile command
// without a window; writes FILE.prg and, without errors, FILE.bld.
#include <cstdio>
#include <optional>
#include <string>

#include "commands.h"
#include "compiler/headless_compile.h"

namespace velmorin::cli {
namespace {

const char* const CompileUsage =
    "usage: velmorin-cli compile FILE.ldr [--date YYYY-MM-DD]\n"
    "  Compiles FILE.ldr into the listing FILE.prg and, without errors, the\n"
    "  image FILE.bld. --date fixes the date in the image header (default:\n"
    "  today). Prints one line per diagnostic and a totals line.\n"
    "  Exit status: 0 without errors, 1 errors, a refused source or a listing\n"
    "  or image that could not be written, 2 usage.\n";

}  // namespace

int RunCompile(const Args& args) {
    std::string source;
    std::optional<ImageDate> date;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(CompileUsage, stdout);
            return 0;
        }
        if (arg == "--date") {
            if (i + 1 >= args.size() || !(date = ParseIsoDate(args[i + 1]))) {
                std::fputs("velmorin-cli compile: --date needs a date YYYY-MM-DD\n", stderr);
                return 2;
            }
            ++i;
            continue;
        }
        if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "velmorin-cli compile: unknown option '%s'\n%s", arg.c_str(), CompileUsage);
            return 2;
        }
        if (!source.empty()) {
            std::fputs(CompileUsage, stderr);
            return 2;
        }
        source = arg;
    }
    if (source.empty()) {
        std::fputs(CompileUsage, stderr);
        return 2;
    }
    const HeadlessOutcome outcome = CompileFile(source, date);
    std::fputs(outcome.report.c_str(), stdout);
    if (!outcome.error.empty()) std::fputs(ErrorLine(source, outcome.error, outcome.detail).c_str(), stderr);
    return outcome.status;
}

}  // namespace velmorin::cli
