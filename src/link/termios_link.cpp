#include "link/termios_link.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>

#include "link/device_holders.h"
#include "model/system_error.h"

namespace velmorin {
namespace {

using SteadyClock = std::chrono::steady_clock;

int QueueCount(int fd, unsigned long request) {
    int count = 0;
    return ::ioctl(fd, request, &count) == 0 ? count : -1;
}

}  // namespace

TermiosLink::TermiosLink(std::array<std::string, PortCount> devices) : devices_(std::move(devices)) {}

TermiosLink::~TermiosLink() {
    for (int port = 0; port < PortCount; ++port)
        if (records_[port].open) ClosePort(port);
}

void TermiosLink::SetDevice(int port, std::string device) {
    if (port >= 0 && port < PortCount) devices_[port] = std::move(device);
}

const std::string& TermiosLink::Device(int port) const {
    static const std::string none;
    return port >= 0 && port < PortCount ? devices_[port] : none;
}

PortRecord* TermiosLink::Usable(int port) {
    error_ = {};
    if (port < 0 || port >= PortCount) {
        error_.code = link_error::BadPortIndex;
        return nullptr;
    }
    if (!records_[port].open) {
        error_.code = link_error::PortState;
        return nullptr;
    }
    return &records_[port];
}

int TermiosLink::OpenPort(int port) {
    error_ = {};
    if (port < 0 || port >= PortCount) {
        error_.code = link_error::BadPortIndex;
        return 0;
    }
    PortRecord& record = records_[port];
    if (record.open) {
        error_.code = link_error::PortState;
        return 0;
    }
    record.line = LineSettings{};
    const std::string& device = devices_[port];

    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = {link_error::OpenFailed, 0, FileDetail(device, errno)};
        return 0;
    }
    struct stat info {};
    const bool terminal = ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode);
    const bool pseudoTerminal = terminal && IsPseudoTerminalMajor(major(info.st_rdev));
    // Not shared: a program that has the device open already (a terminal
    // emulator, a `cat`) takes no lock, so it is looked for; another user of
    // flock, or another port index naming the same device, holds the lock,
    // which goes with the descriptor, so a program that dies leaves nothing behind.
    std::string busy;
    if (terminal) {
        if (const std::optional<DeviceHolder> holder = FindOtherHolder(info.st_rdev, ::getpid()))
            busy = " (abierto por " + holder->name + ", proceso " + std::to_string(holder->pid) + ")";
    }
    if (!busy.empty() || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        error_ = {link_error::OpenFailed, 0, FileDetail(device, EBUSY) + busy};
        return 0;
    }
    // A serial device also refuses every later open while it is ours, the
    // ones that take no lock included. A pseudo-terminal would keep that
    // mode after a crash of ours for as long as its other side lives, and
    // lock everyone out: there the lock alone stays.
    const bool exclusive = terminal && !pseudoTerminal && ::ioctl(fd, TIOCEXCL) == 0;
    ::tcflush(fd, TCIOFLUSH);

    termios t{};
    std::string refused;
    int error = 0;
    if (::tcgetattr(fd, &t) != 0)
        error = errno;
    else if (!ApplyLineSettings(t, record.line))
        error = EINVAL;
    else if (::tcsetattr(fd, TCSANOW, &t) != 0)
        error = errno;
    if (error != 0) {
        refused = SystemReason(error);
    } else if (termios kept{}; ::tcgetattr(fd, &kept) != 0 || !LineSettingsTook(kept, record.line, pseudoTerminal)) {
        refused = "no acepta 2400 baudios, 8 bits, sin paridad, 1 bit de parada";
    } else if (int lines = ModemLinesHeldInactive();
               ::ioctl(fd, TIOCMBIC, &lines) != 0 && !IsToleratedModemLineError(errno, pseudoTerminal)) {
        refused = "no deja DTR y RTS inactivas: " + SystemReason(errno);
    }
    if (!refused.empty()) {
        if (exclusive) ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        error_ = {link_error::SettingsRefused, 0, device + ": " + refused};
        return 0;
    }
    record.device = fd;
    record.exclusive = exclusive;
    record.open = 1;
    return 1;
}

int TermiosLink::ClosePort(int port) {
    PortRecord* record = Usable(port);
    if (!record) return 0;
    record->open = 0;
    const int fd = record->device;
    record->device = -1;

    int pending = QueueCount(fd, TIOCOUTQ);
    const auto deadline =
        SteadyClock::now() + std::chrono::milliseconds(WriteTimeoutMs(pending, record->line.baudRate));
    while (pending > 0 && SteadyClock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pending = QueueCount(fd, TIOCOUTQ);
    }
    // Once the queue has drained there is nothing to abort, and a transmit
    // purge could still cut the bytes the device holds (or, on a
    // pseudo-terminal, those the other side has not yet taken).
    ::tcflush(fd, pending > 0 ? TCIOFLUSH : TCIFLUSH);
    if (record->exclusive) ::ioctl(fd, TIOCNXCL);
    record->exclusive = false;
    ::close(fd);
    return 1;
}

int TermiosLink::WritePort(int port, std::span<const uint8_t> bytes) {
    PortRecord* record = Usable(port);
    if (!record) return 0;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(WriteTimeoutMs(static_cast<int>(bytes.size()),
                                                                                        record->line.baudRate));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(record->device, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            error_ = {link_error::WriteIncomplete, errno, FileDetail(devices_[port], errno)};
            return 0;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
        if (left <= 0) {
            error_ = {link_error::WriteIncomplete, ETIMEDOUT, devices_[port] + ": " + SystemReason(ETIMEDOUT)};
            return 0;
        }
        pollfd p{record->device, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
    return 1;
}

int TermiosLink::ReadPort(int port, std::span<uint8_t> buffer) {
    PortRecord* record = Usable(port);
    if (!record) return 0;
    const int waiting = QueueCount(record->device, FIONREAD);
    const int n = std::min(static_cast<int>(buffer.size()), waiting);
    if (n <= 0) return 0;
    ssize_t got;
    do {
        got = ::read(record->device, buffer.data(), static_cast<size_t>(n));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        if (errno != EAGAIN) error_ = {link_error::ReadIncomplete, errno, FileDetail(devices_[port], errno)};
        return 0;
    }
    return static_cast<int>(got);
}

int TermiosLink::InputQueueCount(int port) {
    PortRecord* record = Usable(port);
    return record ? QueueCount(record->device, FIONREAD) : -1;
}

int TermiosLink::OutputQueueCount(int port) {
    PortRecord* record = Usable(port);
    return record ? QueueCount(record->device, TIOCOUTQ) : -1;
}

int TermiosLink::PurgePort(int port) {
    PortRecord* record = Usable(port);
    if (!record) return -1;
    return ::tcflush(record->device, TCIOFLUSH) == 0 ? 1 : -1;
}

}  // namespace velmorin
