#pragma once
// Page recordings: Enhanced Metafiles in the published MS-EMF format.
//
// A TMetafile holds the bytes of one finished recording (or none). A TMetafileCanvas opened on it with a
// reference device (printer or screen) records drawing as EMF records; closing the canvas (Close or the
// destructor) finishes the recording and stores it in the metafile. Recordings are played back through
// the record enumerator, which checks every record's frame before anyone looks inside it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/Result.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/emf/EmfRecords.h"

namespace tess {

class TEnumContext;

class TMetafile : public TGraphic {
 public:
  TMetafile() = default;
  // Copies are independent: a copy shares nothing with its source.
  TMetafile(const TMetafile&) = default;
  TMetafile& operator=(const TMetafile&) = default;

  // Frame size in 0.01 mm. Zero means "from what was drawn" when a recording is finished.
  int MMWidth() const { return FMMWidth; }
  void SetMMWidth(int value) { FMMWidth = value; }
  int MMHeight() const { return FMMHeight; }
  void SetMMHeight(int value) { FMMHeight = value; }
  // Frame size in pixels of the reference device (MMWidth * szlDevice.cx / (szlMillimeters.cx * 100),
  // rounded); with Inch set, in units of 1/Inch inch instead.
  int Width() const;
  int Height() const;
  int Inch() const { return FInch; }
  void SetInch(int value) { FInch = value; }

  bool Empty() const { return FBytes.empty(); }
  void Clear();
  // The header of the recording (zeroes when empty).
  emf::EmrHeader Header() const;
  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }

  // Takes .emf bytes after checking the header and every record's frame; on failure nothing changes.
  TResult LoadFromBytes(std::vector<std::uint8_t> bytes);
  TResult LoadFromFile(const std::string& path);
  TResult SaveToFile(const std::string& path) const;

  // EnumerateMetafile on this recording (see below).
  TResult Enumerate(TDeviceContext* target, const TRect* rect,
                    const std::function<bool(TEnumContext&)>& callback) const;
  // Plays the recording into the canvas's context, stretched into rect (TCanvas::StretchDraw); an empty
  // metafile draws nothing.
  TResult Draw(TCanvas& canvas, const TRect& rect) const override;

 private:
  friend class TMetafileCanvas;
  std::vector<std::uint8_t> FBytes;
  emf::EmrHeader FHeader{};
  int FMMWidth = 0;
  int FMMHeight = 0;
  int FInch = 0;
};

// Records onto a metafile. The frame is the metafile's MMWidth x MMHeight when set.
class TMetafileCanvas : public TCanvas {
 public:
  TMetafileCanvas(TMetafile& metafile, const TDeviceDescription& referenceDevice);
  ~TMetafileCanvas() override;
  // Finishes the recording (header totals, EOF) and stores it in the metafile. Further drawing is ignored.
  void Close();
  bool Closed() const { return FClosed; }

 private:
  TMetafile& FMetafile;
  bool FClosed = false;
};

// ---- Enumeration and playback ----------------------------------------------------------------------------

// One record, already checked: at least 8 bytes, a multiple of 4, and wholly inside the recording.
struct TEmfRecord {
  std::uint32_t Type = 0;
  std::span<const std::uint8_t> Bytes;  // the whole record, iType and nSize included
  std::size_t Offset = 0;               // from the start of the recording
  std::size_t Index = 0;                // 0 for the header
};

// GDI objects created by the records being played (MS-EMF handle table; index 0 stands for the metafile).
struct TEmfObject {
  enum Kind { None, Font, Pen, Brush } kind = None;
  TLogFont font;
  TLogPen pen;
  TLogBrush brush;
};
using THandleTable = std::vector<TEmfObject>;

class TEmfPlayer;

// What a callback sees of one record and the playback around it.
class TEnumContext {
 public:
  const TEmfRecord& Record() const { return *FRecord; }
  THandleTable& Handles();
  // The context records are played into, or nullptr when enumerating without a target.
  TDeviceContext* Target() const { return FTarget; }
  // Plays the current record into the target (GDI semantics). An error stops the enumeration.
  TResult Play();
  // Plays a record the callback built (its frame is checked like any other record).
  TResult PlayRecord(std::span<const std::uint8_t> record);

 private:
  friend TResult EnumerateEmf(std::span<const std::uint8_t>, TDeviceContext*, const TRect*,
                              const std::function<bool(TEnumContext&)>&);
  const TEmfRecord* FRecord = nullptr;
  TDeviceContext* FTarget = nullptr;
  TEmfPlayer* FPlayer = nullptr;
};

// Callback: return false to stop the enumeration (not an error).
using TEnumProc = std::function<bool(TEnumContext&)>;

// Enumerates the records of an EMF in order. With a target and a rectangle, the target's state is saved,
// the recording's frame is mapped onto the rectangle (mirrored where its corners are reversed), and the
// state is restored at the end whatever happened. A malformed record ends the enumeration with an error.
TResult EnumerateEmf(std::span<const std::uint8_t> bytes, TDeviceContext* target, const TRect* rect,
                     const TEnumProc& callback);
TResult EnumerateMetafile(const TMetafile& metafile, TDeviceContext* target, const TRect* rect,
                          const TEnumProc& callback);
// Plays every record into the target, stretched into rect.
TResult PlayMetafile(TDeviceContext& target, const TMetafile& metafile, const TRect& rect);
TResult PlayEmf(TDeviceContext& target, std::span<const std::uint8_t> bytes, const TRect& rect);

}  // namespace tess
