#pragma once
// Another program of ours run by a test or a benchmark: its standard
// streams on pipes, every wait bounded. No gtest here (the benchmarks use it).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace velmorin::testing {

class ChildProcess {
public:
    using Ms = std::chrono::milliseconds;

    // `environment` entries NAME=VALUE are added to (or replace) ours.
    ChildProcess(const std::string& path, const std::vector<std::string>& args,
                 const std::vector<std::string>& environment = {}) {
        int inPipe[2], outPipe[2], errPipe[2];
        if (::pipe2(inPipe, O_CLOEXEC) != 0 || ::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

        std::vector<std::string> argStrings{path};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argStrings) argv.push_back(a.data());
        argv.push_back(nullptr);

        std::vector<std::string> envStrings = environment;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('='));
            bool replaced = false;
            for (const std::string& mine : environment) replaced = replaced || mine.rfind(name + "=", 0) == 0;
            if (!replaced) envStrings.push_back(entry);
        }
        std::vector<char*> envp;
        for (std::string& e : envStrings) envp.push_back(e.data());
        envp.push_back(nullptr);

        if (::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(inPipe[0]);
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        in_ = inPipe[1];
        out_ = outPipe[0];
        err_ = errPipe[0];
    }

    ~ChildProcess() {
        Terminate();
        for (int fd : {in_, out_, err_})
            if (fd >= 0) ::close(fd);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }

    bool Write(const std::string& text) {
        return in_ >= 0 && ::write(in_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    void CloseInput() {
        if (in_ >= 0) ::close(in_);
        in_ = -1;
    }

    // The next line of standard output (without its end), if one comes in time.
    std::optional<std::string> ReadLine(Ms timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const size_t end = out.find('\n'); end != std::string::npos) {
                std::string line = out.substr(0, end);
                out.erase(0, end + 1);
                return line;
            }
            const auto left = deadline - std::chrono::steady_clock::now();
            if (left <= Ms(0) || (out_ < 0 && err_ < 0)) return std::nullopt;
            Pump(std::chrono::duration_cast<Ms>(left));
        }
    }

    // The exit status once the program has ended and closed its output, if in time.
    std::optional<int> Wait(Ms timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!exited_ || out_ >= 0 || err_ >= 0) {
            if (!exited_) Reap(false);
            const auto left = deadline - std::chrono::steady_clock::now();
            if (left <= Ms(0)) return std::nullopt;
            Pump(std::min(Ms(20), std::chrono::duration_cast<Ms>(left)));
        }
        return status_;
    }

    // SIGTERM, a bounded wait, then SIGKILL.
    void Terminate() {
        if (pid_ <= 0 || exited_) return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 200 && !exited_; ++i) {
            Reap(false);
            if (!exited_) Pump(Ms(10));
        }
        if (!exited_) {
            ::kill(pid_, SIGKILL);
            Reap(true);
        }
    }

    std::string out;  // standard output not yet taken by ReadLine
    std::string err;  // standard error so far

private:
    void Reap(bool block) {
        int status = 0;
        if (::waitpid(pid_, &status, block ? 0 : WNOHANG) == pid_) {
            exited_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }

    void Pump(Ms timeout) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(timeout.count())) <= 0) return;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            int& fd = i == 0 ? out_ : err_;
            if (n <= 0) {
                ::close(fd);
                fd = -1;
            } else {
                (i == 0 ? out : err).append(buffer, static_cast<size_t>(n));
            }
        }
    }

    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    bool exited_ = false;
    int status_ = -1;
};

struct ProgramRun {
    std::optional<int> status;  // nothing: it did not end in time
    std::string out, err;
};

inline ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args,
                             const std::vector<std::string>& environment = {},
                             std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    ChildProcess child(path, args, environment);
    child.CloseInput();
    ProgramRun run;
    run.status = child.Wait(timeout);
    run.out = child.out;
    run.err = child.err;
    return run;
}

}  // namespace velmorin::testing
