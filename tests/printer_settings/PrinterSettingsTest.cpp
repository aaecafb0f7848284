#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "platform/components/StoredDesign.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/PrintDialogs.h"
#include "printer_settings/PrinterSettings.h"

namespace tess {

void PrintTo(const Cp932String& s, std::ostream* os) {
  *os << '"' << s.ToUtf8() << '"';
}

namespace {

// Three printers: Laser (LPT1:), Laser 2 (LPT2:) and the default Inkjet (USB001:).
class SetPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto system = std::make_unique<TVirtualPrinterSystem>();
    virt = system.get();
    TVirtualPrinter laser = TVirtualPrinterSystem::StandardPrinter("Laser", "LPT1:");
    laser.driverVersion = 1537;
    virt->AddPrinter(laser);
    virt->AddPrinter(TVirtualPrinterSystem::StandardPrinter("Laser 2", "LPT2:"));
    TVirtualPrinter inkjet = TVirtualPrinterSystem::StandardPrinter("Inkjet", "USB001:");
    inkjet.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    inkjet.dpiX = 360;
    inkjet.dpiY = 720;
    virt->AddPrinter(inkjet);
    scope = std::make_unique<TScopedPrinterSystem>(std::move(system));
  }
  void TearDown() override {
    SetPrinterSetupDialogScript({});
    SetPrintDialogScript({});
    scope.reset();
  }

  TVirtualPrinterSystem* virt = nullptr;
  std::unique_ptr<TScopedPrinterSystem> scope;
};

TEST_F(SetPrinterTest, NameWithPortSelectsThatPrinter) {
  TplSetPrinter printer(nullptr);
  EXPECT_EQ(printer.PrinterCount(), 3);
  printer.SetPrinterName("Inkjet on USB001:");
  EXPECT_EQ(printer.PrinterName(), Cp932String("Inkjet"));
  EXPECT_EQ(Printer().PrinterIndex(), 2);
  EXPECT_EQ(printer.PrinterIndex(), 2);
  // The printer object's own list entries carry the port and find their printer too.
  EXPECT_EQ(Printer().Printers()[1], Cp932String("Laser 2 on LPT2:"));
  EXPECT_EQ(TplSetPrinter::MatchPrinterName(Printer().Printers()[2]), Cp932String("Inkjet"));
}

TEST_F(SetPrinterTest, LaserTwoMatchesTheFirstPrinterWhoseNameOccursInIt) {
  TplSetPrinter printer(nullptr);
  EXPECT_EQ(TplSetPrinter::MatchPrinterName("Laser 2"), Cp932String("Laser"));
  EXPECT_EQ(TplSetPrinter::FindPrinterIndex("laser 2"), 0);  // upper-cased on both sides
  EXPECT_EQ(TplSetPrinter::FindPrinterIndex(""), -1);
  EXPECT_EQ(TplSetPrinter::MatchPrinterName(""), Cp932String());
  // A printer named exactly is that printer, though.
  printer.SetPrinterName("Laser 2");
  EXPECT_EQ(printer.PrinterName(), Cp932String("Laser 2"));
}

TEST_F(SetPrinterTest, HiddenPrintersAreSkippedButCounted) {
  TVirtualPrinter fax = TVirtualPrinterSystem::StandardPrinter("Fax", "FAX:");
  fax.attributes |= PRINTER_ATTRIBUTE_HIDDEN;
  virt->AddPrinter(fax);                                                         // index 3
  virt->AddPrinter(TVirtualPrinterSystem::StandardPrinter("Plotter", "COM1:"));  // index 4
  TplSetPrinter printer(nullptr);
  EXPECT_EQ(TplSetPrinter::MatchPrinterName("Fax"), Cp932String());
  EXPECT_EQ(TplSetPrinter::FindPrinterIndex("Plotter"), 4);
}

