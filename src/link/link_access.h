#pragma once
// How a dialog reaches the controller: the application's one link, the port
// it opens for each job (a transfer, an open command panel) and closes when
// the job ends, and the clock its exchanges' waits sleep on.
#include "link/clock.h"
#include "link/plc_link.h"

namespace velmorin {

struct LinkAccess {
    PlcLink* link = nullptr;
    int port = 1;  // the "CommPort" setting
    Clock* clock = nullptr;
};

}  // namespace velmorin
