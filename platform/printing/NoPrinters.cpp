// The printer system of a machine without printers: an empty list, no driver, no jobs. An export made with
// it uses the preview's stored paper values, the same on every machine whatever printers it has.
#include "platform/printing/Printers.h"

namespace tess {
namespace {

class NoPrinterSystem : public TPrinterSystem {
 public:
  explicit NoPrinterSystem(const Cp932String& problem) { SetServiceProblem(problem); }
  std::vector<TPrinterRecord> EnumPrinters() override { return {}; }
  bool MergeDevMode(const Cp932String&, std::span<std::uint8_t>) override { return false; }
  std::vector<TPaperEntry> Papers(const Cp932String&) override { return {}; }
  std::vector<TBinEntry> Bins(const Cp932String&) override { return {}; }

 protected:
  std::optional<std::vector<std::uint8_t>> DefaultDevMode(const TPrinterRecord&) override {
    return std::nullopt;
  }
  Cp932String DriverName(const TPrinterRecord&) override { return {}; }
  TDeviceCaps DriverDeviceCaps(const TPrinterRecord&, std::span<const std::uint8_t>) override { return {}; }
  std::unique_ptr<TPrintJob> StartJob(const TPrinterRecord&, std::span<const std::uint8_t>,
                                      const Cp932String&) override {
    return nullptr;
  }
};

}  // namespace

std::unique_ptr<TPrinterSystem> CreateNoPrinterSystem(const Cp932String& problem) {
  return std::make_unique<NoPrinterSystem>(problem);
}

}  // namespace tess
