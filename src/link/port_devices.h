#pragma once
// Which device each port index opens. Com1..Com4 default to /dev/ttyS0..3;
// the user may give any of them another device (a USB adapter), kept by the
// editor in its settings; the environment variables VELMORIN_COM1..4
// override both, for tests and demonstrations.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/plc_link.h"

namespace velmorin {

// Reads an environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;
EnvironmentLookup ProcessEnvironment();

std::string DefaultPortDevice(int port);
// "VELMORIN_COM1".."VELMORIN_COM4".
std::string PortEnvironmentName(int port);

// The device of each port index: the environment variable when it is set
// and not empty, else the configured name when not empty, else the default.
std::array<std::string, PortCount> ResolvePortDevices(const std::array<std::string, PortCount>& configured,
                                                      const EnvironmentLookup& environment);

// "COM1".."COM4" in any case, as a port index.
std::optional<int> ParseComName(std::string_view text);

// The serial devices of this computer for a choice list, under `root`
// (normally /dev): serial/by-id/* first (names that survive replugging),
// then ttyUSB*, ttyACM* and ttyS*, each group in numeric order.
std::vector<std::string> ListSerialDevices(const std::string& root = "/dev");

}  // namespace velmorin
