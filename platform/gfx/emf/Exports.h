#pragma once
// Files made from page recordings: the raw .emf bytes, PDF, SVG and PNG. Each page is drawn by the same
// player that draws it on the screen and the printer.
//
// Every file is written whole or not at all (platform/core/AtomicFile.h): it takes its name only once
// every byte is written and on disk, and a failure leaves nothing under that name. Failures read
// "cannot write PATH: REASON", the reason being the system's where it gave one.

#include <memory>
#include <string>
#include <vector>

#include "platform/core/Result.h"
#include "platform/gfx/emf/Metafile.h"

namespace tess {

// What a PDF says about itself (UTF-8); empty fields stay empty.
struct TPdfInfo {
  std::string title;
  std::string creator;
};

// A PDF written page by page, one page per recording, each page as large as the recording's frame. Its
// text layer gives back the characters drawn, also where the font draws another character with the same
// glyph.
class TPdfExport {
 public:
  TPdfExport(std::string path, TPdfInfo info);
  ~TPdfExport();  // an unfinished file is removed
  TPdfExport(const TPdfExport&) = delete;
  TPdfExport& operator=(const TPdfExport&) = delete;

  // Creates the file (under a temporary name); a folder that cannot be written fails here.
  TResult Open();
  TResult AddPage(const TMetafile& page);
  // Finishes the PDF and gives it its name; a PDF without pages is an error.
  TResult Finish();

 private:
  struct State;
  std::unique_ptr<State> FState;
};

// The recording's bytes as an .emf file.
TResult ExportEmf(const TMetafile& metafile, const std::string& path);
// One PDF page per recording (see TPdfExport).
TResult ExportPdf(const std::vector<const TMetafile*>& pages, const std::string& path,
                  const TPdfInfo& info = {});
TResult ExportPdf(const TMetafile& metafile, const std::string& path);
// An SVG drawing as large as the frame, drawn at the given resolution; the default of 254 dots per inch makes
// one SVG unit a tenth of a millimetre, so the drawing's size in millimetres is exact. The title (UTF-8,
// plain text: '<', '>' and '&' are left out) is the drawing's <title>; without one it has none.
TResult ExportSvg(const TMetafile& metafile, const std::string& path, int dpi = 254,
                  const std::string& title = {});
// A PNG of the frame at the given resolution, on white.
TResult ExportPng(const TMetafile& metafile, const std::string& path, int dpi);

}  // namespace tess
