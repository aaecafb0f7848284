#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/core/Messages.h"
#include "worksheet/WorksheetPage.h"

namespace tess {
namespace {

bool ParseInt(const std::string& text, long long low, long long high, long long& value) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, last, value);
  return !text.empty() && ec == std::errc() && ptr == last && value >= low && value <= high;
}

// Decimal digits with an optional sign, however many.
bool IsInteger(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

ParsedCommand Fail(std::string message) {
  return {std::nullopt, CommandLineError{std::move(message)}};
}

}  // namespace

const char* FormatExtension(ExportFormat format) {
  switch (format) {
    case ExportFormat::Pdf:
      return "pdf";
    case ExportFormat::Svg:
      return "svg";
    case ExportFormat::Png:
      return "png";
    case ExportFormat::Emf:
      return "emf";
  }
  return "";
}

std::string PageFileName(const std::string& output, ExportFormat format, int page, int lastPage) {
  if (format == ExportFormat::Pdf) return output;
  std::filesystem::path path(output);
  path.replace_extension();
  // Numbers as wide as the last one, so the names sort in page order.
  const int width = std::max<int>(3, static_cast<int>(std::to_string(std::max(page, lastPage)).size()));
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "-%0*d.", width, page);
  return path.string() + suffix + FormatExtension(format);
}

std::string UsageText() {
  return Message("cli.usage") + "\n";
}

