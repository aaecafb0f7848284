// Exports and the printers of the machine: `--no-printer` gives the same files whatever the default printer
// is or whether CUPS answers, and a default printer that cannot describe a page (a queue without a driver)
// makes the export fall back to those pages instead of failing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/CupsJobs.h"
#include "tests/support/ReadFile.h"
#include "tests/support/Shell.h"

namespace tess {
namespace {

namespace fs = std::filesystem;

// A queue of this test's own, added with the lpadmin arguments given and removed again.
class ScratchQueue {
 public:
  ScratchQueue(const std::string& purpose, const std::string& arguments)
      : FName("TessarineExport" + purpose + std::to_string(::getpid())) {
    test::Shell("lpadmin -p " + FName + " -E " + arguments + " 2>/dev/null");
  }
  ~ScratchQueue() { test::Shell("lpadmin -x " + FName + " 2>/dev/null"); }
  ScratchQueue(const ScratchQueue&) = delete;
  ScratchQueue& operator=(const ScratchQueue&) = delete;
  const std::string& Name() const { return FName; }

 private:
  std::string FName;
};

class ExportPrinters : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::CanAddCupsQueues()) GTEST_SKIP() << "no CUPS-PDF queue to copy, or not root";
    FDir = fs::temp_directory_path() / ("tessarine-export-printers-" + std::to_string(::getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(FDir, ec);
  }

  // Exports one worksheet as `format` under the environment given; the files of its two pages.
  std::vector<std::string> Export(const std::string& environment, const std::string& name,
                                  const std::string& format, const std::string& extra = "--no-printer") {
    const fs::path output = FDir / (name + "." + format);
    FLast =
        test::RunShell("LC_ALL=C QT_QPA_PLATFORM=offscreen " + environment + " " + TESSARINE_EXE +
                       " export " + extra + " --size 5 --level 2 --op product --date --seed 11 --format " +
                       format + " --output " + output.string() + " 2>&1");
    std::vector<std::string> pages;
    for (const char* page : {"-001.", "-002."}) {
      pages.push_back(test::ReadFile(FDir / (name + page + format)));
    }
    return pages;
  }

  fs::path FDir;
  test::TShellResult FLast;
};

TEST_F(ExportPrinters, NoPrinterGivesTheSameFilesWhateverTheDefaultPrinter) {
  test::CupsTurn turn;
  ScratchQueue letter("Letter", "-v cups-pdf:/ -P /etc/cups/ppd/" + std::string(test::kCupsPdfQueue) +
                                    ".ppd -o PageSize=Letter");
  ScratchQueue raw("Raw", "-v file:/dev/null");  // no driver at all
  ASSERT_TRUE(test::CupsPdfQueueExists(letter.Name()) && test::CupsPdfQueueExists(raw.Name()));
  const std::string environments[] = {"LPDEST=" + letter.Name(),
                                      "LPDEST=" + std::string(test::kCupsPdfQueue),  // 300 dpi, A4
                                      "CUPS_SERVER=127.0.0.1:1"};                    // nobody there
  for (const char* format : {"emf", "svg", "png"}) {
    const std::vector<std::string> reference = Export(environments[0], "letter", format);
    ASSERT_EQ(FLast.exitCode, 0) << FLast.output;
    ASSERT_FALSE(reference[0].empty() || reference[1].empty()) << format;
    for (std::size_t i = 1; i < std::size(environments); ++i) {
      EXPECT_EQ(Export(environments[i], "other" + std::to_string(i), format), reference)
          << format << " with " << environments[i];
      EXPECT_EQ(FLast.output, "") << FLast.output;
    }
    // A queue without a driver describes no page: the export says so and makes the same pages.
    EXPECT_EQ(Export("LPDEST=" + raw.Name(), "raw", format, ""), reference) << format;
    EXPECT_EQ(FLast.exitCode, 0) << FLast.output;
    EXPECT_NE(FLast.output.find("the default printer " + raw.Name() + " describes no page"),
              std::string::npos)
        << FLast.output;
  }
}

TEST_F(ExportPrinters, WithoutNoPrinterTheDefaultPrintersPageIsUsed) {
  // The CUPS-PDF queue's printable area differs from the stored values: an export is what the dialog makes
  // on this machine unless told otherwise.
  const std::vector<std::string> stored =
      Export("LPDEST=" + std::string(test::kCupsPdfQueue), "stored", "svg");
  const std::vector<std::string> queue =
      Export("LPDEST=" + std::string(test::kCupsPdfQueue), "queue", "svg", "");
  ASSERT_EQ(FLast.exitCode, 0) << FLast.output;
  EXPECT_NE(stored, queue);
}

}  // namespace
}  // namespace tess
