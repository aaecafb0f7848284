#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>

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

std::string EscapeForTerminal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char hex[16];
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    // The length of a well-formed UTF-8 sequence starting here, or 0.
    std::size_t length = 0;
    if (byte < 0x80) {
      length = 1;
    } else if (byte >= 0xC2 && byte <= 0xF4) {
      length = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
      if (i + length > text.size()) length = 0;
      for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) length = 0;
      }
      const auto second = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0;
      if ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second >= 0xA0) ||
          (byte == 0xF0 && second < 0x90) || (byte == 0xF4 && second >= 0x90)) {
        length = 0;  // overlong, a surrogate, or beyond U+10FFFF
      }
    }
    if (length == 0 || byte < 0x20 || byte == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
      ++i;
    } else if (byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned char>(text[i + 1]));  // C1 control
      out += hex;
      i += 2;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string UsageText() {
  return "Usage:\n"
         "  tessarine                     open the worksheet dialog\n"
         "  tessarine export [OPTIONS] --format pdf|svg|png|emf --output PATH\n"
         "  tessarine print  [OPTIONS] [--printer NAME] [--copies N]\n"
         "\n"
         "Options:\n"
         "  --size 3|4|5|6        quadrilaterals per figure (default 3)\n"
         "  --level 0|1|2|3       given numbers: 0 spokes, 1 tips, 2 three at random, 3 four at random\n"
         "                        (default 0)\n"
         "  --op sum|product      what the quadrilateral values are (default sum)\n"
         "  --date                print the date and time line\n"
         "  --number N            problem number of the first worksheet (default 1)\n"
         "  --line1 TEXT          first instruction line (default: the dialog's text)\n"
         "  --line2 TEXT          second instruction line (default: the dialog's text)\n"
         "  --count K             worksheets to make (default 1)\n"
         "  --seed S              fixed random seed, for reproducible worksheets (default: the clock)\n"
         "  --unique              only figures whose question has exactly one answer\n"
         "  --report              print one line per figure: worksheet, problem number, slot, the values\n"
         "                        in the quadrilaterals, the given position:number pairs, and how many\n"
         "                        placements answer the question\n"
         "  --printer NAME        print: the printer (default: the system's default printer)\n"
         "  --copies N            print: copies of each worksheet, 1 to 999 (default 1)\n"
         "  --help, --version\n"
         "\n"
         "pdf writes one file with every page; svg, png and emf write PATH-001.ext, PATH-002.ext, ...\n"
         "Problem numbers run from -2147483647 to 2147483646.\n";
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
  } else {
    return Fail("unknown command '" + verb + "' (expected export or print; see --help)");
  }
  bool haveFormat = false;
  WorksheetOptions& w = command.worksheet;
  for (i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&](std::string& out) -> bool {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
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
      w.report = true;
    } else if (option == "--size" || option == "--level" || option == "--op" || option == "--number" ||
               option == "--line1" || option == "--line2" || option == "--count" || option == "--seed" ||
               option == "--format" || option == "--output" || option == "--printer" ||
               option == "--copies") {
      if (!value(v)) return Fail(option + " needs a value");
      if (option == "--size") {
        if (!ParseInt(v, 3, 6, n)) return Fail("unknown size '" + v + "' (expected 3, 4, 5 or 6)");
        w.sizeIndex = static_cast<int>(n) - 3;
      } else if (option == "--level") {
        if (!ParseInt(v, 0, 3, n)) return Fail("unknown level '" + v + "' (expected 0, 1, 2 or 3)");
        w.level = static_cast<int>(n);
      } else if (option == "--op") {
        if (v == "sum") {
          w.operation = 0;
        } else if (v == "product") {
          w.operation = 1;
        } else {
          return Fail("unknown operation '" + v + "' (expected sum or product)");
        }
      } else if (option == "--number") {
        if (!ParseInt(v, INT32_MIN, INT32_MAX, n))
          return Fail("the problem number '" + v + "' is not an integer");
        w.firstNumber = static_cast<int>(n);
      } else if (option == "--line1") {
        w.line1 = v;
      } else if (option == "--line2") {
        w.line2 = v;
      } else if (option == "--count") {
        if (!ParseInt(v, 1, 100000, n)) return Fail("the count '" + v + "' is not a number from 1 to 100000");
        w.count = static_cast<int>(n);
      } else if (option == "--seed") {
        std::uint64_t seed = 0;
        auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), seed);
        if (v.empty() || ec != std::errc() || ptr != v.data() + v.size()) {
          return Fail("the seed '" + v + "' is not a non-negative integer");
        }
        w.seed = seed;
      } else if (option == "--format") {
        if (command.kind != CommandKind::Export) return Fail("--format belongs to export");
        if (v == "pdf") {
          command.format = ExportFormat::Pdf;
        } else if (v == "svg") {
          command.format = ExportFormat::Svg;
        } else if (v == "png") {
          command.format = ExportFormat::Png;
        } else if (v == "emf") {
          command.format = ExportFormat::Emf;
        } else {
          return Fail("unknown format '" + v + "' (expected pdf, svg, png or emf)");
        }
        haveFormat = true;
      } else if (option == "--output") {
        if (command.kind != CommandKind::Export) return Fail("--output belongs to export");
        if (v.empty()) return Fail("--output needs a path");
        command.output = v;
      } else if (option == "--printer") {
        if (command.kind != CommandKind::Print) return Fail("--printer belongs to print");
        command.printer = v;
      } else if (option == "--copies") {
        if (command.kind != CommandKind::Print) return Fail("--copies belongs to print");
        if (!ParseInt(v, 1, 999, n))
          return Fail("the number of copies '" + v + "' is not a number from 1 to 999");
        command.copies = static_cast<int>(n);
      }
    } else {
      return Fail("unknown option '" + option + "' (see --help)");
    }
  }
  if (command.kind == CommandKind::Export) {
    if (!haveFormat) return Fail("export needs --format pdf|svg|png|emf");
    if (command.output.empty()) return Fail("export needs --output PATH");
  }
  // Every worksheet's number must fit the counter, checked before anything is built; computed wide, so
  // nothing wraps on the way.
  const long long last = static_cast<long long>(w.firstNumber) + w.count - 1;
  if (w.firstNumber < kLowestProblemNo || last > kHighestProblemNo) {
    const std::string range = std::to_string(kLowestProblemNo) + " to " + std::to_string(kHighestProblemNo);
    if (w.count == 1)
      return Fail("the problem number " + std::to_string(w.firstNumber) + " is outside " + range);
    return Fail("the problem numbers " + std::to_string(w.firstNumber) + " to " + std::to_string(last) +
                " go outside " + range);
  }
  return {command, std::nullopt};
}

}  // namespace tess
