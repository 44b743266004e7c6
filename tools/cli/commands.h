#pragma once
// Sub-commands of velmorin-cli. Each returns the process exit status:
// 0 done, 1 refused file or errors, 2 usage.
#include <string>
#include <vector>

namespace velmorin::cli {

using Args = std::vector<std::string>;  // the words after the sub-command

int RunShow(const Args& args);
int RunCompile(const Args& args);
int RunDump(const Args& args);

}  // namespace velmorin::cli
