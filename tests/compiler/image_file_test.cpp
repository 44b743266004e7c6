#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/image_dump.h"
#include "compiler/listing.h"
#include "compiler/numbers.h"
#include "compiler/program_image.h"
#include "model/messages.h"

namespace velmorin {
namespace {

std::vector<uint8_t> Bytes(const std::string& header, int body, uint8_t first = 0x06) {
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int i = 0; i < body; ++i) bytes.push_back(static_cast<uint8_t>(first + i));
    return bytes;
}

CodeImage Marked() {
    CodeImage image;
    image.bytes.fill(0x5A);
    image.codeLength = 77;
    return image;
}

TEST(ImageReader, AcceptsCompiledUploadedAndOlderImagesAndFillsTheRest) {
    CodeImage written;
    written.codeLength = 5;
    for (int i = 0; i < 5; ++i) written.bytes[i] = static_cast<uint8_t>(10 * i);
    const struct {
        std::vector<uint8_t> file;
        int length;
        int lastByte;
    } cases[] = {
        {EncodeImageFile(written, ImageDate{1, 0, 2027}), 5, 40},
        {Bytes("~VLB| 100r01 |256 rcv 06-11-2026 \n", 256, 0), 256, 255},
        {Bytes("~VLB| 099r01 |2 01-01-2020\n", 2), 2, 0x07},
    };
    for (const auto& c : cases) {
        CodeImage read = Marked();
        const Result r = ReadImageBytes(c.file, read);
        ASSERT_TRUE(r) << c.length << r.message;
        EXPECT_EQ(read.codeLength, c.length);
        EXPECT_EQ(read.bytes[c.length - 1], c.lastByte);
        if (c.length < 256) {
            EXPECT_EQ(read.bytes[c.length], UnwrittenByte);
            EXPECT_EQ(read.bytes[255], UnwrittenByte);
        }
    }
}

TEST(ImageReader, RefusalsCarryTheirMessageAndLeaveTheImageAlone) {
    const struct {
        std::string header;
        int body;
        const char* message;
    } cases[] = {
        {"~VLM| 100r01 |2 01-01-2020\n", 2, msg::NotImageFile},
        {"VLB| 100r01 |2\n", 2, msg::NotImageFile},
        {"~VLB 100r01 2\n", 2, msg::ImageCorrupt},
        {"~VLB| 101r01 |2 01-01-2020\n", 2, msg::IncompatibleVersion},
        {"~VLB| 100r02 |2 01-01-2020\n", 2, msg::IncompatibleVersion},
        // Version and revision are compared one by one.
        {"~VLB| 099r05 |2 01-01-2020\n", 2, msg::IncompatibleVersion},
        {"~VLB| 100r01 2 01-01-2020\n", 2, msg::ImageCorrupt},
        {"~VLB| 100r01 |257 01-01-2020\n", 257, msg::ImageCorrupt},
        // Shorter than announced: a damaged file, not a short program.
        {"~VLB| 100r01 |10 01-01-2020\n", 9, msg::ImageCorrupt},
        // No program at all is damage too: a header cut after its second bar
        // (14 bytes), a length that does not follow the bar, a length of 0.
        {"~VLB| 100r01 |", 0, msg::ImageCorrupt},
        {"~VLB| 100r01 | 2 01-01-2020\n", 2, msg::ImageCorrupt},
        {"~VLB| 100r00 |0 01-01-2020\n", 0, msg::ImageCorrupt},
    };
    for (const auto& c : cases) {
        CodeImage image = Marked();
        const Result r = ReadImageBytes(Bytes(c.header, c.body), image);
        EXPECT_FALSE(r) << c.header;
        EXPECT_EQ(r.message, c.message) << c.header;
        EXPECT_EQ(image.codeLength, 77) << c.header;
        EXPECT_EQ(image.bytes[0], 0x5A) << c.header;
    }
}

TEST(ImageReader, HeaderFieldsAreReadTheWayTheirDigitsEnd) {
    CodeImage image;
    // The version digits need not follow the bar at once; the length must.
    EXPECT_TRUE(ReadImageBytes(Bytes("~VLB|   100r01 |3\n", 3), image));
    EXPECT_EQ(image.codeLength, 3);
    // The bar that closes the version is searched one character after the
    // one ending the revision digits, so a bar right there is missed.
    EXPECT_EQ(ReadImageBytes(Bytes("~VLB| 100r01|3\n", 3), image).message, msg::ImageCorrupt);
    // Only the first line is the header; the body starts right after it.
    ASSERT_TRUE(ReadImageBytes(Bytes("~VLB| 100r01 |1 x\n", 1, '\n'), image));
    EXPECT_EQ(image.bytes[0], '\n');
}

TEST(ImageFiles, WrittenFileReadsBackAndAMissingOneCannotBeOpened) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("velmorin-image-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    CodeImage image;
    image.codeLength = 3;
    image.bytes = {6, 0, 15};
    ASSERT_TRUE(WriteImageFile((dir / "p.bld").string(), image, ImageDate{31, 0, 2027}));
    CodeImage read;
    ASSERT_TRUE(ReadImageFile((dir / "p.bld").string(), read));
    EXPECT_EQ(read.codeLength, 3);
    EXPECT_EQ(read.bytes[2], 15);
    const Result missing = ReadImageFile((dir / "none.bld").string(), read);
    EXPECT_EQ(missing.message, msg::FileOpenError);
    EXPECT_EQ(missing.detail, (dir / "none.bld").string() + ": No existe el fichero o el directorio");
    std::filesystem::remove_all(dir);
}

TEST(OutputPaths, ExtensionOfTheFileNameIsReplacedNeverAFolders) {
    EXPECT_EQ(OutputPath("prog.ldr", ".prg"), "prog.prg");
    EXPECT_EQ(OutputPath("plc.v2/prog.ldr", ".prg"), "plc.v2/prog.prg");
    EXPECT_EQ(OutputPath("/home/ana.lopez/prog", ".bld"), "/home/ana.lopez/prog.bld");
    EXPECT_EQ(OutputPath("/tmp/a.b.ldr", ".bld"), "/tmp/a.b.bld");
    EXPECT_EQ(OutputPath("C:\\a.b\\prog.ldr", ".prg"), "C:\\a.b\\prog.prg");
}

TEST(Numbers, TimesAreScaledOnTheDigits) {
    EXPECT_EQ(ParseScaledDecimal("2.3", 1), 23);
    EXPECT_EQ(ParseScaledDecimal("0.07", 2), 7);
    EXPECT_EQ(ParseScaledDecimal("25.5", 1), 255);
    EXPECT_EQ(ParseScaledDecimal("2.57", 1), 25);  // truncated, not rounded
    EXPECT_EQ(ParseScaledDecimal(".5", 1), 5);
    EXPECT_EQ(ParseScaledDecimal(" 99.99", 2), 9999);
    EXPECT_EQ(ParseScaledDecimal("1", 2), 100);
    EXPECT_EQ(ParseScaledDecimal("-0.5", 1), -5);
    EXPECT_EQ(ParseScaledDecimal("2,5", 1), 20);  // a comma ends the number
    EXPECT_EQ(ParseScaledDecimal("", 1), 0);
    EXPECT_EQ(ParseLeadingInteger("200"), 200);
    EXPECT_EQ(ParseLeadingInteger("+12abc"), 12);
    EXPECT_EQ(ParseLeadingInteger("-1"), -1);
    EXPECT_EQ(ParseLeadingInteger("7.9"), 7);
}

TEST(Numbers, FixedPointTextIsPaddedLikeItsPrintfFormat) {
    const auto fixed = [](int64_t v, int decimals, int width) {
        std::string s;
        AppendFixed(s, v, decimals, width);
        return s;
    };
    EXPECT_EQ(fixed(255, 1, 4), "25.5");
    EXPECT_EQ(fixed(5, 1, 4), " 0.5");
    EXPECT_EQ(fixed(1000, 1, 4), "100.0");
    EXPECT_EQ(fixed(7, 2, 4), "0.07");
    EXPECT_EQ(fixed(65535, 2, 4), "655.35");
    std::string s;
    AppendZeroPadded(s, 7, 4);
    AppendHexByte(s, 0xAB);
    EXPECT_EQ(s, "0007AB");
}

TEST(Dump, SharedOpcodesAreToldApartByTheirOperand) {
    CodeImage image;
    const uint8_t code[] = {0x13, 0x02, 0x13, 0x05, 0x19, 0x01, 0xFF, 0x00, 0x19, 0x04, 0x07, 0x00, 0x11, 0x1C, 0x0F};
    std::copy(std::begin(code), std::end(code), image.bytes.begin());
    image.codeLength = sizeof code;
    EXPECT_EQ(DumpImage(image),
              "~VLB image, 15 bytes\n"
              "00  13 02         tpv     TPV3\n"
              "02  13 05         tpvf    TPVF2\n"
              "04  19 01 FF 00   tp      TP2, 25.5\n"
              "08  19 04 07 00   tpf     TPF1, 0.07\n"
              "0C  11 1C         jp1     @1C\n"
              "0E  0F            end\n");
}

TEST(Dump, UnknownOpcodeEndsTheListingAndShortInstructionsAreMarked) {
    CodeImage image;
    image.bytes[0] = 0x06;
    image.bytes[1] = 0x5C;   // index 92: no canonical name
    image.codeLength = 256;  // the rest is the 0xCD fill of an upload
    EXPECT_EQ(DumpImage(image),
              "~VLB image, 256 bytes\n"
              "00  06 5C         ld      #92\n"
              "02  CD            unknown opcode CD: the listing ends here\n");
    image.codeLength = 1;
    EXPECT_EQ(DumpImage(image), "~VLB image, 1 bytes\n00  06            ld  (cut short by the end of the image)\n");
}

}  // namespace
}  // namespace velmorin
