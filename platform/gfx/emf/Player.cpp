// The record enumerator and the player: every record's frame is checked once (size >= 8, a multiple of
// four, inside the bytes left) before a handler sees it, and each handler checks its own fields against
// the record's size. Records become the same device-context calls the drawing code makes, so a recording
// plays onto a painter (screen, bitmap, printer) and into another recording alike.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "platform/core/ScopeGuard.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/emf/Metafile.h"

namespace tess {

namespace {

std::string Where(const TEmfRecord& r) {
  return "EMF record " + std::to_string(r.Index) + " (type " + std::to_string(r.Type) + ", at byte " +
         std::to_string(r.Offset) + ")";
}

// The frame of the record at offset: a view of exactly its bytes, or an error.
TResult CheckFrame(std::span<const std::uint8_t> bytes, std::size_t offset, bool requireAligned,
                   TEmfRecord& out) {
  std::size_t left = bytes.size() - offset;
  if (left < 8) {
    return TResult::Error("EMF record at byte " + std::to_string(offset) + " is cut off (" +
                          std::to_string(left) + " bytes left)");
  }
  std::uint32_t type = *emf::ReadAt<std::uint32_t>(bytes, offset);
  std::uint32_t size = *emf::ReadAt<std::uint32_t>(bytes, offset + 4);
  // The message is made only for a record that fails: every record of every playback comes through here.
  auto fail = [&](const std::string& what) {
    return TResult::Error("EMF record at byte " + std::to_string(offset) + " (type " + std::to_string(type) +
                          ") has size " + std::to_string(size) + what);
  };
  if (size < 8) return fail(", less than 8");
  if (requireAligned && size % 4 != 0) return fail(", not a multiple of 4");
  if (size > left) return fail(" but only " + std::to_string(left) + " bytes are left");
  out.Type = type;
  out.Offset = offset;
  out.Bytes = bytes.subspan(offset, size);
  return TResult::Ok();
}

bool Finite(const emf::Xform& x) {
  return std::isfinite(x.eM11) && std::isfinite(x.eM12) && std::isfinite(x.eM21) && std::isfinite(x.eM22) &&
         std::isfinite(x.eDx) && std::isfinite(x.eDy);
}

TXForm FromXform(const emf::Xform& x) {
  return TXForm{x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy};
}

TLogFont FromLogFontW(const emf::LogFontW& lf) {
  TLogFont f;
  f.Height = lf.lfHeight;
  f.Width = lf.lfWidth;
  f.Escapement = lf.lfEscapement;
  f.Orientation = lf.lfOrientation;
  f.Weight = lf.lfWeight;
  f.Italic = lf.lfItalic;
  f.Underline = lf.lfUnderline;
  f.StrikeOut = lf.lfStrikeOut;
  f.CharSet = lf.lfCharSet;
  f.OutPrecision = lf.lfOutPrecision;
  f.ClipPrecision = lf.lfClipPrecision;
  f.Quality = lf.lfQuality;
  f.PitchAndFamily = lf.lfPitchAndFamily;
  std::size_t n = 0;
  while (n < 32 && lf.lfFaceName[n] != 0) ++n;
  f.FaceName.assign(lf.lfFaceName, lf.lfFaceName + n);
  return f;
}

}  // namespace

class TEmfPlayer {
 public:
  TEmfPlayer(TDeviceContext* target, std::size_t handleCount)
      : FTarget(target), FBaseDepth(target ? target->SaveDepth() : 0) {
    FHandles.resize(std::max<std::size_t>(handleCount, 1));
  }

  THandleTable& Handles() { return FHandles; }
  TResult Play(const TEmfRecord& r);

 private:
  using Handler = TResult (TEmfPlayer::*)(const TEmfRecord&);
  struct Entry {
    std::uint32_t type;
    std::uint32_t minSize;
    Handler handler;
  };
  static const std::array<Entry, 37>& Table();

  template <class T>
  T Get(const TEmfRecord& r) {
    return *emf::ReadAt<T>(r.Bytes, 0);  // the table's minSize guarantees the length
  }
  std::uint32_t Value(const TEmfRecord& r) { return Get<emf::EmrOneValue>(r).value; }
  TResult CheckHandle(const TEmfRecord& r, std::uint32_t index, bool mustExist);