TEST_F(SetPrinterTest, FullWidthLettersMatchCaseInsensitively) {
  virt->AddPrinter(
      TVirtualPrinterSystem::StandardPrinter(Cp932String::FromUtf8("ｌａｓｅｒ（カラー）"), "USB002:"));
  TplSetPrinter printer(nullptr);
  EXPECT_EQ(TplSetPrinter::FindPrinterIndex(Cp932String::FromUtf8("ＬＡＳＥＲ（カラー） on USB002:")), 3);
}

TEST_F(SetPrinterTest, UnknownNameFallsBackToTheDefaultPrinter) {
  TplSetPrinter printer(nullptr);
  int changes = 0;
  printer.OnPrinterChange = [&](TComponent* sender) {
    EXPECT_EQ(sender, &printer);
    ++changes;
  };
  printer.SetPrinterName("Laser");
  EXPECT_EQ(changes, 1);
  printer.SetPrinterName("Nowhere");
  EXPECT_EQ(printer.PrinterName(), Cp932String("Inkjet"));
  EXPECT_EQ(Printer().PrinterIndex(), 2);
  EXPECT_EQ(changes, 2);
  printer.SetPrinterName("Inkjet");  // same printer: no event
  EXPECT_EQ(changes, 2);

  printer.SelectPrinter("Nowhere");
  EXPECT_EQ(printer.PrinterIndex(), -1);
  EXPECT_EQ(Printer().PrinterIndex(), 2);
}

TEST_F(SetPrinterTest, SelectPrinterStartsFromTheDriverDefaults) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  printer.SetPaperSize(DMPAPER_A3);
  EXPECT_EQ(printer.PaperSize(), DMPAPER_A3);
  TplSetPrinter other(nullptr);
  other.SelectPrinter("Laser");
  TCurrentDevice device = Printer().GetPrinter();
  std::span<std::uint8_t> block = Printer().LockDevMode(device.devMode);
  EXPECT_EQ(ReadBlockI16(block, devmode::dmPaperSize), DMPAPER_A4);
  Printer().UnlockDevMode(device.devMode);
  // The first component still has its copy and puts it back when it next reads.
  EXPECT_EQ(printer.PaperName(), Cp932String("A3"));
}

TEST_F(SetPrinterTest, PaperSizeCheckedOnABlockWithoutPaperSize) {
  TVirtualPrinter fixed = TVirtualPrinterSystem::StandardPrinter("Fixed Letter", "LPT3:");
  fixed.fields &= ~DM_PAPERSIZE;
  fixed.defaultPaper = DMPAPER_LETTER;
  virt->AddPrinter(fixed);
  TVirtualPrinter fixedA4 = TVirtualPrinterSystem::StandardPrinter("Fixed A4", "LPT4:");
  fixedA4.fields &= ~DM_PAPERSIZE;
  virt->AddPrinter(fixedA4);

  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Fixed Letter");
  EXPECT_FALSE(printer.SetPaperSizeChecked(DMPAPER_A4));
  EXPECT_EQ(printer.PaperSize(), DMPAPER_LETTER);
  printer.SetPrinterName("Fixed A4");
  EXPECT_TRUE(printer.SetPaperSizeChecked(DMPAPER_A4));
  printer.SetPrinterName("Laser");
  EXPECT_TRUE(printer.SetPaperSizeChecked(DMPAPER_B5));
  EXPECT_EQ(printer.PaperName(), Cp932String("B5 (JIS)"));
}

TEST_F(SetPrinterTest, PaperTheDriverRefusesIsNotTaken) {
  virt->FindPrinter("Laser")->refusedPapers = {DMPAPER_A3};
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  EXPECT_FALSE(printer.SetPaperSizeChecked(DMPAPER_A3));
  EXPECT_EQ(printer.PaperSize(), DMPAPER_A4);
  EXPECT_FALSE(printer.SetPaperSizeChecked(77));  // a code the driver does not know
}

