// Files made from a page recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

#include "platform/core/AtomicFile.h"
#include "platform/gfx/emf/Exports.h"
#include "tests/platform/DrawingTestUtil.h"
#include "tests/support/PdfFile.h"
#include "tests/support/ReadFile.h"
#include "tests/support/Shell.h"

namespace tess {
namespace {

using test::ReadFile;

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tessarine-exports-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    page_ = testing::RecordPage(testing::A4Device(300), [](TCanvas& c) { testing::DrawSamplePage(c); });
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) { return (dir_ / name).string(); }
  std::filesystem::path dir_;
  TMetafile page_;
};

TEST_F(Exports, EmfFileHoldsExactlyTheRecordingAndLoadsBack) {
  ASSERT_TRUE(ExportEmf(page_, Path("page.emf")));
  std::string bytes = ReadFile(Path("page.emf"));
  EXPECT_EQ(bytes, std::string(page_.Bytes().begin(), page_.Bytes().end()));
  TMetafile back;
  ASSERT_TRUE(back.LoadFromFile(Path("page.emf")));
  EXPECT_EQ(back.Bytes(), page_.Bytes());
  EXPECT_FALSE(back.LoadFromFile(Path("missing.emf")));
}

TEST_F(Exports, PngIsTheFrameAtTheAskedResolution) {
  ASSERT_TRUE(ExportPng(page_, Path("page.png"), 150));
  TBitmap24 png;
  ASSERT_TRUE(TBitmap24::LoadFromFile(Path("page.png"), png));
  EXPECT_EQ(png.Width(), 1240);  // 210 mm at 150 dpi
  EXPECT_EQ(png.Height(), 1754);
  EXPECT_EQ(png.Pixel(0, 0), static_cast<std::uint32_t>(RGB(250, 250, 235)));  // the page's background fill
  EXPECT_FALSE(ExportPng(page_, Path("bad.png"), 0));
}

TEST_F(Exports, PdfAndSvgAreWrittenWithThePageSize) {
  ASSERT_TRUE(ExportPdf(std::vector<const TMetafile*>{&page_, &page_}, Path("pages.pdf")));
  std::string pdf = ReadFile(Path("pages.pdf"));
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  std::size_t pages = 0;
  for (std::size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
       at = pdf.find("/Type /Page\n", at + 1)) {
    ++pages;
  }
  EXPECT_EQ(pages, 2u);
  ASSERT_TRUE(ExportSvg(page_, Path("page.svg")));
  std::string svg = ReadFile(Path("page.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("210mm"), std::string::npos);
}

// What other programs read: the fonts named as the subsets they are, a text layer of the characters drawn
// (the space and ～ of the page, not the tab and 〜 that share their glyphs), a cross-reference table that
// finds every object; an SVG titled as asked and naming no toolkit.
TEST_F(Exports, PdfAndSvgReadWellElsewhere) {
  ASSERT_TRUE(ExportPdf(std::vector<const TMetafile*>{&page_, &page_}, Path("pages.pdf")));
  const std::string pdf = ReadFile(Path("pages.pdf"));
  EXPECT_EQ(test::CrossReferenceProblem(pdf), "");
  const std::vector<std::string> descriptors = test::NamesAfter(pdf, "/FontName /");
  ASSERT_FALSE(descriptors.empty());
  for (const std::string& font : test::NamesAfter(pdf, "/BaseFont /")) {
    EXPECT_EQ(font.find('+'), 6u) << font;
    EXPECT_NE(std::find(descriptors.begin(), descriptors.end(), font), descriptors.end()) << font;
  }
  // As a reader extracts the text: the space and ～ drawn, not the tab and 〜 that share their glyphs.
  const std::string text = test::Shell("pdftotext -q '" + Path("pages.pdf") + "' -");
  EXPECT_NE(text.find("Opaque ｶﾞｲﾄﾞ text"), std::string::npos) << text;
  EXPECT_NE(text.find("１～７の数を"), std::string::npos) << text;
  EXPECT_EQ(text.find_first_of("\t"), std::string::npos) << text;
  EXPECT_EQ(text.find("〜"), std::string::npos) << text;

  ASSERT_TRUE(ExportSvg(page_, Path("page.svg"), 254, "Tessarine 問題No.5 <b>&"));
  const std::string svg = ReadFile(Path("page.svg"));
  EXPECT_NE(svg.find("<title>Tessarine 問題No.5 b</title>"), std::string::npos) << svg.substr(0, 400);
  EXPECT_EQ(svg.find("Qt"), std::string::npos);
  EXPECT_EQ(svg.find("<desc>"), std::string::npos);
}

TEST_F(Exports, AFileAppearsWholeOrNotAtAll) {
  std::ofstream(Path("sheet.emf")) << "old";
  {
    TAtomicFile file(Path("sheet.emf"));
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("new bytes"));
    // Written beside the target under a recognisable temporary name; the target is as it was.
    const std::string temporary = std::filesystem::path(file.TemporaryPath()).filename().string();
    EXPECT_TRUE(temporary.starts_with(".sheet.emf.") && temporary.ends_with(".part")) << temporary;
    EXPECT_EQ(ReadFile(Path("sheet.emf")), "old");
  }  // never committed: removed
  EXPECT_EQ(ReadFile(Path("sheet.emf")), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
  TAtomicFile file(Path("sheet.emf"));
  ASSERT_TRUE(file.Open() && file.Write("new bytes") && file.Commit());
  EXPECT_EQ(ReadFile(Path("sheet.emf")), "new bytes");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
  // Failures name the path once, with the system's reason in the message language.
  const TResult missing = ExportEmf(page_, Path("missing/page.emf"));
  EXPECT_EQ(missing.Message(),
            Path("missing/page.emf") + " を書けません（ファイルまたはフォルダがありません）．");
}

TEST_F(Exports, EmptyRecordingsAreRefused) {
  TMetafile empty;
  EXPECT_FALSE(ExportEmf(empty, Path("e.emf")));
  EXPECT_FALSE(ExportPdf(empty, Path("e.pdf")));
  EXPECT_FALSE(ExportSvg(empty, Path("e.svg")));
  EXPECT_FALSE(ExportPng(empty, Path("e.png"), 96));
  EXPECT_FALSE(ExportPdf(std::vector<const TMetafile*>{}, Path("e.pdf")));
}

}  // namespace
}  // namespace tess
