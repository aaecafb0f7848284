// The program run from the command line: exports are reproducible for a seed, write the pages asked for,
// and bad values end with a message and a non-zero exit code.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gfx/emf/Metafile.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/CupsQueueLock.h"
#include "tests/support/PdfFile.h"
#include "tests/support/ReadFile.h"
#include "tests/support/Shell.h"
#include "tests/support/Terminal.h"

namespace {

namespace fs = std::filesystem;

using RunResult = tess::test::TShellResult;
using tess::test::ReadFile;

using tess::test::RunShell;

// Runs the program under an English locale with the environment assignments given before it (they may set
// another); its standard output and error together.
RunResult RunProgram(const std::string& arguments,
                     const std::string& environment = "QT_QPA_PLATFORM=offscreen") {
  return RunShell("LC_ALL=C " + environment + " " + std::string(TESSARINE_EXE) + " " + arguments + " 2>&1");
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The text layer of a PDF, as a reader extracts it.
std::string PdfText(const fs::path& pdf) {
  return RunShell("pdftotext '" + pdf.string() + "' - 2>&1").output;
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
  // Names from outside reach the terminal escaped: a printer's and a server's.
  for (const std::string& environment :
       {std::string("QT_QPA_PLATFORM=offscreen"),
        std::string("QT_QPA_PLATFORM=offscreen CUPS_SERVER=\"$(printf 'a\\033[2Jb')\"")}) {
    RunResult r = RunProgram("print --printer \"$(printf 'x\\033[31my')\"", environment);
    EXPECT_GT(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find('\x1b'), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\\x1B"), std::string::npos) << r.output;
  }
}

// The report: one line per figure on standard output. With --unique every figure has one answer, and
// the report leaves the pages as they are.
TEST_F(CommandLineRun, ReportCountsTheAnswersOfEveryFigure) {
  const std::string options = "export --size 6 --level 2 --count 3 --seed 7 --format emf --output ";
  RunResult unique = RunProgram(options + At("u.emf") + " --unique --report");
  ASSERT_EQ(unique.exitCode, 0) << unique.output;
  std::vector<std::string> lines;
  for (std::size_t at = unique.output.find("worksheet="); at != std::string::npos;
       at = unique.output.find("worksheet=", at + 1)) {
    lines.push_back(unique.output.substr(at, unique.output.find('\n', at) - at));
  }
  ASSERT_EQ(lines.size(), 6u) << unique.output;
  EXPECT_EQ(lines[0].rfind("worksheet=1 number=1 slot=0 values=", 0), 0u) << lines[0];
  for (const std::string& line : lines) {
    EXPECT_NE(line.find(" given="), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 10), " answers=1") << line;
  }
  EXPECT_NE(lines[5].find("worksheet=3 number=3 slot=1"), std::string::npos) << lines[5];

  // Without --unique the givens are drawn at random, in no order of position. The report lists them in the
  // order the question page draws their numbers, figure by figure: after the header's four texts, each
  // figure's three given numbers, then its six values.
  RunResult report = RunProgram(options + At("r.emf") + " --report");
  ASSERT_EQ(report.exitCode, 0) << report.output;
  bool someUnordered = false;
  for (int sheet = 0; sheet < 3; ++sheet) {
    const std::string bytes = ReadFile(dir / ("r-00" + std::to_string(2 * sheet + 1) + ".emf"));
    tess::TMetafile page;
    ASSERT_TRUE(page.LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    const std::vector<tess::test::TTextRecord> texts = tess::test::TextRecords(page);
    ASSERT_EQ(texts.size(), 4u + 2u * (3u + 6u));
    for (int slot = 0; slot < 2; ++slot) {
      const std::string head = "worksheet=" + std::to_string(sheet + 1) +
                               " number=" + std::to_string(sheet + 1) + " slot=" + std::to_string(slot) +
                               " values=";
      const std::size_t at = report.output.find(head);
      ASSERT_NE(at, std::string::npos) << head << "\n" << report.output;
      const std::string line = report.output.substr(at, report.output.find('\n', at) - at);
      const std::size_t from = line.find(" given=") + 7;
      std::vector<int> positions;
      std::vector<std::string> numbers;
      for (std::size_t entry = from; entry < line.find(" answers=");) {
        const std::size_t colon = line.find(':', entry), comma = line.find_first_of(", ", colon);
        positions.push_back(std::stoi(line.substr(entry, colon - entry)));
        numbers.push_back(line.substr(colon + 1, comma - colon - 1));
        entry = comma + 1;
      }
      ASSERT_EQ(numbers.size(), 3u) << line;
      for (std::size_t k = 0; k < 3; ++k) {
        const tess::test::TTextRecord& drawn = texts[4 + 9 * static_cast<std::size_t>(slot) + k];
        EXPECT_EQ(tess::FromUtf16(drawn.Text).ToUtf8(), numbers[k]) << line;
      }
      someUnordered = someUnordered || !std::is_sorted(positions.begin(), positions.end());
    }
  }
  EXPECT_TRUE(someUnordered) << "seed 7 should draw some givens out of position order";
  ASSERT_EQ(RunProgram(options + At("p.emf")).exitCode, 0);
  for (const char* page : {"-001.emf", "-002.emf", "-005.emf"})
    EXPECT_EQ(ReadFile(dir / (std::string("r") + page)), ReadFile(dir / (std::string("p") + page))) << page;
}

TEST_F(CommandLineRun, HelpAndVersion) {
  RunResult help = RunProgram("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("tessarine export"), std::string::npos);
  EXPECT_NE(help.output.find("--unique"), std::string::npos);
  EXPECT_NE(help.output.find("--report"), std::string::npos);
  RunResult version = RunProgram("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_NE(version.output.find("1.10"), std::string::npos);
}

// Every page file present is whole: a page that could not be written is missing instead.
bool PageFileIsWhole(const fs::path& file) {
  const std::string bytes = ReadFile(file);
  const std::string ext = file.extension().string();
  if (ext == ".emf") {
    // The header's nBytes (offset 48) is the recording's length.
    return bytes.size() > 52 &&
           static_cast<std::size_t>(static_cast<unsigned char>(bytes[48]) |
                                    static_cast<unsigned char>(bytes[49]) << 8 |
                                    static_cast<unsigned char>(bytes[50]) << 16) == bytes.size();
  }
  if (ext == ".png") return bytes.size() > 12 && bytes.compare(bytes.size() - 8, 4, "IEND") == 0;
  if (ext == ".svg") return bytes.size() > 7 && bytes.compare(bytes.size() - 7, 7, "</svg>\n") == 0;
  return false;
}

std::vector<std::string> FileNames(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  return names;
}

TEST_F(CommandLineRun, AFileThatCannotBeWrittenIsNotThereAndTheReasonIsGiven) {
  // A device that is always full: the PDF is written to it directly and fails with the system's reason.
  RunResult r = RunProgram("export --format pdf --output /dev/full");
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_EQ(r.output, "tessarine: cannot write /dev/full: no space left on the device\n");
  for (const char* format : {"svg", "png", "emf"}) {
    // One file per page cannot go to a device.
    r = RunProgram(std::string("export --format ") + format + " --output /dev/full");
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_TRUE(Contains(r.output, "not a regular file")) << r.output;
    EXPECT_FALSE(fs::exists(std::string("/dev/full-001.") + format));
  }
  // A folder that holds no files, and an output that names a folder.
  for (const std::string& output : {At("missing/x.pdf"), dir.string() + "/", dir.string()}) {
    r = RunProgram("export --format pdf --output '" + output + "'");
    EXPECT_GT(r.exitCode, 0) << output;
    EXPECT_TRUE(Contains(r.output, output)) << r.output;
  }
  EXPECT_TRUE(FileNames(dir).empty());
}

TEST_F(CommandLineRun, AFullFileSystemLeavesOnlyWholeFiles) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const fs::path small = dir / "small";
  fs::create_directories(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a tmpfs";
  for (const char* format : {"pdf", "svg", "png", "emf"}) {
    const std::string output = (small / "x.").string() + format;
    RunResult r =
        RunProgram("export --count 12 --seed 1 --format " + std::string(format) + " --output " + output);
    EXPECT_EQ(r.exitCode, 1) << format << "\n" << r.output;
    EXPECT_TRUE(Contains(r.output, ": no space left on the device")) << r.output;
    for (const std::string& name : FileNames(small)) {
      // Page files before the one that did not fit stay; nothing else does, no PDF and no temporary file.
      EXPECT_NE(name.front(), '.') << name;
      EXPECT_NE(std::string(format), "pdf") << name;
      EXPECT_TRUE(PageFileIsWhole(small / name)) << name;
      EXPECT_FALSE(Contains(r.output, (small / name).string())) << name;  // the failing one is named
      fs::remove(small / name);
    }
  }
  ::umount(small.c_str());
}

TEST_F(CommandLineRun, LinksLimitsAndLostOutputEndWithAMessageAndNothingHalfWritten) {
  // A link to a file not written yet: the file is written, the link stays a link.
  fs::create_directories(dir / "real");
  fs::create_symlink("real/new.pdf", dir / "link.pdf");
  RunResult r = RunProgram("export --no-printer --format pdf --output " + At("link.pdf"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::is_symlink(dir / "link.pdf"));
  EXPECT_EQ(PdfPages(dir / "real/new.pdf"), 2);
  fs::remove_all(dir / "real");
  fs::remove(dir / "link.pdf");
  // A file-size limit, and (where the build can run under one) a memory limit: a message, exit code 1,
  // no file and no temporary file.
  std::vector<std::pair<std::string, std::string>> limits = {{"ulimit -f 100", "the file is too large"}};
#if !defined(__SANITIZE_ADDRESS__)
  limits.push_back({"ulimit -v 112640", "tessarine: "});
#endif
  for (const auto& [limit, message] : limits) {
    r = RunShell("LC_ALL=C QT_QPA_PLATFORM=offscreen sh -c '" + limit + "; exec " + TESSARINE_EXE +
                 " export --no-printer --count 50 --format pdf --output " + At("big.pdf") + "' 2>&1");
    EXPECT_EQ(r.exitCode, 1) << limit << "\n" << r.output;
    EXPECT_TRUE(Contains(r.output, message)) << r.output;
    EXPECT_FALSE(Contains(r.output, "terminate called")) << r.output;
    EXPECT_TRUE(FileNames(dir).empty()) << limit;
  }
  // A report with nowhere to go is a failure, not a success with the report lost.
  for (const char* redirection : {">/dev/full", ">&-"}) {
    r = RunShell("LC_ALL=C QT_QPA_PLATFORM=offscreen " + std::string(TESSARINE_EXE) +
                 " export --no-printer --report --format pdf --output " + At("r.pdf") + " 2>&1 " +
                 redirection);
    EXPECT_EQ(r.exitCode, 1) << redirection << "\n" << r.output;
    EXPECT_FALSE(fs::exists(dir / "r.pdf")) << redirection;
  }
  // No font at all: the worksheet would be empty boxes.
  std::ofstream(dir / "fonts.conf") << "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">"
                                       "<fontconfig></fontconfig>";
  r = RunProgram("export --no-printer --format png --output " + At("p.png"),
                 "QT_QPA_PLATFORM=offscreen FONTCONFIG_FILE=" + At("fonts.conf"));
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "no installed font has Japanese characters")) << r.output;
  // A file where a folder is named.
  r = RunProgram("export --format pdf --output " + At("fonts.conf") + "/o.pdf");
  EXPECT_EQ(r.output, "tessarine: cannot write " + At("fonts.conf") + "/o.pdf: " + At("fonts.conf") +
                          " is not a folder\n");
  fs::remove(dir / "fonts.conf");
  EXPECT_TRUE(FileNames(dir).empty());
}

TEST_F(CommandLineRun, AKilledExportLeavesNothingUnderItsName) {
  for (int signal : {SIGKILL, SIGTERM}) {
    const fs::path output = dir / "big.pdf";
    // Killed once some worksheets are in the file, as its progress shows.
    tess::test::TTerminalRun run(TESSARINE_EXE,
                                 {"export", "--count", "100000", "--format", "pdf", "--output", output},
                                 {"LC_ALL=C", "QT_QPA_PLATFORM=offscreen"});
    ASSERT_TRUE(run.Started());
    EXPECT_TRUE(run.WaitFor("worksheet 3/")) << run.Shown();
    run.Signal(signal);
    run.Wait();
    EXPECT_TRUE(run.Signalled());
    EXPECT_FALSE(fs::exists(output));
    // A killed program may leave its temporary file; an ended one removes it.
    for (const std::string& name : FileNames(dir)) {
      EXPECT_EQ(signal, SIGKILL) << name;
      EXPECT_TRUE(name.starts_with(".big.pdf.") && name.ends_with(".part")) << name;
      fs::remove(dir / name);
    }
  }
}

// Progress is for a person watching: on a terminal one line rewritten in place and ended once; nothing on a
// file or pipe, nothing with --quiet.
TEST_F(CommandLineRun, ProgressShowsOnATerminalOnly) {
  const std::vector<std::string> environment{"LC_ALL=C", "QT_QPA_PLATFORM=offscreen"};
  tess::test::TTerminalRun shown(
      TESSARINE_EXE, {"export", "--count", "3", "--format", "pdf", "--output", At("p.pdf")}, environment);
  EXPECT_EQ(shown.Wait(), 0) << shown.Shown();
  EXPECT_EQ(shown.Shown(), "\rworksheet 1/3\rworksheet 2/3\rworksheet 3/3\r\n");
  const std::vector<std::string> quiet{"export",   "--count", "3",        "--quiet",
                                       "--format", "pdf",     "--output", At("q.pdf")};
  tess::test::TTerminalRun silenced(TESSARINE_EXE, quiet, environment);
  EXPECT_EQ(silenced.Wait(), 0);
  EXPECT_EQ(silenced.Shown(), "");
  // Standard error a file: nothing there.
  const std::string errors = At("errors.txt");
  ASSERT_EQ(RunShell("LC_ALL=C QT_QPA_PLATFORM=offscreen " + std::string(TESSARINE_EXE) +
                     " export --count 3 --format pdf --output " + At("f.pdf") + " 2>" + errors)
                .exitCode,
            0);
  EXPECT_TRUE(fs::exists(dir / "f.pdf"));
  EXPECT_EQ(ReadFile(errors), "");
}

// --output - writes the PDF to standard output: a pipe straight into a reader, or a file it is redirected
// to; never a terminal. A file named "-" is still a path.
TEST_F(CommandLineRun, StandardOutputTakesThePdf) {
  const std::string program = "LC_ALL=C QT_QPA_PLATFORM=offscreen " + std::string(TESSARINE_EXE);
  RunResult piped = RunShell(program + " export --count=2 --number=5 --format=pdf --output - 2>" +
                             At("errors.txt") + " | pdfinfo -");
  EXPECT_EQ(piped.exitCode, 0) << piped.output;
  EXPECT_TRUE(Contains(piped.output, "Pages:           4")) << piped.output;
  EXPECT_TRUE(Contains(piped.output, "Tessarine 問題No.5～6")) << piped.output;
  EXPECT_EQ(ReadFile(dir / "errors.txt"), "");
  ASSERT_EQ(RunShell(program + " export --format pdf --output - >" + At("redirected.pdf")).exitCode, 0);
  EXPECT_EQ(tess::test::CrossReferenceProblem(ReadFile(dir / "redirected.pdf")), "");
  ASSERT_EQ(RunShell("cd " + dir.string() + " && " + program + " export --format pdf --output ./-").exitCode,
            0);
  EXPECT_EQ(PdfPages(dir / "-"), 2);

  tess::test::TTerminalRun terminal(TESSARINE_EXE, {"export", "--format", "pdf", "--output", "-"},
                                    {"LC_ALL=C", "QT_QPA_PLATFORM=offscreen"});
  EXPECT_EQ(terminal.Wait(), 2);
  EXPECT_EQ(
      terminal.Shown(),
      "tessarine: standard output is a terminal: redirect it to a file or a program, or give --output a "
      "path\r\n");
  RunResult svg = RunProgram("export --format svg --output -");
  EXPECT_EQ(svg.exitCode, 2);
  EXPECT_TRUE(Contains(svg.output, "svg writes one file per page and needs a path")) << svg.output;
}

TEST_F(CommandLineRun, TheToolkitGetsNoArgumentsAndExportNeedsNoDisplay) {
  // Its own options given as values are text; a display that cannot be reached does not matter.
  RunResult r = RunProgram("export --line1 -platform --line2 x --format pdf --output " + At("a.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "");  // nothing from the toolkit on standard error
  EXPECT_TRUE(Contains(PdfText(dir / "a.pdf"), "-platform"));
  r = RunProgram("print --printer -platform");
  EXPECT_TRUE(r.exitCode == 1 || r.exitCode == 2) << r.output;
  EXPECT_TRUE(Contains(r.output, "-platform") || Contains(r.output, "no printer")) << r.output;
  for (const char* environment : {"QT_QPA_PLATFORM=xcb DISPLAY=:99", "QT_QPA_PLATFORM=nonesuch"}) {
    r = RunProgram("export --format emf --output " + At("b.emf"), environment);
    EXPECT_EQ(r.exitCode, 0) << environment << "\n" << r.output;
    EXPECT_EQ(r.output, "");
  }
  // Nor does it load the CUPS library: that is loaded when a printer is first asked for.
  r = RunProgram("export --no-printer --format emf --output " + At("c.emf"), "LD_DEBUG=files");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(Contains(r.output, "libQt6Core.so")) << "the loader's trace is missing";
  EXPECT_FALSE(Contains(r.output, "libcups.so")) << r.output.substr(0, 2000);
  // The dialog does need one: an unreachable display ends it with a message, not an abort.
  r = RunProgram("", "QT_QPA_PLATFORM=xcb DISPLAY=:99");
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "tessarine: the window system could not start")) << r.output;
}

TEST_F(CommandLineRun, NumbersAndTextsTheWorksheetCannotTakeAreRefusedByName) {
  const std::string export_ = " --format pdf --output " + At("x.pdf");
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"--number -2147483648", "the problem number -2147483648 is outside -2147483647 to 2147483646"},
      {"--number 2147483647", "the problem number 2147483647 is outside"},
      {"--number 2147483646 --count 3", "the problem numbers 2147483646 to 2147483648 go outside"},
      {"--line1 'a😀'", "--line1 holds U+1F600 '😀', which the worksheet cannot print"},
      {"--line2 '한'", "--line2 holds U+D55C '한'"},
      {"--line1 \"$(printf 'ab\\377')\"", "--line1 is not UTF-8 text (byte 0xFF at offset 2)"},
      {"--line1 \"$(printf 'a\\tb')\"", "--line1 holds the control character U+0009"},
      {"--line1 " + std::string(63, 'x'),
       "--line1 is 63 bytes long in code page 932; an instruction line holds at most 62"},
      {"--line2 あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまx", "--line2 is 63 bytes long"},
  };
  for (const Case& c : cases) {
    RunResult r = RunProgram("export " + c.arguments + export_);
    EXPECT_EQ(r.exitCode, 2) << c.arguments << "\n" << r.output;
    EXPECT_TRUE(Contains(r.output, "tessarine: " + c.message)) << r.output;
  }
  // Arguments echoed in a message show their control characters escaped.
  RunResult r = RunProgram("export \"$(printf '%s\\033[31mred' --)\"");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(Contains(r.output, "unknown option '--\\x1B[31mred'")) << r.output;
  EXPECT_FALSE(Contains(r.output, "\033"));
  // Without a font that has Japanese characters the worksheet would be empty boxes.
  const fs::path config = dir / "fonts.conf";
  std::ofstream(config) << "<?xml version=\"1.0\"?><fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir>"
                           "<cachedir>"
                        << (dir / "cache").string() << "</cachedir></fontconfig>\n";
  r = RunProgram("export" + export_, "FONTCONFIG_FILE=" + config.string());
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "tessarine: no installed font has Japanese characters")) << r.output;
  EXPECT_FALSE(fs::exists(dir / "x.pdf"));
}

