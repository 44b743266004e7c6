#pragma once
// How a dialog reaches the controller: each job (a transfer, an open command
// panel) makes a link of its own, opens the configured port on it and closes
// it when the job ends; the waits of its exchanges sleep on `clock`.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "link/clock.h"
#include "link/plc_link.h"
#include "link/port_devices.h"

namespace velmorin {

struct LinkAccess {
    std::function<std::unique_ptr<PlcLink>()> makeLink;
    int port = 1;  // the "CommPort" setting
    Clock* clock = nullptr;
};

// Termios links on the devices the user gave Com1..Com4 (empty: the default),
// under the environment's VELMORIN_COMn.
LinkAccess TermiosAccess(const std::array<std::string, PortCount>& configured, int port, Clock& clock,
                         const EnvironmentLookup& environment = ProcessEnvironment());

}  // namespace velmorin
