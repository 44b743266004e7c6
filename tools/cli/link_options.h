#pragma once
// What the controller commands of velmorin-cli share: their options
// (--port, --id, --password ...), opening the port they name, and the
// program a send or a verify takes from a file.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "compiler/program_image.h"
#include "link/termios_link.h"

namespace velmorin::cli {

struct LinkOptions {
    std::vector<std::string> files;  // the words that are not options
    std::string port;                // --port DEV|COM1..COM4
    std::optional<uint8_t> id;       // --id N
    bool any = false;                // --any (send)
    bool all = false;                // --all (run, stop, reset-counters)
    std::optional<uint8_t> newId;    // --new-id N
    uint16_t password = 0;           // --password HHLL
    std::string mode;                // --mode (run)
    bool outputsOff = false;         // --outputs-off (stop)
    std::optional<int> cycles;       // --cycles N (watch)
    bool csv = false;                // --csv (watch)
    std::string setFile;             // --set FILE.mld (watch)
    std::optional<int> map;          // --map K, 1..4 (watch)
    bool force = false;              // --force (extract)
};

// For the commands that take any number of words (watch VAR..., write VAR=VALUE...).
constexpr size_t AnyFileCount = static_cast<size_t>(-1);

struct ParsedOptions {
    std::optional<LinkOptions> options;  // nothing: the command ends with `status`
    int status = 0;
};

// Takes the options named in `allowed` (for example "--port --id --any")
// and exactly `fileCount` other words (any number with AnyFileCount). --help prints `usage` and ends with
// 0; anything wrong prints why and the usage on standard error and ends with 2.
ParsedOptions ParseLinkOptions(const char* command, const Args& args, std::string_view allowed, size_t fileCount,
                               const char* usage);

// The port of --port: a device path opens as port 0, COM1..COM4 as its own
// index with the device of VELMORIN_COMn or /dev/ttySn.
struct PortChoice {
    std::unique_ptr<TermiosLink> link;
    int port = 0;
};
PortChoice ChoosePort(const std::string& port);

// The program of a .bld file as the send dialog reads it, or of a .ldr
// compiled in memory; a refused file or a program with errors prints the
// reason (and the diagnostics) on standard error and gives nothing.
std::unique_ptr<CodeImage> LoadProgram(const std::string& path);

// A failure as the dialogs report it, on standard error: the fixed message,
// then what the box shows on its second line (the device or the file and
// the system's reason) in parentheses. Ends with status 1.
int Fail(const std::string& message, const std::string& detail = {});
int Fail(const Result& failure);

}  // namespace velmorin::cli
