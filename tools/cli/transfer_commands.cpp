// velmorin-cli send / extract / verify: the program transfers of the send
// and extract dialogs, from a terminal.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>

#include "compiler/image_dump.h"
#include "compiler/program_image.h"
#include "link/link_messages.h"
#include "link/transfer.h"
#include "link_options.h"
#include "model/atomic_file.h"
#include "model/messages.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const CommandText SendText{
    "send",
    "FILE.bld|FILE.ldr",
    "download a program (a .ldr is compiled in memory)",
    "send FILE.bld|FILE.ldr --port DEV|COM1..COM4 [--id N | --any] [--new-id N] [--password HHLL]",
    "Downloads a program to the controller with today's date. A .ldr is\n"
    "compiled first, in memory, and refused if it has errors.",
    "The job fails (status 1) when the file is refused or the controller does\n"
    "not accept the program within five seconds.",
};

const CommandText ExtractText{
    "extract",
    "OUT.bld",
    "upload the controller's program into a file",
    "extract OUT.bld --port DEV|COM1..COM4 [--id N] [--password HHLL] [--force]",
    "Uploads the controller's program into OUT.bld, dated with the\n"
    "controller's date. On failure OUT.bld is neither created nor changed.\n"
    "An existing OUT.bld is replaced only when it is a binary image (~VLB).",
};

const CommandText VerifyText{
    "verify",
    "FILE.bld|FILE.ldr",
    "compare the controller's program with a file",
    "verify FILE.bld|FILE.ldr --port DEV|COM1..COM4 [--id N] [--password HHLL] [--json]",
    "Uploads the controller's program and compares its 256 bytes with the\n"
    "file's (a .ldr is compiled in memory). Prints \"igual\", or each differing\n"
    "offset with the file's byte, the controller's byte and the file's\n"
    "instruction there.",
    "Exit status as cmp's: 0 equal, 1 different, 2 trouble (a usage error, a\n"
    "refused file, a program with errors, a failed upload).",
};

struct Options {
    std::string file;
    std::string port;
    std::optional<uint8_t> id;
    bool any = false;
    std::optional<uint8_t> newId;
    uint16_t password = 0;
    bool force = false;
    bool json = false;
};

const char* const IdHelp = "the controller addressed, 1..255 (default 1)";

// The dump line of the instruction that holds `offset`, or "" past the program.
std::string InstructionAt(const std::string& dump, int offset) {
    std::string found;
    size_t start = dump.find('\n');  // the first line is the dump's title
    while (start != std::string::npos && start + 1 < dump.size()) {
        const size_t end = dump.find('\n', start + 1);
        const std::string line = dump.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        start = end;
        unsigned at = 0;
        if (std::sscanf(line.c_str(), "%2X", &at) != 1 || static_cast<int>(at) > offset) break;
        found = line;
    }
    return found;
}

// What an upload may replace: nothing, or an image. A source or a listing
// named by a slip of the keyboard is refused before the port is opened,
// and so is what no file write can replace (a folder, a pipe, a device).
Result CheckReplaceable(const std::string& path, bool force) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) return Result::Ok();
    std::vector<uint8_t> start;
    if (Result read = ReadFileBytes(path, 4, start); !read) return read;
    if (force || std::string(start.begin(), start.end()) == "~VLB") return Result::Ok();
    return Result::Fail(msg::NotImageFile, path + ": no se sustituye sin --force");
}

int RunSend(const Options& o) {
    const std::unique_ptr<CodeImage> program = LoadProgram(o.file);
    if (!program) return ExitFailed;

    DownloadRequest request;
    request.targetId = o.any ? AllControllers : o.id.value_or(1);
    request.newId = o.newId.value_or(o.any ? 1 : request.targetId);
    request.password = o.password;
    request.image = DownloadImageFrom(*program);
    request.date = TodayLocal();
    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    const TransferOutcome sent = SendProgram(*port.link, clock, port.port, request);
    if (sent.status != TransferStatus::Done) return Fail(sent.message, sent.detail);
    std::printf("%s\n", sent.message.c_str());
    return ExitDone;
}