  TResult Ignore(const TEmfRecord&) { return TResult::Ok(); }
  TResult SetMapMode(const TEmfRecord& r) {
    FTarget->SetMapMode(static_cast<int>(Value(r)));
    return TResult::Ok();
  }
  TResult SetBkMode(const TEmfRecord& r) {
    FTarget->SetBkMode(static_cast<int>(Value(r)));
    return TResult::Ok();
  }
  TResult SetTextAlign(const TEmfRecord& r) {
    FTarget->SetTextAlign(Value(r));
    return TResult::Ok();
  }
  TResult SetTextColor(const TEmfRecord& r) {
    FTarget->SetTextColor(Value(r));
    return TResult::Ok();
  }
  TResult SetBkColor(const TEmfRecord& r) {
    FTarget->SetBkColor(Value(r));
    return TResult::Ok();
  }
  TResult SetGraphicsMode(const TEmfRecord& r) {
    FTarget->SetGraphicsMode(static_cast<int>(Value(r)));
    return TResult::Ok();
  }
  TResult Point(const TEmfRecord& r) {
    emf::PointL p = Get<emf::EmrPoint>(r).point;
    switch (r.Type) {
      case emf::EMR_SETWINDOWEXTEX:
        FTarget->SetWindowExtEx(p.x, p.y);
        break;
      case emf::EMR_SETVIEWPORTEXTEX:
        FTarget->SetViewportExtEx(p.x, p.y);
        break;
      case emf::EMR_SETWINDOWORGEX:
        FTarget->SetWindowOrgEx(p.x, p.y);
        break;
      case emf::EMR_SETVIEWPORTORGEX:
        FTarget->SetViewportOrgEx(p.x, p.y);
        break;
      case emf::EMR_MOVETOEX:
        FTarget->MoveToEx(p.x, p.y);
        break;
      case emf::EMR_LINETO:
        FTarget->LineTo(p.x, p.y);
        break;
      default:
        break;
    }
    return TResult::Ok();
  }
  TResult Rect(const TEmfRecord& r) {
    emf::RectL b = Get<emf::EmrRect>(r).rect;
    switch (r.Type) {
      case emf::EMR_ELLIPSE:
        FTarget->Ellipse(b.left, b.top, b.right, b.bottom);
        break;
      case emf::EMR_RECTANGLE:
        FTarget->Rectangle(b.left, b.top, b.right, b.bottom);
        break;
      case emf::EMR_INTERSECTCLIPRECT:
        FTarget->IntersectClipRect(b.left, b.top, b.right, b.bottom);
        break;
      default:
        break;
    }
    return TResult::Ok();
  }
  TResult SaveDC(const TEmfRecord&) {
    FTarget->SaveDC();
    return TResult::Ok();
  }
  TResult RestoreDC(const TEmfRecord& r) {
    auto relative = static_cast<std::int32_t>(Value(r));
    // Only states this recording saved may be restored (MS-EMF: the index is negative, relative).
    int own = FTarget->SaveDepth() - FBaseDepth;
    if (relative >= 0 || -static_cast<long long>(relative) > own) {
      return TResult::Error(Where(r) + ": RESTOREDC " + std::to_string(relative) + " with " +
                            std::to_string(own) + " saved states");
    }
    FTarget->RestoreDC(relative);
    return TResult::Ok();
  }
  TResult SetWorldTransform(const TEmfRecord& r) {
    emf::Xform x = Get<emf::EmrSetWorldTransform>(r).xform;
    if (!Finite(x)) return TResult::Error(Where(r) + ": transform is not finite");
    FTarget->SetWorldTransform(FromXform(x));
    return TResult::Ok();
  }
  TResult ModifyWorldTransform(const TEmfRecord& r) {
    auto m = Get<emf::EmrModifyWorldTransform>(r);
    if (!Finite(m.xform)) return TResult::Error(Where(r) + ": transform is not finite");
    FTarget->ModifyWorldTransform(FromXform(m.xform), static_cast<int>(m.iMode));
    return TResult::Ok();
  }
  TResult CreatePen(const TEmfRecord& r) {
    auto p = Get<emf::EmrCreatePen>(r);
    if (TResult c = CheckHandle(r, p.ihPen, false); !c) return c;
    TEmfObject& o = FHandles[p.ihPen];
    o = TEmfObject{};
    o.kind = TEmfObject::Pen;
    o.pen = TLogPen{p.lopnStyle, p.lopnWidth.x, p.lopnColor & 0x00FFFFFF};
    return TResult::Ok();
  }
  TResult CreateBrush(const TEmfRecord& r) {
    auto b = Get<emf::EmrCreateBrushIndirect>(r);
    if (TResult c = CheckHandle(r, b.ihBrush, false); !c) return c;
    TEmfObject& o = FHandles[b.ihBrush];
    o = TEmfObject{};
    o.kind = TEmfObject::Brush;
    o.brush = TLogBrush{b.lbStyle, b.lbColor & 0x00FFFFFF, b.lbHatch};
    return TResult::Ok();
  }
  TResult CreateFont(const TEmfRecord& r) {
    std::uint32_t ih = *emf::ReadAt<std::uint32_t>(r.Bytes, 8);
    if (TResult c = CheckHandle(r, ih, false); !c) return c;
    auto lf = *emf::ReadAt<emf::LogFontW>(r.Bytes, 12);
    TEmfObject& o = FHandles[ih];
    o = TEmfObject{};
    o.kind = TEmfObject::Font;
    o.font = FromLogFontW(lf);
    return TResult::Ok();
  }
  TResult SelectObject(const TEmfRecord& r) {
    std::uint32_t ih = Value(r);
    if (ih & emf::kStockObjectBit) {
      if (!FTarget->SelectStockObject(static_cast<int>(ih & ~emf::kStockObjectBit))) {
        return TResult::Error(Where(r) + ": unknown stock object " +
                              std::to_string(ih & ~emf::kStockObjectBit));
      }
      return TResult::Ok();
    }
    if (TResult c = CheckHandle(r, ih, true); !c) return c;
    const TEmfObject& o = FHandles[ih];
    if (o.kind == TEmfObject::Font) FTarget->SelectFont(o.font);
    if (o.kind == TEmfObject::Pen) FTarget->SelectPen(o.pen);
    if (o.kind == TEmfObject::Brush) FTarget->SelectBrush(o.brush);
    return TResult::Ok();
  }
  TResult DeleteObject(const TEmfRecord& r) {
    std::uint32_t ih = Value(r);
    if (TResult c = CheckHandle(r, ih, true); !c) return c;
    FHandles[ih] = TEmfObject{};
    return TResult::Ok();
  }
  TResult BitBlt(const TEmfRecord& r) {
    auto b = Get<emf::EmrBitBlt>(r);
    // Without a source bitmap the operation paints the brush; copies from a source are not produced here.
    if (b.cbBmiSrc == 0 && b.dwRop == PATCOPY) FTarget->PatBlt(b.xDest, b.yDest, b.cxDest, b.cyDest, PATCOPY);
    return TResult::Ok();
  }
  TResult StretchDIBits(const TEmfRecord& r);
  TResult ExtTextOut(const TEmfRecord& r);