ParsedCommand ParseCommandLine(const std::vector<std::string>& args) {
  Command command;
  if (args.empty()) return {command, std::nullopt};
  std::size_t i = 0;
  const std::string& verb = args[0];
  if (verb == "--help" || verb == "-h" || verb == "help") {
    command.kind = CommandKind::Help;
    return {command, std::nullopt};
  }
  if (verb == "--version") {
    command.kind = CommandKind::Version;
    return {command, std::nullopt};
  }
  if (verb == "export") {
    command.kind = CommandKind::Export;
  } else if (verb == "print") {
    command.kind = CommandKind::Print;
  } else if (verb.starts_with("--")) {
    // Options without a command fill in the dialog.
    command.kind = CommandKind::Dialog;
  } else {
    return Fail(Message("cli.unknown-command", {verb}));
  }
  bool haveFormat = false;
  WorksheetOptions& w = command.worksheet;
  std::string numberText = std::to_string(w.firstNumber);
  for (i = command.kind == CommandKind::Dialog ? 0 : 1; i < args.size(); ++i) {
    // --option=VALUE is --option VALUE in one argument.
    std::string option = args[i];
    std::optional<std::string> attached;
    if (const std::size_t equals = option.find('=');
        option.starts_with("--") && equals != std::string::npos) {
      attached = option.substr(equals + 1);
      option.resize(equals);
    }
    auto value = [&](std::string& out) -> bool {
      if (attached) {
        out = *attached;
        return true;
      }
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    const bool isFlag = option == "--help" || option == "--date" || option == "--unique" ||
                        option == "--report" || option == "--no-printer" || option == "--quiet";
    if (isFlag && attached) return Fail(Message("cli.takes-no-value", {option}));
    std::string v;
    long long n = 0;
    if (option == "--help") {
      command.kind = CommandKind::Help;
      return {command, std::nullopt};
    } else if (option == "--date") {
      w.dateLine = true;
    } else if (option == "--unique") {
      w.oneAnswer = true;
    } else if (option == "--report") {
      if (command.kind == CommandKind::Dialog) return Fail(Message("cli.option-of-commands", {option}));
      w.report = true;
    } else if (option == "--no-printer") {
      if (command.kind != CommandKind::Export) return Fail(Message("cli.option-of", {option, "export"}));
      command.noPrinter = true;
    } else if (option == "--quiet") {
      if (command.kind == CommandKind::Dialog) return Fail(Message("cli.option-of-commands", {option}));
      command.quiet = true;
    } else if (option == "--size" || option == "--level" || option == "--op" || option == "--number" ||
               option == "--line1" || option == "--line2" || option == "--count" || option == "--seed" ||
               option == "--format" || option == "--output" || option == "--printer" ||
               option == "--copies") {
      if (!value(v)) return Fail(Message("cli.needs-value", {option}));
      if (option == "--size") {
        if (!ParseInt(v, 3, 6, n)) return Fail(Message("cli.bad-size", {v}));
        w.sizeIndex = static_cast<int>(n) - 3;
      } else if (option == "--level") {
        if (!ParseInt(v, 0, 3, n)) return Fail(Message("cli.bad-level", {v}));
        w.level = static_cast<int>(n);
      } else if (option == "--op") {
        if (v == "sum") {
          w.operation = 0;
        } else if (v == "product") {
          w.operation = 1;
        } else {
          return Fail(Message("cli.bad-operation", {v}));
        }
      } else if (option == "--number") {
        // Any integer is taken here, so that one beyond the counter's range is said to be that below.
        if (!IsInteger(v)) return Fail(Message("cli.bad-number", {v}));
        numberText = v;
      } else if (option == "--line1") {
        w.line1 = v;
      } else if (option == "--line2") {
        w.line2 = v;
      } else if (option == "--count") {
        if (command.kind == CommandKind::Dialog) {
          if (!ParseInt(v, 1, kMaxSheetsPerBuild, n)) {
            return Fail(Message("cli.bad-dialog-count", {v, std::to_string(kMaxSheetsPerBuild)}));
          }
        } else if (!ParseInt(v, 1, 100000, n)) {
          return Fail(Message("cli.bad-count", {v}));
        }
        w.count = static_cast<int>(n);
      } else if (option == "--seed") {
        std::uint64_t seed = 0;
        auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), seed);
        if (v.empty() || ec != std::errc() || ptr != v.data() + v.size()) {
          return Fail(Message("cli.bad-seed", {v}));
        }
        w.seed = seed;
      } else if (option == "--format") {
        if (command.kind != CommandKind::Export) return Fail(Message("cli.option-of", {option, "export"}));
        if (v == "pdf") {
          command.format = ExportFormat::Pdf;
        } else if (v == "svg") {
          command.format = ExportFormat::Svg;
        } else if (v == "png") {
          command.format = ExportFormat::Png;
        } else if (v == "emf") {
          command.format = ExportFormat::Emf;
        } else {
          return Fail(Message("cli.bad-format", {v}));
        }
        haveFormat = true;
      } else if (option == "--output") {
        if (command.kind != CommandKind::Export) return Fail(Message("cli.option-of", {option, "export"}));
        if (v.empty()) return Fail(Message("cli.output-needs-path"));
        command.output = v;
      } else if (option == "--printer") {
        if (command.kind != CommandKind::Print) return Fail(Message("cli.option-of", {option, "print"}));
        command.printer = v;
      } else if (option == "--copies") {
        if (command.kind != CommandKind::Print) return Fail(Message("cli.option-of", {option, "print"}));
        if (!ParseInt(v, 1, 999, n)) return Fail(Message("cli.bad-copies", {v}));
        command.copies = static_cast<int>(n);
      }
    } else {
      return Fail(Message("cli.unknown-option", {option}));
    }
  }
  if (command.kind == CommandKind::Export) {
    if (!haveFormat) return Fail(Message("cli.export-needs-format"));
    if (command.output.empty()) return Fail(Message("cli.export-needs-output"));
    // Standard output takes one file, and nothing else may go there with it.
    if (command.ToStandardOutput() && command.format != ExportFormat::Pdf) {
      return Fail(Message("cli.standard-output-pdf-only", {FormatExtension(command.format)}));
    }
    if (command.ToStandardOutput() && w.report) return Fail(Message("cli.report-with-standard-output"));
  }
  // Every worksheet's number must fit the counter, checked before anything is built. The first number is
  // checked on its own first, so the last one is computed only from a number in range and nothing wraps.
  // The dialog builds its set at once and counts down below the first number by the set's size.
  const int lowest = command.kind == CommandKind::Dialog ? ProblemNoRangeLow(w.count) : kLowestProblemNo;
  const std::string low = std::to_string(lowest);
  const std::string high = std::to_string(kHighestProblemNo);
  long long first = 0;
  if (!ParseInt(numberText, lowest, kHighestProblemNo, first)) {
    return Fail(Message("cli.number-outside", {numberText, low, high}));
  }
  const long long last = first + w.count - 1;
  if (last > kHighestProblemNo) {
    return Fail(Message("cli.numbers-outside", {numberText, std::to_string(last), low, high}));
  }
  w.firstNumber = static_cast<int>(first);
  return {command, std::nullopt};
}

}  // namespace tess
