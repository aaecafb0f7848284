#pragma once
// Canvases on Qt paint devices. Only platform sources include this header.

#include <QPaintDevice>
#include <QPainter>

#include <memory>
#include <set>

#include "platform/gfx/Canvas.h"

namespace tess {

// A device context drawing with GDI semantics onto an active painter (a window, image, printer or PDF
// page). The painter's transform at this moment is the device space: logical (0, 0) in MM_TEXT is its
// origin and one device pixel is one unit of it. The painter must outlive the context. With `drawn`, the
// characters of every text drawn are added to it (a PDF's text layer names its glyphs by them).
std::unique_ptr<TDeviceContext> MakePainterDeviceContext(QPainter& painter, const TDeviceDescription& device,
                                                         std::set<char16_t>* drawn = nullptr);
std::unique_ptr<TCanvas> MakePainterCanvas(QPainter& painter, const TDeviceDescription& device,
                                           std::set<char16_t>* drawn = nullptr);

// The description of a paint device: its resolution and size in pixels.
TDeviceDescription DescribePaintDevice(const QPaintDevice& device);

}  // namespace tess
