// The program run from the command line: exports are reproducible for a seed, write the pages asked for,
// and bad values end with a message and a non-zero exit code.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/CupsQueueLock.h"
#include "tests/support/ReadFile.h"
#include "tests/support/Shell.h"

namespace {

namespace fs = std::filesystem;

using RunResult = tess::test::TShellResult;
using tess::test::ReadFile;

// The program's exit code and its standard output and error together.
RunResult RunProgram(const std::string& arguments) {
  return tess::test::RunShell("QT_QPA_PLATFORM=offscreen " + std::string(TESSARINE_EXE) + " " + arguments +
                              " 2>&1");
}

int PdfPages(const fs::path& pdf) {
  // Each page object of the writer's output carries "/Type /Page" (the tree itself is "/Pages").
  const std::string bytes = ReadFile(pdf);
  int pages = 0;
  for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos;
       at = bytes.find("/Type /Page", at + 1)) {
    if (bytes.compare(at, 12, "/Type /Pages") != 0) ++pages;
  }
  return pages;
}

class CommandLineRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tessarine-cli-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string At(const char* name) const { return (dir / name).string(); }
  // The program finds its printers (and so the printable area of its pages) through CUPS.
  tess::test::TCupsQueueLock lock{tess::test::TCupsQueueLock::UsesQueues};
  fs::path dir;
};

TEST_F(CommandLineRun, SeededExportsRepeatPageForPage) {
  for (const char* name : {"a.emf", "b.emf"}) {
    RunResult r =
        RunProgram("export --size 4 --level 2 --seed 1234 --count 2 --format emf --output " + At(name));
    ASSERT_EQ(r.exitCode, 0) << r.output;
  }
  for (int page = 1; page <= 4; ++page) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%03d.emf", page);
    const std::string a = ReadFile(dir / (std::string("a") + suffix));
    ASSERT_FALSE(a.empty()) << page;
    EXPECT_EQ(a, ReadFile(dir / (std::string("b") + suffix))) << "page " << page;
  }
  EXPECT_FALSE(fs::exists(dir / "a-005.emf"));
  // Another seed makes other puzzles.
  ASSERT_EQ(RunProgram("export --size 4 --level 2 --seed 99 --format emf --output " + At("c.emf")).exitCode,
            0);
  EXPECT_NE(ReadFile(dir / "a-001.emf"), ReadFile(dir / "c-001.emf"));
}

TEST_F(CommandLineRun, PdfHoldsTwoPagesPerWorksheetAndOtherFormatsOneFilePerPage) {
  RunResult r = RunProgram("export --count 3 --seed 5 --format pdf --output " + At("all.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(PdfPages(dir / "all.pdf"), 6);
  EXPECT_NE(r.output.find("worksheet 3/3"), std::string::npos) << r.output;
  for (const char* format : {"svg", "png"}) {
    ASSERT_EQ(RunProgram(std::string("export --seed 5 --format ") + format + " --output " + At("page") + "." +
                         format)
                  .exitCode,
              0);
    EXPECT_TRUE(fs::exists(dir / (std::string("page-001.") + format)));
    EXPECT_TRUE(fs::exists(dir / (std::string("page-002.") + format)));
    EXPECT_FALSE(fs::exists(dir / (std::string("page-003.") + format)));
  }
  EXPECT_NE(ReadFile(dir / "page-001.svg").find("<svg"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "page-001.png").substr(1, 3), "PNG");
}

TEST_F(CommandLineRun, BadValuesGiveTheirMessageAndExitCode) {
  struct Case {
    std::string arguments;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {"export --size 7 --format pdf --output " + At("x.pdf"), 2, "unknown size '7'"},
      {"export --number 1.5 --format pdf --output " + At("x.pdf"), 2, "is not an integer"},
      {"export --format pdf --output " + At("missing/x.pdf"), 1, "does not exist"},
      // Exit 2 naming the printer where printers are installed, 1 ("no printer") where none is.
      {"print --printer NoSuchPrinter", -1, "printer"},
      {"frobnicate", 2, "unknown command"},
  };
  for (const Case& c : cases) {
    RunResult r = RunProgram(c.arguments);
    if (c.exitCode >= 0) {
      EXPECT_EQ(r.exitCode, c.exitCode) << c.arguments << "\n" << r.output;
    } else {
      EXPECT_GT(r.exitCode, 0) << c.arguments << "\n" << r.output;
    }
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("tessarine: "), std::string::npos) << r.output;
  }
  EXPECT_FALSE(fs::exists(dir / "x.pdf"));
}

TEST_F(CommandLineRun, HelpAndVersion) {
  RunResult help = RunProgram("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("tessarine export"), std::string::npos);
  RunResult version = RunProgram("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_NE(version.output.find("1.10"), std::string::npos);
}

TEST_F(CommandLineRun, TheDialogEndsOnceShownForAStartUpMeasurement) {
  // (A dialog that never ends is cut off after a minute: exit code 124.)
  RunResult run = tess::test::RunShell("TESSARINE_EXIT_WHEN_SHOWN=1 QT_QPA_PLATFORM=offscreen timeout 60 " +
                                       std::string(TESSARINE_EXE) + " 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.output;
}

}  // namespace
