// libFuzzer target for stored data: a component's stored design (JSON) read into the printer settings, the
// preview component and a catalogue, and the printer settings' hexadecimal settings block on its own. A
// stored design is never trusted to be well formed: reading may report problems, never crash or overrun.
//
// The first byte picks the case: even - the input is a component's JSON text; odd - the rest of the input is
// the ADevData text, with DevDataSize taken from the second byte.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/components/StoredDesign.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Runtime.h"
#include "preview/PreviewDocument.h"
#include "printer_settings/PrinterSettings.h"
#include "worksheet/CatalogueList.h"

namespace {

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tess::EnsurePlatformStarted(*argc, *argv);
  // One installed printer, so stored settings are really put back on a printer's block.
  auto system = std::make_unique<tess::TVirtualPrinterSystem>();
  system->AddPrinter(tess::TVirtualPrinterSystem::StandardPrinter("Laser"));
  tess::SetPrinterSystem(std::move(system));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  tess::TComponent owner(nullptr);
  auto* settings = new tess::TplSetPrinter(&owner);
  settings->SetName("plSetPrinter1");
  try {
    if ((data[0] & 1) == 0) {
      auto* preview = new tess::TplPrev(&owner);
      auto* catalogue = new tess::TCStringList(&owner);
      (void)tess::ComponentFromText(*settings, input);
      (void)tess::ComponentFromText(*preview, input);
      (void)tess::ComponentFromText(*catalogue, input);
      (void)tess::ReadComponentDesign(owner, input);
    } else {
      const int declaredSize = input.empty() ? 0 : static_cast<unsigned char>(input[0]) * 4;
      const std::string json =
          R"({"class":"TplSetPrinter","name":"plSetPrinter1","properties":{"DevDataSize":)" +
          std::to_string(declaredSize) + R"(,"ADevData":)" + JsonString(input) + "}}";
      (void)tess::ComponentFromText(*settings, json);
      (void)tess::ComponentToText(*settings);
    }
  } catch (const std::exception&) {
    // Documents that are not JSON objects are refused with an error; that is the expected outcome.
  }
  return 0;
}
