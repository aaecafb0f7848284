// Every control class of the platform layer, for creation by class name from stored designs.
#include "platform/ui/Bevel.h"
#include "platform/ui/BitBtn.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/ToolBar.h"

namespace tess {

void RegisterControlClasses() {
  RegisterComponentClass<TPanel>();
  RegisterComponentClass<TLabel>();
  RegisterComponentClass<TEdit>();
  RegisterComponentClass<TButton>();
  RegisterComponentClass<TBitBtn>();
  RegisterComponentClass<TRadioGroup>();
  RegisterComponentClass<TCheckBox>();
  RegisterComponentClass<TSpinEdit>();
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
