// Every control class of the platform layer, for creation by class name from stored designs.
#include "platform/ui/Controls.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/StdControls.h"

namespace tess {

void RegisterControlClasses() {
  RegisterComponentClass<TPanel>();
  RegisterComponentClass<TLabel>();
  RegisterComponentClass<TEdit>();
  RegisterComponentClass<TButton>();
  RegisterComponentClass<TBitBtn>();
  RegisterComponentClass<TRadioGroup>();
  RegisterComponentClass<TCheckBox>();
  RegisterComponentClass<TBevel>();
  RegisterComponentClass<TSpeedButton>();
  RegisterComponentClass<TToolBar>();
  RegisterComponentClass<TStatusBar>();
  RegisterComponentClass<TScrollBox>();
  RegisterComponentClass<TImage>();
  RegisterComponentClass<TShape>();
  RegisterComponentClass<TMenuItem>();
  RegisterComponentClass<TPopupMenu>();
}

}  // namespace tess
