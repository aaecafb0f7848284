#pragma once
// What a device context draws to. The context keeps the GDI state and calls the backend after each
// change; a record writer records the change, a painter reads the state when it draws.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/gfx/Geometry.h"

namespace tess {

class TDeviceBackend {
 public:
  virtual ~TDeviceBackend() = default;
  void Attach(TDeviceContext* dc) { FDC = dc; }

  // State changes, called after the context applied them.
  virtual void OnSaveDC() {}
  virtual void OnRestoreDC(int /*saved*/) {}
  virtual void OnSetMapMode(int /*mode*/) {}
  virtual void OnSetWindowExt(TSize /*ext*/) {}
  virtual void OnSetViewportExt(TSize /*ext*/) {}
  virtual void OnSetWindowOrg(TPoint /*org*/) {}
  virtual void OnSetViewportOrg(TPoint /*org*/) {}
  virtual void OnSetGraphicsMode(int /*mode*/) {}
  virtual void OnSetWorldTransform(const TXForm& /*xform*/) {}
  virtual void OnModifyWorldTransform(const TXForm& /*xform*/, int /*mode*/) {}
  virtual void OnSetTextColor(std::uint32_t /*color*/) {}
  virtual void OnSetBkColor(std::uint32_t /*color*/) {}
  virtual void OnSetBkMode(int /*mode*/) {}
  virtual void OnSetTextAlign(unsigned /*align*/) {}
  virtual void OnIntersectClipRect(const TRect& /*logical*/) {}
  virtual void OnSelectFont(const TLogFont& /*font*/) {}
  virtual void OnSelectPen(const TLogPen& /*pen*/) {}
  virtual void OnSelectBrush(const TLogBrush& /*brush*/) {}
  virtual void OnSelectStock(int /*stockObject*/) {}
  // A recording starts to play into this context: the state has been saved and reset, Base is set.
  virtual void OnBeginPlayback() {}
  // The clip rectangle changed (device pixels in the state).
  virtual void OnClipChanged() {}

  // Drawing, in logical units of the current state.
  virtual void MoveTo(TPoint /*p*/) {}
  virtual void LineTo(TPoint from, TPoint to) = 0;
  virtual void Ellipse(const TRect& box) = 0;
  virtual void Rectangle(const TRect& box) = 0;
  virtual void PatBlt(const TRect& rect, std::uint32_t rop) = 0;
  // advances: one per unit of text (UTF-16 units, or bytes for ansi text), never empty for non-empty text.
  // ansi is the code-page-932 form when the caller gave bytes (ExtTextOutA).
  virtual void ExtTextOut(TPoint p, unsigned options, const TRect* rect, std::u16string_view text,
                          const std::vector<int>& advances, const Cp932String* ansi) = 0;
  virtual void StretchDIBits(const TRect& dest, const TRect& src, const TBitmap24& bitmap,
                             std::uint32_t rop) = 0;

 protected:
  TDeviceContext* FDC = nullptr;
};

}  // namespace tess
