#include "sim_controller.h"

#include <algorithm>
#include <cstdio>

#include "model/operand_areas.h"

namespace velmorin::sim {
namespace {

// A gap this long between two bytes ends a request half received: the next
// byte starts a new one, as a controller's receiver times out.
constexpr int64_t RequestGapMs = 100;
constexpr uint8_t Refused = 0x15;  // byte 1 of a download reply for a damaged image

const OperandArea& Area(int32_t id) {
    for (const OperandArea& area : MonitorAreas)
        if (area.id == id) return area;
    return MonitorAreas.back();
}

void Clear(std::array<uint8_t, 256>& memory, int32_t areaId) {
    const OperandArea& area = Area(areaId);
    if (area.id < 0) return;
    std::fill(memory.begin() + area.first, memory.begin() + area.last + 1, 0);
}

// Monitor area ids (operand_areas.cpp).
constexpr int32_t Outputs = 1, Variables = 2, Retentive = 3, CounterOutputs = 4, CounterStates = 9;

std::string Hex(const CommandFrame& f) {
    char text[40];
    std::snprintf(text, sizeof text, "%02X %02X %02X %02X %02X %02X %02X", f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
    return text;
}

}  // namespace

std::string Faults::Describe() const {
    std::string text;
    auto add = [&](const std::string& part) { text += (text.empty() ? "" : " ") + part; };
    if (silent) add("silent");
    if (lateMs > 0) add("late " + std::to_string(lateMs));
    if (shortReply >= 0) add("short " + std::to_string(shortReply));
    if (badCheck) add("badcheck");
    if (badDownloadReply) add("baddownload");
    if (shortUpload >= 0) add("shortupload " + std::to_string(shortUpload));
    return text.empty() ? "none" : text;
}

Controller::Controller() {
    image.fill(0xCD);
    stamp = EncodeDateStamp({1, 0, 2026});
}

void Controller::LineClosed() {
    pending_.clear();
    downloading_ = false;
}

std::optional<Reply> Controller::Receive(uint8_t byte, int64_t nowMs) {
    if (lastByteMs_ >= 0 && nowMs - lastByteMs_ > RequestGapMs && !pending_.empty()) {
        event = "request cut short, " + std::to_string(pending_.size()) + " bytes dropped";
        LineClosed();
    }
    lastByteMs_ = nowMs;
    pending_.push_back(byte);
    if (downloading_) {
        if (pending_.size() < ImageSize + 2u) return std::nullopt;
        return FinishDownload();
    }
    if (pending_.size() < FrameSize) return std::nullopt;
    CommandFrame frame{};
    std::copy_n(pending_.begin(), FrameSize, frame.begin());
    pending_.clear();
    ++requests;
    if (!CheckByteMatches(frame)) {
        event = "bad check byte: " + Hex(frame);
        return std::nullopt;
    }
    return Handle(frame);
}

bool Controller::ForUs(const CommandFrame& frame, bool broadcastAllowed) const {
    return frame[0] == id || (broadcastAllowed && frame[0] == AllControllers);
}

uint16_t Controller::RequestPassword(const CommandFrame& frame) const {
    return static_cast<uint16_t>(frame[2] | (frame[3] << 8));
}

std::optional<Reply> Controller::Answer(std::vector<uint8_t> bytes, bool frameReply) {
    if (faults.silent) {
        event += " (silent)";
        return std::nullopt;
    }
    if (frameReply) {
        if (faults.badCheck) bytes[6] ^= 0x5A;
        if (faults.shortReply >= 0 && faults.shortReply < static_cast<int>(bytes.size()))
            bytes.resize(static_cast<size_t>(faults.shortReply));
    }
    return Reply{std::move(bytes), faults.lateMs};
}

std::optional<Reply> Controller::Handle(const CommandFrame& frame) {
    const auto code = static_cast<CommandCode>(frame[1]);
    auto frameReply = [&](const CommandFrame& reply) {
        return Answer(std::vector<uint8_t>(reply.begin(), reply.end()), true);
    };
    if (code == CommandCode::DownloadProgram) {
        // The image and date stamp follow whoever the header is for.
        downloading_ = true;
        downloadForUs_ = ForUs(frame, true);
        downloadHeader_ = frame;
        event = "download header: " + Hex(frame);
        return std::nullopt;
    }
    const bool broadcast =
        code == CommandCode::RunProgram || code == CommandCode::StopProgram || code == CommandCode::ResetCounters;
    if (!ForUs(frame, broadcast)) {
        event = "for controller " + std::to_string(frame[0]) + ", not for " + std::to_string(id);
        return std::nullopt;
    }
    switch (code) {
        case CommandCode::ReadWords: {
            const uint8_t a = frame[2], b = frame[4];
            event = "read " + std::to_string(a) + " and " + std::to_string(b);
            return frameReply(
                MakeFrame(id, code, memory[a], memory[(a + 1) & 0xFF], memory[b], memory[(b + 1) & 0xFF]));
        }
        case CommandCode::WriteByte:
            memory[frame[2]] = frame[4];
            event = "write " + std::to_string(frame[2]) + " = " + std::to_string(frame[4]);
            return frameReply(frame);
        case CommandCode::WriteWord:
            memory[frame[2]] = frame[4];
            memory[(frame[2] + 1) & 0xFF] = frame[5];
            event = "write word " + std::to_string(frame[2]) + " = " + std::to_string(frame[4] | (frame[5] << 8));
            return frameReply(frame);
        case CommandCode::ReadRomVersion:
            event = "ROM version";
            return frameReply(MakeFrame(id, code, static_cast<uint8_t>(rom & 0xFF), static_cast<uint8_t>(rom >> 8)));
        case CommandCode::RunProgram:
            if (frame[2] > 2) {
                event = "run with unknown mode " + std::to_string(frame[2]);
                return std::nullopt;
            }
            mode = static_cast<RunMode>(frame[2]);
            if (mode != RunMode::KeepVariables) {
                // Outputs, variables, and from the counter outputs up every
                // timer and counter byte; inputs are the machine's.
                Clear(memory, Outputs);
                Clear(memory, Variables);
                for (int32_t a = Area(CounterOutputs).first; a < 256; ++a) memory[a] = 0;
                if (mode == RunMode::ResetTotal) Clear(memory, Retentive);
            }
            running = true;
            event = "run, mode " + std::to_string(frame[2]);
            return std::nullopt;
        case CommandCode::StopProgram:
            running = false;
            if (frame[2] == 1) Clear(memory, Outputs);
            event = frame[2] == 1 ? "stop, outputs off" : "stop";
            return std::nullopt;
        case CommandCode::ResetCounters:
            Clear(memory, CounterOutputs);
            Clear(memory, CounterStates);
            event = "reset counters";
            return std::nullopt;
        case CommandCode::UploadProgram: {
            if (RequestPassword(frame) != password) {
                event = "upload refused: wrong password";
                return std::nullopt;
            }
            std::vector<uint8_t> bytes(image.begin(), image.end());
            bytes.push_back(stamp.first);
            bytes.push_back(stamp.second);
            if (faults.shortUpload >= 0 && faults.shortUpload < static_cast<int>(bytes.size()))
                bytes.resize(static_cast<size_t>(faults.shortUpload));
            event = "upload";
            return Answer(std::move(bytes), false);
        }
        default:
            event = "unknown command " + Hex(frame);
            return std::nullopt;
    }
}

std::optional<Reply> Controller::FinishDownload() {
    downloading_ = false;
    std::array<uint8_t, ImageSize> received{};
    std::copy_n(pending_.begin(), ImageSize, received.begin());
    const DateStamp receivedStamp{pending_[ImageSize], pending_[ImageSize + 1]};
    pending_.clear();
    if (!downloadForUs_) {
        event = "download for controller " + std::to_string(downloadHeader_[0]) + " ignored";
        return std::nullopt;
    }
    if (RequestPassword(downloadHeader_) != password) {
        event = "download refused: wrong password";
        return std::nullopt;
    }
    if (XorBytes(received) != downloadHeader_[5]) {
        event = "download refused: image check does not match";
        const CommandFrame refusal = MakeFrame(id, static_cast<CommandCode>(Refused));
        return Answer(std::vector<uint8_t>(refusal.begin(), refusal.end()), true);
    }
    image = received;
    stamp = receivedStamp;
    running = false;
    if (downloadHeader_[4] != 0) id = downloadHeader_[4];
    const ImageDate date = DecodeDateStamp(stamp);
    char text[64];
    std::snprintf(text, sizeof text, "download stored, dated %02d-%02d-%04d, identifier %d", date.day, date.month0,
                  date.year, id);
    event = text;
    CommandFrame reply = MakeFrame(id, CommandCode::DownloadProgram);
    if (faults.badDownloadReply) reply = MakeFrame(id, static_cast<CommandCode>(0x51));
    return Answer(std::vector<uint8_t>(reply.begin(), reply.end()), true);
}

}  // namespace velmorin::sim
