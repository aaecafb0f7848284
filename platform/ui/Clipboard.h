#pragma once
// The clipboard: emptying it, putting a page recording on it, reading and putting bitmaps, and a screen
// capture that reaches it the way the system's print-screen key puts one there.

#include <string>
#include <vector>

#include "platform/core/Result.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/emf/Metafile.h"

namespace tess {

class TForm;

class TClipboard {
 public:
  void Clear();
  // Puts a page recording on the clipboard: its enhanced-metafile bytes, and beside them the same page as a
  // PNG picture (96 dots per inch, its resolution recorded) and as an SVG drawing (its size in
  // millimetres exact), for the programs that take only those. (Recordings carry no palette here.)
  void SetMetafile(const TMetafile& metafile);
  // The formats the clipboard offers (MIME types) and the bytes of one of them (empty when absent).
  std::vector<std::string> Formats() const;
  std::string Data(const std::string& mimeType) const;
  bool HasMetafile() const;
  // The recording on the clipboard; an error when there is none or it is not a valid recording.
  TResult GetMetafile(TMetafile& out) const;

  bool HasBitmap() const;
  // The bitmap on the clipboard. Throws Exception("未対応のクリップボード データです") when the clipboard
  // holds no picture.
  TBitmap24 GetBitmap() const;
  void SetBitmap(const TBitmap24& bitmap);
};

TClipboard& Clipboard();

// Puts a picture of the form's window (the active-window capture) or, with no form, of the whole screen on
// the clipboard as a bitmap.
void CaptureToClipboard(const TForm* window);

}  // namespace tess
