#pragma once
// The only path to the controller: a serial port addressed by its index
// 0..3 (Com1..Com4). It knows nothing of frames or waiting; the exchanges
// (exchanges.h) put the protocol on top. The program talks to a termios
// device through TermiosLink; the tests put a fake in its place.
#include <cstdint>
#include <span>
#include <string>

#include "model/result.h"

namespace velmorin {

constexpr int PortCount = 4;

// What the last call on a link did. Every operation clears it first, so it
// describes that call only; only reads and writes store a system error.
struct LinkError {
    int32_t code = 0;
    int32_t systemError = 0;
    // What the fixed message cannot say: the device and the system's
    // reason (missing, busy and with whom, refusing its settings). An
    // open failure keeps systemError 0, so the message reads "-1 - 0".
    std::string detail;
};

namespace link_error {
inline constexpr int32_t None = 0;
inline constexpr int32_t OpenFailed = -1;
inline constexpr int32_t SettingsRefused = -3;
inline constexpr int32_t ReadIncomplete = -4;
inline constexpr int32_t WriteIncomplete = -5;
inline constexpr int32_t BadPortIndex = -6;
inline constexpr int32_t PortState = -7;  // opening an open port, or using a closed one
}  // namespace link_error

class PlcLink {
public:
    virtual ~PlcLink() = default;

    // 1 on success, 0 on failure (the reason is in LastError()).
    virtual int OpenPort(int port) = 0;
    virtual int ClosePort(int port) = 0;
    // 1 when the device has taken every byte, 0 otherwise.
    virtual int WritePort(int port, std::span<const uint8_t> bytes) = 0;
    // Bytes read: never more than are already waiting, 0 at once when none are.
    virtual int ReadPort(int port, std::span<uint8_t> buffer) = 0;
    // Bytes waiting to be read / not yet sent, or -1.
    virtual int InputQueueCount(int port) = 0;
    virtual int OutputQueueCount(int port) = 0;
    // Discards both queues: 1, or -1.
    virtual int PurgePort(int port) = 0;

    virtual LinkError LastError() const = 0;
};

// "Error %d - %d en comunicación": what the user sees when a port cannot be opened.
std::string FormatLinkError(const LinkError& error);
// The same as a failure to show: the fixed text, and the device and reason below it.
Result LinkFailure(const LinkError& error);

}  // namespace velmorin
