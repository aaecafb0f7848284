#pragma once
// Canvases on Qt paint devices. Only platform sources include this header.

#include <QPaintDevice>
#include <QPainter>

#include <memory>

#include "platform/gfx/Canvas.h"

namespace tess {

// A device context drawing with GDI semantics onto an active painter (a window, image, printer or PDF
// page). The painter's transform at this moment is the device space: logical (0, 0) in MM_TEXT is its
// origin and one device pixel is one unit of it. The painter must outlive the context.
std::unique_ptr<TDeviceContext> MakePainterDeviceContext(QPainter& painter, const TDeviceDescription& device);
std::unique_ptr<TCanvas> MakePainterCanvas(QPainter& painter, const TDeviceDescription& device);

// The description of a paint device: its resolution and size in pixels.
TDeviceDescription DescribePaintDevice(const QPaintDevice& device);

}  // namespace tess
