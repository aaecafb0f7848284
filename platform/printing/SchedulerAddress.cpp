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

// Variables that change how the library connects, whom it says it is or how it encrypts.
constexpr const char* kLibraryVariables[] = {
    "CUPS_SERVERROOT",
    "CUPS_ENCRYPTION",
    "CUPS_USER",
    "IPP_PORT",
};

bool OnThisMachine(const TSchedulerAddress& address) {
  return !address.socketPath.empty() || address.host == "localhost" || address.host == "::1" ||
         address.host.rfind("127.", 0) == 0;
}

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

std::optional<TSchedulerAddress> ParseServer(const std::string& server) {
  TSchedulerAddress address;
  if (!server.empty() && server.front() == '/') {
    address.socketPath = server;
    return address;
  }
  std::string host = server;
  address.port = kIppPort;
  // "host:port"; a bracketed IPv6 address keeps its colons.
  const std::size_t colon = server.rfind(':');
  const std::size_t bracket = server.rfind(']');
  if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
    host = server.substr(0, colon);
    const std::string port = server.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    address.port = std::atoi(port.c_str());
    if (address.port <= 0 || address.port > 65535) return std::nullopt;
  }
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
    if (host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos) return std::nullopt;
  } else if (host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") !=
             std::string::npos) {
    return std::nullopt;  // other forms (a version suffix, a path after the host) are the library's
  }
  if (host.empty()) return std::nullopt;
  address.host = host;
  return address;
}

std::optional<TSchedulerAddress> PlainScheduler(const std::string& server,
                                                const TClientSurroundings& around) {
  for (const char* name : kLibraryVariables) {
    if (around.variable(name) != nullptr) return std::nullopt;
  }
  const std::string root = kServerRoot;
  if (around.readable(root + "/client.conf") || around.readable(root + "/lpoptions")) return std::nullopt;
  if (const char* home = around.variable("HOME")) {
    const std::string user = std::string(home) + "/.cups";
    if (around.readable(user + "/client.conf") || around.readable(user + "/lpoptions")) return std::nullopt;
  }
  std::optional<TSchedulerAddress> address;
  if (!server.empty()) {
    address = ParseServer(server);
  } else if (const char* named = around.variable("CUPS_SERVER")) {
    address = ParseServer(named);
  } else if (around.readable(kLocalSocket)) {
    address = TSchedulerAddress{kLocalSocket, {}, kIppPort, std::nullopt};
  } else {
    address = TSchedulerAddress{{}, "localhost", kIppPort, std::nullopt};
  }
  if (!address || !OnThisMachine(*address)) return std::nullopt;

  const char* userDefault = around.variable("LPDEST");
  if (userDefault == nullptr) {
    userDefault = around.variable("PRINTER");
    if (userDefault != nullptr && std::strcmp(userDefault, "lp") == 0) userDefault = nullptr;
  }
  if (userDefault != nullptr) address->userDefault = userDefault;
  address->networkLookup = NetworkLookupPossible(around);
  return address;
}

TClientSurroundings ProcessSurroundings() {
  return {[](const char* name) -> const char* { return std::getenv(name); },
          [](const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }};
}

}  // namespace tess
