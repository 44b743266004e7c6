// What the link dialogs' controls put on the line and into the settings:
// identifiers read whole, the password only with "Habilitar", identifier 0
// for "Forzar...", run modes as the settings store them, the port a closed
// port dialog leaves, and the texts shown for a program and a transfer.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "link/command_frame.h"
#include "link/link_dialog_rules.h"

namespace velmorin {
namespace {

TEST(LinkDialogRules, SendFieldsGiveTheDownloadHeader) {
    struct Case {
        const char* what;
        SendFields fields;
        std::array<uint8_t, 5> header;  // bytes 0..4: target, 'P', password low, high, new identifier
    };
    const PasswordFields shownOnly{false, 0x12, 0x34};
    const PasswordFields enabled{true, 0x12, 0x34};
    const Case cases[] = {
        {"forced onto any controller", {true, "007", "003", shownOnly}, {0, 0x50, 0, 0, 3}},
        {"identifier 7 is sent as 7", {false, "007", "007", shownOnly}, {7, 0x50, 0, 0, 7}},
        {"password only with Habilitar", {false, "001", "001", enabled}, {1, 0x50, 0x34, 0x12, 1}},
        {"all three digits count", {false, "200", "255", shownOnly}, {200, 0x50, 0, 0, 255}},
        {"out of range is brought to the nearest end", {false, "999", "000", shownOnly}, {255, 0x50, 0, 0, 1}},
        {"a field without a number keeps the saved identifier", {false, "abc", " ", shownOnly}, {9, 0x50, 0, 0, 9}},
    };
    std::array<uint8_t, ImageSize> image;
    image.fill(UnwrittenByte);
    image[0] = 0x42;
    for (const Case& c : cases) {
        const DownloadRequest request = DownloadRequestFrom(c.fields, 9, image, {15, 2, 2027});
        const CommandFrame header = DownloadHeader(request.targetId, request.password, request.newId, request.image);
        EXPECT_EQ((std::array<uint8_t, 5>{header[0], header[1], header[2], header[3], header[4]}), c.header) << c.what;
        EXPECT_EQ(request.image, image) << c.what;
        EXPECT_EQ(EncodeDateStamp(request.date).second, 0x79) << c.what;
    }
}

TEST(LinkDialogRules, UploadCarriesTheIdentifierAndThePasswordOnlyWhenEnabled) {
    EXPECT_EQ(UploadFrame(UploadRequestFrom("007", {false, 0xAB, 0xCD}, 1).id, 0)[0], 7);
    const UploadRequest off = UploadRequestFrom("012", {false, 0xAB, 0xCD}, 1);
    EXPECT_EQ(UploadFrame(off.id, off.password), (CommandFrame{12, 0x52, 0, 0, 0, 0, 12 ^ 0x52}));
    const UploadRequest on = UploadRequestFrom("012", {true, 0xAB, 0xCD}, 1);
    EXPECT_EQ(UploadFrame(on.id, on.password), (CommandFrame{12, 0x52, 0xCD, 0xAB, 0, 0, 12 ^ 0x52 ^ 0xCD ^ 0xAB}));
}

TEST(LinkDialogRules, StoredChoicesOfThePanelAndThePortDialog) {
    // A stored run mode that names none gives the default, "Mantiene Variables".
    for (const auto& [setting, mode] : {std::pair{1069, RunMode::ResetTotal},
                                        {1070, RunMode::ResetVariables},
                                        {1071, RunMode::KeepVariables},
                                        {0, RunMode::KeepVariables},
                                        {1072, RunMode::KeepVariables}}) {
        EXPECT_EQ(RunModeOfSetting(setting), mode) << setting;
        EXPECT_EQ(RunModeOfSetting(RunModeSetting(mode)), mode) << setting;
    }
    EXPECT_EQ(FirstCheckedPort({false, true, true, false}), 1);
    EXPECT_EQ(FirstCheckedPort({false, false, false, false}), std::nullopt);
    EXPECT_EQ(PortDeviceToStore(0, " /dev/ttyUSB0 "), "/dev/ttyUSB0");
    EXPECT_EQ(PortDeviceToStore(2, "/dev/ttyS2"), "") << "a Com's own default follows the default";
    EXPECT_EQ(PortDeviceToStore(0, "/dev/ttyS2"), "/dev/ttyS2");
}

TEST(LinkDialogRules, ProgramTitlesAndProgressLines) {
    EXPECT_EQ(ProgramTitle("/home/ana/motor.v2.ldr"), "motor");
    EXPECT_EQ(ProgramTitle("/plc.d/latch.bld"), "latch");

    TransferProgress progress;
    progress.bytesTotal = 265;
    progress.bytesWritten = 7;
    EXPECT_EQ(TransferProgressText(progress), "7 de 265 bytes");
    progress.bytesWritten = 265;
    progress.triesWaited = 123;
    EXPECT_EQ(TransferProgressText(progress), "265 de 265 bytes, 1,2 s de 5 s");
}

}  // namespace
}  // namespace velmorin