TEST_F(SetPrinterTest, LandscapeIsAnythingButPortrait) {
  TVirtualPrinter unset = TVirtualPrinterSystem::StandardPrinter("Unset", "LPT5:");
  unset.fields &= ~DM_ORIENTATION;
  unset.defaultOrientation = 0;
  virt->AddPrinter(unset);
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Unset");
  EXPECT_TRUE(printer.Landscape());
  printer.SetLandscape(false);  // not declared: the value stays
  EXPECT_TRUE(printer.Landscape());

  printer.SetPrinterName("Laser");
  EXPECT_FALSE(printer.Landscape());
  printer.SetLandscape(true);
  EXPECT_TRUE(printer.Landscape());
  EXPECT_EQ(ReadBlockI16(printer.DevData(), devmode::dmOrientation), DMORIENT_LANDSCAPE);
  printer.SetLandscape(false);
  EXPECT_EQ(ReadBlockI16(printer.DevData(), devmode::dmOrientation), DMORIENT_PORTRAIT);
}

TEST_F(SetPrinterTest, PaperAndSourceNamesReadAndWrite) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  EXPECT_EQ(printer.PaperName(), Cp932String("A4"));
  EXPECT_EQ(printer.PaperBinName(), Cp932String("Auto"));
  printer.SetPaperName("Letter");
  EXPECT_EQ(printer.PaperSize(), DMPAPER_LETTER);
  printer.SetPaperName("letter");   // names compare exactly
  printer.SetPaperName("Tabloid");  // not offered
  EXPECT_EQ(printer.PaperSize(), DMPAPER_LETTER);
  printer.SetPaperBinName("Manual");
  EXPECT_EQ(printer.PaperBin(), DMBIN_MANUAL);
  EXPECT_EQ(printer.PaperBinName(), Cp932String("Manual"));
  EXPECT_EQ(printer.DriverVersion(), 1537);
}

TEST_F(SetPrinterTest, DriverWithoutPapersGivesEmptyNamesAndKeepsSettings) {
  TVirtualPrinter bare = TVirtualPrinterSystem::StandardPrinter("Bare", "LPT6:");
  bare.papers.clear();
  bare.bins.clear();
  virt->AddPrinter(bare);
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Bare");
  EXPECT_EQ(printer.PaperName(), Cp932String());
  EXPECT_EQ(printer.PaperBinName(), Cp932String());
  const std::vector<std::uint8_t> before = printer.DevData();
  printer.SetPaperName("A4");
  printer.SetPaperBinName("Auto");
  EXPECT_EQ(printer.DevData(), before);
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), 0);  // no paper: no page
}

TEST_F(SetPrinterTest, DeviceCapsAnswersEveryKind) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchX), 600);
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchY), 600);
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), 4961);   // 2100 x 600 / 254, rounded
  EXPECT_EQ(printer.DeviceCaps(dcPaperHeight), 7016);  // 2970 x 600 / 254
  EXPECT_EQ(printer.DeviceCaps(dcPrintableWidth), 4961 - 83 - 60);
  EXPECT_EQ(printer.DeviceCaps(dcPrintableHeight), 7016 - 74 - 100);
  EXPECT_EQ(printer.DeviceCaps(dcOffsetLeft), 83);
  EXPECT_EQ(printer.DeviceCaps(dcOffsetTop), 74);
  EXPECT_EQ(printer.DeviceCaps(dcOffsetRight), 83 + 4961 - 83 - 60);
  EXPECT_EQ(printer.DeviceCaps(dcOffsetBottom), 74 + 7016 - 74 - 100);
  EXPECT_EQ(printer.DeviceCaps(static_cast<TplDeviceCapsKind>(99)), 0);
  printer.SetLandscape(true);
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), 7016);
  printer.SetPrinterName("Inkjet");
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchX), 360);
  EXPECT_EQ(printer.DeviceCaps(dcPixelsPerInchY), 720);
  EXPECT_EQ(printer.DeviceCaps(dcPaperHeight), 8419);  // 2970 x 720 / 254 = 8418.9
}

