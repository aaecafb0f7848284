#pragma once
// The clipboard: emptying it, putting a page recording on it, reading and putting bitmaps, and a screen
// capture that reaches it the way the system's print-screen key puts one there.

#include "platform/Bitmap.h"
#include "platform/Metafile.h"
#include "platform/Result.h"

namespace tess {

class TForm;

class TClipboard {
 public:
  void Clear();
  // Puts a page recording on the clipboard: its enhanced-metafile bytes, and a picture of it at screen
  // resolution for programs that take only images. (Recordings carry no palette on this platform.)
  void SetMetafile(const TMetafile& metafile);
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