int RunExtract(const Options& o) {
    if (const Result replaceable = CheckReplaceable(o.file, o.force); !replaceable) {
        std::fputs(ErrorLine(o.file, replaceable.message, replaceable.detail).c_str(), stderr);
        return ExitFailed;
    }
    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    const TransferOutcome extracted =
        ExtractProgram(*port.link, clock, port.port, {o.id.value_or(1), o.password}, o.file);
    if (extracted.status != TransferStatus::Done) return Fail(extracted.message, extracted.detail);
    std::printf("%s\n", extracted.message.c_str());
    return ExitDone;
}

// As cmp: 0 the same, 1 different, 2 trouble.
constexpr int VerifyDifferent = 1;
constexpr int VerifyTrouble = 2;

int RunVerify(const Options& o) {
    const std::unique_ptr<CodeImage> program = LoadProgram(o.file);
    if (!program) return VerifyTrouble;
    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    const ReceivedProgram received = ReceiveProgram(*port.link, clock, port.port, {o.id.value_or(1), o.password});
    if (received.outcome.status != TransferStatus::Done) {
        Fail(received.outcome.message, received.outcome.detail);
        return VerifyTrouble;
    }

    const std::string dump = DumpImage(*program);
    json differences = json::array();
    std::string text;
    for (int offset = 0; offset < ImageSize; ++offset) {
        const uint8_t mine = program->bytes[offset];
        const uint8_t theirs = received.upload.image[offset];
        if (mine == theirs) continue;
        const std::string instruction = offset < program->codeLength ? InstructionAt(dump, offset) : "";
        differences.push_back({{"address", offset},
                               {"file", mine},
                               {"controller", theirs},
                               {"instruction", instruction.empty() ? json(nullptr) : json(instruction)}});
        char line[64];
        std::snprintf(line, sizeof line, "%02X: archivo %02X, PLC %02X", offset, mine, theirs);
        text += line;
        if (!instruction.empty()) text += "   " + instruction;
        text += "\n";
    }
    const bool equal = differences.empty();
    if (o.json) {
        const json report{
            {"file", o.file}, {"equal", equal}, {"count", differences.size()}, {"differences", differences}};
        text = report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    } else {
        text += equal ? "igual\n" : std::to_string(differences.size()) + " bytes distintos\n";
    }
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0) return VerifyTrouble;
    return equal ? ExitDone : VerifyDifferent;
}

}  // namespace

Command AddSend(CLI::App& root) {
    CLI::App* app = AddCommand(root, SendText);
    auto o = std::make_shared<Options>();
    app->add_option("FILE", o->file, "the program")->required();
    AddPortOption(*app, o->port);
    CLI::Option* id = AddIdOption(*app, o->id, IdHelp);
    CLI::Option* any = AddFlag(*app, "--any", o->any, "any controller on the line (identifier 0)");
    id->excludes(any);
    AddIdOption(*app, o->newId,
                "the identifier the controller takes (default: the one\n"
                "addressed, 1 with --any)",
                "--new-id");
    AddPasswordOption(*app, o->password);
    return {app, [o] { return RunSend(*o); }};
}

Command AddExtract(CLI::App& root) {
    CLI::App* app = AddCommand(root, ExtractText);
    auto o = std::make_shared<Options>();
    app->add_option("OUT.bld", o->file, "the file written")->required();
    AddPortOption(*app, o->port);
    AddIdOption(*app, o->id, IdHelp);
    AddPasswordOption(*app, o->password);
    AddFlag(*app, "--force", o->force, "replace any other file (a source, a listing) as well");
    return {app, [o] { return RunExtract(*o); }};
}

Command AddVerify(CLI::App& root) {
    CLI::App* app = AddCommand(root, VerifyText);
    auto o = std::make_shared<Options>();
    app->add_option("FILE", o->file, "the program")->required();
    AddPortOption(*app, o->port);
    AddIdOption(*app, o->id, IdHelp);
    AddPasswordOption(*app, o->password);
    AddJsonFlag(*app, o->json, "the differences by address (file, controller,\ninstruction) as JSON");
    return {app, [o] { return RunVerify(*o); }};
}

}  // namespace velmorin::cli
