#pragma once
// The preview window as the preview component sees it. The real window implements this; tests use a
// stand-in. The window is also a component (a form): its name, owner and class are read through it.

#include "platform/components/Component.h"

namespace tess {

class TCustomplPrev;

class IplPrevWindow {
 public:
  virtual ~IplPrevWindow() = default;
  // The form itself (name, owner, class; destroying it destroys the window).
  virtual TComponent& WindowComponent() = 0;
  // The window takes the component and, while hidden, applies the component's window properties.
  virtual void AttachPreview(TCustomplPrev* preview) = 0;
  virtual bool Visible() const = 0;
  // Shows the window and returns when the user has closed it.
  virtual void ShowModal() = 0;
  // Shows the window without waiting, or brings it forward when it is shown already.
  virtual void Show() = 0;
  // Draws the component's current page again.
  virtual void ShowCurrentPage() = 0;
  // The window's print button (its event, its print dialog, then Print) and close button.
  virtual void PrintButtonAction(TComponent* sender) = 0;
  virtual void CloseButtonAction() = 0;
};

}  // namespace tess