TEST_F(SetPrinterTest, UpdateFromPrinterTakesOverTheCurrentPrinterAndItsSettings) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  // Someone else (a print dialog) makes Laser 2 current with A5 paper.
  Printer().SetPrinterIndex(1);
  TCurrentDevice device = Printer().GetPrinter();
  WriteBlockI16(Printer().LockDevMode(device.devMode), devmode::dmPaperSize, DMPAPER_A5);
  Printer().UnlockDevMode(device.devMode);
  printer.UpdateFromPrinter(false);
  // Laser 2 is current: the component takes it over by its own name, although Laser's name occurs in it.
  EXPECT_EQ(printer.PrinterName(), Cp932String("Laser 2"));
  EXPECT_EQ(Printer().PrinterIndex(), 1);
  EXPECT_EQ(printer.PaperName(), Cp932String("A5"));

  Printer().SetPrinterIndex(2);
  printer.UpdateFromPrinter(true);  // follows with the driver's defaults
  EXPECT_EQ(printer.PrinterName(), Cp932String("Inkjet"));
  EXPECT_EQ(printer.PaperName(), Cp932String("A4"));
}

TEST_F(SetPrinterTest, StoredSettingsComeBackOnAnotherComponent) {
  TComponent form(nullptr);
  auto* first = new TplSetPrinter(&form);
  first->SetName("plSetPrinter1");
  first->SetPrinterName("Inkjet");
  first->SetPaperSize(DMPAPER_A3);
  first->SetLandscape(true);
  first->SetPaperBinName("Manual");
  const std::string text = ComponentToText(*first);

  TplSetPrinter other(nullptr);
  other.SetPrinterName("Laser");  // the system printer is elsewhere now, with defaults
  TplSetPrinter second(nullptr);
  DesignReadReport report = ComponentFromText(second, text);
  EXPECT_TRUE(report.Clean());
  EXPECT_EQ(second.PrinterName(), Cp932String("Inkjet"));
  EXPECT_EQ(Printer().PrinterIndex(), 2);
  EXPECT_EQ(second.PaperName(), Cp932String("A3"));
  EXPECT_TRUE(second.Landscape());
  EXPECT_EQ(second.PaperBinName(), Cp932String("Manual"));
  EXPECT_EQ(second.DevData(), first->DevData());
}

TEST_F(SetPrinterTest, SelectStoredPrinterPutsTheCopyBack) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  printer.SetPaperSize(DMPAPER_A5);
  TplSetPrinter other(nullptr);
  other.SetPrinterName("Inkjet");
  printer.SelectStoredPrinter();
  EXPECT_EQ(Printer().PrinterIndex(), 0);
  EXPECT_EQ(Printer().DeviceCaps().physicalWidth, 3496);  // A5: 1480 x 600 / 254
}

TEST_F(SetPrinterTest, SetupDialogChoicesTheDriverDidNotTakeAreReapplied) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  std::vector<std::string> events;
  TComponent* shownDialog = nullptr;
  printer.OnSetupDialogShow = [&](TComponent* sender) {
    shownDialog = sender;
    events.push_back("show");
  };
  printer.OnSetupDialogClose = [&](TComponent* sender) {
    EXPECT_EQ(sender, shownDialog);
    // The close hook has read the boxes before the event.
    EXPECT_EQ(printer.DialogPaperName(), Cp932String("A3"));
    events.push_back("close");
  };
  SetPrinterSetupDialogScript([&](TPrinterSetupDialog& dialog) {
    EXPECT_EQ(dialog.PaperText(), Cp932String("A4"));
    EXPECT_TRUE(dialog.PortraitChecked());
    dialog.SetPaperText("A3");
    dialog.SetSourceText("Tray 1");
    dialog.SetPortraitChecked(false);
    dialog.SetAppliesChoices(false);  // the driver keeps its old settings
    return true;
  });
  EXPECT_TRUE(printer.ExecuteSetupDialog());
  EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
  EXPECT_EQ(printer.DialogBinName(), Cp932String("Tray 1"));
  EXPECT_TRUE(printer.DialogLandscape());
  EXPECT_EQ(printer.PaperName(), Cp932String("A3"));
  EXPECT_EQ(printer.PaperBinName(), Cp932String("Tray 1"));
  EXPECT_TRUE(printer.Landscape());
  EXPECT_EQ(printer.ComponentCount(), 0);  // the dialog was freed
}

