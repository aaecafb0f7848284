#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"

namespace tess {
namespace {

TEST(SettingsBlock, FieldsSitAtTheDevmodeOffsetsLittleEndian) {
  std::vector<std::uint8_t> block = NewDevModeBlock("Laser", 0x0601, 364);
  ASSERT_EQ(block.size(), 520u);
  EXPECT_EQ(ReadBlockText(block, devmode::dmDeviceName, 32), Cp932String("Laser"));
  EXPECT_EQ(block[32], 0x01);  // dmSpecVersion 0x0401
  EXPECT_EQ(block[33], 0x04);
  EXPECT_EQ(ReadBlockU16(block, devmode::dmDriverVersion), 0x0601);
  EXPECT_EQ(ReadBlockU16(block, devmode::dmSize), 156);
  EXPECT_EQ(ReadBlockU16(block, devmode::dmDriverExtra), 364);
  ASSERT_TRUE(WriteBlockU32(block, devmode::dmFields, DM_PAPERSIZE | DM_DEFAULTSOURCE));
  EXPECT_EQ(block[40], 0x02);
  EXPECT_EQ(block[41], 0x02);
  ASSERT_TRUE(WriteBlockI16(block, devmode::dmPaperSize, -2));
  EXPECT_EQ(block[46], 0xFE);
  EXPECT_EQ(block[47], 0xFF);
  EXPECT_EQ(ReadBlockI16(block, devmode::dmPaperSize), -2);
  EXPECT_EQ(ReadBlockU16(block, devmode::dmPaperSize), 0xFFFE);
}

TEST(SettingsBlock, AccessOutsideTheBlockIsRefused) {
  std::vector<std::uint8_t> small(45, 0xAA);
  EXPECT_FALSE(ReadBlockI16(small, devmode::dmOrientation).has_value());  // needs bytes 44..45
  EXPECT_FALSE(WriteBlockI16(small, devmode::dmOrientation, 1));
  EXPECT_EQ(small[44], 0xAA);
  EXPECT_TRUE(ReadBlockU32(small, devmode::dmFields).has_value());
  EXPECT_FALSE(ReadBlockU32(small, SIZE_MAX - 1).has_value());
  EXPECT_FALSE(WriteBlockU32(small, SIZE_MAX - 2, 0));
  EXPECT_EQ(ReadBlockText(small, 40, 32), Cp932String());
  EXPECT_FALSE(WriteBlockText(small, 40, 32, "x"));
  EXPECT_FALSE(ReadBlockU16({}, 0).has_value());
}

TEST(SettingsBlock, TextFieldsCutWithoutSplittingACharacter) {
  std::vector<std::uint8_t> block(devmode::kPublicSize, 0);
  // 16 two-byte characters are 32 bytes; the field keeps 31 and a NUL, so 15 characters.
  Cp932String name = Cp932String::FromUtf8("あいうえおかきくけこさしすせそた");
  ASSERT_TRUE(WriteBlockText(block, devmode::dmDeviceName, devmode::kDeviceNameSize, name));
  EXPECT_EQ(ReadBlockText(block, devmode::dmDeviceName, 32).Length(), 30u);
  EXPECT_EQ(block[31], 0);
  EXPECT_EQ(CutToBytes(Cp932String::FromUtf8("トレイ"), 5).Length(), 4u);
}

class PrinterObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto system = std::make_unique<TVirtualPrinterSystem>();
    virt = system.get();
    virt->AddPrinter(TVirtualPrinterSystem::StandardPrinter("Laser", "LPT1:"));
    TVirtualPrinter inkjet = TVirtualPrinterSystem::StandardPrinter("Inkjet", "");
    inkjet.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    virt->AddPrinter(inkjet);
    scope = std::make_unique<TScopedPrinterSystem>(std::move(system));
  }
  TVirtualPrinterSystem* virt = nullptr;
  std::unique_ptr<TScopedPrinterSystem> scope;
};

TEST_F(PrinterObjectTest, ListEntriesIndexAndDefault) {
  EXPECT_EQ(Printer().Printers(), (std::vector<Cp932String>{"Laser on LPT1:", "Inkjet"}));
  EXPECT_EQ(Printer().PrinterIndex(), 1);  // the default printer
  Printer().SetPrinterIndex(0);
  EXPECT_EQ(Printer().GetPrinter().device, Cp932String("Laser"));
  EXPECT_EQ(Printer().GetPrinter().port, Cp932String("LPT1:"));
  Printer().SetPrinterIndex(-1);
  EXPECT_EQ(Printer().PrinterIndex(), 1);
  EXPECT_THROW(Printer().SetPrinterIndex(2), EPrinterError);
  EXPECT_THROW(Printer().SetPrinterIndex(-2), EPrinterError);
}

TEST_F(PrinterObjectTest, SetPrinterWithoutBlockStartsFromDefaults) {
  TCurrentDevice device = Printer().GetPrinter();
  std::span<std::uint8_t> block = Printer().LockDevMode(device.devMode);
  ASSERT_EQ(block.size(), 520u);
  WriteBlockI16(block, devmode::dmPaperSize, DMPAPER_A3);
  Printer().UnlockDevMode(device.devMode);
  Printer().SetPrinter(device.device, device.driver, device.port, device.devMode);
  EXPECT_EQ(Printer().GetPrinter().devMode, device.devMode);  // the same block stays
  EXPECT_EQ(Printer().DeviceCaps().physicalWidth, 7016);      // A3 width at 600 dpi
  Printer().SetPrinter(device.device, device.driver, device.port, 0);
  TCurrentDevice fresh = Printer().GetPrinter();
  EXPECT_NE(fresh.devMode, device.devMode);
  EXPECT_EQ(Printer().DevModeSize(device.devMode), 0u);  // the old block was freed
  EXPECT_EQ(Printer().DeviceCaps().physicalWidth, 4961);
}

