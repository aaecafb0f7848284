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
