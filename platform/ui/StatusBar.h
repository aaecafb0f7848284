#pragma once
// A status bar with text panels.

#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/ui/Controls.h"

namespace tess {

struct TStatusPanel {
  int Width = 50;
  Cp932String Text;
};

// A status bar with panels and, optionally, a size grip in its right corner.
class TStatusBar : public TWinControl {
  TESS_COMPONENT_CLASS(TStatusBar, TWinControl)
 public:
  explicit TStatusBar(TComponent* owner);
  int PanelCount() const { return static_cast<int>(FPanels.size()); }
  const TStatusPanel& Panel(int index) const { return FPanels.at(static_cast<std::size_t>(index)); }
  void SetPanels(const std::vector<TStatusPanel>& panels);
  void SetPanelText(int index, const Cp932String& text);
  void SetPanelWidth(int index, int width);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool grip);
  void DefineProperties(TFiler& filer) override;

 private:
  std::vector<TStatusPanel> FPanels;
  bool FSizeGrip = true;
};

}  // namespace tess
