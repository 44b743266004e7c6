// The waiting discipline of every exchange, on a fake line and a fake clock:
// which replies count, how many tries and sleeps each wait takes, what is
// purged and written, and in which order.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/exchanges.h"
#include "link/link_dialog_rules.h"
#include "link/link_messages.h"
#include "link/transfer.h"
#include "support/fake_link.h"

namespace velmorin {
namespace {

using std::chrono::milliseconds;
using testing::FakeClock;
using testing::FakeController;
using testing::FakeLink;
using Op = FakeLink::Op;

std::vector<uint8_t> Reply(std::initializer_list<uint8_t> bytes) { return bytes; }

class ExchangeRules : public ::testing::Test {
protected:
    FakeClock clock;
    FakeLink link{clock};
    FakeController controller;
    Channel channel{link, clock, 1};

    void SetUp() override { controller.Attach(link); }
    // Every request answered with `bytes`, `delay` after it is complete.
    void AnswerAll(std::vector<uint8_t> bytes, milliseconds delay) {
        controller.answer = [=](const CommandFrame&) { return FakeController::Answer{bytes, delay}; };
    }
};

TEST_F(ExchangeRules, PollTakesOnlyRepliesCompleteInFewerThanTwelveTries) {
    struct Case {
        int delayMs;
        bool taken;
        int tries;
    };
    // The wait queries at 0, 10, 20 ... ms; fifteen tries end it.
    const Case cases[] = {{0, true, 0},     {105, true, 11},  {110, true, 11}, {111, false, 12},
                          {130, false, 13}, {145, false, 15}, {400, false, 15}};
    for (const Case& c : cases) {
        FakeClock caseClock;
        FakeLink caseLink(caseClock);
        FakeController peer;
        peer.Attach(caseLink);
        peer.answer = [&](const CommandFrame&) {
            return FakeController::Answer{Reply({9, 8, 0x11, 0x22, 0x33, 0x44, 0}), milliseconds(c.delayMs)};
        };
        ControllerImage image;
        const PollOutcome outcome = PollExchange({caseLink, caseClock, 0}, 1, 40, 50, image);
        EXPECT_EQ(outcome.replied, c.taken) << c.delayMs << " ms";
        EXPECT_EQ(outcome.tries, c.tries) << c.delayMs << " ms";
        EXPECT_EQ(image.Byte(40), c.taken ? 0x11 : 0) << c.delayMs << " ms";
        EXPECT_EQ(image.Word(50), c.taken ? 0x4433 : 0) << c.delayMs << " ms";
    }
}

TEST_F(ExchangeRules, PollPurgesSendsSevenSingleBytesAndSettlesBeforeReading) {
    link.outputBusyCalls = 3;
    AnswerAll(Reply({1, 8, 0xA2, 0xA3, 0xB4, 0xB5, 0}), milliseconds(60));
    ControllerImage image;
    ASSERT_TRUE(PollExchange(channel, 1, 94, 95, image).replied);

    EXPECT_EQ(link.calls.front().op, Op::Purge);
    const auto writes = link.Writes();
    ASSERT_EQ(writes.size(), 7u);
    for (const auto& w : writes) EXPECT_EQ(w.size(), 1u);
    const CommandFrame frame = ReadWordsFrame(1, 94, 95);
    EXPECT_EQ(link.Written(), std::vector<uint8_t>(frame.begin(), frame.end()));
    // Three tries for the output queue, three for the reply, then the 20 ms pause.
    EXPECT_EQ(clock.sleeps,
              std::vector<milliseconds>({milliseconds(10), milliseconds(10), milliseconds(10), milliseconds(10),
                                         milliseconds(10), milliseconds(10), milliseconds(20)}));
    // Overlapping addresses: B's bytes land after A's.
    EXPECT_EQ(image.Byte(94), 0xA2);
    EXPECT_EQ(image.Byte(95), 0xB4);
    EXPECT_EQ(image.Byte(96), 0xB5);
}

TEST_F(ExchangeRules, LatePollReplyIsPurgedByTheNextExchange) {
    int request = 0;
    controller.answer = [&](const CommandFrame&) {
        ++request;
        return request == 1 ? FakeController::Answer{Reply({1, 8, 0xEE, 0xEE, 0xEE, 0xEE, 0}), milliseconds(125)}
                            : FakeController::Answer{Reply({1, 8, 5, 6, 7, 8, 0}), milliseconds(20)};
    };
    ControllerImage image;
    EXPECT_FALSE(PollExchange(channel, 1, 10, 20, image).replied);
    EXPECT_TRUE(PollExchange(channel, 1, 10, 20, image).replied);
    EXPECT_EQ(image.Byte(10), 5);
    EXPECT_EQ(image.Byte(21), 8);
}

TEST_F(ExchangeRules, WriteRowWithoutReplyFailsTheSendButTheOthersAreSent) {
    const WriteRow rows[] = {{14, false, 0x1FF}, {92, true, 1234}, {15, false, 7}};
    int request = 0;
    controller.answer = [&](const CommandFrame& frame) -> std::optional<FakeController::Answer> {
        ++request;
        if (request == 2) return std::nullopt;  // the word row is not answered
        return FakeController::Answer{std::vector<uint8_t>(frame.begin(), frame.end()), milliseconds(50)};
    };
    EXPECT_FALSE(WriteRows(channel, 3, rows));
    EXPECT_EQ(link.Count(Op::Purge), 1);
    const auto writes = link.Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0], std::vector<uint8_t>({3, 0x07, 14, 1, 0xFF, 0, 3 ^ 7 ^ 14 ^ 1 ^ 0xFF}));
    EXPECT_EQ(writes[1], std::vector<uint8_t>({3, 0x09, 92, 1, 0xD2, 0x04, 0x81}));
    EXPECT_EQ(link.Count(Op::Read), 2) << "the unanswered row is not read";
}

