#include "link/termios_settings.h"

#include <sys/ioctl.h>

#include <cerrno>

namespace velmorin {

speed_t SpeedConstant(uint32_t baudRate) {
    switch (baudRate) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        default:
            return 0;
    }
}

bool ApplyLineSettings(termios& t, const LineSettings& line) {
    const speed_t speed = SpeedConstant(line.baudRate);
    if (speed == 0 || line.dataBits != 8 || line.parity != 0 || line.stopBits != 0) return false;

    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | IMAXBEL);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return cfsetispeed(&t, speed) == 0 && cfsetospeed(&t, speed) == 0;
}

int ModemLinesHeldInactive() { return TIOCM_DTR | TIOCM_RTS; }

bool IsPseudoTerminalMajor(unsigned major) { return major == 3 || (major >= 136 && major <= 143); }

bool IsToleratedModemLineError(int error, bool pseudoTerminal) {
    return pseudoTerminal && (error == ENOTTY || error == EINVAL);
}

bool LineSettingsTook(const termios& kept, const LineSettings& line, bool pseudoTerminal) {
    if ((kept.c_cflag & CSIZE) != CS8 || (kept.c_cflag & (PARENB | CSTOPB)) != 0) return false;
    if (pseudoTerminal) return true;
    const speed_t speed = SpeedConstant(line.baudRate);
    return cfgetispeed(&kept) == speed && cfgetospeed(&kept) == speed;
}

int WriteTimeoutMs(int byteCount, uint32_t baudRate) {
    if (byteCount <= 0 || baudRate == 0) return 0;
    return byteCount * static_cast<int>(19200 / baudRate);
}

}  // namespace velmorin
