// What needs no device: the termios bits of a controller port, which device
// each port index opens, the identifier and password fields, and the
// polled image shared between a poll worker and the drawing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <thread>

#include "link/controller_image.h"
#include "link/link_fields.h"
#include "link/port_devices.h"
#include "link/termios_settings.h"

namespace velmorin {
namespace {

TEST(PortSettings, RawEightNoneOneAt2400WithoutFlowControlWhateverTheDeviceHad) {
    for (int start : {0x00, 0xFF}) {
        termios t;
        std::memset(&t, start, sizeof t);
        ASSERT_TRUE(ApplyLineSettings(t, LineSettings{}));
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8)) << start;
        EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL)) << start;
        EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u) << start;
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | BRKINT), 0u) << start;
        EXPECT_EQ(t.c_oflag & OPOST, 0u) << start;
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u) << start;
        EXPECT_EQ(t.c_cc[VMIN], 0) << "reads never wait";
        EXPECT_EQ(t.c_cc[VTIME], 0);
        EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B2400));
        EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B2400));
    }
    termios t{};
    EXPECT_FALSE(ApplyLineSettings(t, {2400, 7, 0, 0}));
    EXPECT_FALSE(ApplyLineSettings(t, {2400, 8, 1, 0}));
    EXPECT_FALSE(ApplyLineSettings(t, {2401, 8, 0, 0}));
}

// What a pseudo-terminal lacks (modem lines, a speed) is forgiven there and
// only there: a serial device that refuses them refused its settings.
TEST(PortSettings, APseudoTerminalIsForgivenItsModemLinesAndSpeedOnly) {
    for (const bool pty : {true, false}) {
        SCOPED_TRACE(pty ? "pseudo-terminal" : "serial device");
        EXPECT_EQ(IsToleratedModemLineError(ENOTTY, pty), pty);
        EXPECT_EQ(IsToleratedModemLineError(EINVAL, pty), pty);
        EXPECT_FALSE(IsToleratedModemLineError(EIO, pty));
        EXPECT_FALSE(IsToleratedModemLineError(EPERM, pty));

        termios kept{};
        ASSERT_TRUE(ApplyLineSettings(kept, LineSettings{}));
        EXPECT_TRUE(LineSettingsTook(kept, LineSettings{}, pty));
        termios slower = kept;
        cfsetispeed(&slower, B1200);
        cfsetospeed(&slower, B1200);
        EXPECT_EQ(LineSettingsTook(slower, LineSettings{}, pty), pty);
        termios sevenBits = kept;
        sevenBits.c_cflag = (sevenBits.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7;
        EXPECT_FALSE(LineSettingsTook(sevenBits, LineSettings{}, pty));
        termios parity = kept;
        parity.c_cflag |= PARENB;
        EXPECT_FALSE(LineSettingsTook(parity, LineSettings{}, pty));
    }

    // The far end of a real pseudo-terminal, against character devices that are not one.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    auto majorOf = [](const char* path) {
        struct stat info {};
        return ::stat(path, &info) == 0 ? major(info.st_rdev) : 0u;
    };
    EXPECT_TRUE(IsPseudoTerminalMajor(majorOf(::ptsname(master))));
    ::close(master);
    for (const char* other : {"/dev/null", "/dev/ptmx", "/dev/tty"})
        EXPECT_FALSE(IsPseudoTerminalMajor(majorOf(other))) << other;
}

TEST(PortSettings, ModemLinesAndWriteBound) {
    EXPECT_EQ(ModemLinesHeldInactive(), TIOCM_DTR | TIOCM_RTS);
    EXPECT_EQ(WriteTimeoutMs(1, 2400), 8);
    EXPECT_EQ(WriteTimeoutMs(256, 2400), 2048);
    EXPECT_EQ(WriteTimeoutMs(10, 9600), 20);
    EXPECT_EQ(WriteTimeoutMs(0, 2400), 0);
}