  TDeviceContext* FTarget;
  int FBaseDepth;
  THandleTable FHandles;
};

const std::array<TEmfPlayer::Entry, 37>& TEmfPlayer::Table() {
  using P = TEmfPlayer;
  static const std::array<Entry, 37> table{{
      {emf::EMR_HEADER, emf::kMinHeaderSize, &P::Ignore},
      {emf::EMR_EOF, 8, &P::Ignore},
      {emf::EMR_GDICOMMENT, 8, &P::Ignore},
      {emf::EMR_SETPOLYFILLMODE, 12, &P::Ignore},
      {emf::EMR_SETROP2, 12, &P::Ignore},
      {emf::EMR_SETSTRETCHBLTMODE, 12, &P::Ignore},
      {emf::EMR_SETICMMODE, 12, &P::Ignore},
      {emf::EMR_SETMITERLIMIT, 12, &P::Ignore},
      {emf::EMR_SETLAYOUT, 12, &P::Ignore},
      {emf::EMR_POLYTEXTOUTA, 8, &P::Ignore},
      {emf::EMR_POLYTEXTOUTW, 8, &P::Ignore},
      {emf::EMR_SETMAPMODE, sizeof(emf::EmrOneValue), &P::SetMapMode},
      {emf::EMR_SETBKMODE, sizeof(emf::EmrOneValue), &P::SetBkMode},
      {emf::EMR_SETTEXTALIGN, sizeof(emf::EmrOneValue), &P::SetTextAlign},
      {emf::EMR_SETTEXTCOLOR, sizeof(emf::EmrOneValue), &P::SetTextColor},
      {emf::EMR_SETBKCOLOR, sizeof(emf::EmrOneValue), &P::SetBkColor},
      {emf::EMR_SETGRAPHICSMODE, sizeof(emf::EmrOneValue), &P::SetGraphicsMode},
      {emf::EMR_SETWINDOWEXTEX, sizeof(emf::EmrPoint), &P::Point},
      {emf::EMR_SETWINDOWORGEX, sizeof(emf::EmrPoint), &P::Point},
      {emf::EMR_SETVIEWPORTEXTEX, sizeof(emf::EmrPoint), &P::Point},
      {emf::EMR_SETVIEWPORTORGEX, sizeof(emf::EmrPoint), &P::Point},
      {emf::EMR_MOVETOEX, sizeof(emf::EmrPoint), &P::Point},
      {emf::EMR_LINETO, sizeof(emf::EmrPoint), &P::Point},
      {emf::EMR_ELLIPSE, sizeof(emf::EmrRect), &P::Rect},
      {emf::EMR_RECTANGLE, sizeof(emf::EmrRect), &P::Rect},
      {emf::EMR_INTERSECTCLIPRECT, sizeof(emf::EmrRect), &P::Rect},
      {emf::EMR_SAVEDC, sizeof(emf::EmrSaveDC), &P::SaveDC},
      {emf::EMR_RESTOREDC, sizeof(emf::EmrOneValue), &P::RestoreDC},
      {emf::EMR_SETWORLDTRANSFORM, sizeof(emf::EmrSetWorldTransform), &P::SetWorldTransform},
      {emf::EMR_MODIFYWORLDTRANSFORM, sizeof(emf::EmrModifyWorldTransform), &P::ModifyWorldTransform},
      {emf::EMR_SELECTOBJECT, sizeof(emf::EmrOneValue), &P::SelectObject},
      {emf::EMR_CREATEPEN, sizeof(emf::EmrCreatePen), &P::CreatePen},
      {emf::EMR_CREATEBRUSHINDIRECT, sizeof(emf::EmrCreateBrushIndirect), &P::CreateBrush},
      {emf::EMR_DELETEOBJECT, sizeof(emf::EmrOneValue), &P::DeleteObject},
      {emf::EMR_EXTCREATEFONTINDIRECTW, emf::kMinFontRecordSize, &P::CreateFont},
      {emf::EMR_BITBLT, sizeof(emf::EmrBitBlt), &P::BitBlt},
      {emf::EMR_STRETCHDIBITS, sizeof(emf::EmrStretchDIBits), &P::StretchDIBits},
  }};
  return table;
}

TResult TEmfPlayer::CheckHandle(const TEmfRecord& r, std::uint32_t index, bool mustExist) {
  if (index == 0 || index >= FHandles.size()) {
    return TResult::Error(Where(r) + ": object index " + std::to_string(index) +
                          " outside the handle table of " + std::to_string(FHandles.size()));
  }
  if (mustExist && FHandles[index].kind == TEmfObject::None) {
    return TResult::Error(Where(r) + ": object index " + std::to_string(index) + " holds no object");
  }
  return TResult::Ok();
}

TResult TEmfPlayer::Play(const TEmfRecord& r) {
  if (r.Type == 0 || r.Type > emf::EMR_MAX) {
    return TResult::Error(Where(r) + ": unknown record type");
  }
  if (r.Type == emf::EMR_EXTTEXTOUTA || r.Type == emf::EMR_EXTTEXTOUTW) {
    if (r.Bytes.size() < sizeof(emf::EmrExtTextOut)) return TResult::Error(Where(r) + ": record too short");
    return FTarget ? ExtTextOut(r) : TResult::Error(Where(r) + ": no device to play into");
  }
  for (const Entry& e : Table()) {
    if (e.type != r.Type) continue;
    if (r.Bytes.size() < e.minSize) return TResult::Error(Where(r) + ": record too short");
    if (!FTarget) return TResult::Error(Where(r) + ": no device to play into");
    return (this->*e.handler)(r);
  }
  return TResult::Ok();  // a record of the format that does not draw here
}

TResult TEmfPlayer::ExtTextOut(const TEmfRecord& r) {
  auto t = Get<emf::EmrExtTextOut>(r);
  const bool wide = r.Type == emf::EMR_EXTTEXTOUTW;
  const std::uint64_t n = t.nChars;
  const std::uint64_t size = r.Bytes.size();
  const std::uint64_t unit = wide ? 2 : 1;
  if (n > 0 && (t.offString < 8 || t.offString + n * unit > size)) {
    return TResult::Error(Where(r) + ": text of " + std::to_string(n) +
                          " characters lies outside the record");
  }
  std::vector<int> dx;
  if (n > 0 && t.offDx != 0) {
    if (t.offDx < 8 || t.offDx + n * 4 > size) {
      return TResult::Error(Where(r) + ": advances lie outside the record");
    }
    dx.resize(n);
    std::memcpy(dx.data(), r.Bytes.data() + t.offDx, n * 4);
  }
  TRect rect{t.rcl.left, t.rcl.top, t.rcl.right, t.rcl.bottom};
  const TRect* rectPtr = (t.fOptions & (ETO_OPAQUE | ETO_CLIPPED)) ? &rect : nullptr;
  const int* dxPtr = dx.empty() ? nullptr : dx.data();
  if (wide) {
    std::u16string text(n, u'\0');
    if (n > 0) std::memcpy(text.data(), r.Bytes.data() + t.offString, n * 2);
    FTarget->ExtTextOutW(t.ptlReference.x, t.ptlReference.y, t.fOptions, rectPtr, text, dxPtr);
  } else {
    std::string bytes(n, '\0');
    if (n > 0) std::memcpy(bytes.data(), r.Bytes.data() + t.offString, n);
    FTarget->ExtTextOutA(t.ptlReference.x, t.ptlReference.y, t.fOptions, rectPtr,
                         Cp932String::FromBytes(bytes), dxPtr);
  }
  return TResult::Ok();
}

TResult TEmfPlayer::StretchDIBits(const TEmfRecord& r) {
  auto s = Get<emf::EmrStretchDIBits>(r);
  const std::uint64_t size = r.Bytes.size();
  if (s.cbBmiSrc < sizeof(emf::BitmapInfoHeader) || s.offBmiSrc < 8 ||
      static_cast<std::uint64_t>(s.offBmiSrc) + s.cbBmiSrc > size || s.offBitsSrc < 8 ||
      static_cast<std::uint64_t>(s.offBitsSrc) + s.cbBitsSrc > size) {
    return TResult::Error(Where(r) + ": bitmap lies outside the record");
  }
  auto bmi = *emf::ReadAt<emf::BitmapInfoHeader>(r.Bytes, s.offBmiSrc);
  TBitmap24 bitmap;
  if (!TBitmap24::FromDib(bmi, r.Bytes.subspan(s.offBitsSrc, s.cbBitsSrc), bitmap)) {
    return TResult::Ok();  // a pixel format this layer does not draw
  }
  // Source rows count from the bottom in a bottom-up DIB; the bitmap here is top-down. Turned over, the
  // source's first row must still be a 32-bit coordinate.
  const long long ySrc =
      bmi.biHeight > 0 ? static_cast<long long>(bitmap.Height()) - s.ySrc - static_cast<long long>(s.cySrc)
                       : s.ySrc;
  if (ySrc < INT32_MIN || ySrc > INT32_MAX) {
    return TResult::Error(Where(r) + ": source rows " + std::to_string(s.ySrc) + " + " +
                          std::to_string(s.cySrc) + " lie outside the coordinate range");
  }
  FTarget->StretchDIBits(s.xDest, s.yDest, s.cxDest, s.cyDest, s.xSrc, static_cast<int>(ySrc), s.cxSrc,
                         s.cySrc, bitmap, s.dwRop);
  return TResult::Ok();
}

// ---- Enumeration -----------------------------------------------------------------------------------------

THandleTable& TEnumContext::Handles() {
  return FPlayer->Handles();
}

TResult TEnumContext::Play() {
  return FPlayer->Play(*FRecord);
}

TResult TEnumContext::PlayRecord(std::span<const std::uint8_t> record) {
  TEmfRecord r;
  // Built records need not be padded to four bytes (PlayEnhMetaFileRecord does not ask for it).
  if (TResult c = CheckFrame(record, 0, false, r); !c) return c;
  r.Index = FRecord ? FRecord->Index : 0;
  return FPlayer->Play(r);
}

TResult EnumerateEmf(std::span<const std::uint8_t> bytes, TDeviceContext* target, const TRect* rect,
                     const TEnumProc& callback) {
  TEmfRecord first;
  if (TResult c = CheckFrame(bytes, 0, true, first); !c) return c;
  if (first.Type != emf::EMR_HEADER || first.Bytes.size() < emf::kMinHeaderSize) {
    return TResult::Error("not an EMF: the first record is not a header");
  }
  emf::EmrHeader h{};
  std::memcpy(&h, first.Bytes.data(), std::min(first.Bytes.size(), sizeof(h)));
  if (h.dSignature != emf::ENHMETA_SIGNATURE) return TResult::Error("not an EMF: header signature is wrong");
  if (h.nBytes > bytes.size()) {
    return TResult::Error("EMF is cut off: the header gives " + std::to_string(h.nBytes) + " bytes, " +
                          std::to_string(bytes.size()) + " are present");
  }

  // The playback transform: the frame (0.01 mm, through the reference device) onto the rectangle.
  int savedIndex = 0;
  if (target && rect) {
    if (h.szlMillimeters.cx <= 0 || h.szlMillimeters.cy <= 0 || h.szlDevice.cx <= 0 || h.szlDevice.cy <= 0) {
      return TResult::Error("EMF header gives no reference device size");
    }
    double pxPerUnitX = h.szlDevice.cx / (h.szlMillimeters.cx * 100.0);
    double pxPerUnitY = h.szlDevice.cy / (h.szlMillimeters.cy * 100.0);
    double fx = h.rclFrame.left * pxPerUnitX, fy = h.rclFrame.top * pxPerUnitY;
    double fw = (static_cast<double>(h.rclFrame.right) - h.rclFrame.left) * pxPerUnitX;
    double fh = (static_cast<double>(h.rclFrame.bottom) - h.rclFrame.top) * pxPerUnitY;
    if (!(fw > 0) || !(fh > 0)) return TResult::Error("EMF frame is empty");
    double sx = (static_cast<double>(rect->Right) - rect->Left) / fw;
    double sy = (static_cast<double>(rect->Bottom) - rect->Top) / fh;
    TXForm stretch{static_cast<float>(sx),
                   0,
                   0,
                   static_cast<float>(sy),
                   static_cast<float>(rect->Left - fx * sx),
                   static_cast<float>(rect->Top - fy * sy)};
    savedIndex = target->SaveDC();
    target->BeginPlayback(stretch);
  }
  // The played recording's state never leaks into the target, whatever happens inside.
  TDeviceContext* restoreTarget = target && rect ? target : nullptr;
  TScopeGuard restore([restoreTarget, savedIndex] {
    if (restoreTarget && savedIndex > 0) restoreTarget->RestoreDC(savedIndex);
  });

  TEmfPlayer player(target, h.nHandles);
  TEnumContext context;
  context.FTarget = target;
  context.FPlayer = &player;
  std::size_t offset = 0;
  for (std::size_t index = 0;; ++index) {
    if (offset == bytes.size()) return TResult::Error("EMF ends without an EOF record");
    TEmfRecord r;
    if (TResult c = CheckFrame(bytes, offset, true, r); !c) return c;
    r.Index = index;
    context.FRecord = &r;
    if (!callback(context)) return TResult::Ok();
    if (r.Type == emf::EMR_EOF) return TResult::Ok();
    offset += r.Bytes.size();
  }
}

TResult EnumerateMetafile(const TMetafile& metafile, TDeviceContext* target, const TRect* rect,
                          const TEnumProc& callback) {
  if (metafile.Empty()) return TResult::Error("the metafile holds no recording");
  return EnumerateEmf(metafile.Bytes(), target, rect, callback);
}

TResult TMetafile::Enumerate(TDeviceContext* target, const TRect* rect, const TEnumProc& callback) const {
  return EnumerateMetafile(*this, target, rect, callback);
}

TResult PlayEmf(TDeviceContext& target, std::span<const std::uint8_t> bytes, const TRect& rect) {
  TResult failure;
  TResult r = EnumerateEmf(bytes, &target, &rect, [&failure](TEnumContext& c) {
    failure = c.Play();
    return failure.IsOk();
  });
  if (!r) return r;
  return failure;
}

TResult PlayMetafile(TDeviceContext& target, const TMetafile& metafile, const TRect& rect) {
  if (metafile.Empty()) return TResult::Error("the metafile holds no recording");
  return PlayEmf(target, metafile.Bytes(), rect);
}

TResult TMetafile::Draw(TCanvas& canvas, const TRect& rect) const {
  if (Empty()) return TResult::Ok();
  return PlayMetafile(canvas.Handle(), *this, rect);
}

}  // namespace tess
