#pragma once
// The bytes on the line: every request starts with a seven-byte frame
// (identifier, command code, four parameters, check byte), each command has
// a fixed reply length, and a code image travels with a two-byte date stamp.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "compiler/program_image.h"

namespace velmorin {

enum class CommandCode : uint8_t {
    WriteByte = 0x07,
    ReadWords = 0x08,
    WriteWord = 0x09,
    ResetCounters = 0x31,    // '1'
    RunProgram = 0x43,       // 'C'
    StopProgram = 0x44,      // 'D'
    DownloadProgram = 0x50,  // 'P'
    UploadProgram = 0x52,    // 'R'
    ReadRomVersion = 0x56,   // 'V'
};

constexpr int FrameSize = 7;
constexpr int UploadReplySize = ImageSize + 2;  // the image, then its date stamp
constexpr uint8_t AllControllers = 0;           // identifier 0 addresses every controller

using CommandFrame = std::array<uint8_t, FrameSize>;

// Exclusive-or of the bytes.
uint8_t XorBytes(std::span<const uint8_t> bytes);
// Byte 6 of a frame over bytes 0..5 as given; the result carries it.
CommandFrame MakeFrame(uint8_t id, CommandCode code, uint8_t p1 = 0, uint8_t p2 = 0, uint8_t p3 = 0, uint8_t p4 = 0);
// True when byte 6 is the exclusive-or of bytes 0..5.
bool CheckByteMatches(const CommandFrame& frame);

enum class RunMode : uint8_t { ResetTotal = 0, ResetVariables = 1, KeepVariables = 2 };

CommandFrame ReadWordsFrame(uint8_t id, uint8_t addressA, uint8_t addressB);
CommandFrame WriteByteFrame(uint8_t id, uint8_t address, uint8_t value);
CommandFrame WriteWordFrame(uint8_t id, uint8_t address, uint16_t value);
CommandFrame RunProgramFrame(uint8_t id, RunMode mode);
CommandFrame StopProgramFrame(uint8_t id, bool outputsOff);
CommandFrame ResetCountersFrame(uint8_t id);
CommandFrame RomVersionFrame(uint8_t id);
// Password low byte, high byte, the new identifier and the exclusive-or of
// all 256 image bytes (the filler after the program included).
CommandFrame DownloadHeader(uint8_t id, uint16_t password, uint8_t newId, std::span<const uint8_t, ImageSize> image);
CommandFrame UploadFrame(uint8_t id, uint16_t password);

// A download reply is accepted when its code is the download's and its check byte holds.
bool DownloadAccepted(const CommandFrame& reply);

// The version in a ROM reply as four characters: the halves of byte 3, then
// of byte 2, each as the character 0x30 + value (10..15 follow '9').
std::string RomVersionText(const CommandFrame& reply);

// The controller's date of an image. Month counted from 0, year 2000..2127.
struct DateStamp {
    uint8_t first = 0;   // bit 7: bit 0 of the month; bits 6..0: year - 2000
    uint8_t second = 0;  // bits 7..3: day; bits 2..0: bits 3..1 of the month
};

DateStamp EncodeDateStamp(const ImageDate& date);
// Years above 2100 read back as 2001..2027, the way the controller's dates are read.
ImageDate DecodeDateStamp(DateStamp stamp);

}  // namespace velmorin
