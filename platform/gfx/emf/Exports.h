#pragma once
// Files made from page recordings: the raw .emf bytes, PDF, SVG and PNG. Each page is drawn by the same
// player that draws it on the screen and the printer.

#include <string>
#include <vector>

#include "platform/gfx/emf/Metafile.h"
#include "platform/core/Result.h"

namespace tess {

// The recording's bytes as an .emf file.
TResult ExportEmf(const TMetafile& metafile, const std::string& path);
// One PDF page per recording, each page as large as the recording's frame.
TResult ExportPdf(const std::vector<const TMetafile*>& pages, const std::string& path);
TResult ExportPdf(const TMetafile& metafile, const std::string& path);
// An SVG drawing as large as the frame, drawn at the given resolution; the default of 254 dots per inch makes
// one SVG unit a tenth of a millimetre, so the drawing's size in millimetres is exact.
TResult ExportSvg(const TMetafile& metafile, const std::string& path, int dpi = 254);
// A PNG of the frame at the given resolution, on white.
TResult ExportPng(const TMetafile& metafile, const std::string& path, int dpi);

}  // namespace tess
