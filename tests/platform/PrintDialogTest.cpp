// The print dialog's "Pages" entry: what it reads, what it refuses with a message (the dialog shown again as
// the user left it, a script run again, never for ever); and the real dialog read by a driver: its labels
// are Japanese, and a driver that leaves it open cancels it. (The real dialog's refusal and its choices
// reaching a job are tested against a real CUPS: tests/preview_window/PreviewWindowCupsTest.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/PrintDialogInput.h"
#include "platform/ui/PrintDialogs.h"
#include "tests/support/MessageBoxCapture.h"

namespace tess {
namespace {

using TRanges = std::vector<std::pair<int, int>>;

class PrintDialogPages : public ::testing::Test {
 protected:
  void SetUp() override {
    auto system = std::make_unique<TVirtualPrinterSystem>();
    TVirtualPrinter laser = TVirtualPrinterSystem::StandardPrinter("Laser");
    laser.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    system->AddPrinter(laser);
    scope_ = std::make_unique<TScopedPrinterSystem>(std::move(system));
    dialog_.SetMinPage(1);
    dialog_.SetMaxPage(2);
  }
  void TearDown() override {
    SetPrintDialogScript(nullptr);
    SetPrintDialogDriver(nullptr);
  }

  // The user types `entry` and confirms; a refused entry is followed by cancel.
  bool Confirm(const std::string& entry) {
    int rounds = 0;
    SetPrintDialogScript([&](TPrintDialog& d) {
      if (++rounds > 1) return false;
      d.SetPagesText(Cp932String::FromUtf8(entry));
      return true;
    });
    return dialog_.Execute();
  }

  std::unique_ptr<TScopedPrinterSystem> scope_;
  test::TMessageBoxCapture captured_;
  std::vector<TMessageBoxRequest>& Boxes = captured_.Boxes;
  TPrintDialog dialog_{nullptr};
};

TEST_F(PrintDialogPages, EntriesInRangeBecomeThePageList) {
  // Full-width digits, commas, dashes and the wave dash, as a Japanese input method types them, read too.
  const std::vector<std::pair<std::string, TRanges>> read = {
      {"2", {{2, 2}}},    {" 1 , 2 ", {{1, 1}, {2, 2}}}, {"2,1-2", {{2, 2}, {1, 2}}}, {"１－２", {{1, 2}}},
      {"1～2", {{1, 2}}}, {"２、１", {{2, 2}, {1, 1}}},
  };
  for (const auto& [entry, ranges] : read) {
    ASSERT_TRUE(Confirm(entry)) << entry;
    EXPECT_EQ(dialog_.PageList(), ranges) << entry;
    EXPECT_EQ(dialog_.PrintRange(), TPrintRange::prPageNums) << entry;
    EXPECT_EQ(dialog_.FromPage(), entry == "2" ? 2 : 1) << entry;
    EXPECT_EQ(dialog_.ToPage(), 2) << entry;
  }
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(PrintDialogPages, EntriesThatCannotBePrintedAreRefusedWithAMessage) {
  const std::string outside = "には，この文書にないページがあります．\n印刷できるのは1～2ページです．";
  const std::string unreadable =
      "」はページの指定として読めません．\n1,3-4 のように，ページ番号はコンマで区切り，\n"
      "範囲はハイフンでつないでください．";
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"5", "「5」" + outside},
      {"1-3", "「1-3」" + outside},
      {"0", "「0」" + outside},
      {"99999999999", "「99999999999」" + outside},
      {"x", "「x" + unreadable},
      {"3-", "「3-" + unreadable},
      {"-1", "「-1" + unreadable},
      {"1,,2", "「1,,2" + unreadable},
      {"1 2", "「1 2" + unreadable},
      {"1-2-3", "「1-2-3" + unreadable},
      {"1,２-１", "「2-1」は大きい番号から始まる範囲です．\n範囲は小さい番号から書いてください（例：1-2）．"},
      {"", "印刷するページを入力してください（例：1,3-4）．"},
      {"　 ", "印刷するページを入力してください（例：1,3-4）．"},
  };
  for (const auto& [entry, message] : refused) {
    Boxes.clear();
    EXPECT_FALSE(Confirm(entry)) << entry;  // refused, then cancelled
    ASSERT_EQ(Boxes.size(), 1u) << entry;
    EXPECT_EQ(Boxes[0].Text.ToUtf8(), message) << entry;
    EXPECT_EQ(Boxes[0].Caption.ToUtf8(), "　印刷");
    EXPECT_EQ(Boxes[0].Icon, TMsgIcon::Warning);
  }
  // A list a script sets is held to the document's pages as well; a from-to range is kept within them.
  int rounds = 0;
  SetPrintDialogScript([&](TPrintDialog& d) {
    d.SetPrintRange(TPrintRange::prPageNums);
    d.SetPageList({{2, 4}});
    return ++rounds == 1;  // the second round, after the refusal, cancels
  });
  Boxes.clear();
  EXPECT_FALSE(dialog_.Execute());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text.ToUtf8(), "「2-4」" + outside);
}

TEST_F(PrintDialogPages, ARefusedScriptRunsAgainWithItsEntryButNotForEver) {
  std::vector<std::string> seen;
  SetPrintDialogScript([&](TPrintDialog& d) {
    seen.push_back(d.PagesChosen() ? d.PagesText().ToUtf8() : "-");
    d.SetPagesText(seen.size() == 1 ? "5" : "2");
    return true;
  });
  ASSERT_TRUE(dialog_.Execute());
  EXPECT_EQ(seen, (std::vector<std::string>{"-", "5"}));  // shown again as the user left it
  EXPECT_EQ(dialog_.PageList(), (TRanges{{2, 2}}));
  EXPECT_EQ(Boxes.size(), 1u);

  int rounds = 0;
  SetPrintDialogScript([&](TPrintDialog& d) {
    ++rounds;
    d.SetPagesText("5");
    return true;
  });
  Boxes.clear();
  EXPECT_FALSE(dialog_.Execute());
  EXPECT_EQ(rounds, TPrintDialog::kScriptRounds);
  EXPECT_EQ(Boxes.size(), static_cast<std::size_t>(TPrintDialog::kScriptRounds));
}

// The real dialog, offscreen: a driver reads its texts and returns with it open, which cancels it.
TEST_F(PrintDialogPages, TheRealDialogSpeaksJapaneseAndADriverThatLeavesItOpenCancels) {
  if (!std::filesystem::exists("/usr/share/qt6/translations/qtbase_ja.qm")) {
    GTEST_SKIP() << "the toolkit's Japanese translations are not installed";
  }
  std::vector<std::string> texts;
  int runs = 0;
  SetPrintDialogDriver([&](TPrintDialogWindow& dialog) {
    ++runs;
    texts = PrintDialogTexts(dialog);
  });
  EXPECT_FALSE(dialog_.Execute());
  EXPECT_EQ(runs, 1);
  auto has = [&](const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  for (const char* japanese :
       {"ページ指定", "両面印刷", "しない", "長辺綴じ", "短辺綴じ", "印刷(P)", "丁合い"}) {
    EXPECT_TRUE(has(japanese)) << japanese;
  }
  for (const char* english :
       {"Pages", "Double Sided Printing", "Off", "Long side binding", "Short side binding"}) {
    EXPECT_FALSE(has(english)) << english;
  }
  EXPECT_TRUE(Boxes.empty());
}

}  // namespace
}  // namespace tess
