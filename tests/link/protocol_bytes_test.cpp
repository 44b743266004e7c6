// The bytes on the line: frames with their check bytes, the date stamp, the
// download's header and image, and the header of an uploaded file.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "compiler/program_image.h"
#include "link/command_frame.h"
#include "link/transfer.h"

namespace velmorin {
namespace {

TEST(ProtocolBytes, FramesCarryTheirParametersAndCheckByte) {
    struct Case {
        const char* what;
        CommandFrame frame;
        CommandFrame expected;
    };
    const Case cases[] = {
        {"ROM version of controller 1", RomVersionFrame(1), {1, 0x56, 0, 0, 0, 0, 0x57}},
        {"run, every controller, keep variables",
         RunProgramFrame(0, RunMode::KeepVariables),
         {0, 0x43, 2, 0, 0, 0, 0x41}},
        {"run, reset total", RunProgramFrame(4, RunMode::ResetTotal), {4, 0x43, 0, 0, 0, 0, 0x47}},
        {"stop with outputs off, every controller", StopProgramFrame(0, true), {0, 0x44, 1, 0, 0, 0, 0x45}},
        {"stop keeping outputs", StopProgramFrame(2, false), {2, 0x44, 0, 0, 0, 0, 0x46}},
        {"reset counters of controller 12", ResetCountersFrame(12), {12, 0x31, 0, 0, 0, 0, 0x3D}},
        {"read words 94 and 95", ReadWordsFrame(1, 94, 95), {1, 0x08, 94, 1, 95, 1, 0x08}},
        {"write byte", WriteByteFrame(3, 14, 0xAB), {3, 0x07, 14, 1, 0xAB, 0, 0xA0}},
        {"write word 1234", WriteWordFrame(3, 92, 1234), {3, 0x09, 92, 1, 0xD2, 0x04, 0x81}},
        {"upload with password 1234", UploadFrame(5, 0x1234), {5, 0x52, 0x34, 0x12, 0, 0, 0x71}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.frame, c.expected) << c.what;
        EXPECT_TRUE(CheckByteMatches(c.frame)) << c.what;
    }
}

TEST(ProtocolBytes, DownloadReplyNeedsItsCodeAndItsCheckByte) {
    EXPECT_TRUE(DownloadAccepted({1, 0x50, 0, 0, 0, 0, 0x51}));
    EXPECT_FALSE(DownloadAccepted({1, 0x51, 0, 0, 0, 0, 0x50})) << "right check byte, wrong code";
    EXPECT_FALSE(DownloadAccepted({1, 0x50, 0, 0, 0, 0, 0x50})) << "right code, wrong check byte";
}

TEST(ProtocolBytes, RomVersionShowsNibblesOfByteThreeThenByteTwo) {
    EXPECT_EQ(RomVersionText({1, 0x56, 0x34, 0x12, 0, 0, 0}), "1234");
    EXPECT_EQ(RomVersionText({1, 0x56, 0x0F, 0xA0, 0, 0, 0}), ":00?") << "10..15 follow '9'";
}

TEST(ProtocolBytes, DateStampEncodesAndDecodesWithMonthsFromZero) {
    struct Case {
        ImageDate date;
        uint8_t first, second;
    };
    const Case cases[] = {
        {{15, 2, 2027}, 0x1B, 0x79},   // 15 March 2027
        {{1, 2, 2026}, 0x1A, 0x09},    // 1 March 2026
        {{31, 11, 2000}, 0x80, 0xFD},  // December: bit 0 of the month in the first byte
        {{1, 0, 2099}, 0x63, 0x08},
    };
    for (const Case& c : cases) {
        const DateStamp stamp = EncodeDateStamp(c.date);
        EXPECT_EQ(stamp.first, c.first) << c.date.day << "-" << c.date.month0 << "-" << c.date.year;
        EXPECT_EQ(stamp.second, c.second) << c.date.day << "-" << c.date.month0 << "-" << c.date.year;
        const ImageDate back = DecodeDateStamp(stamp);
        EXPECT_EQ(back.day, c.date.day);
        EXPECT_EQ(back.month0, c.date.month0);
        EXPECT_EQ(back.year, c.date.year);
    }
    // Seven bits of year: above 100 the controller's years read as 2001 on.
    EXPECT_EQ(DecodeDateStamp({101, 0x08}).year, 2001);
    EXPECT_EQ(DecodeDateStamp({100, 0x08}).year, 2100);
}

TEST(ProtocolBytes, TenByteProgramTravelsAsAllTwoHundredFiftySixBytes) {
    CodeImage program;
    for (int i = 0; i < 10; ++i) program.bytes[i] = static_cast<uint8_t>(i + 1);
    program.codeLength = 10;
    const std::array<uint8_t, ImageSize> sent = DownloadImageFrom(program);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(sent[i], i + 1);
    for (int i = 10; i < ImageSize; ++i) ASSERT_EQ(sent[i], 0xCD) << "offset " << i;

    // 1 ^ 2 ^ ... ^ 10 is 11 and the 246 fill bytes cancel in pairs.
    const CommandFrame header = DownloadHeader(0, 0x1234, 9, sent);
    EXPECT_EQ(header, (CommandFrame{0, 0x50, 0x34, 0x12, 9, 11, 0x50 ^ 0x34 ^ 0x12 ^ 9 ^ 11}));
    program.bytes[200] = 0x00;  // one fill byte changed: byte 5 covers the whole buffer
    EXPECT_EQ(DownloadHeader(0, 0x1234, 9, DownloadImageFrom(program))[5], 11 ^ 0xCD);
}

TEST(ProtocolBytes, UploadedFileHeaderShowsTheControllersDate) {
    std::array<uint8_t, ImageSize> image;
    std::iota(image.begin(), image.end(), 0);
    CodeImage received;
    received.bytes = image;
    received.codeLength = ImageSize;
    const std::vector<uint8_t> file =
        EncodeImageFile(received, DecodeDateStamp(EncodeDateStamp({1, 2, 2026})), ImageOrigin::Received);
    const std::string header = "~VLB| 100r01 |256 rcv 01-02-2026 \n";
    ASSERT_EQ(file.size(), header.size() + ImageSize);
    EXPECT_EQ(std::string(file.begin(), file.begin() + static_cast<long>(header.size())), header);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), file.begin() + static_cast<long>(header.size())));

    // The image reader takes it back as a 256-byte program.
    CodeImage read;
    ASSERT_TRUE(ReadImageBytes(file, read));
    EXPECT_EQ(read.codeLength, ImageSize);
    EXPECT_EQ(read.bytes, image);
}

}  // namespace
}  // namespace velmorin
