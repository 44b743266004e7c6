// velmorin-cli send / extract / verify: the program transfers of the send
// and extract dialogs, from a terminal.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/image_dump.h"
#include "compiler/program_image.h"
#include "link/link_messages.h"
#include "link/transfer.h"
#include "link_options.h"
#include "model/atomic_file.h"
#include "model/messages.h"

namespace velmorin::cli {
namespace {

const char* const SendUsage =
    "usage: velmorin-cli send FILE.bld|FILE.ldr --port DEV|COM1..COM4 [--id N | --any]\n"
    "                         [--new-id N] [--password HHLL]\n"
    "  Downloads a program to the controller with today's date. A .ldr is\n"
    "  compiled first, in memory, and refused if it has errors.\n"
    "  --id N         the controller addressed (1..255, default 1)\n"
    "  --any          any controller on the line (identifier 0)\n"
    "  --new-id N     the identifier the controller takes (default: the one\n"
    "                 addressed, 1 with --any)\n"
    "  --password     the program password, four hexadecimal digits HHLL\n"
    "  Exit status: 0 accepted, 1 refused or no reply, 2 usage.\n";

const char* const ExtractUsage =
    "usage: velmorin-cli extract OUT.bld --port DEV|COM1..COM4 [--id N] [--password HHLL] [--force]\n"
    "  Uploads the controller's program into OUT.bld, dated with the\n"
    "  controller's date. On failure OUT.bld is neither created nor changed.\n"
    "  An existing OUT.bld is replaced only when it is a binary image (~VLB);\n"
    "  --force replaces any other file (a source, a listing) as well.\n"
    "  Exit status: 0 written, 1 failure or a refused OUT.bld, 2 usage.\n";

const char* const VerifyUsage =
    "usage: velmorin-cli verify FILE.bld|FILE.ldr --port DEV|COM1..COM4 [--id N] [--password HHLL]\n"
    "  Uploads the controller's program and compares its 256 bytes with the\n"
    "  file's (a .ldr is compiled in memory). Prints \"igual\", or each differing\n"
    "  offset with the file's byte, the controller's byte and the file's\n"
    "  instruction there.\n"
    "  Exit status: 0 equal, 1 different or failure, 2 usage.\n";

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

}  // namespace

int RunSend(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("send", args, "--port --id --any --new-id --password", 1, SendUsage);
    if (!parsed.options) return parsed.status;
    const LinkOptions& o = *parsed.options;
    const std::unique_ptr<CodeImage> program = LoadProgram(o.files[0]);
    if (!program) return 1;

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
    return 0;
}

int RunExtract(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("extract", args, "--port --id --password --force", 1, ExtractUsage);
    if (!parsed.options) return parsed.status;
    const LinkOptions& o = *parsed.options;
    if (const Result replaceable = CheckReplaceable(o.files[0], o.force); !replaceable) {
        std::fputs(ErrorLine(o.files[0], replaceable.message, replaceable.detail).c_str(), stderr);
        return 1;
    }
    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    const TransferOutcome extracted =
        ExtractProgram(*port.link, clock, port.port, {o.id.value_or(1), o.password}, o.files[0]);
    if (extracted.status != TransferStatus::Done) return Fail(extracted.message, extracted.detail);
    std::printf("%s\n", extracted.message.c_str());
    return 0;
}

int RunVerify(const Args& args) {
    const ParsedOptions parsed = ParseLinkOptions("verify", args, "--port --id --password", 1, VerifyUsage);
    if (!parsed.options) return parsed.status;
    const LinkOptions& o = *parsed.options;
    const std::unique_ptr<CodeImage> program = LoadProgram(o.files[0]);
    if (!program) return 1;
    PortChoice port = ChoosePort(o.port);
    SystemClock clock;
    const ReceivedProgram received = ReceiveProgram(*port.link, clock, port.port, {o.id.value_or(1), o.password});
    if (received.outcome.status != TransferStatus::Done) return Fail(received.outcome.message, received.outcome.detail);

    const std::string dump = DumpImage(*program);
    int differences = 0;
    for (int offset = 0; offset < ImageSize; ++offset) {
        const uint8_t mine = program->bytes[offset];
        const uint8_t theirs = received.upload.image[offset];
        if (mine == theirs) continue;
        ++differences;
        std::printf("%02X: archivo %02X, PLC %02X", offset, mine, theirs);
        const std::string instruction = offset < program->codeLength ? InstructionAt(dump, offset) : "";
        if (!instruction.empty()) std::printf("   %s", instruction.c_str());
        std::printf("\n");
    }
    if (differences == 0) {
        std::printf("igual\n");
        return 0;
    }
    std::printf("%d bytes distintos\n", differences);
    return 1;
}

}  // namespace velmorin::cli