TEST_F(SetPrinterTest, SetupDialogOnAnotherPrinterIsTakenOver) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  SetPrinterSetupDialogScript([](TPrinterSetupDialog& dialog) {
    dialog.SetPrinterChoice(2);
    dialog.SetPaperText("Letter");
    return true;
  });
  EXPECT_TRUE(printer.ExecuteSetupDialog());
  EXPECT_EQ(printer.PrinterName(), Cp932String("Inkjet"));
  EXPECT_EQ(printer.PaperSize(), DMPAPER_LETTER);
}

TEST_F(SetPrinterTest, CancelledSetupDialogChangesNothing) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  const std::vector<std::uint8_t> before = printer.DevData();
  SetPrinterSetupDialogScript([](TPrinterSetupDialog& dialog) {
    dialog.SetPaperText("A3");
    return false;
  });
  EXPECT_FALSE(printer.ExecuteSetupDialog());
  EXPECT_EQ(printer.DialogPaperName(), Cp932String("A3"));  // read at close all the same
  EXPECT_EQ(printer.PaperName(), Cp932String("A4"));
  EXPECT_EQ(printer.DevData(), before);
}

TEST_F(SetPrinterTest, PrintDialogChoiceIsFollowedByUpdateFromPrinter) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  SetPrintDialogScript([](TPrintDialog& dialog) {
    dialog.SetPrinterChoice(2);
    dialog.SetPrintRange(TPrintRange::prPageNums);
    dialog.SetFromPage(2);
    dialog.SetToPage(9);
    return true;
  });
  TPrintDialog dialog(nullptr);
  dialog.SetMinPage(1);
  dialog.SetMaxPage(3);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FromPage(), 2);
  EXPECT_EQ(dialog.ToPage(), 3);
  EXPECT_EQ(dialog.PrintRange(), TPrintRange::prPageNums);
  printer.UpdateFromPrinter(false);
  EXPECT_EQ(printer.PrinterName(), Cp932String("Inkjet"));
}

TEST_F(SetPrinterTest, DesignStateKeepsTheDesignRecordAndRaisesNoEvent) {
  TplSetPrinter printer(nullptr);
  printer.SetDesigning(true);
  bool changed = false;
  printer.OnPrinterChange = [&](TComponent*) { changed = true; };
  printer.SetPrinterName("Laser");
  EXPECT_FALSE(changed);
  EXPECT_EQ(printer.DesignPrinterName(), Cp932String("Laser"));
  EXPECT_EQ(printer.DesignPaperName(), Cp932String("A4"));
  EXPECT_EQ(printer.DesignPaperSize(), 9);
  EXPECT_EQ(printer.DesignPaperBin(), DMBIN_AUTO);
  EXPECT_EQ(printer.DesignDriverVersion(), 1537);
  printer.SetLandscape(true);
  EXPECT_EQ(printer.DesignLandscape(), 1);
  const std::string text = ComponentToText(printer);
  EXPECT_NE(text.find(R"("DesignValue":["Laser",1,"A4",9,7,1537])"), std::string::npos) << text;
  EXPECT_NE(text.find(R"("DevDataSize":520)"), std::string::npos) << text;
}

