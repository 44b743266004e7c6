#pragma once
// What the controls of the link dialogs decide, as plain functions: the
// requests the transfer dialogs send, the command panel's run modes, the
// port the port dialog leaves chosen, the name shown for a program and the
// progress line of a transfer. The Qt dialogs read their controls into these
// and send what comes out.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "compiler/program_image.h"
#include "link/command_frame.h"
#include "link/exchanges.h"
#include "link/plc_link.h"
#include "link/transfer.h"

namespace velmorin {

// What the transfer dialogs start from and leave behind.
struct TransferMemory {
    int plcId = 1;              // the saved identifier
    bool anyController = true;  // "Forzar a programar cualquier PLC"
    uint16_t password = 0;      // both password fields, kept between openings (high byte left)
};

// The "Contraseña" group.
struct PasswordFields {
    bool enabled = false;  // "Habilitar"
    uint8_t high = 0;      // left field
    uint8_t low = 0;       // right field
};

// The password a request carries: nothing unless "Habilitar" is checked.
uint16_t PasswordSent(const PasswordFields& fields);

// The send dialog's fields, as the user sees them.
struct SendFields {
    bool anyController = false;  // "Forzar a programar cualquier PLC"
    std::string idText;          // "ID del PLC"
    std::string newIdText;       // "Nuevo ID PLC"
    PasswordFields password;
};

// Identifier fields are read whole; one that holds no number gives `savedId`.
DownloadRequest DownloadRequestFrom(const SendFields& fields, uint8_t savedId,
                                    std::span<const uint8_t, ImageSize> image, const ImageDate& date);
UploadRequest UploadRequestFrom(std::string_view idText, const PasswordFields& password, uint8_t savedId);

// --- Command panel --------------------------------------------------------

// What the panel starts from and leaves behind, in the settings' own terms.
struct PanelMemory {
    int plcId = 1;
    int setRunMode = 1071;  // 1069 "Reset Total", 1070 "Reset Variables", 1071 "Mantiene Variables"
    int setStopMode = 0;    // "Apaga Salidas"
    int setIdAll = 1;       // "Todos"
};

inline constexpr int RunModeSettingBase = 1069;
int RunModeSetting(RunMode mode);
// A stored value that names no run mode gives the default, "Mantiene Variables".
RunMode RunModeOfSetting(int setting);

// --- Port selection ---------------------------------------------------------

// The first checked of Com1..Com4; nothing when none is.
std::optional<int> FirstCheckedPort(const std::array<bool, PortCount>& checked);
// The device a Com's drop-down leaves for the settings: blanks trimmed, and
// the port's default device (or nothing at all) kept as "" so that it
// follows the default.
std::string PortDeviceToStore(int port, std::string_view text);

// --- Transfers -------------------------------------------------------------------

// The name a program is shown by: its file's title, cut at the first ".".
std::string ProgramTitle(std::string_view path);

// What the busy window shows under its text: the bytes written so far (the
// bytes received, for an upload) and, once the reply is awaited, the
// seconds waited of the five.
std::string TransferProgressText(const TransferProgress& progress);

}  // namespace velmorin
