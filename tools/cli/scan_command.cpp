// velmorin-cli scan: which controllers answer on a line. Each identifier
// gets one ROM query and one short wait: a controller answers in about
// 65 ms, so a whole line of 255 identifiers is asked in well under a minute.
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/exchanges.h"
#include "link/link_fields.h"
#include "link_options.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const CommandText Text{
    "scan",
    "",
    "find the controllers on a line",
    "scan --port DEV|COM1..COM4 [--ids 1-255] [--json]",
    "Asks each identifier for its ROM version with one short try (at most\n"
    "about 150 ms) and prints one line per controller that answered: its\n"
    "identifier and its ROM version. A progress bar goes to standard error\n"
    "when that is a terminal.",
    "The job fails (status 1) when no controller answered or the port cannot\n"
    "be opened.",
};

// A reply takes about 65 ms; more than twice that is surely no answer.
constexpr int ScanReplyTries = 15;
constexpr int ScanOutputTries = 10;

struct Options {
    std::string port;
    std::string ids = "1-255";
    bool json = false;
};

// "1-255", "200", "1-10,200,250-255": identifiers 1..255 in the order given.
std::optional<std::vector<uint8_t>> ParseIdList(const std::string& text) {
    std::vector<uint8_t> ids;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t dash = part.find('-');
        const std::optional<uint8_t> low = ParseIdentifier(part.substr(0, dash));
        const std::optional<uint8_t> high = dash == std::string::npos ? low : ParseIdentifier(part.substr(dash + 1));
        if (!low || !high || *low > *high) return std::nullopt;
        for (int id = *low; id <= *high; ++id) ids.push_back(static_cast<uint8_t>(id));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return ids;
}

// One try: what was there is purged, the query goes out, and a whole
// reply within the bound is the identifier's answer.
std::optional<std::string> AskRom(Channel channel, uint8_t id) {
    channel.link.PurgePort(channel.port);
    const CommandFrame frame = RomVersionFrame(id);
    if (channel.link.WritePort(channel.port, frame) != 1) return std::nullopt;
    WaitForOutputSent(channel, ScanOutputTries);
    if (WaitForInput(channel, FrameSize, ScanReplyTries) >= ScanReplyTries) return std::nullopt;
    CommandFrame reply{};
    if (channel.link.ReadPort(channel.port, reply) != FrameSize) return std::nullopt;
    return RomVersionText(reply);
}

// "\r[#######.............]  87/255  1 found", rewritten in place.
class ProgressBar {
public:
    explicit ProgressBar(size_t total) : total_(total), shown_(::isatty(STDERR_FILENO) == 1) {}
    ~ProgressBar() { Clear(); }

    void Show(size_t done, size_t found) {
        if (!shown_) return;
        constexpr size_t Width = 30;
        const size_t filled = total_ ? done * Width / total_ : Width;
        std::string bar = "\r[" + std::string(filled, '#') + std::string(Width - filled, '.') + "] ";
        bar += std::to_string(done) + "/" + std::to_string(total_) + "  " + std::to_string(found) + " found";
        std::fputs(bar.c_str(), stderr);
        std::fflush(stderr);
        visible_ = true;
    }
    // Before a line of standard output, so that the two do not mix on one terminal.
    void Clear() {
        if (!visible_) return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        visible_ = false;
    }

private:
    size_t total_;
    bool shown_;
    bool visible_ = false;
};

int RunScan(const Options& o) {
    const std::vector<uint8_t> ids = *ParseIdList(o.ids);
    PortChoice port = ChoosePort(o.port);
    if (port.link->OpenPort(port.port) != 1) return Fail(LinkFailure(port.link->LastError()));
    SystemClock clock;
    const Channel channel{*port.link, clock, port.port};

    json found = json::array();
    ProgressBar progress(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        progress.Show(i, found.size());
        const std::optional<std::string> rom = AskRom(channel, ids[i]);
        if (!rom) continue;
        found.push_back({{"id", ids[i]}, {"rom", *rom}});
        if (o.json) continue;
        progress.Clear();
        std::printf("%3d  %s\n", ids[i], rom->c_str());
        std::fflush(stdout);
    }
    progress.Show(ids.size(), found.size());
    progress.Clear();
    port.link->ClosePort(port.port);
    if (o.json) {
        const json report{{"port", o.port}, {"ids", o.ids}, {"tried", ids.size()}, {"controllers", found}};
        std::printf("%s\n", report.dump(2).c_str());
    }
    if (std::fflush(stdout) != 0) return ExitFailed;
    if (found.empty()) return Fail("no controller answered on " + o.port + " (identifiers " + o.ids + ")");
    return ExitDone;
}

}  // namespace

Command AddScan(CLI::App& root) {
    CLI::App* app = AddCommand(root, Text);
    auto o = std::make_shared<Options>();
    AddPortOption(*app, o->port);
    app->add_option("--ids", o->ids,
                    "the identifiers asked, as 1-255 (the default),\n"
                    "200 or 1-10,200")
        ->option_text("1-255")
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseIdList(text) ? std::string() : "needs identifiers 1..255 as N, N-M or a list of them";
            },
            ""));
    AddJsonFlag(*app, o->json, "the port, the identifiers asked and the controllers\nthat answered as JSON");
    return {app, [o] { return RunScan(*o); }};
}

}  // namespace velmorin::cli
