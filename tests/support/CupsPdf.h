#pragma once
// Shared by the tests that print on the real CUPS-PDF queue (added by scripts/test-steps/50-cups-pdf.sh):
// finding the queue and the folder CUPS-PDF writes into, and waiting for the PDF of one job (the shell
// commands that read PDFs run through tests/support/Shell.h).

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/Shell.h"

namespace tess::test {

inline constexpr const char* kCupsPdfQueue = "TessarinePDF";

inline bool CupsPdfQueueExists(const std::string& queue = kCupsPdfQueue) {
  return Shell("lpstat -p " + queue + " 2>/dev/null").find(queue) != std::string::npos;
}

// The folder CUPS-PDF writes into, from its configuration ("Out FOLDER"); empty when it names none.
inline std::filesystem::path CupsPdfOutputFolder() {
  std::ifstream conf("/etc/cups/cups-pdf.conf");
  std::string line;
  while (std::getline(conf, line)) {
    std::istringstream words(line);
    std::string key, value;
    if (words >> key >> value && key == "Out") return std::filesystem::path(value);
  }
  return {};
}

// The PDF CUPS-PDF wrote for the job whose title contains `token` (it names its files after the title), once
// it can be read whole; empty after about 30 seconds without one.
inline std::filesystem::path WaitForPdf(const std::filesystem::path& folder, const std::string& token) {
  std::error_code ec;
  for (int i = 0; i < 300; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
      if (e.path().extension() != ".pdf" || e.path().filename().string().find(token) == std::string::npos) {
        continue;
      }
      for (int j = 0; j < 100; ++j) {
        if (Shell("pdfinfo '" + e.path().string() + "' 2>/dev/null").find("Pages:") != std::string::npos) {
          return e.path();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    }
  }
  return {};
}

}  // namespace tess::test
