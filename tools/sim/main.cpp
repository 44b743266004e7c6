// velmorin-sim: a controller on a pseudo-terminal, for trying the link
// without hardware and for the link tests. It answers every request of the
// protocol at the line's own pace (2400 baud both ways), keeps a memory and
// a stored program, and misbehaves on request. A symbolic link at --link
// names its side of the line; the editor and velmorin-cli open that path.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "compiler/program_image.h"
#include "link/link_fields.h"
#include "sim_console.h"
#include "sim_controller.h"

namespace {

using velmorin::sim::Controller;

const std::string Notes =
    std::string("Commands are read from standard input (and the FIFO), one a line:\n") + velmorin::sim::ConsoleHelp;

const velmorin::cli::CommandText Text{
    "velmorin-sim",
    "",
    "a simulated controller on a pseudo-terminal",
    "velmorin-sim --link PATH [--id N] [--password HHLL] [--rom HHLL] [--image FILE.bld] [--date YYYY-MM-DD]\n"
    "             [--fault KIND[=N]]... [--fifo PATH] [--verbose]",
    "A simulated controller on a pseudo-terminal; PATH becomes a symbolic link\n"
    "to its device (give it to the editor as VELMORIN_COM2=PATH, or to\n"
    "velmorin-cli as --port PATH). Replies are paced at 2400 baud. A PATH\n"
    "that leads to a running simulator's line is refused; one that leads\n"
    "nowhere is replaced. At the end PATH is removed while it is still ours.",
    Notes.c_str(),
};

constexpr int64_t ByteNs = 10'000'000'000LL / 2400;  // ten bits a byte

int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

void SleepUntil(int64_t ns) {
    timespec t{static_cast<time_t>(ns / 1'000'000'000LL), static_cast<long>(ns % 1'000'000'000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

// The pseudo-terminal and the pace of each direction: a byte is taken off
// the line, or put on it, one byte time after the previous one.
class Line {
public:
    Line(int master, Controller& controller, bool verbose)
        : master_(master), controller_(controller), verbose_(verbose) {}

    void Received(const uint8_t* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            inFree_ = std::max(NowNs(), inFree_) + ByteNs;
            SleepUntil(inFree_);
            auto reply = controller_.Receive(bytes[i], inFree_ / 1'000'000);
            Log();
            if (reply) Send(*reply);
        }
    }

    void Closed() { controller_.LineClosed(); }

private:
    void Send(const velmorin::sim::Reply& reply) {
        if (reply.delayMs > 0) SleepUntil(NowNs() + reply.delayMs * 1'000'000LL);
        size_t sent = 0;
        for (uint8_t b : reply.bytes) {
            outFree_ = std::max(NowNs(), outFree_) + ByteNs;
            SleepUntil(outFree_);
            if (::write(master_, &b, 1) != 1) break;  // the other side is gone
            ++sent;
        }
        if (verbose_) std::fprintf(stderr, "velmorin-sim: -> %zu of %zu bytes\n", sent, reply.bytes.size());
    }

    void Log() {
        if (!verbose_ || (controller_.requests == loggedRequests_ && controller_.event == loggedEvent_)) return;
        loggedRequests_ = controller_.requests;
        loggedEvent_ = controller_.event;
        std::fprintf(stderr, "velmorin-sim: <- %s\n", loggedEvent_.c_str());
    }

    int master_;
    Controller& controller_;
    bool verbose_;
    int64_t inFree_ = 0;
    int64_t outFree_ = 0;
    int loggedRequests_ = 0;
    std::string loggedEvent_;
};

// Lines typed at a descriptor, executed as they complete.
class CommandInput {
public:
    explicit CommandInput(int fd) : fd_(fd) {}
    int fd() const { return fd_; }
    bool open() const { return fd_ >= 0; }

    // False when the program should end.
    bool Drain(Controller& controller) {
        char buffer[512];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n == 0) {
            fd_ = -1;  // end of input: keep serving the line
            return true;
        }
        if (n < 0) return true;
        text_.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = text_.find('\n')) != std::string::npos;) {
            const std::string line = text_.substr(0, end);
            text_.erase(0, end + 1);
            const velmorin::sim::ConsoleResult result = velmorin::sim::Execute(controller, line);
            std::fputs(result.output.c_str(), stdout);
            std::fflush(stdout);
            if (result.quit) return false;
        }
        return true;
    }

private:
    int fd_;
    std::string text_;
};

