#pragma once
// Every exchange with the controller, each with its exact purges, writes,
// waits and sleeps. A wait is a series of tries: query a queue count, and
// while the condition does not hold sleep 10 ms and count one try. The
// exchanges run over any PlcLink and sleep through a Clock; they never open
// or close the port (that is the job's: see transfer.h and the monitors).
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "link/clock.h"
#include "link/command_frame.h"
#include "link/controller_image.h"
#include "link/plc_link.h"

namespace velmorin {

// The open port an exchange runs on.
struct Channel {
    PlcLink& link;
    Clock& clock;
    int port = 0;
};

constexpr Clock::Duration TryInterval{10};

// Tries spent waiting while fewer than `count` bytes have arrived, at most
// `maxTries`; fewer than `maxTries` means they arrived. `onTry` hears every try.
int WaitForInput(Channel channel, int count, int maxTries, const std::function<void(int tries)>& onTry = {});
// Tries spent waiting while bytes are still queued for sending.
int WaitForOutputSent(Channel channel, int maxTries);

// --- Polling: ReadWords for two addresses into a monitor's image --------------

constexpr int PollOutputTries = 10;
constexpr int PollReplyTries = 15;
constexpr int PollLateTries = 12;  // a reply that took this many tries is ignored
constexpr Clock::Duration PollSettle{20};

struct PollOutcome {
    bool replied = false;  // the reply was taken into the image
    int tries = 0;         // of the reply wait
};

// Purge, the frame in seven one-byte writes, the two waits; a reply complete
// in fewer than 12 tries is read after 20 ms and stored: bytes 2, 3 at a and
// a + 1, then bytes 4, 5 at b and b + 1. A later reply is left for the next
// exchange's purge.
PollOutcome PollExchange(Channel channel, uint8_t id, uint8_t a, uint8_t b, ControllerImage& image);

// --- Writing variables: WriteByte / WriteWord rows ---------------------------

constexpr int WriteOutputTries = 20;
constexpr int WriteReplyTries = 20;
constexpr int WriteLateTries = 18;  // a row whose reply took this many tries failed

struct WriteRow {
    uint8_t address = 0;
    bool word = false;
    uint16_t value = 0;  // a byte row sends the low byte
};

// One purge, then each row in turn; a row without its reply marks the whole
// send failed and the next row is still sent. True when every row was answered.
bool WriteRows(Channel channel, uint8_t id, std::span<const WriteRow> rows);

// --- ROM version --------------------------------------------------------------

constexpr int RomAttempts = 10;
constexpr int RomReplyTries = 10;
constexpr Clock::Duration RomPause{100};
// Before each attempt the line is left to go quiet: five tries without a new
// byte, within at most 1.5 s, longer than the longest answer there is (an
// upload's 258 bytes take 1.1 s at 2400 baud). Fewer would take the pauses
// of a USB adapter's 16 ms latency timer, or of a busy computer, for the
// end of a reply.
constexpr int RomQuietTries = 5;
constexpr int RomSettleTries = 150;

struct RomOutcome {
    bool answered = false;
    std::string text;  // the four characters, or "ERROR!"
    int attempts = 0;
};

// Up to ten attempts. Each first waits for the line to go quiet and purges
// what came (the rest of an upload nobody waits for any more, the pieces
// of a reply cut short), so that only an answer to this attempt's frame is
// read; a reply is then taken as it comes, as the other exchanges take theirs.
RomOutcome ReadRomVersion(Channel channel, uint8_t id);

// Waits, at most `maxTries`, until `quietTries` tries in a row bring no new
// byte, then purges. Tries spent.
int SettleAndPurge(Channel channel, int quietTries, int maxTries);

// --- Run, stop, reset counters ------------------------------------------------

// One seven-byte write; nothing is purged, awaited or read. The result is
// the write's own (the controller's reaction cannot be seen).
bool SendWithoutReply(Channel channel, const CommandFrame& frame);

// --- Program transfer ---------------------------------------------------------

constexpr int TransferTries = 500;  // 10 ms each: five seconds

// What a busy window shows while a transfer runs: reported after each write
// and after every try of the reply wait.
struct TransferProgress {
    int bytesWritten = 0;
    int bytesTotal = 0;
    // What an upload waits for is the controller's answer: it counts the
    // bytes come in (of receiveTotal) rather than the seven it sent.
    int bytesReceived = 0;
    int receiveTotal = 0;
    int triesWaited = 0;
    int maxTries = TransferTries;
    double SecondsWaited() const { return triesWaited * (TryInterval.count() / 1000.0); }
};
using ProgressCallback = std::function<void(const TransferProgress&)>;

struct DownloadOutcome {
    bool accepted = false;
    int tries = 0;
    CommandFrame reply{};
};

// Header, the 256 image bytes and the date stamp in three writes; then at
// most 500 tries for the seven-byte reply, which is read even after a time-out.
DownloadOutcome DownloadProgram(Channel channel, const CommandFrame& header, std::span<const uint8_t, ImageSize> image,
                                DateStamp stamp, const ProgressCallback& progress = {});

struct UploadOutcome {
    bool received = false;
    int tries = 0;
    std::array<uint8_t, ImageSize> image{};
    DateStamp stamp;
};

// The upload frame, then at most 500 tries for the 258 bytes of image and
// date stamp; the progress counts them as they arrive.
UploadOutcome UploadProgram(Channel channel, uint8_t id, uint16_t password, const ProgressCallback& progress = {});

}  // namespace velmorin