TEST_F(ExchangeRules, WriteReplyAfterEighteenTriesCountsAsMissing) {
    const WriteRow row[] = {{14, false, 1}};
    struct Case {
        int delayMs;
        bool answered;
    };
    for (const Case c : {Case{170, true}, Case{175, false}, Case{180, false}}) {
        FakeClock caseClock;
        FakeLink caseLink(caseClock);
        FakeController peer;
        peer.Attach(caseLink);
        peer.answer = [&](const CommandFrame& f) {
            return FakeController::Answer{std::vector<uint8_t>(f.begin(), f.end()), milliseconds(c.delayMs)};
        };
        EXPECT_EQ(WriteRows({caseLink, caseClock, 0}, 1, row), c.answered) << c.delayMs << " ms";
    }
}

TEST_F(ExchangeRules, RomQueryStopsAtTheFirstCompleteReply) {
    int request = 0;
    controller.answer = [&](const CommandFrame&) -> std::optional<FakeController::Answer> {
        if (++request < 3) return std::nullopt;
        return FakeController::Answer{Reply({1, 0x56, 0x34, 0x12, 0, 0, 0}), milliseconds(40)};
    };
    const RomOutcome outcome = ReadRomVersion(channel, 1);
    EXPECT_TRUE(outcome.answered);
    EXPECT_EQ(outcome.text, "1234");
    EXPECT_EQ(outcome.attempts, 3);
    EXPECT_EQ(link.Count(Op::Write), 3);
    // Each attempt waits five quiet tries and purges before its frame.
    std::vector<Op> purgesAndWrites;
    for (const FakeLink::Call& call : link.calls)
        if (call.op == Op::Purge || call.op == Op::Write) purgesAndWrites.push_back(call.op);
    EXPECT_EQ(purgesAndWrites, std::vector<Op>({Op::Purge, Op::Write, Op::Purge, Op::Write, Op::Purge, Op::Write}));
    // Two silent attempts of ten tries and a 100 ms pause each, then four tries.
    EXPECT_EQ(clock.now, milliseconds(3 * 50 + 2 * (100 + 100) + 40));
}

TEST_F(ExchangeRules, RomQueryGivesUpAfterTenAttempts) {
    const RomOutcome outcome = ReadRomVersion(channel, 1);
    EXPECT_FALSE(outcome.answered);
    EXPECT_EQ(outcome.text, msg::RomError);
    EXPECT_EQ(link.Count(Op::Write), 10);
    EXPECT_EQ(clock.now, milliseconds(10 * (50 + 100 + 100)));
}

