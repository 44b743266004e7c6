// The termios link and the transfers against velmorin-sim on a
// pseudo-terminal: the real system calls, the real pacing of 2400 baud.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/exchanges.h"
#include "link/link_messages.h"
#include "link/termios_link.h"
#include "link/transfer.h"
#include "support/sim_process.h"

namespace velmorin {
namespace {

using testing::SimProcess;
using SteadyClock = std::chrono::steady_clock;

constexpr int Com2 = 1;

// Com2 names the simulator; Com1 a device that does not exist.
TermiosLink LinkTo(const SimProcess& sim) { return TermiosLink({"/nonexistent/velmorin-tty", sim.device(), "", ""}); }

DownloadRequest TenBytesDated15March2027(uint8_t target, uint8_t newId) {
    CodeImage program;
    for (int i = 0; i < 10; ++i) program.bytes[i] = static_cast<uint8_t>(0x10 + i);
    program.codeLength = 10;
    DownloadRequest request;
    request.targetId = target;
    request.newId = newId;
    request.image = DownloadImageFrom(program);
    request.date = {15, 2, 2027};
    return request;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

double SecondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

TEST(AgainstSimulator, DownloadThenUploadRoundTripsTheProgramAndItsDate) {
    SimProcess sim({"--id", "3"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    TermiosLink link = LinkTo(sim);
    SystemClock clock;

    int startedAt = -1;
    TransferProgress last;
    TransferCallbacks callbacks;
    callbacks.started = [&] { startedAt = last.bytesWritten; };
    callbacks.progress = [&](const TransferProgress& p) { last = p; };
    const DownloadRequest request = TenBytesDated15March2027(3, 9);
    const TransferOutcome sent = SendProgram(link, clock, Com2, request, callbacks);
    ASSERT_EQ(sent.status, TransferStatus::Done) << sent.message << "\n" << sim.err();
    EXPECT_EQ(sent.message, msg::SendOk);
    EXPECT_EQ(startedAt, 0) << "the busy window comes before the first byte";
    EXPECT_EQ(last.bytesWritten, 265);
    EXPECT_GT(last.triesWaited, 0) << "the reply takes the line's time";
    const std::string state = sim.Command("show").value_or("");
    EXPECT_NE(state.find("controller 9,"), std::string::npos) << state;
    EXPECT_NE(state.find("program dated 15-02-2027"), std::string::npos) << state;

    // Read back from the controller under its new identifier.
    const std::string path = (std::filesystem::path(sim.device()).parent_path() / "upload.bld").string();
    std::vector<int> arrived;
    TransferCallbacks receiving;
    receiving.progress = [&](const TransferProgress& p) { arrived.push_back(p.bytesReceived); };
    const TransferOutcome extracted = ExtractProgram(link, clock, Com2, {9, 0}, path, receiving);
    ASSERT_EQ(extracted.status, TransferStatus::Done) << extracted.message;
    EXPECT_EQ(extracted.message, msg::ExtractOk);
    // At the line's pace the busy window's count climbs through the upload.
    ASSERT_FALSE(arrived.empty());
    EXPECT_EQ(arrived.back(), UploadReplySize);
    EXPECT_TRUE(std::any_of(arrived.begin(), arrived.end(), [](int n) { return n > 0 && n < UploadReplySize; }));
    EXPECT_TRUE(std::is_sorted(arrived.begin(), arrived.end()));
    const std::string header = "~VLB| 100r01 |256 rcv 15-02-2027 \n";
    const std::string file = FileText(path);
    ASSERT_EQ(file.size(), header.size() + ImageSize);
    EXPECT_EQ(file.substr(0, header.size()), header);
    EXPECT_TRUE(std::equal(request.image.begin(), request.image.end(),
                           reinterpret_cast<const uint8_t*>(file.data() + header.size())));
}

TEST(AgainstSimulator, RefusedDownloadRepliesFailTheSend) {
    for (const char* fault : {"baddownload", "badcheck"}) {
        SimProcess sim({"--fault", fault});
        ASSERT_TRUE(sim.ready()) << sim.err();
        TermiosLink link = LinkTo(sim);
        SystemClock clock;
        const TransferOutcome sent = SendProgram(link, clock, Com2, TenBytesDated15March2027(1, 1));
        EXPECT_EQ(sent.status, TransferStatus::Failed) << fault;
        EXPECT_EQ(sent.message, msg::SendFailed) << fault;
        // The controller took the program; only its answer was wrong.
        EXPECT_NE(sim.Command("show").value_or("").find("download stored"), std::string::npos) << fault;
    }
}

TEST(AgainstSimulator, SilentControllerFailsTheSendAfterFiveSeconds) {
    SimProcess sim({"--fault", "silent"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    TermiosLink link = LinkTo(sim);
    SystemClock clock;
    const auto start = SteadyClock::now();
    const TransferOutcome sent = SendProgram(link, clock, Com2, TenBytesDated15March2027(1, 1));
    const double seconds = SecondsSince(start);
    EXPECT_EQ(sent.message, msg::SendFailed);
    EXPECT_GE(seconds, 5.0) << "500 tries of 10 ms";
    EXPECT_LT(seconds, 10.0);
}

TEST(AgainstSimulator, WrongPasswordGetsNoAnswerAndTheRightOneIsAccepted) {
    SimProcess sim({"--password", "1234"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    TermiosLink link = LinkTo(sim);
    SystemClock clock;
    DownloadRequest request = TenBytesDated15March2027(1, 1);
    request.password = 0x3412;  // the two bytes the wrong way round
    EXPECT_EQ(SendProgram(link, clock, Com2, request).message, msg::SendFailed);
    EXPECT_NE(sim.Command("show").value_or("").find("wrong password"), std::string::npos);
    request.password = 0x1234;
    EXPECT_EQ(SendProgram(link, clock, Com2, request).message, msg::SendOk);
}

TEST(AgainstSimulator, OpenPortRefusalsLeaveAnOpenPortUsable) {
    SimProcess sim({"--rom", "0A21"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    TermiosLink link = LinkTo(sim);
    SystemClock clock;

    EXPECT_EQ(link.OpenPort(4), 0);
    EXPECT_EQ(FormatLinkError(link.LastError()), "Error -6 - 0 en comunicación");
    EXPECT_EQ(link.OpenPort(0), 0) << "missing device";
    EXPECT_EQ(link.LastError().code, -1);
    EXPECT_EQ(link.LastError().systemError, 0);
    EXPECT_EQ(link.LastError().detail, "/nonexistent/velmorin-tty: No existe el fichero o el directorio");
    EXPECT_EQ(link.InputQueueCount(Com2), -1) << "closed port";
    EXPECT_EQ(link.LastError().code, -7);

    ASSERT_EQ(link.OpenPort(Com2), 1);
    EXPECT_EQ(link.OpenPort(Com2), 0);
    EXPECT_EQ(link.LastError().code, -7);
    TermiosLink other({sim.device(), "", "", ""});
    EXPECT_EQ(other.OpenPort(0), 0) << "the device is not shared";
    EXPECT_EQ(other.LastError().code, -1);
    EXPECT_EQ(other.LastError().detail, sim.device() + ": Dispositivo o recurso ocupado");

    const RomOutcome rom = ReadRomVersion({link, clock, Com2}, 1);
    EXPECT_TRUE(rom.answered);
    EXPECT_EQ(rom.text, "0:21") << "the nibble 10 shows as the character after 9";
    EXPECT_EQ(link.ClosePort(Com2), 1);
    EXPECT_EQ(link.ClosePort(Com2), 0);
    EXPECT_EQ(link.LastError().code, -7);
}

// "Not shared" holds against a program that takes no lock: a terminal
// emulator or a `cat` with the device open (here a shell that opened it and
// became `sleep`) was once joined on the line. The message stays "Error -1
// - 0"; the detail says the device is busy, and with whom.
TEST(AgainstSimulator, ADeviceOpenInAnotherProgramIsBusy) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    testing::ChildProcess holder("/bin/sh", {"-c", "exec 3<>\"$0\"; echo open; exec sleep 30", sim.device()});
    ASSERT_EQ(holder.ReadLine(std::chrono::seconds(10)), "open") << holder.err;
    TermiosLink link = LinkTo(sim);
    EXPECT_EQ(link.OpenPort(Com2), 0);
    EXPECT_EQ(FormatLinkError(link.LastError()), "Error -1 - 0 en comunicación");
    // The shell may not have become `sleep` yet: the name is either.
    EXPECT_EQ(link.LastError().detail.rfind(sim.device() + ": Dispositivo o recurso ocupado (abierto por s", 0), 0u)
        << link.LastError().detail;
    holder.Terminate();
    EXPECT_EQ(link.OpenPort(Com2), 1) << link.LastError().detail;
    link.ClosePort(Com2);
}

// A second simulator on the same link once took it over and removed it
// when it ended, cutting the first one's editor off its controller.
TEST(AgainstSimulator, ALinkIsTakenOnlyWhenItLeadsNowhere) {
    SimProcess first({"--rom", "1234"});
    ASSERT_TRUE(first.ready()) << first.err();
    const std::string link = first.device();
    const std::string line = std::filesystem::read_symlink(link).string();
    const testing::ProgramRun second = testing::RunProgram(VELMORIN_SIM_PATH, {"--link", link});
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find(link + " leads to " + line + ", which is in use"), std::string::npos) << second.err;
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), line);
    TermiosLink port = LinkTo(first);
    SystemClock clock;
    ASSERT_EQ(port.OpenPort(Com2), 1);
    EXPECT_EQ(ReadRomVersion({port, clock, Com2}, 1).text, "1234") << "the first one still answers there";
    port.ClosePort(Com2);

    // A link left by a simulator that is gone is replaced; a link that is no
    // longer ours when we end is left to its new owner.
    const std::string dangling = std::filesystem::path(link).parent_path() / "left";
    std::filesystem::create_symlink("/dev/pts/velmorin-gone", dangling);
    testing::ChildProcess third(VELMORIN_SIM_PATH, {"--link", dangling});
    const std::optional<std::string> started = third.ReadLine(std::chrono::seconds(10));
    ASSERT_TRUE(started && started->find(dangling) != std::string::npos) << third.err;
    EXPECT_NE(std::filesystem::read_symlink(dangling).string(), "/dev/pts/velmorin-gone");
    std::filesystem::remove(dangling);
    std::filesystem::create_symlink(line, dangling);
    third.Terminate();
    EXPECT_EQ(std::filesystem::read_symlink(dangling).string(), line);
}

// Stale bytes are never read as the version: neither the rest of an upload
// still on the line after its reader gave up (once shown as "<=<=", the
// 0xCD filler of the image), nor the pieces of replies a controller cuts
// short (two cut replies once read as one, "0134" for "1234").
TEST(AgainstSimulator, RomQueryReadsOnlyTheAnswerToItsOwnFrame) {
    {
        SimProcess sim({"--rom", "1234"});
        ASSERT_TRUE(sim.ready()) << sim.err();
        TermiosLink link = LinkTo(sim);
        SystemClock clock;
        ASSERT_EQ(link.OpenPort(Com2), 1);
        ASSERT_TRUE(SendWithoutReply({link, clock, Com2}, UploadFrame(1, 0)));
        ASSERT_LT(WaitForInput({link, clock, Com2}, 10, 100), 100) << "the upload has begun";
        link.ClosePort(Com2);
        ASSERT_EQ(link.OpenPort(Com2), 1);
        const RomOutcome rom = ReadRomVersion({link, clock, Com2}, 1);
        EXPECT_TRUE(rom.answered);
        EXPECT_EQ(rom.text, "1234");
        link.ClosePort(Com2);
    }
    SimProcess sim({"--rom", "1234", "--fault", "short=3"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    TermiosLink link = LinkTo(sim);
    SystemClock clock;
    ASSERT_EQ(link.OpenPort(Com2), 1);
    const RomOutcome rom = ReadRomVersion({link, clock, Com2}, 1);
    EXPECT_FALSE(rom.answered) << rom.text;
    EXPECT_EQ(rom.text, msg::RomError);
    link.ClosePort(Com2);
}

TEST(AgainstSimulator, ReadPortTakesOnlyWhatHasArrived) {
    SimProcess sim({"--rom", "1234"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    TermiosLink link = LinkTo(sim);
    SystemClock clock;
    ASSERT_EQ(link.OpenPort(Com2), 1);
    uint8_t buffer[7] = {};
    EXPECT_EQ(link.ReadPort(Com2, buffer), 0) << "nothing waiting: no wait either";
    ASSERT_TRUE(SendWithoutReply({link, clock, Com2}, RomVersionFrame(1)));
    ASSERT_LT(WaitForInput({link, clock, Com2}, FrameSize, 100), 100);
    EXPECT_EQ(link.ReadPort(Com2, std::span<uint8_t>(buffer, 3)), 3);
    EXPECT_EQ(link.InputQueueCount(Com2), 4);
    EXPECT_EQ(link.ReadPort(Com2, buffer), 4);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 4), std::vector<uint8_t>({0x12, 0, 0, 1 ^ 0x56 ^ 0x34 ^ 0x12}));
    EXPECT_EQ(link.ReadPort(Com2, buffer), 0);
    EXPECT_EQ(link.OutputQueueCount(Com2), 0) << "a pseudo-terminal reports an empty output queue";
    EXPECT_EQ(link.PurgePort(Com2), 1);
    link.ClosePort(Com2);
}

TEST(AgainstSimulator, PollsAndWritesReachTheControllersMemory) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    ASSERT_TRUE(sim.Command("on E3"));
    ASSERT_TRUE(sim.Command("set CNTE1 4660"));
    TermiosLink link = LinkTo(sim);
    SystemClock clock;
    ASSERT_EQ(link.OpenPort(Com2), 1);
    const Channel channel{link, clock, Com2};

    // A reply can come too late on a busy machine, and the rest of it then
    // leads the next reply (replies are taken by their length alone): the
    // next cycles poll again until the memory shows through.
    ControllerImage image;
    bool replied = false;
    for (int cycle = 0; cycle < 20 && !(replied && image.Byte(2) == 1 && image.Word(92) == 4660); ++cycle) {
        replied = PollExchange(channel, 1, 2, 92, image).replied;
    }
    ASSERT_TRUE(replied);
    EXPECT_EQ(image.Byte(2), 1);
    EXPECT_EQ(image.Word(92), 4660);

    const WriteRow rows[] = {{14, false, 200}, {100, true, 1234}};
    EXPECT_TRUE(WriteRows(channel, 1, rows));
    EXPECT_EQ(sim.Command("get V01 TPE1").value_or(""), "V01 = 200\nTPE1 = 1234\n");

    ASSERT_TRUE(sim.Command("fault silent"));
    EXPECT_FALSE(WriteRows(channel, 1, rows));
    link.ClosePort(Com2);
}

}  // namespace
}  // namespace velmorin
