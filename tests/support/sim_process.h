#pragma once
// velmorin-sim as a child process on a link of its own in a fresh folder,
// driven through its command interface. No gtest here (the benchmarks use it).
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace velmorin::testing {

class SimProcess {
public:
    // `options` go to velmorin-sim after its --link.
    explicit SimProcess(const std::vector<std::string>& options = {}) {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmorin_sim_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        dir_ = pattern;
        device_ = dir_ + "/com";
        std::vector<std::string> args{"--link", device_};
        args.insert(args.end(), options.begin(), options.end());
        child_ = std::make_unique<ChildProcess>(VELMORIN_SIM_PATH, args);
        // The first line comes once the link is in place.
        const std::optional<std::string> first = child_->ReadLine(std::chrono::seconds(10));
        ready_ = first && first->find(device_) != std::string::npos;
    }

    ~SimProcess() {
        child_.reset();
        if (!dir_.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(dir_, ec);
        }
    }

    bool ready() const { return ready_; }
    const std::string& device() const { return device_; }
    std::string err() const { return child_ ? child_->err : std::string(); }

    // What a console command printed before its "ok"; nothing when it
    // failed or did not answer in time.
    std::optional<std::string> Command(const std::string& line) {
        if (!ready_ || !child_->Write(line + "\n")) return std::nullopt;
        std::string output;
        for (;;) {
            const std::optional<std::string> next = child_->ReadLine(std::chrono::seconds(10));
            if (!next || next->rfind("error", 0) == 0) return std::nullopt;
            if (*next == "ok") return output;
            output += *next + "\n";
        }
    }

private:
    std::string dir_;
    std::string device_;
    std::unique_ptr<ChildProcess> child_;
    bool ready_ = false;
};

}  // namespace velmorin::testing
