// The dialog opened from the command line: options without a command fill it in, the values it cannot take
// are refused as export refuses them, and with a seed its worksheets are those export makes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FormOptions.h"
#include "platform/core/Messages.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "tests/support/ReadFile.h"
#include "tests/support/Shell.h"

namespace tess {
namespace {

namespace fs = std::filesystem;

ParsedCommand Parse(std::vector<std::string> args) {
  SetMessageLanguage(TLanguage::English);
  return ParseCommandLine(args);
}

TEST(DialogOptions, OptionsWithoutACommandOpenTheDialogAndItsLimitsAreChecked) {
  ParsedCommand p = Parse({"--size", "4", "--level", "2", "--count", "3", "--seed", "5", "--number", "20"});
  ASSERT_TRUE(p.command) << p.error->message;
  EXPECT_EQ(p.command->kind, CommandKind::Dialog);
  EXPECT_EQ(p.command->worksheet.sizeIndex, 1);
  EXPECT_EQ(p.command->worksheet.count, 3);
  EXPECT_EQ(p.command->worksheet.firstNumber, 20);
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--count", "100"}, "the count '100' is not a number from 1 to 99"},
      {{"--size", "9"}, "unknown size '9'"},
      {{"--report"}, "--report belongs to export and print"},
      {{"--format", "pdf"}, "--format belongs to export"},
      {{"--printer", "x"}, "--printer belongs to print"},
      // The dialog's set counts down below its first number by its size.
      {{"--number", "-2147483647", "--count", "2"}, "the problem number -2147483647 is outside"},
      {{"--number", "2147483646", "--count", "2"}, "go outside"},
  };
  for (const auto& [args, message] : refused) {
    ParsedCommand r = Parse(args);
    ASSERT_TRUE(r.error) << args[0];
    EXPECT_NE(r.error->message.find(message), std::string::npos) << r.error->message;
  }
  EXPECT_TRUE(Parse({"--number", "-2147483646", "--count", "2"}).command);
  // Through the program: the message and exit code of export, and no window.
  const test::TShellResult run =
      test::RunShell("LC_ALL=C QT_QPA_PLATFORM=offscreen TESSARINE_EXIT_WHEN_SHOWN=1 " +
                     std::string(TESSARINE_EXE) + " --line1 \"$(printf '\\001')\" 2>&1");
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_EQ(run.output,
            "tessarine: --line1 holds the control character U+0001, which the worksheet cannot print\n");
}

class FilledDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    // No printer: the pages export --no-printer makes.
    FScope = std::make_unique<TScopedPrinterSystem>(std::make_unique<TVirtualPrinterSystem>());
    Application().Initialize();
    FForm = std::make_unique<TForm1>(nullptr);
    FForm->FormShow(FForm.get());
  }
  void TearDown() override {
    FForm.reset();
    FScope.reset();
  }
  std::unique_ptr<TScopedPrinterSystem> FScope;
  std::unique_ptr<TForm1> FForm;
};

TEST_F(FilledDialog, TheDialogShowsTheOptionsAndItsSetIsTheOneExportMakes) {
  const std::vector<std::string> args = {"--count", "3",      "--seed", "5",       "--number",
                                         "20",      "--size", "4",      "--level", "2"};
  ParsedCommand p = Parse(args);
  ASSERT_TRUE(p.command);
  std::ostringstream err;
  ASSERT_EQ(FillDialog(*FForm, p.command->worksheet, err), kExitOk) << err.str();
  EXPECT_EQ(FForm->SquareNums->ItemIndex(), 1);
  EXPECT_EQ(FForm->LevelType->ItemIndex(), 2);
  EXPECT_EQ(FForm->spnCount->Value(), 3);
  EXPECT_EQ(FForm->edtPrintNum->Text(), Cp932String("20"));
  EXPECT_EQ(FForm->edtQuestMes1->Text(),
            Cp932String::FromUtf8("１～９の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角"));
  FForm->BuildDocument();
  ASSERT_EQ(FForm->plPrev1->PageCount(), 6);

  const fs::path dir = fs::temp_directory_path() / ("tessarine-dialog-options-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string arguments;
  for (const std::string& a : args) arguments += " " + a;
  const test::TShellResult run = test::RunShell(
      "LC_ALL=C QT_QPA_PLATFORM=offscreen " + std::string(TESSARINE_EXE) + " export --no-printer" +
      arguments + " --format emf --output " + (dir / "set.emf").string() + " 2>&1");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (int page = 0; page < 6; ++page) {
    const std::vector<std::uint8_t>& bytes = FForm->plPrev1->Pages(page)->Bytes();
    EXPECT_EQ(test::ReadFile(dir / ("set-00" + std::to_string(page + 1) + ".emf")),
              std::string(bytes.begin(), bytes.end()))
        << "page " << page + 1;
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tess
