// TMetafile (the bytes of a finished recording) and TMetafileCanvas (the recording canvas).
#include "platform/gfx/emf/Metafile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/gfx/emf/internal/EmfWriter.h"

namespace tess {
namespace {

// units * pixels / (millimetres * 100) rounded half away from zero, as MulDiv rounds, but worked out in 64
// bits: a loaded header's sizes may be any 32-bit values. millimetres > 0.
int FramePixels(int units, int pixels, int millimetres) {
  const long long p = static_cast<long long>(units) * pixels;
  const long long c = millimetres * 100LL;
  const long long q = ((p < 0 ? -p : p) + c / 2) / c;
  return static_cast<int>(std::clamp<long long>(p < 0 ? -q : q, INT32_MIN, INT32_MAX));
}

}  // namespace

int TMetafile::Width() const {
  if (FInch != 0) return MulDiv(FMMWidth, FInch, 2540);
  if (FHeader.szlMillimeters.cx <= 0) return 0;
  return FramePixels(FMMWidth, FHeader.szlDevice.cx, FHeader.szlMillimeters.cx);
}

int TMetafile::Height() const {
  if (FInch != 0) return MulDiv(FMMHeight, FInch, 2540);
  if (FHeader.szlMillimeters.cy <= 0) return 0;
  return FramePixels(FMMHeight, FHeader.szlDevice.cy, FHeader.szlMillimeters.cy);
}

void TMetafile::Clear() {
  FBytes.clear();
  FHeader = emf::EmrHeader{};
  FMMWidth = 0;
  FMMHeight = 0;
}

emf::EmrHeader TMetafile::Header() const {
  return FHeader;
}

TResult TMetafile::LoadFromBytes(std::vector<std::uint8_t> bytes) {
  TResult r = EnumerateEmf(bytes, nullptr, nullptr, [](TEnumContext&) { return true; });
  if (!r) return r;
  emf::EmrHeader h{};
  auto size = emf::ReadAt<std::uint32_t>(bytes, 4);
  std::size_t n = std::min<std::size_t>({sizeof(h), bytes.size(), size ? *size : 0});
  std::memcpy(&h, bytes.data(), n);
  // The frame's edges are any 32-bit values; its size must be one too.
  const long long width = static_cast<long long>(h.rclFrame.right) - h.rclFrame.left;
  const long long height = static_cast<long long>(h.rclFrame.bottom) - h.rclFrame.top;
  if (width < INT32_MIN || width > INT32_MAX || height < INT32_MIN || height > INT32_MAX) {
    return TResult::Error("EMF frame of " + std::to_string(width) + " x " + std::to_string(height) +
                          " (0.01 mm) is out of range");
  }
  FHeader = h;
  FBytes = std::move(bytes);
  FMMWidth = static_cast<int>(width);
  FMMHeight = static_cast<int>(height);
  return TResult::Ok();
}

TResult TMetafile::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return TResult::Error("cannot open " + path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return TResult::Error("cannot read " + path);
  return LoadFromBytes(std::move(bytes));
}

TResult TMetafile::SaveToFile(const std::string& path) const {
  if (FBytes.empty()) return TResult::Error("the metafile holds no recording");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return TResult::Error("cannot create " + path);
  out.write(reinterpret_cast<const char*>(FBytes.data()), static_cast<std::streamsize>(FBytes.size()));
  out.close();
  if (!out) return TResult::Error("cannot write " + path);
  return TResult::Ok();
}

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, const TDeviceDescription& referenceDevice)
    : TCanvas(
          std::make_unique<TDeviceContext>(std::make_unique<TEmfWriter>(referenceDevice), referenceDevice)),
      FMetafile(metafile) {
  // The frame's size in reference pixels is known from here on.
  FMetafile.FHeader.szlDevice = {referenceDevice.WidthPixels, referenceDevice.HeightPixels};
  FMetafile.FHeader.szlMillimeters = {referenceDevice.WidthMM, referenceDevice.HeightMM};
  Font().SetPixelsPerInch(referenceDevice.DpiY);
}

TMetafileCanvas::~TMetafileCanvas() {
  Close();
}

void TMetafileCanvas::Close() {
  if (FClosed) return;
  FClosed = true;
  auto& writer = static_cast<TEmfWriter&>(Handle().Backend());
  std::vector<std::uint8_t> bytes = writer.Finish(FMetafile.FMMWidth, FMetafile.FMMHeight);
  emf::EmrHeader h{};
  std::memcpy(&h, bytes.data(), sizeof(h));
  FMetafile.FBytes = std::move(bytes);
  FMetafile.FHeader = h;
  FMetafile.FMMWidth = h.rclFrame.right - h.rclFrame.left;
  FMetafile.FMMHeight = h.rclFrame.bottom - h.rclFrame.top;
}

}  // namespace tess
