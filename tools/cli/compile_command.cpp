// Placeholder until the compiler lands; replaced by the real command.
#include <cstdio>
#include "commands.h"
namespace velmorin::cli {
int RunCompile(const Args&) {
    std::fputs("velmorin-cli: this command is not built yet\n", stderr);
    return 2;
}
}  // namespace velmorin::cli
