#pragma once
// A serial line on a clock of its own, for the protocol's waiting rules:
// FakeClock advances only when the code under test sleeps, and FakeLink
// delivers the bytes a scripted controller sends at the time it sends them.
// Every call is logged so that tests can pin purges, writes and their order.
// No gtest here: the reply fuzzer uses it too.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "link/clock.h"
#include "link/command_frame.h"
#include "link/plc_link.h"

namespace velmorin::testing {

class FakeClock : public Clock {
public:
    void Sleep(Duration duration) override {
        now += duration;
        sleeps.push_back(duration);
    }
    std::chrono::steady_clock::time_point Now() const override { return std::chrono::steady_clock::time_point(now); }

    Duration now{0};
    std::vector<Duration> sleeps;
};

class FakeLink : public PlcLink {
public:
    enum class Op { Open, Close, Write, Read, InputCount, OutputCount, Purge };
    struct Call {
        Op op;
        std::vector<uint8_t> bytes;  // written or read
        Clock::Duration at;
    };

    explicit FakeLink(FakeClock& clock) : clock_(clock) {}

    // Hears each write (after it is logged); schedules replies with Arrive.
    std::function<void(std::span<const uint8_t> written)> peer;
    // OutputQueueCount reports 1 for this many calls, then 0.
    int outputBusyCalls = 0;
    bool failOpen = false;

    // Bytes that reach the receive queue `delay` from now.
    void Arrive(std::span<const uint8_t> bytes, Clock::Duration delay = Clock::Duration{0}) {
        for (uint8_t b : bytes) incoming_.push_back({clock_.now + delay, b});
    }

    std::vector<Call> calls;

    int Count(Op op) const {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [op](const Call& c) { return c.op == op; }));
    }
    std::vector<std::vector<uint8_t>> Writes() const {
        std::vector<std::vector<uint8_t>> writes;
        for (const Call& c : calls)
            if (c.op == Op::Write) writes.push_back(c.bytes);
        return writes;
    }
    std::vector<uint8_t> Written() const {
        std::vector<uint8_t> all;
        for (const auto& w : Writes()) all.insert(all.end(), w.begin(), w.end());
        return all;
    }
    bool open() const { return open_; }

    int OpenPort(int) override {
        Log(Op::Open);
        if (failOpen) {
            error_ = {link_error::OpenFailed, 0, "fake: refused"};
            return 0;
        }
        open_ = true;
        return 1;
    }
    int ClosePort(int) override {
        Log(Op::Close);
        open_ = false;
        return 1;
    }
    int WritePort(int, std::span<const uint8_t> bytes) override {
        Log(Op::Write, bytes);
        if (peer) peer(bytes);
        return 1;
    }
    int ReadPort(int, std::span<uint8_t> buffer) override {
        const size_t n = std::min(buffer.size(), Arrived());
        for (size_t i = 0; i < n; ++i) {
            buffer[i] = incoming_.front().byte;
            incoming_.pop_front();
        }
        Log(Op::Read, buffer.first(n));
        return static_cast<int>(n);
    }
    int InputQueueCount(int) override {
        Log(Op::InputCount);
        return static_cast<int>(Arrived());
    }
    int OutputQueueCount(int) override {
        Log(Op::OutputCount);
        if (outputBusyCalls > 0) {
            --outputBusyCalls;
            return 1;
        }
        return 0;
    }
    // Discards what has arrived; bytes still on the way arrive later.
    int PurgePort(int) override {
        Log(Op::Purge);
        incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<long>(Arrived()));
        return 1;
    }
    LinkError LastError() const override { return error_; }

private:
    struct Timed {
        Clock::Duration at;
        uint8_t byte;
    };

    size_t Arrived() const {
        // Mostly everything or nothing has arrived: answer those at once.
        if (incoming_.empty() || incoming_.back().at <= clock_.now) return incoming_.size();
        size_t n = 0;
        while (n < incoming_.size() && incoming_[n].at <= clock_.now) ++n;
        return n;
    }
    void Log(Op op, std::span<const uint8_t> bytes = {}) {
        calls.push_back({op, std::vector<uint8_t>(bytes.begin(), bytes.end()), clock_.now});
    }

    FakeClock& clock_;
    std::deque<Timed> incoming_;
    bool open_ = false;
    LinkError error_;
};

// A scripted controller: it gathers written bytes into frames (a download's
// image and date stamp count as part of its header's request) and answers
// each with what `answer` returns, `delay` after the request is complete.
struct FakeController {
    struct Answer {
        std::vector<uint8_t> bytes;
        Clock::Duration delay{0};
    };
    std::function<std::optional<Answer>(const CommandFrame& request)> answer;

    void Attach(FakeLink& link) {
        link.peer = [this, &link](std::span<const uint8_t> written) {
            for (uint8_t b : written) {
                pending_.push_back(b);
                if (!Complete()) continue;
                CommandFrame frame{};
                std::copy_n(pending_.begin(), FrameSize, frame.begin());
                pending_.clear();
                if (!answer) continue;
                if (auto reply = answer(frame)) link.Arrive(reply->bytes, reply->delay);
            }
        };
    }

private:
    bool Complete() const {
        if (pending_.size() < FrameSize) return false;
        const bool download = pending_[1] == static_cast<uint8_t>(CommandCode::DownloadProgram);
        return pending_.size() == (download ? FrameSize + ImageSize + 2 : FrameSize);
    }
    std::vector<uint8_t> pending_;
};

}  // namespace velmorin::testing
