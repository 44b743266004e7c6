#include "link/exchanges.h"

#include <algorithm>

#include "link/link_messages.h"

namespace velmorin {
namespace {

template <typename Met>
int WaitTries(Channel channel, int maxTries, Met met, const std::function<void(int)>& onTry) {
    int tries = 0;
    while (tries < maxTries && !met()) {
        channel.clock.Sleep(TryInterval);
        ++tries;
        if (onTry) onTry(tries);
    }
    return tries;
}

bool Write(Channel channel, std::span<const uint8_t> bytes) { return channel.link.WritePort(channel.port, bytes) == 1; }

// Fills `buffer` from what has arrived; false when less than that was there.
bool ReadFull(Channel channel, std::span<uint8_t> buffer) {
    return channel.link.ReadPort(channel.port, buffer) == static_cast<int>(buffer.size());
}

}  // namespace

int WaitForInput(Channel channel, int count, int maxTries, const std::function<void(int tries)>& onTry) {
    return WaitTries(
        channel, maxTries, [&] { return channel.link.InputQueueCount(channel.port) >= count; }, onTry);
}

int WaitForOutputSent(Channel channel, int maxTries) {
    return WaitTries(channel, maxTries, [&] { return channel.link.OutputQueueCount(channel.port) < 1; }, {});
}

PollOutcome PollExchange(Channel channel, uint8_t id, uint8_t a, uint8_t b, ControllerImage& image) {
    channel.link.PurgePort(channel.port);
    const CommandFrame frame = ReadWordsFrame(id, a, b);
    // One byte per write: the controller's receiver is paced by it.
    for (uint8_t byte : frame) Write(channel, std::span<const uint8_t>(&byte, 1));
    WaitForOutputSent(channel, PollOutputTries);
    PollOutcome outcome;
    outcome.tries = WaitForInput(channel, FrameSize, PollReplyTries);
    if (outcome.tries >= PollLateTries) return outcome;
    channel.clock.Sleep(PollSettle);
    CommandFrame reply{};
    if (!ReadFull(channel, reply)) return outcome;
    image.StorePair(a, reply[2], reply[3], b, reply[4], reply[5]);
    outcome.replied = true;
    return outcome;
}

bool WriteRows(Channel channel, uint8_t id, std::span<const WriteRow> rows) {
    channel.link.PurgePort(channel.port);
    bool allAnswered = true;
    for (const WriteRow& row : rows) {
        const CommandFrame frame = row.word ? WriteWordFrame(id, row.address, row.value)
                                            : WriteByteFrame(id, row.address, static_cast<uint8_t>(row.value & 0xFF));
        Write(channel, frame);
        WaitForOutputSent(channel, WriteOutputTries);
        if (WaitForInput(channel, FrameSize, WriteReplyTries) >= WriteLateTries) {
            allAnswered = false;
            continue;
        }
        CommandFrame reply{};
        channel.link.ReadPort(channel.port, reply);
    }
    return allAnswered;
}

int SettleAndPurge(Channel channel, int quietTries, int maxTries) {
    int waiting = channel.link.InputQueueCount(channel.port);
    int still = 0;
    const int tries = WaitTries(
        channel, maxTries, [&] { return still >= quietTries; },
        [&](int) {
            const int now = channel.link.InputQueueCount(channel.port);
            still = now == waiting ? still + 1 : 0;
            waiting = now;
        });
    channel.link.PurgePort(channel.port);
    return tries;
}

RomOutcome ReadRomVersion(Channel channel, uint8_t id) {
    const CommandFrame frame = RomVersionFrame(id);
    RomOutcome outcome;
    for (outcome.attempts = 1; outcome.attempts <= RomAttempts; ++outcome.attempts) {
        SettleAndPurge(channel, RomQuietTries, RomSettleTries);
        Write(channel, frame);
        if (WaitForInput(channel, FrameSize, RomReplyTries) < RomReplyTries) {
            CommandFrame reply{};
            if (ReadFull(channel, reply)) {
                outcome.answered = true;
                outcome.text = RomVersionText(reply);
                return outcome;
            }
        }
        channel.clock.Sleep(RomPause);
    }
    outcome.attempts = RomAttempts;
    outcome.text = msg::RomError;
    return outcome;
}

bool SendWithoutReply(Channel channel, const CommandFrame& frame) { return Write(channel, frame); }

DownloadOutcome DownloadProgram(Channel channel, const CommandFrame& header, std::span<const uint8_t, ImageSize> image,
                                DateStamp stamp, const ProgressCallback& progress) {
    TransferProgress state;
    state.bytesTotal = FrameSize + ImageSize + 2;
    auto report = [&] {
        if (progress) progress(state);
    };
    const uint8_t stampBytes[2] = {stamp.first, stamp.second};
    Write(channel, header);
    state.bytesWritten += FrameSize;
    report();
    Write(channel, image);
    state.bytesWritten += ImageSize;
    report();
    Write(channel, stampBytes);
    state.bytesWritten += 2;
    report();

    DownloadOutcome outcome;
    outcome.tries = WaitForInput(channel, FrameSize, TransferTries, [&](int tries) {
        state.triesWaited = tries;
        report();
    });
    channel.link.ReadPort(channel.port, outcome.reply);
    outcome.accepted = outcome.tries < TransferTries && DownloadAccepted(outcome.reply);
    return outcome;
}

UploadOutcome UploadProgram(Channel channel, uint8_t id, uint16_t password, const ProgressCallback& progress) {
    TransferProgress state;
    state.bytesTotal = FrameSize;
    auto report = [&] {
        if (progress) progress(state);
    };
    Write(channel, UploadFrame(id, password));
    state.bytesWritten = FrameSize;
    state.receiveTotal = UploadReplySize;
    report();

    UploadOutcome outcome;
    int arrived = 0;
    const auto count = [&] {
        arrived = channel.link.InputQueueCount(channel.port);
        return arrived >= UploadReplySize;
    };
    outcome.tries = WaitTries(channel, TransferTries, count, [&](int tries) {
        state.triesWaited = tries;
        state.bytesReceived = std::clamp(arrived, 0, UploadReplySize);
        report();
    });
    state.bytesReceived = std::clamp(arrived, 0, UploadReplySize);
    report();
    if (outcome.tries >= TransferTries) return outcome;
    uint8_t stampBytes[2] = {0, 0};
    // What was counted is read in full; anything short of it is no upload.
    if (!ReadFull(channel, outcome.image) || !ReadFull(channel, stampBytes)) return outcome;
    outcome.stamp = {stampBytes[0], stampBytes[1]};
    outcome.received = true;
    return outcome;
}

}  // namespace velmorin
