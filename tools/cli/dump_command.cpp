// velmorin-cli dump FILE.bld: an image read as the send dialog reads it and
// listed instruction by instruction.
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "compiler/image_dump.h"
#include "compiler/program_image.h"

namespace velmorin::cli {
namespace {

const char* const DumpUsage =
    "usage: velmorin-cli dump FILE.bld\n"
    "  Lists a binary image: offset, bytes, mnemonic and operands.\n"
    "  Exit status: 0 done, 1 refused file, 2 usage.\n";

}  // namespace

int RunDump(const Args& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(DumpUsage, stdout);
        return 0;
    }
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-')) {
        std::fputs(DumpUsage, stderr);
        return 2;
    }
    auto image = std::make_unique<CodeImage>();
    if (Result read = ReadImageFile(args[0], *image); !read) {
        std::fputs(ErrorLine(args[0], read.message, read.detail).c_str(), stderr);
        return 1;
    }
    std::fputs(DumpImage(*image).c_str(), stdout);
    return 0;
}

}  // namespace velmorin::cli