TEST_F(SetPrinterTest, StoredPropertiesAreWrittenInTheirOrder) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  struct Names : TFiler {
    std::vector<std::string> names;
    void DefineProperty(std::string_view name, const ReadProc&, const WriteProc&, bool) override {
      names.emplace_back(name);
    }
  } filer;
  printer.DefineProperties(filer);
  EXPECT_EQ(filer.names, (std::vector<std::string>{"PrinterName", "DevDataSize", "ADevData", "DesignValue"}));
}

TEST_F(SetPrinterTest, PrinterThatDisappearsGivesClearResults) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  virt->RemovePrinter("Laser");
  EXPECT_EQ(printer.PaperName(), Cp932String());
  const std::vector<std::uint8_t> before = printer.DevData();
  printer.SetPaperSize(DMPAPER_A3);  // the driver cannot check it: nothing changes
  EXPECT_EQ(printer.DevData(), before);
  EXPECT_EQ(printer.DeviceCaps(dcPaperWidth), 0);
  EXPECT_FALSE(printer.RestoreDevMode());
  printer.SelectPrinter("Laser");  // the printer object still lists it, but has no block for it
  EXPECT_EQ(printer.PaperSize(), 0);
  EXPECT_EQ(printer.DriverVersion(), 0);
  EXPECT_FALSE(printer.RestoreDevMode());
  // The setup dialog reads the list again: Laser is not among the printers offered, and the dialog opens on
  // the default printer, which the component takes when it is confirmed.
  SetPrinterSetupDialogScript([](TPrinterSetupDialog& dialog) {
    EXPECT_EQ(Printer().PrinterRecords().size(), 2u);
    EXPECT_EQ(dialog.PrinterChoice(), 1);  // Inkjet
    return true;
  });
  EXPECT_TRUE(printer.ExecuteSetupDialog());
  EXPECT_EQ(printer.PrinterName(), Cp932String("Inkjet"));
}

TEST(SetPrinterEnumeration, ListIsReadOnceAndAgainForAnUnknownName) {
  auto system = std::make_unique<TVirtualPrinterSystem>();
  TVirtualPrinterSystem* virt = system.get();
  virt->AddPrinter(TVirtualPrinterSystem::StandardPrinter("Laser"));
  virt->SetEnumerationFails(true);
  TScopedPrinterSystem scope(std::move(system));
  EXPECT_THROW(TplSetPrinter printer(nullptr), EPrinterError);
  virt->SetEnumerationFails(false);
  Printer().Refresh();
  virt->SetEnumerationFails(true);
  TplSetPrinter printer(nullptr);  // takes the list as read: no enumeration to fail
  EXPECT_EQ(printer.PrinterCount(), 1);
  // A listed name keeps the list; any other has it read again, as the printer may be new.
  printer.SetPrinterName("Laser");
  EXPECT_EQ(printer.PrinterName(), Cp932String("Laser"));
  EXPECT_THROW(printer.SetPrinterName("Inkjet"), EPrinterError);
}

// ---------------------------------------------------------------------------------------------------
// Without any printer, and the stored settings text

class NoPrinterTest : public ::testing::Test {
 protected:
  NoPrinterTest() : scope(std::make_unique<TVirtualPrinterSystem>()) {}
  TScopedPrinterSystem scope;
};

TEST_F(NoPrinterTest, EveryOperationIsQuiet) {
  TplSetPrinter printer(nullptr);
  EXPECT_EQ(printer.PrinterCount(), 0);
  printer.SetPrinterName("Laser");
  EXPECT_EQ(printer.PrinterName(), Cp932String());
  EXPECT_EQ(printer.PaperSize(), 0);
  EXPECT_FALSE(printer.Landscape());
  EXPECT_EQ(printer.PaperBin(), 0);
  EXPECT_EQ(printer.PaperName(), Cp932String());
  EXPECT_EQ(printer.PaperBinName(), Cp932String());
  EXPECT_EQ(printer.DriverVersion(), 0);
  EXPECT_FALSE(printer.SetPaperSizeChecked(9));
  EXPECT_TRUE(printer.RestoreDevMode());
  EXPECT_FALSE(printer.ExecuteSetupDialog());
  printer.UpdateFromPrinter(false);
  printer.SelectStoredPrinter();
  for (int kind = dcPixelsPerInchX; kind <= dcOffsetRight; ++kind) {
    EXPECT_EQ(printer.DeviceCaps(static_cast<TplDeviceCapsKind>(kind)), 0);
  }
}