// "late=300" as the console spells it: "late 300".
std::string FaultWords(std::string fault) {
    for (char& ch : fault)
        if (ch == '=') ch = ' ';
    return fault;
}

struct Options {
    std::string link;
    std::string fifo;
    bool verbose = false;
};

// The words of the command line; nothing when the program ends at once
// with `status` (after --help, --version, a usage error or a refused image).
std::optional<Options> ParseOptions(int argc, char** argv, Controller& c, int& status) {
    using namespace velmorin::cli;
    CLI::App app;
    SetUpProgram(app, Text, VELMORIN_VERSION);
    Options options;
    std::optional<uint8_t> id;
    std::string password, rom, imagePath, dateText;
    std::vector<std::string> faults;
    app.add_option("--link", options.link, "the symbolic link made to the line")->option_text("PATH")->required();
    AddIdOption(app, id, "controller identifier 1..255 (default 1)");
    auto hex = CLI::Validator(
        [](std::string& text) {
            return velmorin::ParsePassword(text) ? std::string() : "needs four hexadecimal digits HHLL";
        },
        "");
    app.add_option("--password", password, "program password (default 0000)")->option_text("HHLL")->check(hex);
    app.add_option("--rom", rom, "ROM version reported (default 0102)")->option_text("HHLL")->check(hex);
    app.add_option("--image", imagePath, "stored program at start (default: empty, 0xCD)")->option_text("FILE.bld");
    app.add_option("--date", dateText, "date of the stored program (default: today)")
        ->option_text("YYYY-MM-DD")
        ->check(CLI::Validator(
            [](std::string& text) { return velmorin::ParseIsoDate(text) ? std::string() : "needs a date YYYY-MM-DD"; },
            ""));
    app.add_option("--fault", faults,
                   "start misbehaving: silent, late=MS, short=N,\n"
                   "badcheck, baddownload, shortupload=N (repeatable)")
        ->option_text("KIND[=N]")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->check(CLI::Validator(
            [](std::string& text) {
                Controller scratch;
                const auto result = velmorin::sim::Execute(scratch, "fault " + FaultWords(text));
                return result.output.rfind("error", 0) == 0 ? result.output.substr(7, result.output.size() - 8)
                                                            : std::string();
            },
            ""));
    app.add_option("--fifo", options.fifo, "also take commands from this FIFO (created if missing)")
        ->option_text("PATH");
    AddFlag(app, "-v,--verbose", options.verbose, "log every request on standard error");
    if (const int parsed = ParseProgram(app, argc, argv); parsed >= 0) {
        status = parsed;
        return std::nullopt;
    }

    if (id) c.id = *id;
    if (!password.empty()) c.password = *velmorin::ParsePassword(password);
    if (!rom.empty()) c.rom = *velmorin::ParsePassword(rom);
    if (!imagePath.empty()) {
        auto image = std::make_unique<velmorin::CodeImage>();
        if (velmorin::Result read = velmorin::ReadImageFile(imagePath, *image); !read) {
            const std::string detail = read.detail.empty() ? "" : " (" + read.detail + ")";
            std::fprintf(stderr, "velmorin-sim: %s: %s%s\n", imagePath.c_str(), read.message.c_str(), detail.c_str());
            status = ExitFailed;
            return std::nullopt;
        }
        c.image = image->bytes;
    }
    for (const std::string& fault : faults) velmorin::sim::Execute(c, "fault " + FaultWords(fault));
    c.stamp = velmorin::EncodeDateStamp(dateText.empty() ? velmorin::TodayLocal() : *velmorin::ParseIsoDate(dateText));
    return options;
}

