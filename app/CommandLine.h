#pragma once
// The command line beyond the dialog: worksheets exported or printed without a window.
//
//   tessarine [OPTIONS]            opens the dialog, its settings filled in from the options
//   tessarine export [OPTIONS] --format pdf|svg|png|emf --output PATH|- [--no-printer] [--quiet]
//   tessarine print  [OPTIONS] [--printer NAME] [--copies N] [--quiet]
//
// An option's value follows it as the next argument or after "=" in the same one (--size=4).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/TerminalText.h"  // EscapeForTerminal, for every message on standard error

namespace tess {

// Exit codes of the command line.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the work could not be done (an unwritable path, a failed job)
constexpr int kExitUsage = 2;    // a bad command line or value (an unknown printer among them)

enum class CommandKind { Dialog, Export, Print, Help, Version };
enum class ExportFormat { Pdf, Svg, Png, Emf };

struct WorksheetOptions {
  int sizeIndex = 0;                 // SquareNums item: --size 3..6 gives 0..3
  int level = 0;                     // LevelType item 0..3
  int operation = 0;                 // rgOpe item: 0 sum, 1 product
  bool dateLine = false;             // rgDate item 1
  int firstNumber = 1;               // the first problem number
  std::optional<std::string> line1;  // UTF-8; unset means the dialog's text for the size and operation
  std::optional<std::string> line2;
  int count = 1;  // worksheets
  std::optional<std::uint64_t> seed;
  bool oneAnswer = false;  // --unique: the dialog's one-answer check box
  bool report = false;     // --report: one line per figure on standard output
};

struct Command {
  CommandKind kind = CommandKind::Dialog;
  WorksheetOptions worksheet;
  ExportFormat format = ExportFormat::Pdf;
  std::string output;                  // export: the path given; "-" is standard output (a PDF only)
  bool noPrinter = false;              // export: the pages as if no printer were installed
  std::optional<std::string> printer;  // print: a printer name, else the default printer
  int copies = 1;                      // print: copies of each worksheet, 1..999
  bool quiet = false;                  // export and print: no progress on standard error

  bool ToStandardOutput() const { return kind == CommandKind::Export && output == "-"; }
};

// A command line that cannot be carried out; the message is for standard error.
struct CommandLineError {
  std::string message;
};

// Parses the arguments after the program name. Returns the command, or the error to report.
struct ParsedCommand {
  std::optional<Command> command;
  std::optional<CommandLineError> error;
};
ParsedCommand ParseCommandLine(const std::vector<std::string>& args);

// The usage text for --help.
std::string UsageText();

// Output file names: pdf is PATH itself; svg, png and emf write PATH-001.ext, PATH-002.ext, ... where
// PATH loses its extension. Page numbers are padded to the width of the last page's number (at least 3).
std::string PageFileName(const std::string& output, ExportFormat format, int page, int lastPage = 0);
const char* FormatExtension(ExportFormat format);

}  // namespace tess
