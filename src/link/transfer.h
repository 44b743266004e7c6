#pragma once
// Program transfer as one job each: open the port, run the exchange, close
// the port, and say what the user is told. The send and extract dialogs and
// `velmorin-cli send/extract/verify` all run these.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "compiler/program_image.h"
#include "link/exchanges.h"
#include "model/result.h"

namespace velmorin {

struct DownloadRequest {
    uint8_t targetId = 1;   // 0 sends to any controller ("Forzar a programar cualquier PLC")
    uint16_t password = 0;  // high byte is the left field; 0 when "Habilitar" is off
    uint8_t newId = 1;
    std::array<uint8_t, ImageSize> image{};
    ImageDate date{1, 0, 2000};  // the local date of sending
};

// A download always carries the whole 256-byte buffer, the filler after the program included.
std::array<uint8_t, ImageSize> DownloadImageFrom(const CodeImage& image);

struct UploadRequest {
    uint8_t id = 1;
    uint16_t password = 0;
};

// An uploaded image as a *.bld file (the controller's date in its header,
// always 256 bytes). Through a temporary file: an older file survives any
// failure, which reports "Error al abrir el archivo".
Result WriteUploadFile(const std::string& path, std::span<const uint8_t, ImageSize> image, DateStamp stamp);

enum class TransferStatus {
    PortNotOpened,  // the message is the link's error; the dialog stays open
    Failed,
    Done,
};

struct TransferOutcome {
    TransferStatus status = TransferStatus::Failed;
    std::string message;  // the text to show for the status
    std::string detail;   // the device or file and the system's reason, for the line below it
};

struct TransferCallbacks {
    std::function<void()> started;  // the port is open, no byte sent yet: show the busy window
    ProgressCallback progress;
};

TransferOutcome SendProgram(PlcLink& link, Clock& clock, int port, const DownloadRequest& request,
                            const TransferCallbacks& callbacks = {});

struct ReceivedProgram {
    TransferOutcome outcome;
    UploadOutcome upload;
};
// The upload alone, for a caller that does not write a file.
ReceivedProgram ReceiveProgram(PlcLink& link, Clock& clock, int port, const UploadRequest& request,
                               const TransferCallbacks& callbacks = {});
// The upload written to `path`; on any failure the file is neither created nor changed.
TransferOutcome ExtractProgram(PlcLink& link, Clock& clock, int port, const UploadRequest& request,
                               const std::string& path, const TransferCallbacks& callbacks = {});

}  // namespace velmorin
