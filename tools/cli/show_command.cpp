// velmorin-cli show: a ladder source file as text.
#include <cstdio>
#include <string>

#include "commands.h"
#include "model/diagram_text.h"
#include "model/source_file.h"

namespace velmorin::cli {
namespace {

const char* const ShowUsage =
    "usage: velmorin-cli show FILE.ldr\n"
    "\n"
    "Prints a ladder source file block by block: the block's label, a picture\n"
    "of its four rows (rails and wires in box-drawing characters, element cells\n"
    "as letters), then one line per lettered cell with its row and column, the\n"
    "mnemonic and the operands (aliases, ->labels, numbers, times in seconds;\n"
    "? for an operand not yet chosen). Blocks with nothing but their rails are\n"
    "left out. Last come the operands the program uses with their memory names.\n"
    "\n"
    "For readable git diffs of *.ldr files:\n"
    "  echo '*.ldr diff=ldr' >> .gitattributes\n"
    "  git config diff.ldr.textconv \"velmorin-cli show\"\n"
    "\n"
    "Exit status: 0 shown, 1 the file was refused, 2 usage error.\n";

}  // namespace

int RunShow(const Args& args) {
    std::string path;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(ShowUsage, stdout);
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "velmorin-cli show: unknown option '%s'\n\n%s", arg.c_str(), ShowUsage);
            return 2;
        }
        if (!path.empty()) {
            std::fprintf(stderr, "velmorin-cli show: one file only\n\n%s", ShowUsage);
            return 2;
        }
        path = arg;
    }
    if (path.empty()) {
        std::fputs(ShowUsage, stderr);
        return 2;
    }

    ProgramModel model;
    ResetModel(model);
    const Result loaded = ReadSourceFile(model, path);
    if (!loaded) {
        std::fputs(ErrorLine(path, loaded.message, loaded.detail).c_str(), stderr);
        return 1;
    }
    const std::string text = FormatDiagramText(model);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) return 1;
    return 0;
}

}  // namespace velmorin::cli
