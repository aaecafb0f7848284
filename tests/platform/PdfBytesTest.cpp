// The PDF writer's bytes put right on their way: subset tags on the fonts' base names, the glyphs of the text
// layer named by the characters drawn, the cross-reference table following the added bytes; and a PDF that
// cannot be put right written as it came.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gfx/internal/PdfBytes.h"
#include "tests/support/PdfFile.h"

namespace tess {
namespace {

// A small PDF as the writer ends one: objects 1 to 14 before the fonts, then a font descriptor, its font
// file, the CID font, the text map, the Type0 font and the page tree, each "N 0 obj" header written before
// the tail starts with the first descriptor; `objects` replaces the font objects.
struct SamplePdf {
  std::string head;  // what the writer wrote before the first font
  std::string tail;
};

const char* kTextMap =
    "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n1 begincodespacerange\n<0000> <FFFF>\n"
    "endcodespacerange\n2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0004> [<0061> <0009> <301C> <4E00> ]\n"
    "endbfrange\n1 beginbfchar\n<0005> <301C>\nendbfchar\nendcmap\nCMapName currentdict /CMap defineresource "
    "pop\nend\nend\n";

std::vector<std::pair<int, std::string>> FontObjects() {
  return {
      {15,
       "<< /Type /FontDescriptor\n/FontName /QRAAAA+IPAGothic\n/Flags 4 \n/FontFile2 16 0 R\n>>\nendobj\n"},
      {16, "<<\n/Length 5 \n>>\nstream\n\x01\x02/BaseFont /IPAGothic\n\nendstream\nendobj\n"},
      {17,
       "<< /Type /Font\n/Subtype /CIDFontType2\n/BaseFont /IPAGothic\n/FontDescriptor 15 0 R\n>>\nendobj\n"},
      {18, "<< /Length 9 >>\nstream\n" + std::string(kTextMap) + "\nendstream\nendobj\n"},
      {7,
       "<< /Type /Font\n/Subtype /Type0\n/BaseFont /IPAGothic\n/Encoding /Identity-H\n"
       "/DescendantFonts [17 0 R]\n/ToUnicode 18 0 R>>\nendobj\n"},
      {3, "<<\n/Type /Pages\n/Kids \n[\n6 0 R\n]\n/Count 1\n>>\nendobj\n"},
  };
}

SamplePdf MakePdf(const std::vector<std::pair<int, std::string>>& fonts) {
  std::vector<std::size_t> offsets(15, 0);  // 0: a free entry
  std::string bytes = "%PDF-1.4\n";
  for (int n : {1, 2, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14}) {
    offsets[static_cast<std::size_t>(n)] = bytes.size();
    bytes += std::to_string(n) + " 0 obj\n<<\n>>\nendobj\n";
  }
  std::size_t tailStart = 0;
  for (const auto& [n, body] : fonts) {
    if (static_cast<std::size_t>(n) >= offsets.size()) offsets.resize(static_cast<std::size_t>(n) + 1, 0);
    offsets[static_cast<std::size_t>(n)] = bytes.size();
    bytes += std::to_string(n) + " 0 obj\n";
    if (tailStart == 0) tailStart = bytes.size();
    bytes += body;
  }
  const std::size_t table = bytes.size();
  bytes += "xref\n0 " + std::to_string(offsets.size()) + "\n0000000000 65535 f \n";
  for (std::size_t n = 1; n < offsets.size(); ++n) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu %s \n", offsets[n], offsets[n] == 0 ? "65535 f" : "00000 n");
    bytes += entry;
  }
  bytes += "trailer\n<<\n/Size " + std::to_string(offsets.size()) + " \n/Info 1 0 R\n/Root 2 0 R\n>>\n";
  bytes += "startxref\n" + std::to_string(table) + " \n%%EOF\n";
  return {bytes.substr(0, tailStart), bytes.substr(tailStart)};
}

std::string Fixed(const SamplePdf& pdf, const std::set<char16_t>& drawn) {
  const std::optional<std::string> tail = FixPdfTail(pdf.tail, pdf.head.size(), drawn);
  EXPECT_TRUE(tail.has_value());
  return pdf.head + tail.value_or(pdf.tail);
}

TEST(PdfBytes, FontsTakeTheirDescriptorsSubsetTagAndTheTableFollows) {
  const SamplePdf pdf = MakePdf(FontObjects());
  ASSERT_EQ(test::CrossReferenceProblem(pdf.head + pdf.tail), "");
  const std::string fixed = Fixed(pdf, {});
  EXPECT_EQ(test::NamesAfter(fixed, "\n/BaseFont /"),
            (std::vector<std::string>{"QRAAAA+IPAGothic", "QRAAAA+IPAGothic"}));
  EXPECT_EQ(test::NamesAfter(fixed, "/FontName /"), std::vector<std::string>{"QRAAAA+IPAGothic"});
  EXPECT_EQ(test::CrossReferenceProblem(fixed), "");
  EXPECT_EQ(fixed.size(), pdf.head.size() + pdf.tail.size() + 2 * 7);
  // The font file's bytes are not a dictionary's: they stay as they were.
  EXPECT_NE(fixed.find("\x01\x02/BaseFont /IPAGothic"), std::string::npos);

  // Two fonts of one name: each takes the tag of the descriptor written last before it.
  std::vector<std::pair<int, std::string>> twice = FontObjects();
  twice.push_back({19, "<< /Type /FontDescriptor\n/FontName /BCDEFG+IPAGothic\n>>\nendobj\n"});
  twice.push_back({20, "<< /Type /Font\n/Subtype /Type0\n/BaseFont /IPAGothic\n>>\nendobj\n"});
  twice.push_back({21, "<< /Type /Font\n/Subtype /Type0\n/BaseFont /DejaVuSans\n>>\nendobj\n"});
  const std::string two = Fixed(MakePdf(twice), {});
  EXPECT_EQ(
      test::NamesAfter(two, "\n/BaseFont /"),
      (std::vector<std::string>{"QRAAAA+IPAGothic", "QRAAAA+IPAGothic", "BCDEFG+IPAGothic", "DejaVuSans"}));
  EXPECT_EQ(test::CrossReferenceProblem(two), "");
}

TEST(PdfBytes, GlyphsAreNamedByTheCharactersDrawn) {
  const SamplePdf pdf = MakePdf(FontObjects());
  // The space and ～ drawn: the glyphs named by the tab and by 〜 are theirs; other names stay.
  const std::string drawn = Fixed(pdf, {u'a', u' ', u'\uFF5E', u'\u4E00'});
  EXPECT_NE(drawn.find("[<0061> <0020> <FF5E> <4E00> ]"), std::string::npos);
  EXPECT_NE(drawn.find("<0005> <FF5E>"), std::string::npos);
  EXPECT_NE(drawn.find("<0000> <0000> <0000>"), std::string::npos);
  // 〜 itself drawn, and nothing drawn for the tab's glyph: the names stay as the writer gave them.
  const std::string jis = Fixed(pdf, {u'a', u'\u301C', u'\uFF5E'});
  EXPECT_NE(jis.find("[<0061> <0009> <301C> <4E00> ]"), std::string::npos);
  EXPECT_NE(jis.find("<0005> <301C>"), std::string::npos);
}

TEST(PdfBytes, ATailThatCannotBePutRightIsLeftAsItIs) {
  const SamplePdf pdf = MakePdf(FontObjects());
  const std::size_t table = pdf.tail.rfind("\nxref");
  const std::size_t entry = pdf.tail.find(" 00000 n", table);
  auto broken = [&](std::size_t at, std::size_t length, const std::string& with) {
    std::string tail = pdf.tail;
    return FixPdfTail(tail.replace(at, length, with), pdf.head.size(), {});
  };
  EXPECT_FALSE(broken(entry - 10, 1, "x"));                          // an offset that is no number
  EXPECT_FALSE(broken(entry + 1, 5, "0000"));                        // an entry of 19 bytes
  EXPECT_FALSE(broken(pdf.tail.find("startxref"), 9, "startxrex"));  // no startxref
  // The Type0 font's entry (object 7) giving the page tree's place.
  const std::size_t entries = pdf.tail.find('\n', table + 6) + 1;
  EXPECT_FALSE(broken(entries + 7 * 20, 10, pdf.tail.substr(entries + 3 * 20, 10)));
  EXPECT_FALSE(broken(pdf.tail.find("\n0 ", table), 3, "\n0x"));  // no subsection
  // Cut anywhere before startxref's number is whole, nothing is made of it but the bytes it has (nothing at
  // all once a tag would move offsets), and nothing is read beyond it.
  const std::size_t whole = pdf.tail.find(" \n%%EOF");
  for (std::size_t size = 0; size < whole; ++size) {
    const std::string_view cut = std::string_view(pdf.tail).substr(0, size);
    const std::optional<std::string> fixed = FixPdfTail(cut, pdf.head.size(), {});
    EXPECT_TRUE(!fixed || *fixed == cut) << size;
  }
  // Without a tag to add, nothing moves: the text map is named in place whatever the table.
  const std::optional<std::string> untagged = FixPdfTail(
      "/CIDInit /ProcSet findresource begin\n1 beginbfchar\n<0003> <0009>\nendbfchar\nendcmap\n", 0, {u' '});
  ASSERT_TRUE(untagged);
  EXPECT_NE(untagged->find("<0003> <0020>"), std::string::npos);
}

TEST(PdfBytes, TheStreamHoldsTheTailAndSendsItPutRightOrAsItCame) {
  const SamplePdf pdf = MakePdf(FontObjects());
  const std::string whole = pdf.head + pdf.tail;
  for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, whole.size()}) {
    std::string sent;
    TPdfByteStream stream([&sent](const char* data, std::size_t size) {
      sent.append(data, size);
      return true;
    });
    stream.DrawnCharacters() = {u'a', u' '};
    for (std::size_t at = 0; at < whole.size(); at += chunk) {
      ASSERT_TRUE(stream.Write(whole.data() + at, std::min(chunk, whole.size() - at)));
    }
    EXPECT_EQ(sent, pdf.head) << chunk;  // the fonts on are held
    ASSERT_TRUE(stream.Finish());
    EXPECT_EQ(sent, Fixed(pdf, {u'a', u' '})) << chunk;
  }
  // A tail that cannot be put right goes on as it came.
  std::string unreadable = whole;
  unreadable.replace(unreadable.find("startxref"), 9, "startxrex");
  std::string sent;
  TPdfByteStream stream([&sent](const char* data, std::size_t size) {
    sent.append(data, size);
    return true;
  });
  ASSERT_TRUE(stream.Write(unreadable.data(), unreadable.size()) && stream.Finish());
  EXPECT_EQ(sent, unreadable);
  // A sink that no longer takes bytes fails the end.
  TPdfByteStream full([](const char*, std::size_t size) { return size < 100; });
  EXPECT_FALSE(full.Write(whole.data(), whole.size()));
  TPdfByteStream fullAtTheEnd([&pdf](const char*, std::size_t size) { return size <= pdf.head.size(); });
  ASSERT_TRUE(fullAtTheEnd.Write(whole.data(), whole.size()));
  EXPECT_FALSE(fullAtTheEnd.Finish());
}

}  // namespace
}  // namespace tess
