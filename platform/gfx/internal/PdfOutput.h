#pragma once
// The device the toolkit's PDF writer writes to, putting its bytes right on their way (PdfBytes.h). Only
// platform sources include this header.

#include <QIODevice>

#include "platform/gfx/internal/PdfBytes.h"

namespace tess {

class TPdfOutputDevice : public QIODevice {
 public:
  explicit TPdfOutputDevice(TPdfByteStream::TSink sink) : FStream(std::move(sink)) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return true; }

  // The characters drawn on the document's pages: give it to the canvas that draws them (MakePainterCanvas).
  std::set<char16_t>& DrawnCharacters() { return FStream.DrawnCharacters(); }
  // Sends what is held, once the writer has ended; false when the sink did not take it.
  bool Finish() { return FStream.Finish(); }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    return size >= 0 && FStream.Write(data, static_cast<std::size_t>(size)) ? size : -1;
  }

 private:
  TPdfByteStream FStream;
};

}  // namespace tess