TEST_F(PrinterObjectTest, LockedBlockOutlivesAChangeOfPrinter) {
  TCurrentDevice device = Printer().GetPrinter();
  std::span<std::uint8_t> block = Printer().LockDevMode(device.devMode);
  Printer().SetPrinterIndex(0);  // frees the Inkjet's block, but it is locked
  EXPECT_EQ(block.size(), 520u);
  block[0] = 'X';  // still valid memory
  EXPECT_EQ(Printer().DevModeSize(device.devMode), 0u);
  Printer().UnlockDevMode(device.devMode);
  EXPECT_TRUE(Printer().LockDevMode(device.devMode).empty());
}

TEST_F(PrinterObjectTest, JobRecordsEveryPageInPrinterDots) {
  Printer().SetPrinterIndex(0);
  Printer().BeginDoc("Worksheet");
  ASSERT_TRUE(Printer().Printing());
  EXPECT_THROW(Printer().BeginDoc("again"), EPrinterError);
  TCanvas* canvas = Printer().Canvas();
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->GetDeviceCaps(LOGPIXELSX), 600);
  EXPECT_EQ(canvas->GetDeviceCaps(HORZRES), 4961 - 83 - 60);
  EXPECT_EQ(canvas->GetDeviceCaps(PHYSICALOFFSETX), 83);
  canvas->Brush().SetColor(0x000000);
  canvas->FillRect(TRect{0, 0, 600, 300});  // one inch by half an inch at the printable corner
  Printer().NewPage();
  Printer().Canvas()->Brush().SetColor(0x0000FF);
  Printer().Canvas()->FillRect(TRect{600, 600, 1200, 1200});
  Printer().EndDoc();
  EXPECT_FALSE(Printer().Printing());
  EXPECT_EQ(Printer().Canvas(), nullptr);

  ASSERT_EQ(virt->Jobs().size(), 1u);
  const TVirtualJobRecord& job = virt->Jobs()[0];
  EXPECT_EQ(job.title, Cp932String("Worksheet"));
  EXPECT_EQ(job.printer, Cp932String("Laser"));
  EXPECT_TRUE(job.ended);
  EXPECT_EQ(job.pageCount, 2);
  ASSERT_EQ(job.pages.size(), 2u);
  TBitmap24 first = job.PageBitmap(0, 60);  // a tenth of the printer's resolution
  EXPECT_EQ(first.Width(), 482);
  EXPECT_EQ(first.Pixel(30, 10), 0x000000u);
  EXPECT_EQ(first.Pixel(70, 10), 0xFFFFFFu);
  EXPECT_EQ(first.Pixel(30, 40), 0xFFFFFFu);
  TBitmap24 second = job.PageBitmap(1, 60);
  EXPECT_EQ(second.Pixel(90, 90), 0x0000FFu);
  EXPECT_EQ(second.Pixel(30, 10), 0xFFFFFFu);
  EXPECT_TRUE(job.PageBitmap(2).Empty());
}

TEST_F(PrinterObjectTest, PageThatDoesNotPlayIsReportedRatherThanShownBlank) {
  Printer().BeginDoc("Flat");
  Printer().Canvas()->FillRect(TRect{0, 0, 600, 300});
  Printer().EndDoc();
  ASSERT_EQ(virt->Jobs().size(), 1u);
  TVirtualJobRecord job = virt->Jobs()[0];
  // The header's frame loses its width: the recording still reads, but there is nothing to stretch.
  std::vector<std::uint8_t> bytes = job.pages[0].Bytes();
  std::int32_t right = 0;
  std::memcpy(bytes.data() + offsetof(emf::EmrHeader, rclFrame) + 8, &right, 4);
  ASSERT_TRUE(job.pages[0].LoadFromBytes(bytes).IsOk());
  EXPECT_THROW(job.PageBitmap(0, 60), Exception);
}

TEST_F(PrinterObjectTest, AbortedJobIsMarkedAndEndsPrinting) {
  Printer().BeginDoc("Cancelled");
  Printer().Abort();
  EXPECT_FALSE(Printer().Printing());
  EXPECT_TRUE(virt->Jobs()[0].aborted);
  EXPECT_THROW(Printer().NewPage(), EPrinterError);
  EXPECT_THROW(Printer().EndDoc(), EPrinterError);
}

TEST(PrinterObjectEmpty, NoPrinterMeansNoDeviceAndNoJob) {
  TScopedPrinterSystem scope(std::make_unique<TVirtualPrinterSystem>());
  EXPECT_TRUE(Printer().Printers().empty());
  EXPECT_EQ(Printer().PrinterIndex(), -1);
  Printer().SetPrinterIndex(-1);
  EXPECT_EQ(Printer().GetPrinter().devMode, 0u);
  EXPECT_EQ(Printer().DeviceCaps(), TDeviceCaps{});
  EXPECT_THROW(Printer().BeginDoc("x"), EPrinterError);
}

}  // namespace
}  // namespace tess

namespace tess {
namespace {

TEST(PrinterSystemLifetime, SystemGoingAwayDuringAJobAbandonsIt) {
  auto system = std::make_unique<TVirtualPrinterSystem>();
  system->AddPrinter(TVirtualPrinterSystem::StandardPrinter("Laser"));
  system->BeginDoc("left open");
  system->Canvas()->LineTo(100, 100);
  system.reset();  // no use of the gone driver (the sanitizer build checks)
  SUCCEED();
}

}  // namespace
}  // namespace tess
