#include "platform/printing/SchedulerAddress.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace tess {
namespace {

// Where the library reads its configuration and the system-wide destinations.
constexpr const char* kServerRoot = "/etc/cups";
// The scheduler's local socket, which the library prefers to "localhost" when it can be read.
constexpr const char* kLocalSocket = "/run/cups/cups.sock";
constexpr int kIppPort = 631;

// Variables that change where the library connects, whom it says it is, how it encrypts, or which printer
// is the default.
constexpr const char* kLibraryVariables[] = {
    "CUPS_SERVER", "CUPS_SERVERROOT", "CUPS_ENCRYPTION", "CUPS_USER", "IPP_PORT", "LPDEST",
};

// The library looks for printers on the network through the DNS-SD daemon, which it reaches over the
// system bus; with no bus to reach, or no daemon running or to be started on it, it finds none.
bool NetworkLookupPossible(const TClientSurroundings& around) {
  const bool bus = around.variable("DBUS_SYSTEM_BUS_ADDRESS") != nullptr ||
                   around.readable("/run/dbus/system_bus_socket") ||
                   around.readable("/var/run/dbus/system_bus_socket");
  const bool daemon = around.readable("/run/avahi-daemon/pid") ||
                      around.readable("/usr/share/dbus-1/system-services/org.freedesktop.Avahi.service");
  return bus && daemon;
}

}  // namespace

std::string TSchedulerAddress::Describe() const {
  return socketPath.empty() ? host + ":" + std::to_string(port) : socketPath;
}

TSchedulerAddress ParseServer(const std::string& server) {
  TSchedulerAddress address;
  if (!server.empty() && server.front() == '/') {
    address.socketPath = server;
    return address;
  }
  address.host = server;
  address.port = kIppPort;
  // "host:port"; a bracketed IPv6 address keeps its colons.
  const std::size_t colon = server.rfind(':');
  const std::size_t bracket = server.rfind(']');
  if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
    address.host = server.substr(0, colon);
    address.port = std::atoi(server.c_str() + colon + 1);
  }
  if (address.host.size() >= 2 && address.host.front() == '[' && address.host.back() == ']') {
    address.host = address.host.substr(1, address.host.size() - 2);
  }
  return address;
}

std::optional<TSchedulerAddress> PlainScheduler(const std::string& server,
                                                const TClientSurroundings& around) {
  for (const char* name : kLibraryVariables) {
    if (around.variable(name) != nullptr) return std::nullopt;
  }
  // PRINTER names the user's default printer, except when it is "lp".
  if (const char* printer = around.variable("PRINTER");
      printer != nullptr && std::strcmp(printer, "lp") != 0) {
    return std::nullopt;
  }
  const std::string root = kServerRoot;
  if (around.readable(root + "/client.conf") || around.readable(root + "/lpoptions")) return std::nullopt;
  if (const char* home = around.variable("HOME")) {
    const std::string user = std::string(home) + "/.cups";
    if (around.readable(user + "/client.conf") || around.readable(user + "/lpoptions")) return std::nullopt;
  }
  if (NetworkLookupPossible(around)) return std::nullopt;
  if (!server.empty()) {
    TSchedulerAddress address = ParseServer(server);
    if (address.socketPath.empty() && (address.host.empty() || address.port <= 0 || address.port > 65535)) {
      return std::nullopt;
    }
    return address;
  }
  if (around.readable(kLocalSocket)) return TSchedulerAddress{kLocalSocket, {}, kIppPort};
  return TSchedulerAddress{{}, "localhost", kIppPort};
}

TClientSurroundings ProcessSurroundings() {
  return {[](const char* name) -> const char* { return std::getenv(name); },
          [](const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }};
}

}  // namespace tess
