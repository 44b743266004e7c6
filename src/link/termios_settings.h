#pragma once
// The line settings of a controller port as they go into a termios record.
// Pure functions over the record: the tests check every bit without a device.
#include <termios.h>

#include <cstdint>

namespace velmorin {

struct LineSettings {
    uint32_t baudRate = 2400;
    uint8_t dataBits = 8;
    uint8_t parity = 0;    // 0 = none
    uint8_t stopBits = 0;  // 0 = one stop bit
};

// The termios constant of a speed, or 0 when termios has none.
speed_t SpeedConstant(uint32_t baudRate);

// Raw bytes both ways at the line's speed, 8 data bits, no parity, one stop
// bit, no hardware or XON/XOFF flow control, and reads that never wait (the
// protocol polls the queue count instead). Bytes damaged on the line pass
// unchanged: a damaged reply fails the protocol's own checks. False when
// the settings cannot be expressed (an unknown speed or frame).
bool ApplyLineSettings(termios& t, const LineSettings& line);

// DTR and RTS are held inactive; these are the modem bits to clear.
int ModemLinesHeldInactive();

// Linux numbers the far ends of pseudo-terminals with majors 136..143 (3
// for the old BSD kind): what velmorin-sim offers instead of a serial port.
bool IsPseudoTerminalMajor(unsigned major);

// A pseudo-terminal has no modem lines and refuses their ioctls with exactly
// these errors. A serial device that refuses them refused its settings.
bool IsToleratedModemLineError(int error, bool pseudoTerminal);

// tcsetattr reports success when any part of a change was taken, so the
// settings are read back: 8 data bits, no parity, one stop bit and, on a
// serial device, the speed. A pseudo-terminal has no line and no speed
// worth the name; whatever it keeps there is accepted.
bool LineSettingsTook(const termios& kept, const LineSettings& line, bool pseudoTerminal);

// The bound on one write: 19200 / baud milliseconds per byte (8 at 2400).
int WriteTimeoutMs(int byteCount, uint32_t baudRate);

}  // namespace velmorin
