#pragma once
// Where the local print scheduler listens, as the print service's client library finds it, for the
// questions the program can ask the scheduler itself: the printer list with its default, and a queue's PPD.
// The program asks them itself only where the library's answers come from a scheduler on this machine and
// what the program reads as the library does: no configuration files of the library and no environment
// variables of it but the server's address and the user's default printer. Anywhere else the library
// answers, as it always did. Where the library could also look for printers on the network (a DNS-SD
// daemon it can reach), its list adds what it finds there within a quarter of a second: the program's own
// list is then only the start's (see CupsPrinters.cpp).

#include <functional>
#include <optional>
#include <string>

namespace tess {

struct TSchedulerAddress {
  std::string socketPath;  // the scheduler's local socket; empty for a host and port
  std::string host;
  int port = 631;
  // The user's default printer from the environment (LPDEST, or PRINTER unless it is "lp"), which
  // the library takes before the scheduler's; nullopt when none is set.
  std::optional<std::string> userDefault;
  // Whether the library would look for printers on the network as it reads the list.
  bool networkLookup = false;

  // "host:port", or the local socket's path.
  std::string Describe() const;
  bool operator==(const TSchedulerAddress&) const = default;
};

// What the decision reads of the machine: an environment variable (null when unset) and whether a file
// can be read.
struct TClientSurroundings {
  std::function<const char*(const char*)> variable;
  std::function<bool(const std::string&)> readable;
};
// The process's own environment and file system.
TClientSurroundings ProcessSurroundings();

// The scheduler the program may ask itself, or nothing when the library's answers could differ from the
// program's. `server` is the server the program was told to use ("host", "host:port" or a socket path);
// empty means the one the library would choose (CUPS_SERVER, else the local socket, else localhost). A
// server not on this machine, or named in a way the program does not read, is left to the library.
std::optional<TSchedulerAddress> PlainScheduler(const std::string& server, const TClientSurroundings& around);

// `server` as an address ("host", "host:port", "[v6]:port", or a path starting with '/'); nothing for
// anything else.
std::optional<TSchedulerAddress> ParseServer(const std::string& server);

}  // namespace tess
