// Reading printer descriptions: names, sizes, options and defaults as the print service's client library
// reads them (the expected values are what that library gave for the same files), texts converted from
// the file's encoding, and files that are not version 4 descriptions refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/printing/PpdFile.h"

namespace tess {
namespace {

std::vector<std::string> SizeNames(const TPpdFile& ppd) {
  std::vector<std::string> names;
  for (const TPpdSize& s : ppd.sizes) names.push_back(s.name);
  return names;
}

std::vector<std::string> ChoiceTexts(const TPpdOption& option) {
  std::vector<std::string> texts;
  for (const TPpdChoice& c : option.choices) texts.push_back(c.choice + "=" + c.text);
  return texts;
}

TEST(PpdFile, ReadsNamesSizesAndOptionsAsTheClientLibraryDoes) {
  // Shift-JIS texts, a page size before its OpenUI, a custom size, a default before its option, hexadecimal
  // translation strings (one that is not Shift-JIS throughout), sizes named by their dimensions or areas
  // only, a Boolean option, and a Resolution that is not an option outside OpenUI.
  const std::string text =
      "*PPD-Adobe: \"4.3\"\n*% a comment\n*LanguageEncoding: JIS83-RKSJ\n*ModelName: \"Model X\"\n"
      "*NickName: \"\x83\x65\x83\x58\x83\x67 Printer\"\n*DefaultPageSize: B5\n*CustomPageSize True: \"pop\"\n"
      "*PageSize A4/\x82\x60\x82\x53: \"<</PageSize[595 842]>>setpagedevice\"\n"
      "*OpenUI *PageSize/<83 79 81 5B 83 57>: PickOne\n"
      "*PageSize B5/B5 \x83\x54\x83\x43\x83\x59: \"<</PageSize[516 729]>>\nsetpagedevice\"\n"
      "*PageSize Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageSize\n"
      "*OpenUI *InputSlot: PickOne\n*DefaultInputSlot: Tray1/Tray 1\n*InputSlot Tray1/<83 67 83 8C 83 43> 1: "
      "\"x\"\n"
      "*InputSlot Manual: \"y\"\n*CloseUI: *InputSlot\n*OpenUI *Duplex/Both sides: Boolean\n*DefaultDuplex: "
      "False\n"
      "*Duplex True: \"a\"\n*Duplex False: \"b\"\n*CloseUI: *Duplex\n*PaperDimension A4: \"595.276 841.89\"\n"
      "*ImageableArea A4: \"12 12.5 583 829.89\"\n*ImageableArea Tabloid: \"1 2 3 4\"\n"
      "*PaperDimension b5: \"516 729\"\n*DefaultResolution: 600dpi\n*Resolution 600dpi: \"q\"\n";
  std::string why;
  const std::optional<TPpdFile> ppd = ReadPpd(text, &why);
  ASSERT_TRUE(ppd) << why;
  EXPECT_EQ(ppd->nickname, "テスト Printer");
  EXPECT_EQ(ppd->modelname, "Model X");
  EXPECT_EQ(SizeNames(*ppd), (std::vector<std::string>{"Custom", "A4", "B5", "Letter", "Tabloid"}));
  const TPpdSize& a4 = ppd->sizes[1];
  EXPECT_FLOAT_EQ(a4.width, 595.276f);
  EXPECT_FLOAT_EQ(a4.length, 841.89f);
  EXPECT_FLOAT_EQ(a4.bottom, 12.5f);
  EXPECT_FLOAT_EQ(a4.top, 829.89f);
  EXPECT_FLOAT_EQ(ppd->sizes[2].width, 516.0f);  // "b5" names B5
  EXPECT_FLOAT_EQ(ppd->sizes[4].right, 3.0f);
  const TPpdOption* pageSize = ppd->FindOption("pagesize");
  ASSERT_NE(pageSize, nullptr);
  EXPECT_EQ(pageSize->defchoice, "B5");
  EXPECT_EQ(ChoiceTexts(*pageSize),
            (std::vector<std::string>{"A4=Ａ４", "Custom=Custom", "B5=B5 サイズ", "Letter=Letter"}));
  const TPpdOption* slot = ppd->FindOption("InputSlot");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->defchoice, "Tray1");
  EXPECT_EQ(ChoiceTexts(*slot), (std::vector<std::string>{"Tray1=", "Manual=Manual"}));
  ASSERT_NE(ppd->FindOption("Duplex"), nullptr);
  EXPECT_EQ(ChoiceTexts(*ppd->FindOption("Duplex")), (std::vector<std::string>{"True=Yes", "False=No"}));
  EXPECT_EQ(ppd->FindOption("Resolution"), nullptr);
  ASSERT_NE(ppd->FindAttribute("DefaultResolution"), nullptr);
  EXPECT_EQ(ppd->FindAttribute("DefaultResolution")->value, "600dpi");
}

TEST(PpdFile, TextsAreConvertedFromTheFilesEncoding) {
  const std::optional<TPpdFile> latin1 = ReadPpd(
      "*PPD-Adobe: \"4.3\"\n*LanguageEncoding: ISOLatin1\n*NickName: \"Imprimante \xe9l\xe9gante\"\n"
      "*OpenUI *PageSize/Taille: PickOne\n*DefaultPageSize: A4\n*PageSize A4/A4 \xe9t\xe9: \"x\"\n"
      "*PageSize Env10/Enveloppe n\xb0"
      "10: \"y\"\n*CloseUI: *PageSize\n*PaperDimension Env10: \"297 684\"\n*ImageableArea Env10: junk 3\n");
  ASSERT_TRUE(latin1);
  EXPECT_EQ(latin1->nickname, "Imprimante élégante");
  EXPECT_FALSE(latin1->modelname);
  EXPECT_EQ(ChoiceTexts(*latin1->FindOption("PageSize")),
            (std::vector<std::string>{"A4=A4 été", "Env10=Enveloppe n°10"}));
  EXPECT_FLOAT_EQ(latin1->sizes.at(1).length, 684.0f);
  EXPECT_FLOAT_EQ(latin1->sizes.at(1).right, 0.0f);  // numbers that do not read are 0

  const std::optional<TPpdFile> windows = ReadPpd(
      "*PPD-Adobe: \"4.3\"\n*LanguageEncoding: WindowsANSI\n*NickName: \"Quote \x93x\x94\"\n"
      "*PageSize Letter/Letter \x96 US: \"a\"\n*PageSize A4: \"b\"\n*DefaultPageSize: Letter\n");
  ASSERT_TRUE(windows);
  EXPECT_EQ(windows->nickname, "Quote “x”");
  EXPECT_EQ(windows->FindOption("PageSize")->defchoice, "Letter");
  EXPECT_EQ(ChoiceTexts(*windows->FindOption("PageSize")),
            (std::vector<std::string>{"Letter=Letter – US", "A4=A4"}));
}

TEST(PpdFile, OnlyVersion4DescriptionsAreRead) {
  std::string why;
  EXPECT_FALSE(ReadPpd("*PPD-Adobe: \"3.0\"\n*NickName: \"Old\"\n", &why));
  EXPECT_EQ(why, "not a version 4 PPD file");
  EXPECT_FALSE(ReadPpd("garbage\n"));
  EXPECT_FALSE(ReadPpd(""));
  // The first line says what the file is, with nothing before it.
  EXPECT_FALSE(ReadPpd("*% comment first\n*PPD-Adobe: \"4.1\"\n"));
  EXPECT_FALSE(ReadPpd("\n*PPD-Adobe: \"4.1\"\n"));
  EXPECT_TRUE(ReadPpd("*PPD-Adobe: 4.1\n"));
}

}  // namespace
}  // namespace tess