std::string Design(const std::string& size, const std::string& hex) {
  return R"({"class":"TplSetPrinter","name":"P","properties":{"DevDataSize":)" + size + R"(,"ADevData":")" +
         hex + R"(","DesignValue":["Laser",0,"A4",9,256,1537]}})";
}

TEST_F(NoPrinterTest, HexDataRoundTripsInUpperCase) {
  TplSetPrinter printer(nullptr);
  ASSERT_TRUE(ComponentFromText(printer, Design("2", "0a1b")).Clean());
  EXPECT_EQ(printer.DevDataSize(), 2);
  EXPECT_EQ(printer.DevData(), (std::vector<std::uint8_t>{0x0A, 0x1B}));
  EXPECT_EQ(printer.DesignPaperBin(), 256);
  const std::string text = ComponentToText(printer);
  EXPECT_NE(text.find(R"("ADevData":"0A1B")"), std::string::npos) << text;
  EXPECT_NE(text.find(R"("DesignValue":["Laser",0,"A4",9,256,1537])"), std::string::npos) << text;
}

TEST_F(NoPrinterTest, OddDigitCountIgnoresTheLastDigit) {
  TplSetPrinter printer(nullptr);
  ComponentFromText(printer, Design("2", "0A1B7"));
  EXPECT_EQ(printer.DevData(), (std::vector<std::uint8_t>{0x0A, 0x1B}));
}

TEST_F(NoPrinterTest, InvalidPairEndsTheDataAndNothingIsWrittenPastIt) {
  TplSetPrinter printer(nullptr);
  ComponentFromText(printer, Design("3", "0AZZ1B"));
  EXPECT_EQ(printer.DevData(), (std::vector<std::uint8_t>{0x0A}));
  // DevDataSize claims 3 bytes; only the one there is is written back.
  const std::string text = ComponentToText(printer);
  EXPECT_NE(text.find(R"("ADevData":"0A")"), std::string::npos) << text;
  TplSetPrinter negative(nullptr);
  ComponentFromText(negative, Design("-5", "0A1B"));
  EXPECT_NE(ComponentToText(negative).find(R"("ADevData":"")"), std::string::npos);
}

TEST_F(NoPrinterTest, ShortDesignValueKeepsWhatWasReadBeforeTheError) {
  TplSetPrinter printer(nullptr);
  ComponentFromText(printer, R"({"class":"TplSetPrinter","properties":{"DesignValue":["Plotter",1,"B5"]}})");
  EXPECT_EQ(printer.DesignPrinterName(), Cp932String("Plotter"));
  EXPECT_EQ(printer.DesignPaperName(), Cp932String("B5"));
  EXPECT_EQ(printer.DesignLandscape(), 0);  // assigned only after the list end
}

// A stored block whose size or digits disagree never goes over the printer's block.
class StoredBlockMismatchTest : public SetPrinterTest {
 protected:
  std::string StoredA3(int claimedSize, std::size_t keepDigits) {
    TplSetPrinter source(nullptr);
    source.SetPrinterName("Laser");
    source.SetPaperSize(DMPAPER_A3);
    std::string hex;
    static const char kDigits[] = "0123456789ABCDEF";
    for (std::uint8_t b : source.DevData()) {
      hex.push_back(kDigits[b >> 4]);
      hex.push_back(kDigits[b & 15]);
    }
    hex.resize(std::min(hex.size(), keepDigits));
    source.SetPrinterName("Inkjet");  // the system printer moves away, with defaults
    return R"({"class":"TplSetPrinter","properties":{"PrinterName":"Laser","DevDataSize":)" +
           std::to_string(claimedSize) + R"(,"ADevData":")" + hex + R"("}})";
  }
};