TEST_F(ExchangeRules, LineSettlesWithinItsBoundBeforeThePurge) {
    // Bytes paced 4 ms apart for 0.4 s: quiet five tries after the last one.
    for (int i = 0; i < 100; ++i) link.Arrive(Reply({0xCD}), milliseconds(4 * i));
    EXPECT_EQ(SettleAndPurge(channel, RomQuietTries, RomSettleTries), 45);
    EXPECT_EQ(link.InputQueueCount(1), 0);
    // A line that never goes quiet is purged after the bound all the same.
    for (int i = 0; i < 1000; ++i) link.Arrive(Reply({0xCD}), milliseconds(4 * i));
    EXPECT_EQ(SettleAndPurge(channel, RomQuietTries, RomSettleTries), RomSettleTries);
    EXPECT_EQ(link.Count(Op::Purge), 2);
}

TEST_F(ExchangeRules, CommandsWithoutReplyAreOneWriteAndNothingElse) {
    EXPECT_TRUE(SendWithoutReply(channel, RunProgramFrame(0, RunMode::KeepVariables)));
    ASSERT_EQ(link.calls.size(), 1u);
    EXPECT_EQ(link.calls[0].op, Op::Write);
    EXPECT_EQ(link.calls[0].bytes, std::vector<uint8_t>({0, 0x43, 2, 0, 0, 0, 0x41}));
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST_F(ExchangeRules, DownloadAcceptanceAndItsFiveSecondBound) {
    struct Case {
        const char* what;
        std::vector<uint8_t> reply;
        int delayMs;
        bool accepted;
    };
    const Case cases[] = {
        {"prompt acceptance", {1, 0x50, 0, 0, 0, 0, 0x51}, 1200, true},
        {"last try", {1, 0x50, 0, 0, 0, 0, 0x51}, 4990, true},
        {"too late", {1, 0x50, 0, 0, 0, 0, 0x51}, 5000, false},
        {"wrong code, right check byte", {1, 0x15, 0, 0, 0, 0, 0x14}, 100, false},
        {"right code, wrong check byte", {1, 0x50, 0, 0, 0, 0, 0x00}, 100, false},
        {"short reply", {1, 0x50, 0, 0, 0, 0x51}, 100, false},
    };
    std::array<uint8_t, ImageSize> image;
    image.fill(0xCD);
    for (const Case& c : cases) {
        FakeClock caseClock;
        FakeLink caseLink(caseClock);
        FakeController peer;
        peer.Attach(caseLink);
        peer.answer = [&](const CommandFrame&) { return FakeController::Answer{c.reply, milliseconds(c.delayMs)}; };
        std::vector<TransferProgress> seen;
        const DownloadOutcome outcome =
            DownloadProgram({caseLink, caseClock, 0}, DownloadHeader(1, 0, 1, image), image, {0x1B, 0x79},
                            [&](const TransferProgress& p) { seen.push_back(p); });
        EXPECT_EQ(outcome.accepted, c.accepted) << c.what;
        EXPECT_LE(caseClock.now, milliseconds(5000)) << c.what;
        // Three writes, header first; progress after each, then per try.
        const auto writes = caseLink.Writes();
        ASSERT_EQ(writes.size(), 3u) << c.what;
        EXPECT_EQ(writes[0].size(), 7u);
        EXPECT_EQ(writes[1].size(), 256u);
        EXPECT_EQ(writes[2], std::vector<uint8_t>({0x1B, 0x79}));
        ASSERT_GE(seen.size(), 3u);
        EXPECT_EQ(seen[2].bytesWritten, 265);
        EXPECT_EQ(seen.back().triesWaited, outcome.tries) << c.what;
        EXPECT_EQ(caseLink.Count(Op::Read), 1) << "the reply is read even after a time-out";
    }
}

TEST_F(ExchangeRules, UploadNeedsAllTwoHundredFiftyEightBytes) {
    std::vector<uint8_t> answer(ImageSize);
    for (int i = 0; i < ImageSize; ++i) answer[i] = static_cast<uint8_t>(255 - i);
    answer.push_back(0x1A);
    answer.push_back(0x09);
    AnswerAll(answer, milliseconds(1100));
    std::vector<std::string> shown;
    const auto show = [&](const TransferProgress& p) { shown.push_back(TransferProgressText(p)); };
    const UploadOutcome whole = UploadProgram(channel, 7, 0xBEEF, show);
    EXPECT_TRUE(whole.received);
    // The busy window counts what comes in, not the seven bytes sent.
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "0 de 258 bytes");
    EXPECT_EQ(shown.back().substr(0, 16), "258 de 258 bytes") << shown.back();
    EXPECT_EQ(link.Writes().front(), std::vector<uint8_t>({7, 0x52, 0xEF, 0xBE, 0, 0, 7 ^ 0x52 ^ 0xEF ^ 0xBE}));
    EXPECT_EQ(whole.image[0], 255);
    EXPECT_EQ(whole.image[255], 0);
    EXPECT_EQ(whole.stamp.first, 0x1A);
    EXPECT_EQ(whole.stamp.second, 0x09);

    answer.resize(200);
    AnswerAll(answer, milliseconds(800));
    const milliseconds start = clock.now;
    shown.clear();
    const UploadOutcome shortOne = UploadProgram(channel, 7, 0, show);
    EXPECT_FALSE(shortOne.received);
    EXPECT_EQ(shown.back(), "200 de 258 bytes, 5,0 s de 5 s");
    EXPECT_EQ(shortOne.tries, TransferTries);
    EXPECT_EQ(clock.now - start, milliseconds(5000));
}

