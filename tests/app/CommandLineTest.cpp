#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "platform/core/Messages.h"

namespace tess {
namespace {

// Parsed as under an English locale.
ParsedCommand Parse(std::vector<std::string> args) {
  SetMessageLanguage(TLanguage::English);
  return ParseCommandLine(args);
}

TEST(CommandLine, NoArgumentsOpensTheDialog) {
  ParsedCommand p = Parse({});
  ASSERT_TRUE(p.command);
  EXPECT_EQ(p.command->kind, CommandKind::Dialog);
}

TEST(CommandLine, ExportTakesEveryOption) {
  ParsedCommand p = Parse(
      {"export",   "--size", "5",        "--level", "3",        "--op",          "product",  "--date",
       "--number", "-3",     "--line1",  "一行目",  "--line2",  "二行目",        "--count",  "4",
       "--seed",   "99",     "--format", "svg",     "--output", "out/sheet.svg", "--unique", "--report"});
  ASSERT_TRUE(p.command) << p.error->message;
  const Command& c = *p.command;
  EXPECT_EQ(c.kind, CommandKind::Export);
  EXPECT_EQ(c.worksheet.sizeIndex, 2);
  EXPECT_EQ(c.worksheet.level, 3);
  EXPECT_EQ(c.worksheet.operation, 1);
  EXPECT_TRUE(c.worksheet.dateLine);
  EXPECT_EQ(c.worksheet.firstNumber, -3);
  EXPECT_EQ(c.worksheet.line1, "一行目");
  EXPECT_EQ(c.worksheet.line2, "二行目");
  EXPECT_EQ(c.worksheet.count, 4);
  EXPECT_EQ(c.worksheet.seed, 99u);
  EXPECT_TRUE(c.worksheet.oneAnswer);
  EXPECT_TRUE(c.worksheet.report);
  EXPECT_EQ(c.format, ExportFormat::Svg);
  EXPECT_EQ(c.output, "out/sheet.svg");
}

TEST(CommandLine, DefaultsMatchTheDialog) {
  ParsedCommand p = Parse({"print"});
  ASSERT_TRUE(p.command);
  const WorksheetOptions& w = p.command->worksheet;
  EXPECT_EQ(w.sizeIndex, 0);
  EXPECT_EQ(w.level, 0);
  EXPECT_EQ(w.operation, 0);
  EXPECT_FALSE(w.dateLine);
  EXPECT_EQ(w.firstNumber, 1);
  EXPECT_FALSE(w.line1);
  EXPECT_EQ(w.count, 1);
  EXPECT_FALSE(w.seed);
  EXPECT_FALSE(w.oneAnswer);
  EXPECT_FALSE(w.report);
  EXPECT_FALSE(p.command->printer);
}

TEST(CommandLine, BadValuesAreRejectedWithAMessage) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"export", "--size", "7", "--format", "pdf", "--output", "a.pdf"}, "unknown size '7'"},
      {{"export", "--number", "x1", "--format", "pdf", "--output", "a.pdf"}, "is not an integer"},
      {{"export", "--number", "2147483648", "--format", "pdf", "--output", "a.pdf"}, "2147483648 is outside"},
      {{"export", "--number", "-99999999999999999999", "--format", "pdf", "--output", "a.pdf"}, "is outside"},
      {{"export", "--format", "gif", "--output", "a.gif"}, "unknown format 'gif'"},
      {{"export", "--format", "pdf"}, "needs --output"},
      {{"export", "--output", "a.pdf"}, "needs --format"},
      {{"print", "--level", "4"}, "unknown level '4'"},
      {{"print", "--op", "minus"}, "unknown operation"},
      {{"print", "--count", "0"}, "count '0'"},
      {{"print", "--seed", "-1"}, "seed '-1'"},
      {{"print", "--size"}, "--size needs a value"},
      {{"print", "--format", "pdf"}, "belongs to export"},
      {{"export", "--printer", "x", "--format", "pdf", "--output", "a.pdf"}, "belongs to print"},
      {{"draw"}, "unknown command 'draw'"},
      {{"print", "--bogus"}, "unknown option '--bogus'"},
      {{"print", "--no-printer"}, "--no-printer belongs to export"},
  };
  for (const auto& [args, message] : cases) {
    ParsedCommand p = Parse(args);
    ASSERT_TRUE(p.error) << args[0];
    EXPECT_NE(p.error->message.find(message), std::string::npos) << p.error->message;
  }
  // Under a Japanese locale the same refusals speak Japanese.
  SetMessageLanguage(TLanguage::Japanese);
  EXPECT_EQ(ParseCommandLine({"print", "--size", "9"}).error->message,
            "サイズ「9」は指定できません．3，4，5，6 のいずれかです．");
  EXPECT_EQ(ParseCommandLine({"print", "--number", "2147483648"}).error->message,
            "問題番号 2147483648 は -2147483647 ～ 2147483646 の範囲の外です．");
}

