#include "link/transfer.h"

#include <algorithm>

#include "compiler/program_image.h"
#include "link/link_messages.h"

namespace velmorin {
namespace {

// Opens the port and reports `started`; the outcome of a failed open otherwise.
bool Open(PlcLink& link, int port, const TransferCallbacks& callbacks, TransferOutcome& outcome) {
    if (link.OpenPort(port) != 1) {
        const Result failure = LinkFailure(link.LastError());
        outcome = {TransferStatus::PortNotOpened, failure.message, failure.detail};
        return false;
    }
    if (callbacks.started) callbacks.started();
    return true;
}

}  // namespace

std::array<uint8_t, ImageSize> DownloadImageFrom(const CodeImage& image) { return image.bytes; }

Result WriteUploadFile(const std::string& path, std::span<const uint8_t, ImageSize> image, DateStamp stamp) {
    CodeImage received;
    std::copy(image.begin(), image.end(), received.bytes.begin());
    received.codeLength = ImageSize;
    return WriteImageFile(path, received, DecodeDateStamp(stamp), ImageOrigin::Received);
}

TransferOutcome SendProgram(PlcLink& link, Clock& clock, int port, const DownloadRequest& request,
                            const TransferCallbacks& callbacks) {
    TransferOutcome outcome;
    if (!Open(link, port, callbacks, outcome)) return outcome;
    const CommandFrame header = DownloadHeader(request.targetId, request.password, request.newId, request.image);
    const DownloadOutcome download =
        DownloadProgram({link, clock, port}, header, request.image, EncodeDateStamp(request.date), callbacks.progress);
    link.ClosePort(port);
    if (download.accepted) return {TransferStatus::Done, msg::SendOk, {}};
    return {TransferStatus::Failed, msg::SendFailed, {}};
}

ReceivedProgram ReceiveProgram(PlcLink& link, Clock& clock, int port, const UploadRequest& request,
                               const TransferCallbacks& callbacks) {
    ReceivedProgram received;
    if (!Open(link, port, callbacks, received.outcome)) return received;
    received.upload = UploadProgram({link, clock, port}, request.id, request.password, callbacks.progress);
    link.ClosePort(port);
    if (received.upload.received)
        received.outcome = {TransferStatus::Done, msg::ExtractOk, {}};
    else
        received.outcome = {TransferStatus::Failed, msg::ExtractFailed, {}};
    return received;
}

TransferOutcome ExtractProgram(PlcLink& link, Clock& clock, int port, const UploadRequest& request,
                               const std::string& path, const TransferCallbacks& callbacks) {
    const ReceivedProgram received = ReceiveProgram(link, clock, port, request, callbacks);
    if (received.outcome.status != TransferStatus::Done) return received.outcome;
    if (Result written = WriteUploadFile(path, received.upload.image, received.upload.stamp); !written)
        return {TransferStatus::Failed, written.message, written.detail};
    return received.outcome;
}

}  // namespace velmorin
