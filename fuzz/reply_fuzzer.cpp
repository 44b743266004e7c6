// Controller replies of any length, content and lateness through every
// exchange, on the fake line and clock. Besides not crashing, each exchange
// must take a reply exactly when its rule says so, and write nothing into
// the image that the reply did not carry.
//   byte 0: the exchange (poll, write rows, ROM, download, upload)
//   bytes 1-2: the reply's delay in milliseconds after each request
//   byte 3, 4: poll addresses, or the number of write rows
//   the rest: the reply
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/exchanges.h"
#include "link/link_messages.h"
#include "support/fake_link.h"

using namespace velmorin;
using velmorin::testing::FakeClock;
using velmorin::testing::FakeController;
using velmorin::testing::FakeLink;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    const int exchange = data[0] % 5;
    const int delayMs = ((data[1] << 8) | data[2]) % 6000;
    const uint8_t a = data[3], b = data[4];
    const std::vector<uint8_t> reply(data + 5, data + size);
    const bool frameLong = reply.size() >= FrameSize;

    FakeClock clock;
    FakeLink link(clock);
    FakeController controller;
    controller.Attach(link);
    controller.answer = [&](const CommandFrame&) {
        return FakeController::Answer{reply, std::chrono::milliseconds(delayMs)};
    };
    const Channel channel{link, clock, 0};

    switch (exchange) {
        case 0: {
            ControllerImage image;
            const PollOutcome poll = PollExchange(channel, 1, a, b, image);
            // The wait queries every 10 ms from the moment the frame is sent.
            const bool inTime = frameLong && delayMs <= (PollLateTries - 1) * 10;
            Check(poll.replied == inTime);
            const auto bytes = image.Snapshot();
            std::array<uint8_t, ImageSize> expected{};
            if (poll.replied) {
                const int at[4] = {a, a + 1, b, b + 1};
                for (int i = 0; i < 4; ++i)
                    if (at[i] < ImageSize) expected[at[i]] = reply[2 + i];
            }
            Check(bytes == expected);
            break;
        }
        case 1: {
            std::vector<WriteRow> rows(a % 5);
            for (size_t i = 0; i < rows.size(); ++i) rows[i] = {static_cast<uint8_t>(b + i), (i & 1) != 0, 0x1234};
            const bool answered = WriteRows(channel, 1, rows);
            if (rows.empty()) Check(answered);
            if (!frameLong && !rows.empty()) Check(!answered);
            Check(link.Count(FakeLink::Op::Write) == static_cast<int>(rows.size()));
            break;
        }
        case 2: {
            const RomOutcome rom = ReadRomVersion(channel, 1);
            Check(rom.attempts >= 1 && rom.attempts <= RomAttempts);
            if (rom.answered) {
                Check(rom.text.size() == 4);
                for (char c : rom.text) Check(c >= '0' && c <= '0' + 15);
            } else {
                Check(rom.text == msg::RomError && rom.attempts == RomAttempts);
            }
            if (rom.answered && rom.attempts == 1) {
                CommandFrame first{};
                std::copy_n(reply.begin(), FrameSize, first.begin());
                Check(rom.text == RomVersionText(first));
            }
            break;
        }
        case 3: {
            std::array<uint8_t, ImageSize> image;
            image.fill(UnwrittenByte);
            const DownloadOutcome download = DownloadProgram(channel, DownloadHeader(1, 0, 1, image), image, {0, 0});
            CommandFrame first{};
            if (frameLong) std::copy_n(reply.begin(), FrameSize, first.begin());
            const bool wellFormed = frameLong && DownloadAccepted(first);
            Check(download.accepted == (wellFormed && delayMs < TransferTries * 10));
            Check(clock.now <= std::chrono::milliseconds(TransferTries * 10));
            break;
        }
        default: {
            const UploadOutcome upload = UploadProgram(channel, 1, 0);
            const bool complete = reply.size() >= static_cast<size_t>(UploadReplySize);
            Check(upload.received == (complete && delayMs < TransferTries * 10));
            if (upload.received) {
                Check(std::equal(upload.image.begin(), upload.image.end(), reply.begin()));
                Check(upload.stamp.first == reply[ImageSize] && upload.stamp.second == reply[ImageSize + 1]);
            }
            break;
        }
    }
    return 0;
}
