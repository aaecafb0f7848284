// Temporary bodies so that other units can build against the public headers; replaced unit by unit.
#include "platform/Bitmap.h"
#include "platform/Exports.h"
#include "platform/Metafile.h"
#include "platform/internal/DeviceBackend.h"
#include "platform/internal/QtCanvas.h"

namespace tess {
namespace {
class TNullBackend : public TDeviceBackend {
 public:
  void LineTo(TPoint, TPoint) override {}
  void Ellipse(const TRect&) override {}
  void Rectangle(const TRect&) override {}
  void PatBlt(const TRect&, std::uint32_t) override {}
  void ExtTextOut(TPoint, unsigned, const TRect*, std::u16string_view, const std::vector<int>&,
                  const Cp932String*) override {}
  void StretchDIBits(const TRect&, const TRect&, const TBitmap24&, std::uint32_t) override {}
};
}  // namespace

TDeviceDescription TDeviceDescription::Screen() {
  return TDeviceDescription{};
}
int TMetafile::Width() const {
  return 0;
}
int TMetafile::Height() const {
  return 0;
}
void TMetafile::Clear() {
  FBytes.clear();
}
emf::EmrHeader TMetafile::Header() const {
  return FHeader;
}
TResult TMetafile::LoadFromBytes(std::vector<std::uint8_t>) {
  return TResult::Error("not yet");
}
TResult TMetafile::LoadFromFile(const std::string&) {
  return TResult::Error("not yet");
}
TResult TMetafile::SaveToFile(const std::string&) const {
  return TResult::Error("not yet");
}
TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, const TDeviceDescription& ref)
    : TCanvas(std::make_unique<TDeviceContext>(std::make_unique<TNullBackend>(), ref)), FMetafile(metafile) {}
TMetafileCanvas::~TMetafileCanvas() = default;
void TMetafileCanvas::Close() {
  FClosed = true;
}
THandleTable& TEnumContext::Handles() {
  static THandleTable t;
  return t;
}
TResult TEnumContext::Play() {
  return TResult::Error("not yet");
}
TResult TEnumContext::PlayRecord(std::span<const std::uint8_t>) {
  return TResult::Error("not yet");
}
TResult EnumerateEmf(std::span<const std::uint8_t>, TDeviceContext*, const TRect*, const TEnumProc&) {
  return TResult::Error("not yet");
}
TResult EnumerateMetafile(const TMetafile&, TDeviceContext*, const TRect*, const TEnumProc&) {
  return TResult::Error("not yet");
}
TResult PlayMetafile(TDeviceContext&, const TMetafile&, const TRect&) {
  return TResult::Error("not yet");
}
TResult PlayEmf(TDeviceContext&, std::span<const std::uint8_t>, const TRect&) {
  return TResult::Error("not yet");
}
std::unique_ptr<TDeviceContext> MakePainterDeviceContext(QPainter&, const TDeviceDescription& device) {
  return std::make_unique<TDeviceContext>(std::make_unique<TNullBackend>(), device);
}
std::unique_ptr<TCanvas> MakePainterCanvas(QPainter& p, const TDeviceDescription& device) {
  return std::make_unique<TCanvas>(MakePainterDeviceContext(p, device));
}
TDeviceDescription DescribePaintDevice(const QPaintDevice&) {
  return {};
}
struct TBitmap24::CanvasHolder {};
TBitmap24::TBitmap24(int w, int h) : FWidth(w), FHeight(h) {}
TBitmap24::~TBitmap24() = default;
TBitmap24::TBitmap24(const TBitmap24& o) : FWidth(o.FWidth), FHeight(o.FHeight), FBits(o.FBits) {}
TBitmap24& TBitmap24::operator=(const TBitmap24& o) {
  FWidth = o.FWidth;
  FHeight = o.FHeight;
  FBits = o.FBits;
  return *this;
}
std::uint32_t TBitmap24::Pixel(int, int) const {
  return 0;
}
void TBitmap24::SetPixel(int, int, std::uint32_t) {}
TCanvas& TBitmap24::Canvas(int, int) {
  throw std::runtime_error("not yet");
}
void TBitmap24::ReleaseCanvas() {}
emf::BitmapInfoHeader TBitmap24::InfoHeader() const {
  return {};
}
std::vector<std::uint8_t> TBitmap24::DibBits() const {
  return {};
}
TResult TBitmap24::FromDib(const emf::BitmapInfoHeader&, std::span<const std::uint8_t>, TBitmap24&) {
  return TResult::Error("not yet");
}
TResult TBitmap24::SaveToPng(const std::string&) const {
  return TResult::Error("not yet");
}
TResult ExportEmf(const TMetafile&, const std::string&) {
  return TResult::Error("not yet");
}
TResult ExportPdf(const std::vector<const TMetafile*>&, const std::string&) {
  return TResult::Error("not yet");
}
TResult ExportPdf(const TMetafile&, const std::string&) {
  return TResult::Error("not yet");
}
TResult ExportSvg(const TMetafile&, const std::string&, int) {
  return TResult::Error("not yet");
}
TResult ExportPng(const TMetafile&, const std::string&, int) {
  return TResult::Error("not yet");
}
std::vector<std::uint8_t> emf::MakeSaveDCRecord() {
  return {};
}
std::vector<std::uint8_t> emf::MakeRestoreDCRecord(std::int32_t) {
  return {};
}
std::vector<std::uint8_t> emf::MakeSetBkModeRecord(std::uint32_t) {
  return {};
}
std::u16string ToUtf16(const Cp932String&) {
  return {};
}
Cp932String FromUtf16(std::u16string_view) {
  return {};
}
Cp932String ToFullWidth(const Cp932String& t, bool*) {
  return t;
}
}  // namespace tess
