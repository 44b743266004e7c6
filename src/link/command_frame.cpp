#include "link/command_frame.h"

namespace velmorin {

uint8_t XorBytes(std::span<const uint8_t> bytes) {
    uint8_t x = 0;
    for (uint8_t b : bytes) x ^= b;
    return x;
}

CommandFrame MakeFrame(uint8_t id, CommandCode code, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4) {
    CommandFrame frame{id, static_cast<uint8_t>(code), p1, p2, p3, p4, 0};
    frame[6] = XorBytes(std::span<const uint8_t>(frame.data(), 6));
    return frame;
}

bool CheckByteMatches(const CommandFrame& frame) {
    return frame[6] == XorBytes(std::span<const uint8_t>(frame.data(), 6));
}

CommandFrame ReadWordsFrame(uint8_t id, uint8_t addressA, uint8_t addressB) {
    return MakeFrame(id, CommandCode::ReadWords, addressA, 1, addressB, 1);
}

CommandFrame WriteByteFrame(uint8_t id, uint8_t address, uint8_t value) {
    return MakeFrame(id, CommandCode::WriteByte, address, 1, value, 0);
}

CommandFrame WriteWordFrame(uint8_t id, uint8_t address, uint16_t value) {
    return MakeFrame(id, CommandCode::WriteWord, address, 1, static_cast<uint8_t>(value & 0xFF),
                     static_cast<uint8_t>(value >> 8));
}

CommandFrame RunProgramFrame(uint8_t id, RunMode mode) {
    return MakeFrame(id, CommandCode::RunProgram, static_cast<uint8_t>(mode));
}

CommandFrame StopProgramFrame(uint8_t id, bool outputsOff) {
    return MakeFrame(id, CommandCode::StopProgram, outputsOff ? 1 : 0);
}

CommandFrame ResetCountersFrame(uint8_t id) { return MakeFrame(id, CommandCode::ResetCounters); }

CommandFrame RomVersionFrame(uint8_t id) { return MakeFrame(id, CommandCode::ReadRomVersion); }

CommandFrame DownloadHeader(uint8_t id, uint16_t password, uint8_t newId, std::span<const uint8_t, ImageSize> image) {
    return MakeFrame(id, CommandCode::DownloadProgram, static_cast<uint8_t>(password & 0xFF),
                     static_cast<uint8_t>(password >> 8), newId, XorBytes(image));
}

CommandFrame UploadFrame(uint8_t id, uint16_t password) {
    return MakeFrame(id, CommandCode::UploadProgram, static_cast<uint8_t>(password & 0xFF),
                     static_cast<uint8_t>(password >> 8));
}

bool DownloadAccepted(const CommandFrame& reply) {
    return reply[1] == static_cast<uint8_t>(CommandCode::DownloadProgram) && CheckByteMatches(reply);
}

std::string RomVersionText(const CommandFrame& reply) {
    std::string text(4, ' ');
    text[0] = static_cast<char>(0x30 + (reply[3] >> 4));
    text[1] = static_cast<char>(0x30 + (reply[3] & 0x0F));
    text[2] = static_cast<char>(0x30 + (reply[2] >> 4));
    text[3] = static_cast<char>(0x30 + (reply[2] & 0x0F));
    return text;
}

DateStamp EncodeDateStamp(const ImageDate& date) {
    const int m = date.month0 & 0x0F;
    const int y = (date.year - 2000) & 0x7F;
    DateStamp stamp;
    stamp.first = static_cast<uint8_t>(((m & 1) << 7) | y);
    stamp.second = static_cast<uint8_t>(((date.day & 0x1F) << 3) | ((m >> 1) & 7));
    return stamp;
}

ImageDate DecodeDateStamp(DateStamp stamp) {
    const int day = stamp.second >> 3;
    const int m = ((stamp.second & 7) << 1) | (stamp.first >> 7);
    const int y = stamp.first & 0x7F;
    return ImageDate{day, m, y > 100 ? 2000 + y - 100 : 2000 + y};
}

}  // namespace velmorin
