#pragma once
// TCStringList: a non-visual component holding one list of text lines (a puzzle catalogue).

#include "platform/components/Component.h"
#include "platform/core/StringList.h"

namespace tess {

class TCStringList : public TComponent {
  TESS_COMPONENT_CLASS(TCStringList, TComponent)
 public:
  explicit TCStringList(TComponent* owner) : TComponent(owner) {}

  // The component's own list; it lives and dies with the component.
  const TStringList& Strings() const { return FStrings; }
  // Copies the lines of `list`; a null list leaves the lines unchanged.
  void SetStrings(const TStringList* list) {
    if (list != nullptr) FStrings.Assign(*list);
  }

  void DefineProperties(TFiler& filer) override;

 private:
  TStringList FStrings;
};

}  // namespace tess