TEST(CommandLine, AnOptionsValueMayFollowAnEqualsSign) {
  ParsedCommand joined =
      Parse({"export", "--size=4", "--level=2", "--op=product", "--number=-3", "--line1=a=b",
             "--line2=", "--count=2", "--seed=9", "--format=svg", "--output=out/x.svg"});
  ASSERT_TRUE(joined.command) << joined.error->message;
  const Command& c = *joined.command;
  EXPECT_EQ(c.worksheet.sizeIndex, 1);
  EXPECT_EQ(c.worksheet.level, 2);
  EXPECT_EQ(c.worksheet.operation, 1);
  EXPECT_EQ(c.worksheet.firstNumber, -3);
  EXPECT_EQ(c.worksheet.line1, "a=b");  // only the first "=" ends the option's name
  EXPECT_EQ(c.worksheet.line2, "");
  EXPECT_EQ(c.worksheet.count, 2);
  EXPECT_EQ(c.worksheet.seed, 9u);
  EXPECT_EQ(c.format, ExportFormat::Svg);
  EXPECT_EQ(c.output, "out/x.svg");
  ParsedCommand print = Parse({"print", "--printer=Office=2", "--copies=3"});
  ASSERT_TRUE(print.command);
  EXPECT_EQ(print.command->printer, "Office=2");
  EXPECT_EQ(print.command->copies, 3);
  ParsedCommand dialog = Parse({"--size=6", "--count=5"});
  ASSERT_TRUE(dialog.command);
  EXPECT_EQ(dialog.command->kind, CommandKind::Dialog);
  EXPECT_EQ(dialog.command->worksheet.sizeIndex, 3);

  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"export", "--format=pdf", "--output="}, "--output needs a path"},
      {{"print", "--size="}, "unknown size ''"},
      {{"print", "--copies=", "2"}, "copies '' is not"},  // the next argument is not taken instead
      {{"export", "--date=yes", "--format=pdf", "--output=a.pdf"}, "--date takes no value"},
      {{"print", "--quiet=1"}, "--quiet takes no value"},
      {{"print", "--bogus=1"}, "unknown option '--bogus'"},
      {{"print", "--format=pdf"}, "--format belongs to export"},
  };
  for (const auto& [args, message] : refused) {
    ParsedCommand p = Parse(args);
    ASSERT_TRUE(p.error) << args[1];
    EXPECT_NE(p.error->message.find(message), std::string::npos) << p.error->message;
  }
}

TEST(CommandLine, StandardOutputTakesOnePdfAndQuietBelongsToTheCommands) {
  ParsedCommand pdf = Parse({"export", "--format", "pdf", "--output", "-", "--quiet"});
  ASSERT_TRUE(pdf.command);
  EXPECT_TRUE(pdf.command->ToStandardOutput());
  EXPECT_TRUE(pdf.command->quiet);
  EXPECT_FALSE(Parse({"export", "--format", "pdf", "--output", "./-"}).command->ToStandardOutput());
  EXPECT_TRUE(Parse({"print", "--quiet"}).command->quiet);
  EXPECT_EQ(Parse({"export", "--format=png", "--output=-"}).error->message,
            "--output - writes a PDF to standard output; png writes one file per page and needs a path");
  EXPECT_EQ(Parse({"export", "--format=pdf", "--output=-", "--report"}).error->message,
            "--report writes to standard output, which --output - keeps for the PDF");
  EXPECT_EQ(Parse({"--size", "4", "--quiet"}).error->message, "--quiet belongs to export and print");
  SetMessageLanguage(TLanguage::Japanese);
  EXPECT_EQ(ParseCommandLine({"export", "--format=svg", "--output=-"}).error->message,
            "--output - は PDF を標準出力に書きます．svg はページごとにファイルを書くため，パスが必要です．");
  EXPECT_EQ(ParseCommandLine({"print", "--date=1"}).error->message, "--date には値を指定できません．");
}

TEST(CommandLine, PageFilesAreNumberedBesideThePath) {
  EXPECT_EQ(PageFileName("out/sheet.svg", ExportFormat::Svg, 1), "out/sheet-001.svg");
  EXPECT_EQ(PageFileName("out/sheet", ExportFormat::Png, 12), "out/sheet-012.png");
  EXPECT_EQ(PageFileName("a.b/sheet.emf", ExportFormat::Emf, 3), "a.b/sheet-003.emf");
  EXPECT_EQ(PageFileName("out/all.pdf", ExportFormat::Pdf, 5), "out/all.pdf");
  // As wide as the last page's number, so the names sort in page order.
  EXPECT_EQ(PageFileName("p.png", ExportFormat::Png, 7, 999), "p-007.png");
  EXPECT_EQ(PageFileName("p.png", ExportFormat::Png, 7, 1000), "p-0007.png");
  EXPECT_EQ(PageFileName("p.png", ExportFormat::Png, 200000, 200000), "p-200000.png");
}

TEST(CommandLine, ProblemNumbersMustKeepTheirNeighboursInRange) {
  auto numbers = [](const char* number, const char* count) {
    return Parse({"print", "--number", number, "--count", count});
  };
  EXPECT_TRUE(numbers("-2147483647", "1").command);
  EXPECT_TRUE(numbers("2147483644", "3").command);
  EXPECT_EQ(numbers("-2147483648", "1").error->message,
            "the problem number -2147483648 is outside -2147483647 to 2147483646");
  EXPECT_EQ(numbers("2147483645", "3").error->message,
            "the problem numbers 2147483645 to 2147483647 go outside -2147483647 to 2147483646");
}

TEST(CommandLine, TextShownOnATerminalHasItsControlsEscaped) {
  EXPECT_EQ(EscapeForTerminal("問題 ok"), "問題 ok");
  EXPECT_EQ(EscapeForTerminal("a\x1b[2Jb\tc\x7f"), "a\\x1B[2Jb\\x09c\\x7F");
  EXPECT_EQ(EscapeForTerminal("\xc2\x9b"
                              "1m"),
            "\\u009B1m");                                                   // a C1 control
  EXPECT_EQ(EscapeForTerminal("caf\xe9 \xe3\x81"), "caf\\xE9 \\xE3\\x81");  // not UTF-8
}

TEST(CommandLine, HelpAndVersion) {
  EXPECT_EQ(Parse({"--help"}).command->kind, CommandKind::Help);
  EXPECT_EQ(Parse({"export", "--help"}).command->kind, CommandKind::Help);
  EXPECT_EQ(Parse({"--version"}).command->kind, CommandKind::Version);
}

}  // namespace
}  // namespace tess
