#pragma once
// The recording backend: writes every device-context change and drawing call as MS-EMF records against a
// reference device, keeps the GDI handle table and the bounds of what was drawn, and finishes the file
// with its header and EOF.

#include <cstdint>
#include <vector>

#include "platform/gfx/emf/EmfRecords.h"
#include "platform/gfx/internal/DeviceBackend.h"

namespace tess {

class TEmfWriter : public TDeviceBackend {
 public:
  explicit TEmfWriter(const TDeviceDescription& reference);

  // The finished recording: header, the records so far, EOF. Frame in 0.01 mm; 0 x 0 takes the bounds.
  std::vector<std::uint8_t> Finish(int mmWidth, int mmHeight);
  std::uint32_t RecordCount() const { return FRecords; }

  void OnSaveDC() override;
  void OnRestoreDC(int saved) override;
  void OnSetMapMode(int mode) override;
  void OnSetWindowExt(TSize ext) override;
  void OnSetViewportExt(TSize ext) override;
  void OnSetWindowOrg(TPoint org) override;
  void OnSetViewportOrg(TPoint org) override;
  void OnSetGraphicsMode(int mode) override;
  void OnSetWorldTransform(const TXForm& xform) override;
  void OnModifyWorldTransform(const TXForm& xform, int mode) override;
  void OnSetTextColor(std::uint32_t color) override;
  void OnSetBkColor(std::uint32_t color) override;
  void OnSetBkMode(int mode) override;
  void OnSetTextAlign(unsigned align) override;
  void OnIntersectClipRect(const TRect& logical) override;
  void OnSelectFont(const TLogFont& font) override;
  void OnSelectPen(const TLogPen& pen) override;
  void OnSelectBrush(const TLogBrush& brush) override;
  void OnSelectStock(int stockObject) override;
  void OnBeginPlayback() override;

  void MoveTo(TPoint p) override;
  void LineTo(TPoint from, TPoint to) override;
  void Ellipse(const TRect& box) override;
  void Rectangle(const TRect& box) override;
  void PatBlt(const TRect& rect, std::uint32_t rop) override;
  void ExtTextOut(TPoint p, unsigned options, const TRect* rect, std::u16string_view text,
                  const std::vector<int>& advances, const Cp932String* ansi) override;
  void StretchDIBits(const TRect& dest, const TRect& src, const TBitmap24& bitmap,
                     std::uint32_t rop) override;

 private:
  // Objects selected in the context: handle-table indexes, 0 for a stock object.
  struct Selection {
    std::uint32_t font = 0, pen = 0, brush = 0;
  };
  enum Slot { kFont, kPen, kBrush };

  template <class T>
  void Write(const T& record) {
    emf::Append(FBody, record);
    ++FRecords;
  }
  void WriteBytes(const std::vector<std::uint8_t>& record);
  void WriteOne(std::uint32_t type, std::uint32_t value);
  void WritePoint(std::uint32_t type, std::int32_t x, std::int32_t y);
  void WriteRect(std::uint32_t type, const TRect& r);
  // During playback into this recording the mapping of the played records is folded into one world
  // transform; outside it the records are written as they come.
  void WriteWorldFromState();
  std::uint32_t NewHandle();
  void Reference(std::uint32_t handle);
  void Release(std::uint32_t handle);
  void Select(Slot slot, std::uint32_t handle);
  // Adds a logical box (grown by pad device pixels, cut by the clip) to the bounds of what was drawn and
  // returns it as an inclusive rectangle of reference-device pixels.
  emf::RectL DeviceBoundsOf(const TRect& logical, double pad);

  TDeviceDescription FReference;
  std::vector<std::uint8_t> FBody;
  std::uint32_t FRecords = 0;
  std::vector<int> FRefs{1};  // reference counts; index 0 stands for the metafile itself
  std::uint32_t FMaxHandle = 0;
  Selection FCurrent;
  std::vector<Selection> FSaved;
  bool FHasBounds = false;
  double FMinX = 0, FMinY = 0, FMaxX = 0, FMaxY = 0;
};

}  // namespace tess
