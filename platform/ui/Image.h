#pragma once
// A picture control showing a page recording.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/ui/Controls.h"

namespace tess {

// A picture control. It shows a page recording, stretched to its bounds when Stretch is set (at its own
// size from the top-left corner otherwise). The control keeps its own copy of the recording.
class TImage : public TControl {
  TESS_COMPONENT_CLASS(TImage, TControl)
 public:
  explicit TImage(TComponent* owner);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool stretch);
  const TMetafile& Picture() const { return FPicture; }
  void SetPicture(const TMetafile& picture);
  void ClearPicture();
  bool HasPicture() const { return !FPicture.Empty(); }
  // Paper under the picture: the bounds are filled with `color` before the picture plays, and the picture
  // is clipped to `clip`, given in units in which the picture spans extentX x extentY (a page's 0.1 mm).
  // The picture is played at the screen's device pixels (crisp on high-density screens) once per size,
  // then the pixels are kept, so scrolling and dragging repaint without playing it again.
  void SetPaper(TColor color, const TRect* clip = nullptr, int extentX = 0, int extentY = 0);
  void ClearPaper();
  bool HasPaper() const { return FHasPaper; }
  TColor PaperColor() const { return FPaperColor; }
  // How many times the picture has been played for the screen (tests and benchmarks).
  int PlayCount() const { return FPlayCount; }
  // Plays the picture as the control shows it into a bitmap of its size times `pixelRatio`.
  TBitmap24 Render(double pixelRatio = 1.0) const;
  void DefineProperties(TFiler& filer) override;
  bool IsGraphicControl() const override { return true; }

 private:
  friend class TImagePainter;
  TMetafile FPicture;
  bool FStretch = false;
  bool FHasPaper = false;
  TColor FPaperColor = clWhite;
  bool FHasClip = false;
  TRect FClip{};
  int FClipExtentX = 0, FClipExtentY = 0;
  unsigned FGeneration = 0;  // changes whenever what the control shows changes
  mutable int FPlayCount = 0;
};

}  // namespace tess
