// The start-up warm-up of the printer system: its system reaches the UI thread with the answers it was
// asked for, a test's system always wins over it, and a failure is asked again unless waiting for it was
// the asking.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"

namespace tess {
namespace {

using namespace std::chrono_literals;

// A virtual system that notes the thread its list was read on, can play a print service that cannot be
// reached (at once, or after a silence), and says when it goes away.
class TWatchedPrinterSystem : public TVirtualPrinterSystem {
 public:
  explicit TWatchedPrinterSystem(bool* gone = nullptr) : FGone(gone) {
    TVirtualPrinter laser = StandardPrinter("Laser");
    laser.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    laser.defaultPaper = DMPAPER_LETTER;
    AddPrinter(laser);
  }
  ~TWatchedPrinterSystem() override {
    if (FGone != nullptr) *FGone = true;
  }

  std::vector<TPrinterRecord> EnumPrinters() override {
    ++FEnumerations;
    FListThread = std::this_thread::get_id();
    if (!FUnreachable) return TVirtualPrinterSystem::EnumPrinters();
    std::this_thread::sleep_for(FSilence);
    SetServiceProblem("unreachable");
    return {};
  }

  bool* FGone;
  int FEnumerations = 0;
  std::thread::id FListThread;
  bool FUnreachable = false;
  std::chrono::milliseconds FSilence{0};
};

// No printer system installed while a test runs, as when the program starts; the test main's comes back.
class PrinterWarmUpTest : public ::testing::Test {
 protected:
  void SetUp() override { saved = SetPrinterSystem(nullptr); }
  void TearDown() override { SetPrinterSystem(std::move(saved)); }
  std::unique_ptr<TPrinterSystem> saved;
};

TEST_F(PrinterWarmUpTest, FirstPrinterCallTakesOverTheAnswersAndLeavesTheSettingsAlone) {
  TWatchedPrinterSystem* warmed = nullptr;
  StartPrinterWarmUp([&warmed] {
    auto system = std::make_unique<TWatchedPrinterSystem>();
    warmed = system.get();
    return system;
  });
  TPrinterSystem& printer = Printer();
  ASSERT_EQ(&printer, warmed);
  EXPECT_NE(warmed->FListThread, std::this_thread::get_id());
  EXPECT_EQ(warmed->MergeCount(), 1);  // the A4 settings were checked there too
  EXPECT_EQ(printer.Printers(), std::vector<Cp932String>{"Laser on LPT1:"});
  EXPECT_EQ(warmed->FEnumerations, 1);
  // The current printer is the default one with its own paper, not the A4 the warm-up asked about.
  TCurrentDevice device = printer.GetPrinter();
  EXPECT_EQ(device.device, Cp932String("Laser"));
  EXPECT_EQ(ReadBlockI16(printer.LockDevMode(device.devMode), devmode::dmPaperSize), DMPAPER_LETTER);
  printer.UnlockDevMode(device.devMode);
}

TEST_F(PrinterWarmUpTest, InstallingASystemDropsTheWarmUp) {
  bool gone = false;
  StartPrinterWarmUp([&gone] { return std::make_unique<TWatchedPrinterSystem>(&gone); });
  auto installed = std::make_unique<TVirtualPrinterSystem>();
  installed->AddPrinter(TVirtualPrinterSystem::StandardPrinter("Inkjet", ""));
  TPrinterSystem* expected = installed.get();
  {
    TScopedPrinterSystem scope(std::move(installed));
    EXPECT_TRUE(gone);
    EXPECT_EQ(&Printer(), expected);
    EXPECT_EQ(Printer().Printers(), std::vector<Cp932String>{"Inkjet"});
  }
  EXPECT_EQ(SetPrinterSystem(nullptr), nullptr);  // the warmed system never comes back
}

TEST_F(PrinterWarmUpTest, FailureIsAskedAgainUnlessTheUiThreadWaitedForIt) {
  // Failed before it was needed: a new system asks again, and the service answers it.
  int made = 0;
  StartPrinterWarmUp([&made] {
    auto system = std::make_unique<TWatchedPrinterSystem>();
    system->FUnreachable = ++made == 1;
    return system;
  });
  while (!PrinterWarmUpFinished()) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(Printer().Printers(), std::vector<Cp932String>{"Laser on LPT1:"});
  EXPECT_EQ(Printer().ServiceProblem(), Cp932String());
  EXPECT_EQ(made, 2);

  // Failed while the UI thread waited for it (a silent service): asking again would wait once more.
  SetPrinterSystem(nullptr);
  made = 0;
  StartPrinterWarmUp([&made] {
    ++made;
    auto system = std::make_unique<TWatchedPrinterSystem>();
    system->FUnreachable = true;
    system->FSilence = 300ms;
    return system;
  });
  EXPECT_EQ(Printer().ServiceProblem(), Cp932String("unreachable"));
  EXPECT_TRUE(Printer().Printers().empty());
  EXPECT_EQ(made, 1);
}

}  // namespace
}  // namespace tess