TEST(PortDevices, EnvironmentOverridesSettingsWhichOverrideDefaults) {
    const std::map<std::string, std::string> environment = {{"VELMORIN_COM2", "/tmp/sim/com2"}, {"VELMORIN_COM3", ""}};
    const EnvironmentLookup lookup = [&](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    };
    const auto devices = ResolvePortDevices({"", "/dev/ttyUSB0", "/dev/ttyACM0", ""}, lookup);
    EXPECT_EQ(devices[0], "/dev/ttyS0");
    EXPECT_EQ(devices[1], "/tmp/sim/com2");
    EXPECT_EQ(devices[2], "/dev/ttyACM0") << "an empty variable overrides nothing";
    EXPECT_EQ(devices[3], "/dev/ttyS3");

    EXPECT_EQ(ParseComName("COM1"), 0);
    EXPECT_EQ(ParseComName("com4"), 3);
    for (const char* bad : {"COM0", "COM5", "COM12", "COM", "/dev/ttyS0", "CON1"})
        EXPECT_FALSE(ParseComName(bad)) << bad;
}

TEST(PortDevices, ListsStableNamesFirstThenEachKindInNumericOrder) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("velmorin_dev_" + std::to_string(::getpid()));
    fs::create_directories(root / "serial" / "by-id");
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB1", "ttyUSB0", "ttyACM0", "tty", "ttyS", "ttySx", "null",
                             "serial/by-id/usb-FTDI_FT232R-if00-port0"})
        std::ofstream(root / name).put('\n');
    const std::string r = root.string();
    EXPECT_EQ(ListSerialDevices(r),
              std::vector<std::string>({r + "/serial/by-id/usb-FTDI_FT232R-if00-port0", r + "/ttyUSB0", r + "/ttyUSB1",
                                        r + "/ttyACM0", r + "/ttyS2", r + "/ttyS10"}));
    fs::remove_all(root);
    EXPECT_TRUE(ListSerialDevices(r).empty());
}

TEST(LinkFields, IdentifiersAreReadWholeAndKeptWithinRange) {
    EXPECT_EQ(ParseIdentifier("7"), 7);
    EXPECT_EQ(ParseIdentifier("007"), 7);
    EXPECT_EQ(ParseIdentifier("200"), 200) << "all three digits";
    EXPECT_EQ(ParseIdentifier(" 12 "), 12);
    for (const char* bad : {"0", "256", "1000", "7x", "-3", "", "  "}) EXPECT_FALSE(ParseIdentifier(bad)) << bad;

    EXPECT_EQ(ReadIdentifierField("255", 5), 255);
    EXPECT_EQ(ReadIdentifierField("300", 5), 255);
    EXPECT_EQ(ReadIdentifierField("99999999999", 5), 255);
    EXPECT_EQ(ReadIdentifierField("000", 5), 1);
    EXPECT_EQ(ReadIdentifierField("abc", 5), 5);
    EXPECT_EQ(FormatIdentifier(7), "007");
    EXPECT_EQ(FormatIdentifier(200), "200");

    EXPECT_EQ(ParsePassword("12AB"), 0x12AB);
    EXPECT_EQ(ParsePassword("00ff"), 0x00FF);
    for (const char* bad : {"123", "12345", "12G4", ""}) EXPECT_FALSE(ParsePassword(bad)) << bad;
    EXPECT_EQ(FormatPasswordByte(0x0A), "0A");
}

TEST(ControllerImage, KeepsToItsBytesAndTakesOnlyWhatAReportReceived) {
    ControllerImage image;
    image.StorePair(254, 1, 2, 255, 3, 4);  // the byte after 255 does not exist
    EXPECT_EQ(image.Byte(254), 1);
    EXPECT_EQ(image.Byte(255), 3);
    EXPECT_EQ(image.Byte(256), 0);

    // A monitor file loaded while the worker polls: its report brings the
    // addresses it polled, the others keep what the file gave them.
    image.Fill(0x55);
    ReceivedBytes report;
    report.bytes.fill(0xAA);
    report.received.set(92);
    report.received.set(93);
    image.Take(report);
    EXPECT_EQ(image.Word(92), 0xAAAA);
    EXPECT_EQ(image.Byte(91), 0x55);
    EXPECT_EQ(image.Byte(94), 0x55);
}

}  // namespace
}  // namespace velmorin
