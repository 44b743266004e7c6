#pragma once
// PlcLink over POSIX serial devices: each port index names a device (see
// port_devices.h), opened raw at 2400 8N1 with the modem lines inactive.
// The only place where the program makes serial system calls.
#include <array>
#include <string>

#include "link/plc_link.h"
#include "link/termios_settings.h"

namespace velmorin {

struct PortRecord {
    int32_t open = 0;
    int device = -1;         // file descriptor while open
    bool exclusive = false;  // TIOCEXCL taken, given back at close
    LineSettings line;
};

class TermiosLink : public PlcLink {
public:
    explicit TermiosLink(std::array<std::string, PortCount> devices);
    ~TermiosLink() override;
    TermiosLink(const TermiosLink&) = delete;
    TermiosLink& operator=(const TermiosLink&) = delete;

    // The device a port index opens; a change takes effect at the next open.
    void SetDevice(int port, std::string device);
    const std::string& Device(int port) const;

    int OpenPort(int port) override;
    // Waits until what was written has left the queue (bounded by the write
    // time-out of what is left), then purges and closes: a command written
    // just before closing is not thrown away unsent.
    int ClosePort(int port) override;
    int WritePort(int port, std::span<const uint8_t> bytes) override;
    int ReadPort(int port, std::span<uint8_t> buffer) override;
    int InputQueueCount(int port) override;
    int OutputQueueCount(int port) override;
    int PurgePort(int port) override;
    LinkError LastError() const override { return error_; }

private:
    // Clears the error; the record of an open port, else nullptr with -6 / -7.
    PortRecord* Usable(int port);

    std::array<PortRecord, PortCount> records_;
    std::array<std::string, PortCount> devices_;
    LinkError error_;
};

}  // namespace velmorin
