// What describes the command line outside the program keeps in step with it: the manual page names every
// option --help names (in both languages) and no other, and the shell completion offers each command the
// options and values the program takes from it, and the printers CUPS lists.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "platform/core/Messages.h"
#include "tests/support/ReadFile.h"
#include "tests/support/Shell.h"

namespace tess {
namespace {

namespace fs = std::filesystem;

const fs::path kPackaging = fs::path(TESSARINE_SOURCE_DIR) / "packaging";

std::set<std::string> OptionsIn(const std::string& text) {
  static const std::regex option("--[a-z][a-z0-9-]*");
  std::set<std::string> options;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it) {
    options.insert(it->str());
  }
  return options;
}

std::string Help(const std::string& locale) {
  return test::Shell("LC_ALL=" + locale + " " + std::string(TESSARINE_EXE) + " --help");
}

TEST(CommandLineDocuments, TheManualPageNamesTheOptionsOfHelp) {
  const std::set<std::string> english = OptionsIn(Help("C"));
  ASSERT_GT(english.size(), 15u);
  EXPECT_EQ(OptionsIn(Help("ja_JP.UTF-8")), english);
  // The page writes each hyphen of an option as "\-".
  const std::string page =
      std::regex_replace(test::ReadFile(kPackaging / "tessarine.1"), std::regex(R"(\\-)"), "-");
  EXPECT_EQ(OptionsIn(page), english);
}

// The words bash offers for the command line `words` completed at its last word.
std::vector<std::string> Complete(const std::vector<std::string>& words,
                                  const std::string& environment = {}) {
  std::string array;
  for (const std::string& word : words) array += " '" + word + "'";
  const std::string script = "source '" + (kPackaging / "tessarine.bash").string() + "'; COMP_WORDS=(" +
                             array + "); COMP_CWORD=" + std::to_string(words.size() - 1) +
                             "; _tessarine; printf '%s\\n' \"${COMPREPLY[@]}\"";
  std::istringstream lines(test::Shell(environment + " bash -c \"$(cat <<'EOF'\n" + script + "\nEOF\n)\""));
  std::vector<std::string> offered;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) offered.push_back(line);
  }
  return offered;
}

// Whether the parser takes `option` from `command` (empty: the dialog), alone or, where it wants a value,
// with one.
bool Takes(const std::string& command, const std::string& option) {
  auto refused = [&command](const std::string& argument) -> std::optional<bool> {
    std::vector<std::string> args{argument};
    if (!command.empty()) args.insert(args.begin(), command);
    const ParsedCommand parsed = ParseCommandLine(args);
    if (!parsed.error) return false;
    const std::string& message = parsed.error->message;
    if (message.find("unknown option") != std::string::npos ||
        message.find("belongs to") != std::string::npos) {
      return true;
    }
    return std::nullopt;  // refused for another reason: a value or another option missing
  };
  const std::optional<bool> alone = refused(option);
  if (alone) return !*alone;
  return !refused(option + "=1").value_or(false);
}

TEST(CommandLineDocuments, CompletionOffersWhatEachCommandTakes) {
  SetMessageLanguage(TLanguage::English);
  const std::set<std::string> all = OptionsIn(Help("C"));
  for (const std::string command : {"", "export", "print"}) {
    std::vector<std::string> words{"tessarine"};
    if (!command.empty()) words.push_back(command);
    words.push_back("--");
    std::set<std::string> offered;
    for (const std::string& word : Complete(words)) offered.insert(word);
    std::set<std::string> taken;
    for (const std::string& option : all) {
      if (Takes(command, option)) taken.insert(option);
    }
    EXPECT_EQ(offered, taken) << "command '" << command << "'";
  }
  const std::vector<std::string> commands = Complete({"tessarine", ""});
  EXPECT_NE(std::find(commands.begin(), commands.end(), "export"), commands.end());
  EXPECT_NE(std::find(commands.begin(), commands.end(), "print"), commands.end());

  // Values, after a space or an equals sign, are all ones the program takes.
  const std::vector<std::string> formats = Complete({"tessarine", "export", "--format", ""});
  EXPECT_EQ(formats, (std::vector<std::string>{"pdf", "svg", "png", "emf"}));
  for (const std::string& format : formats) {
    EXPECT_FALSE(ParseCommandLine({"export", "--format", format, "--output", "a"}).error) << format;
  }
  EXPECT_EQ(Complete({"tessarine", "export", "--format", "=", "p"}),
            (std::vector<std::string>{"pdf", "png"}));
  for (const char* option : {"--size", "--level", "--op"}) {
    const std::vector<std::string> values = Complete({"tessarine", "print", option, ""});
    EXPECT_GE(values.size(), 2u) << option;
    for (const std::string& value : values) {
      EXPECT_FALSE(ParseCommandLine({"print", option, value}).error) << option << " " << value;
    }
  }
  EXPECT_TRUE(Complete({"tessarine", "print", "--count", ""}).empty());

  // Printers as CUPS lists them.
  const fs::path bin = fs::temp_directory_path() / ("tessarine-lpstat-" + std::to_string(::getpid()));
  fs::create_directories(bin);
  std::ofstream(bin / "lpstat") << "#!/bin/sh\n[ \"$1\" = -e ] && printf 'Office-2\\nLab\\n'\n";
  fs::permissions(bin / "lpstat", fs::perms::owner_all);
  const std::string path = "PATH='" + bin.string() + "':\"$PATH\"";
  EXPECT_EQ(Complete({"tessarine", "print", "--printer", ""}, path),
            (std::vector<std::string>{"Office-2", "Lab"}));
  EXPECT_EQ(Complete({"tessarine", "print", "--printer", "=", "L"}, path), std::vector<std::string>{"Lab"});
  fs::remove_all(bin);
}

}  // namespace
}  // namespace tess
