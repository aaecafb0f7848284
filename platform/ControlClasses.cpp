// Every control class of the platform layer, for creation by class name from stored designs.
#include "platform/Controls.h"
#include "platform/StdControls.h"

namespace tess {

void RegisterControlClasses() {
  RegisterComponentClass<TPanel>();
  RegisterComponentClass<TLabel>();
  RegisterComponentClass<TEdit>();
  RegisterComponentClass<TButton>();
  RegisterComponentClass<TBitBtn>();
  RegisterComponentClass<TRadioGroup>();
  RegisterComponentClass<TBevel>();
}

}  // namespace tess

namespace tess {
// Popup menus join with the toolbar and scroll controls; until then a right click opens nothing.
void PopupMenuAt(TPopupMenu* /*menu*/, TPoint /*at*/) {}
}  // namespace tess
