#pragma once
// A PDF's pages as a reader shows them, for the tests that compare a printout with the program's own export:
// the page size in points, the pages rendered to pixels, and a page placed at the centre of a larger sheet.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "tests/support/Shell.h"

namespace tess::test {

// "595 x 842" for an A4 page (pdfinfo's size of the first page, without its fraction and name).
inline std::string PdfPageSize(const std::filesystem::path& pdf) {
  const std::string info = Shell("pdfinfo '" + pdf.string() + "' 2>/dev/null");
  double width = 0, height = 0;
  const auto at = info.find("Page size:");
  if (at == std::string::npos ||
      std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height) != 2) {
    return {};
  }
  return std::to_string(static_cast<int>(width)) + " x " + std::to_string(static_cast<int>(height));
}

// Every page of the PDF rendered at `dpi` (fractions allowed); empty when it cannot be rendered.
inline std::vector<TBitmap24> RenderPdfPages(const std::filesystem::path& pdf, double dpi) {
  static int counter = 0;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("tessarine-pdf-pages-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(folder);
  char resolution[32];
  std::snprintf(resolution, sizeof resolution, "%.4f", dpi);
  Shell(std::string("pdftoppm -q -r ") + resolution + " -png '" + pdf.string() + "' '" +
        (folder / "p").string() + "'");
  // p-1.png, p-2.png, ... (more digits for longer documents, so the names sort in page order).
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<TBitmap24> pages;
  for (const std::filesystem::path& file : files) {
    TBitmap24 bitmap;
    if (!TBitmap24::LoadFromFile(file.string(), bitmap)) break;
    pages.push_back(bitmap);
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return pages;
}

// `page` at the centre of a white sheet of the given size (as a page fitted to a paper is printed).
inline TBitmap24 Centred(const TBitmap24& page, int width, int height) {
  TBitmap24 sheet(width, height);
  const int left = (width - page.Width()) / 2, top = (height - page.Height()) / 2;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int px = x - left, py = y - top;
      const bool inside = px >= 0 && py >= 0 && px < page.Width() && py < page.Height();
      sheet.SetPixel(x, y, inside ? page.Pixel(px, py) : 0xFFFFFFu);
    }
  }
  return sheet;
}

}  // namespace tess::test