TEST_F(StoredBlockMismatchTest, MatchingBlockIsRestored) {
  TplSetPrinter printer(nullptr);
  ComponentFromText(printer, StoredA3(520, 1040));
  EXPECT_EQ(printer.PaperName(), Cp932String("A3"));
}

TEST_F(StoredBlockMismatchTest, SizeClaimLargerThanTheDigitsIsNotCopied) {
  TplSetPrinter printer(nullptr);
  ComponentFromText(printer, StoredA3(520, 40));
  EXPECT_EQ(printer.PaperName(), Cp932String("A4"));
  EXPECT_EQ(printer.DevDataSize(), 520);  // the snapshot after loading mirrors the printer's block
  EXPECT_EQ(printer.DevData().size(), 520u);
}

TEST_F(StoredBlockMismatchTest, SizeThatIsNotTheBlocksIsNotCopied) {
  TplSetPrinter small(nullptr);
  ComponentFromText(small, StoredA3(4, 1040));
  EXPECT_EQ(small.PaperName(), Cp932String("A4"));
  TplSetPrinter large(nullptr);
  ComponentFromText(large, StoredA3(1 << 30, 1040));
  EXPECT_EQ(large.PaperName(), Cp932String("A4"));
}

}  // namespace
}  // namespace tess

namespace tess {
namespace {

// Stored settings from anywhere (a damaged form, a hand-edited snapshot): whatever the digits and the size
// claim, the component neither fails nor reaches past its buffers (the sanitizer build checks the latter),
// and the printer's block keeps its size.
TEST_F(SetPrinterTest, DamagedStoredSettingsNeverBreakTheComponent) {
  std::mt19937 random(20261207);
  const std::string alphabet = "0123456789ABCDEFabcdefXZ $-";
  for (int round = 0; round < 300; ++round) {
    std::string hex;
    const std::size_t length = random() % 1200;
    for (std::size_t i = 0; i < length; ++i) {
      // Mostly hexadecimal digits, now and then something else.
      hex.push_back(random() % 16 != 0 ? "0123456789ABCDEF"[random() % 16]
                                       : alphabet[random() % alphabet.size()]);
    }
    const int sizes[] = {0, 1, 519, 520, 521, static_cast<int>(length / 2), -1, 1 << 20};
    const int size = sizes[random() % std::size(sizes)];
    const std::string json =
        R"({"class":"TplSetPrinter","properties":{"PrinterName":"Laser","DevDataSize":)" +
        std::to_string(size) + R"(,"ADevData":")" + hex + R"("}})";
    TplSetPrinter printer(nullptr);
    ComponentFromText(printer, json);
    EXPECT_EQ(printer.DevDataSize(), 520);
    EXPECT_EQ(Printer().DevModeSize(Printer().GetPrinter().devMode), 520u);
    const int paper = printer.PaperSize();
    EXPECT_TRUE(paper == DMPAPER_A4 || paper == DMPAPER_LETTER || paper == DMPAPER_A3 ||
                paper == DMPAPER_A5 || paper == DMPAPER_B5)
        << paper;
  }
}

}  // namespace
}  // namespace tess

namespace tess {
namespace {

TEST_F(SetPrinterTest, DialogWithoutScriptOrDisplayAnswersCancelled) {
  TplSetPrinter printer(nullptr);
  printer.SetPrinterName("Laser");
  EXPECT_FALSE(printer.ExecuteSetupDialog());  // tests run offscreen
  TPrintDialog dialog(nullptr);
  EXPECT_FALSE(dialog.Execute());
}

}  // namespace
}  // namespace tess
