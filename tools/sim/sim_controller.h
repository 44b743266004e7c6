#pragma once
// The simulated controller without its line: bytes go in with the time they
// arrived, replies come out with the delay before their first byte. main.cpp
// puts it on a pseudo-terminal and paces both directions at 2400 baud.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/command_frame.h"

namespace velmorin::sim {

// Ways to misbehave, any combination.
struct Faults {
    bool silent = false;            // no reply at all
    int lateMs = 0;                 // every reply starts this late
    int shortReply = -1;            // seven-byte replies cut to this many bytes (-1: whole)
    bool badCheck = false;          // seven-byte replies with a wrong check byte
    bool badDownloadReply = false;  // download acceptance with byte 1 wrong, check byte right
    int shortUpload = -1;           // upload cut to this many bytes (-1: all 258)

    std::string Describe() const;
};

struct Reply {
    std::vector<uint8_t> bytes;
    int delayMs = 0;
};

class Controller {
public:
    Controller();

    // One byte off the line at `nowMs`. A reply when the byte completes a
    // request that is answered; `event` says what the request did.
    std::optional<Reply> Receive(uint8_t byte, int64_t nowMs);
    // The other side closed the line: a request half received is dropped.
    void LineClosed();

    uint8_t id = 1;
    uint16_t password = 0;
    uint16_t rom = 0x0102;
    std::array<uint8_t, 256> memory{};
    std::array<uint8_t, 256> image{};
    DateStamp stamp;
    bool running = false;
    RunMode mode = RunMode::KeepVariables;
    Faults faults;
    std::string event;  // the last request handled, for the log and "show"
    int requests = 0;

private:
    std::optional<Reply> Handle(const CommandFrame& frame);
    std::optional<Reply> FinishDownload();
    std::optional<Reply> Answer(std::vector<uint8_t> bytes, bool frameReply);
    bool ForUs(const CommandFrame& frame, bool broadcastAllowed) const;
    uint16_t RequestPassword(const CommandFrame& frame) const;

    std::vector<uint8_t> pending_;
    int64_t lastByteMs_ = -1;
    bool downloading_ = false;  // the header was taken, image and date stamp follow
    bool downloadForUs_ = false;
    CommandFrame downloadHeader_{};
};

}  // namespace velmorin::sim
