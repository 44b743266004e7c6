// velmorin-cli decompile IN.bld OUT.ldr: the diagram of an image, recovered
// and checked by compiling it back, written as a source file.
#include <cstdio>
#include <string>

#include "commands.h"
#include "compiler/headless_compile.h"

namespace velmorin::cli {
namespace {

const char* const DecompileUsage =
    "usage: velmorin-cli decompile IN.bld OUT.ldr\n"
    "  Recovers the ladder diagram of an image (compiled, or extracted from a\n"
    "  controller) and writes it as the source file OUT.ldr, only when the\n"
    "  diagram compiles back to the image byte for byte. Otherwise prints why\n"
    "  and where on standard error and lists the image on standard output.\n"
    "  Exit status: 0 recovered and written, 1 not recoverable, a refused image\n"
    "  or a source file that could not be written, 2 usage.\n";

}  // namespace

int RunDecompile(const Args& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(DecompileUsage, stdout);
        return 0;
    }
    for (const std::string& arg : args) {
        if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "velmorin-cli decompile: unknown option '%s'\n%s", arg.c_str(), DecompileUsage);
            return 2;
        }
    }
    if (args.size() != 2) {
        std::fputs(DecompileUsage, stderr);
        return 2;
    }
    const HeadlessOutcome outcome = DecompileFile(args[0], args[1]);
    if (outcome.status != 0) {
        std::fputs(outcome.report.c_str(), stdout);
        std::fputs(ErrorLine(args[0], outcome.error, outcome.detail).c_str(), stderr);
    }
    return outcome.status;
}

}  // namespace velmorin::cli