// The jobs around the exchanges: port opened and closed, the busy window's
// cue before the first byte, and what the user is told.
TEST_F(ExchangeRules, SendJobOpensSendsClosesAndReports) {
    std::vector<Op> atStart;
    TransferCallbacks callbacks;
    callbacks.started = [&] {
        for (const auto& c : link.calls) atStart.push_back(c.op);
    };
    AnswerAll(Reply({1, 0x50, 0, 0, 0, 0, 0x51}), milliseconds(1130));
    DownloadRequest request;
    request.targetId = 0;
    request.newId = 9;
    request.image.fill(0xCD);
    const TransferOutcome sent = SendProgram(link, clock, 1, request, callbacks);
    EXPECT_EQ(sent.status, TransferStatus::Done);
    EXPECT_EQ(sent.message, msg::SendOk);
    EXPECT_EQ(atStart, std::vector<Op>({Op::Open}));
    EXPECT_EQ(link.calls.back().op, Op::Close);
    EXPECT_EQ(link.Writes()[0][0], 0) << "sent to any controller";

    AnswerAll(Reply({1, 0x51, 0, 0, 0, 0, 0x50}), milliseconds(100));
    const TransferOutcome refused = SendProgram(link, clock, 1, request);
    EXPECT_EQ(refused.status, TransferStatus::Failed);
    EXPECT_EQ(refused.message, msg::SendFailed);
    EXPECT_FALSE(link.open());

    link.failOpen = true;
    link.calls.clear();
    const TransferOutcome notOpened = SendProgram(link, clock, 1, request, callbacks);
    EXPECT_EQ(notOpened.status, TransferStatus::PortNotOpened);
    EXPECT_EQ(notOpened.message, "Error -1 - 0 en comunicación");
    EXPECT_EQ(link.Count(Op::Write), 0);
}

TEST_F(ExchangeRules, FailedExtractLeavesAnOlderFileAsItWas) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("velmorin_extract_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "old.bld").string();
    std::ofstream(path, std::ios::binary) << "older file";
    auto contents = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    std::vector<uint8_t> answer(200, 0x11);  // a short upload
    AnswerAll(answer, milliseconds(500));
    const TransferOutcome shortUpload = ExtractProgram(link, clock, 0, {1, 0}, path);
    EXPECT_EQ(shortUpload.message, msg::ExtractFailed);
    EXPECT_EQ(contents(), "older file");

    answer.assign(UploadReplySize, 0x22);
    AnswerAll(answer, milliseconds(500));
    const TransferOutcome unwritable = ExtractProgram(link, clock, 0, {1, 0}, (dir / "no" / "such.bld").string());
    EXPECT_EQ(unwritable.status, TransferStatus::Failed);
    EXPECT_EQ(unwritable.message, "Error al abrir el archivo");

    const TransferOutcome done = ExtractProgram(link, clock, 0, {1, 0}, path);
    EXPECT_EQ(done.message, msg::ExtractOk);
    EXPECT_EQ(contents().substr(0, 14), "~VLB| 100r01 |");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace velmorin
