#pragma once
// Who else has a device open. A serial port is not shared, but a terminal
// emulator or a `cat` takes no lock that flock or TIOCEXCL would see: their
// open descriptors are found under /proc instead. Processes of other users
// stay unseen to a user without privileges; the locks cover the rest.
#include <sys/types.h>

#include <optional>
#include <string>

namespace velmorin {

struct DeviceHolder {
    pid_t pid = 0;
    std::string name;  // the program's name, as the process table shows it
};

// The first process other than `self` with a descriptor open on the
// character or block device `device`, looked up under `procRoot`.
std::optional<DeviceHolder> FindOtherHolder(dev_t device, pid_t self, const std::string& procRoot = "/proc");

}  // namespace velmorin
