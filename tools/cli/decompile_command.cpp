// velmorin-cli decompile IN.bld OUT.ldr: the diagram of an image, recovered
// and checked by compiling it back, written as a source file.
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "compiler/headless_compile.h"

namespace velmorin::cli {
namespace {

const CommandText Text{
    "decompile",
    "IN.bld OUT.ldr",
    "recover the ladder diagram of an image",
    "decompile IN.bld OUT.ldr",
    "Recovers the ladder diagram of an image (compiled, or extracted from a\n"
    "controller) and writes it as the source file OUT.ldr, only when the\n"
    "diagram compiles back to the image byte for byte. Otherwise prints why\n"
    "and where on standard error and lists the image on standard output.",
    "The job fails (status 1) when the image is not recoverable or refused,\n"
    "or the source file could not be written.",
};

struct Options {
    std::string image;
    std::string source;
};

}  // namespace

Command AddDecompile(CLI::App& root) {
    CLI::App* app = AddCommand(root, Text);
    auto o = std::make_shared<Options>();
    app->add_option("IN.bld", o->image, "the binary image")->required();
    app->add_option("OUT.ldr", o->source, "the source file written")->required();
    return {app, [o] {
                const HeadlessOutcome outcome = DecompileFile(o->image, o->source);
                if (outcome.status != 0) {
                    std::fputs(outcome.report.c_str(), stdout);
                    std::fputs(ErrorLine(o->image, outcome.error, outcome.detail).c_str(), stderr);
                }
                return outcome.status == 0 ? ExitDone : ExitFailed;
            }};
}

}  // namespace velmorin::cli