// Files that read well elsewhere: titles naming their worksheets (a page file the number of its own), fonts
// named as the subsets they are, a text layer of the characters as typed, spaces as spaces.
TEST_F(CommandLineRun, FilesNameTheirWorksheetsAndGiveBackTheTextAsTyped) {
  RunResult r =
      RunProgram("export --number 5 --count 3 --line2 '１～９、Ａ〜Ｚ' --format pdf --output " + At("s.pdf"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string info = RunShell("pdfinfo " + At("s.pdf")).output;
  EXPECT_TRUE(Contains(info, "Tessarine 問題No.5～7")) << info;
  EXPECT_TRUE(Contains(info, "Creator:         Tessarine")) << info;
  const std::string text = PdfText(dir / "s.pdf");
  // The default first line has ～ (U+FF5E); the JIS wave dash typed in the second prints as the same.
  EXPECT_TRUE(Contains(text, "１～７の数を１回ずつ使って")) << text;
  EXPECT_TRUE(Contains(text, "１～９、Ａ～Ｚ")) << text;
  EXPECT_FALSE(Contains(text, "〜"));
  const std::string fonts = RunShell("pdffonts " + At("s.pdf")).output;
  EXPECT_TRUE(
      Contains(fonts, "+IPAGothic                     CID TrueType      Identity-H       yes yes yes"))
      << fonts;
  EXPECT_FALSE(Contains(fonts, " no  ")) << fonts;  // every font embedded, a subset, with a text map

  ASSERT_EQ(
      RunProgram("export --number 5 --count 2 --line1 'A B' --format svg --output " + At("s.svg")).exitCode,
      0);
  const std::string svg = ReadFile(dir / "s-003.svg");
  EXPECT_TRUE(Contains(svg, "<title>Tessarine 問題No.6</title>")) << svg.substr(0, 400);
  EXPECT_FALSE(Contains(svg, "Qt"));
  ASSERT_EQ(RunProgram("export --line1 'A B' --format pdf --output " + At("spaces.pdf")).exitCode, 0);
  EXPECT_TRUE(Contains(PdfText(dir / "spaces.pdf"), "\nA B\n")) << PdfText(dir / "spaces.pdf");
  // Paths are used byte for byte, even where they are not UTF-8.
  const std::string latin1 = At("caf") + "\xE9";
  r = RunProgram("export --format emf --output \"$(printf '" + At("caf") + "\\351')\"");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::exists(latin1 + "-001.emf"));
}

TEST_F(CommandLineRun, TheDialogEndsOnceShownForAStartUpMeasurement) {
  // (A dialog that never ends is cut off after a minute: exit code 124.)
  RunResult run = RunShell("TESSARINE_EXIT_WHEN_SHOWN=1 QT_QPA_PLATFORM=offscreen timeout 60 " +
                           std::string(TESSARINE_EXE) + " 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.output;
}

}  // namespace