int OpenMaster(std::string& slave) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return -1;
    const char* name = ::ptsname(master);
    if (!name) return -1;
    slave = name;
    // The line is raw from the start (settings made through the master are
    // the device's): nothing echoes a reply back at us before the other side
    // has set its port up.
    termios t{};
    if (::tcgetattr(master, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

// The link is taken only when it is free or dangling. One that leads to a
// device that is there is the line of a running simulator (a pseudo-
// terminal goes when its simulator ends): taking it over would cut that
// simulator's editor off its controller.
bool MakeLink(const std::string& link, const std::string& slave) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "velmorin-sim: %s exists and is not a symbolic link\n", link.c_str());
            return false;
        }
        if (::stat(link.c_str(), &st) == 0) {
            char target[4096] = {};
            const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
            std::fprintf(stderr,
                         "velmorin-sim: %s leads to %s, which is in use (the line of a running simulator?):\n"
                         "  stop that simulator, or give another --link (remove %s if none runs)\n",
                         link.c_str(), n > 0 ? target : "?", link.c_str());
            return false;
        }
        ::unlink(link.c_str());
    }
    // A link made by someone else in the meantime is not replaced either.
    if (::symlink(slave.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "velmorin-sim: %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Removes the link only while it still names our device.
void RemoveLink(const std::string& link, const std::string& slave) {
    char target[4096];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<size_t>(n)) == slave) ::unlink(link.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Controller controller;
    int status = 0;
    const std::optional<Options> parsed = ParseOptions(argc, argv, controller, status);
    if (!parsed) return status;
    const Options& options = *parsed;

    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);

    std::string slave;
    const int master = OpenMaster(slave);
    if (master < 0) {
        std::fprintf(stderr, "velmorin-sim: cannot create a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    if (!MakeLink(options.link, slave)) return 1;

    CommandInput console(STDIN_FILENO);
    CommandInput fifo(-1);
    if (!options.fifo.empty()) {
        if (::mkfifo(options.fifo.c_str(), 0600) != 0 && errno != EEXIST) {
            std::fprintf(stderr, "velmorin-sim: %s: %s\n", options.fifo.c_str(), std::strerror(errno));
            RemoveLink(options.link, slave);
            return 1;
        }
        // Opened for writing too, so that the FIFO never reads as ended
        // between two writers.
        fifo = CommandInput(::open(options.fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    }

    std::printf("velmorin-sim: controller %d on %s -> %s\n", controller.id, options.link.c_str(), slave.c_str());
    std::fflush(stdout);

    Line line(master, controller, options.verbose);
    bool otherSideClosed = true;  // nobody has the line open yet
    bool running = true;
    while (running) {
        std::vector<pollfd> fds{{signalFd, POLLIN, 0}, {master, POLLIN, 0}};
        if (console.open()) fds.push_back({console.fd(), POLLIN, 0});
        if (fifo.open()) fds.push_back({fifo.fd(), POLLIN, 0});
        // While nobody holds the line open the master reports a hang-up
        // continuously: look at it again every 20 ms instead of spinning.
        if (otherSideClosed) fds[1].fd = -1;
        if (::poll(fds.data(), fds.size(), otherSideClosed ? 20 : -1) < 0 && errno != EINTR) break;

        if (fds[0].revents & POLLIN) break;
        // The master is read every round, not only when poll says so: a read
        // also takes in what the other side wrote just before it closed,
        // which must be handled before any console command that follows.
        uint8_t buffer[512];
        ssize_t n;
        while ((n = ::read(master, buffer, sizeof buffer)) > 0) line.Received(buffer, static_cast<size_t>(n));
        const bool hungUp = n == 0 || (n < 0 && errno == EIO);
        if (hungUp && !otherSideClosed) line.Closed();
        otherSideClosed = hungUp;

        for (size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
            CommandInput& input = fds[i].fd == console.fd() ? console : fifo;
            if (!input.Drain(controller)) running = false;
        }
    }
    RemoveLink(options.link, slave);
    ::close(master);
    return 0;
}
