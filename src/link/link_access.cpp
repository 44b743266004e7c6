#include "link/link_access.h"

#include "link/termios_link.h"

namespace velmorin {

LinkAccess TermiosAccess(const std::array<std::string, PortCount>& configured, int port, Clock& clock,
                         const EnvironmentLookup& environment) {
    // Resolved once: every job of a dialog opens the device it opened with.
    const std::array<std::string, PortCount> devices = ResolvePortDevices(configured, environment);
    return {[devices] { return std::make_unique<TermiosLink>(devices); }, port, &clock};
}

}  // namespace velmorin
