#include "link/link_dialog_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "link/link_fields.h"
#include "link/port_devices.h"

namespace velmorin {

uint16_t PasswordSent(const PasswordFields& fields) {
    if (!fields.enabled) return 0;
    return static_cast<uint16_t>((fields.high << 8) | fields.low);
}

DownloadRequest DownloadRequestFrom(const SendFields& fields, uint8_t savedId,
                                    std::span<const uint8_t, ImageSize> image, const ImageDate& date) {
    DownloadRequest request;
    const uint8_t id = ReadIdentifierField(fields.idText, savedId);
    request.targetId = fields.anyController ? AllControllers : id;
    request.newId = ReadIdentifierField(fields.newIdText, savedId);
    request.password = PasswordSent(fields.password);
    std::copy(image.begin(), image.end(), request.image.begin());
    request.date = date;
    return request;
}

UploadRequest UploadRequestFrom(std::string_view idText, const PasswordFields& password, uint8_t savedId) {
    return {ReadIdentifierField(idText, savedId), PasswordSent(password)};
}

int RunModeSetting(RunMode mode) { return RunModeSettingBase + static_cast<int>(mode); }

RunMode RunModeOfSetting(int setting) {
    switch (setting - RunModeSettingBase) {
        case static_cast<int>(RunMode::ResetTotal):
            return RunMode::ResetTotal;
        case static_cast<int>(RunMode::ResetVariables):
            return RunMode::ResetVariables;
        default:
            return RunMode::KeepVariables;
    }
}

std::optional<int> FirstCheckedPort(const std::array<bool, PortCount>& checked) {
    for (int port = 0; port < PortCount; ++port)
        if (checked[port]) return port;
    return std::nullopt;
}

std::string PortDeviceToStore(int port, std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    if (text == DefaultPortDevice(port)) return {};
    return std::string(text);
}

std::string ProgramTitle(std::string_view path) {
    if (const size_t slash = path.find_last_of('/'); slash != std::string_view::npos) path.remove_prefix(slash + 1);
    return std::string(path.substr(0, path.find('.')));
}

std::string TransferProgressText(const TransferProgress& progress) {
    char text[96];
    const bool receiving = progress.receiveTotal > 0;
    int length =
        std::snprintf(text, sizeof text, "%d de %d bytes", receiving ? progress.bytesReceived : progress.bytesWritten,
                      receiving ? progress.receiveTotal : progress.bytesTotal);
    if (progress.triesWaited > 0 && length > 0 && length < static_cast<int>(sizeof text)) {
        const double limit = progress.maxTries * (TryInterval.count() / 1000.0);
        std::snprintf(text + length, sizeof text - length, ", %.1f s de %g s", progress.SecondsWaited(), limit);
    }
    // Spanish writes the decimal comma.
    std::string shown = text;
    for (char& c : shown)
        if (c == '.') c = ',';
    return shown;
}

}  // namespace velmorin
