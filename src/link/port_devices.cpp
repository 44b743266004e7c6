#include "link/port_devices.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace velmorin {
namespace {

// ttyUSB2 before ttyUSB10.
bool NumericLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        size_t digits = s.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
        return std::make_pair(s.substr(0, digits), s.substr(digits));
    };
    const auto [stemA, numberA] = split(a);
    const auto [stemB, numberB] = split(b);
    if (stemA != stemB) return stemA < stemB;
    if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
    return numberA < numberB;
}

}  // namespace

EnvironmentLookup ProcessEnvironment() {
    return [](const char* name) -> const char* { return std::getenv(name); };
}

std::string DefaultPortDevice(int port) { return "/dev/ttyS" + std::to_string(port); }

std::string PortEnvironmentName(int port) { return "VELMORIN_COM" + std::to_string(port + 1); }

std::array<std::string, PortCount> ResolvePortDevices(const std::array<std::string, PortCount>& configured,
                                                      const EnvironmentLookup& environment) {
    std::array<std::string, PortCount> devices;
    for (int port = 0; port < PortCount; ++port) {
        const char* overridden = environment ? environment(PortEnvironmentName(port).c_str()) : nullptr;
        if (overridden && *overridden)
            devices[port] = overridden;
        else if (!configured[port].empty())
            devices[port] = configured[port];
        else
            devices[port] = DefaultPortDevice(port);
    }
    return devices;
}

std::optional<int> ParseComName(std::string_view text) {
    if (text.size() != 4) return std::nullopt;
    for (size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return std::nullopt;
    if (text[3] < '1' || text[3] > '0' + PortCount) return std::nullopt;
    return text[3] - '1';
}

std::vector<std::string> ListSerialDevices(const std::string& root) {
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    std::error_code ec;
    std::vector<std::string> byId;
    for (const auto& entry : fs::directory_iterator(fs::path(root) / "serial" / "by-id", ec))
        byId.push_back(entry.path().string());
    std::sort(byId.begin(), byId.end());
    found.insert(found.end(), byId.begin(), byId.end());

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root, ec)) names.push_back(entry.path().filename().string());
    for (const char* stem : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::vector<std::string> group;
        const std::string prefix = stem;
        for (const std::string& name : names) {
            if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
            if (!std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                             [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
                continue;
            group.push_back(name);
        }
        std::sort(group.begin(), group.end(), NumericLess);
        for (const std::string& name : group) found.push_back((fs::path(root) / name).string());
    }
    return found;
}

}  // namespace velmorin
