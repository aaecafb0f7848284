#pragma once
// plPrevForm: the preview window. It shows the preview component's pages one at a time as a scaled
// picture in a scrolling area, with a toolbar for printing, paging and zoom, a status bar with the page
// number and paper name, drag-to-scroll of the picture, and a context menu with the copy actions. Its
// controls come from its stored design (PreviewWindowForm.json); nearly all of its appearance comes from the
// component's published properties, and every user-visible step fires one of the component's events.

#include <string>

#include "platform/ui/Forms.h"
#include "platform/ui/Image.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/PrintDialogs.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/ToolBar.h"
#include "preview/PreviewDocument.h"
#include "preview/PreviewWindow.h"

namespace tess {

class TBitmap24;

class TplPrevForm : public TForm, public IplPrevWindow {
  TESS_COMPONENT_CLASS(TplPrevForm, TForm)
 public:
  // Creates the window from its stored design (hidden), then runs FormCreate. The window takes the name
  // "plPrevForm", or "plPrevForm_1", "plPrevForm_2", ... when its owner already holds one of that name.
  // Throws EReadError when the design lacks one of the window's controls.
  explicit TplPrevForm(TComponent* owner);
  ~TplPrevForm() override;

  // ---- Controls, in the order of the stored design ----
  TToolBar* IconBar = nullptr;
  TSpeedButton* PrintBtn = nullptr;
  TSpeedButton* PrinterSetBtn = nullptr;
  TSpeedButton* Space10 = nullptr;
  TSpeedButton* FirstPageBtn = nullptr;
  TSpeedButton* PriorPageBtn = nullptr;
  TSpeedButton* NextPageBtn = nullptr;
  TSpeedButton* LastPageBtn = nullptr;
  TSpeedButton* Space20 = nullptr;
  TSpeedButton* ZoomDownBtn = nullptr;
  TSpeedButton* ZoomUpBtn = nullptr;
  TSpeedButton* PageWholeBtn = nullptr;
  TSpeedButton* PageWidthBtn = nullptr;
  TSpeedButton* Space30 = nullptr;
  TSpeedButton* CloseBtn = nullptr;
  TStatusBar* StatusBar = nullptr;
  TPanel* DisplayPanel = nullptr;
  TScrollBox* ScrollBox1 = nullptr;
  TShape* Shape2 = nullptr;
  TImage* Image1 = nullptr;
  TShape* Shape1 = nullptr;
  TPrintDialog* PrintDialog1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* N2 = nullptr;
  TMenuItem* N3 = nullptr;
  TMenuItem* N4 = nullptr;

  // ---- Window state ----
  TCustomplPrev* PreviewComponent() const { return FPreviewComponent; }
  bool ResizeReady() const { return FResizeReady; }
  int ImageLeft() const { return FImageLeft; }
  int ImageTop() const { return FImageTop; }
  int ImageWidth() const { return FImageWidth; }
  int ImageHeight() const { return FImageHeight; }
  int DragStartX() const { return FDragStartX; }
  int DragStartY() const { return FDragStartY; }
  bool IsDragging() const { return FDragging; }

  // ---- What the component calls (IplPrevWindow) ----
  TComponent& WindowComponent() override { return *this; }
  void AttachPreview(TCustomplPrev* preview) override;
  bool Visible() const override { return TForm::Visible(); }
  void ShowModal() override;
  void Show() override;
  void ShowCurrentPage() override;
  void PrintButtonAction(TComponent* sender) override { PrintBtnClick(sender); }
  void CloseButtonAction() override { CloseBtnClick(this); }

  // ---- Steps ----
  void ApplyFormSettings();
  void ApplyButtonOptions();
  void PlaceFrameShapes();

  // ---- Event handlers (bound by the stored design) ----
  void FormCreate(TComponent* Sender);
  void FormShow(TComponent* Sender);
  void FormCanResize(TComponent* Sender, int& NewWidth, int& NewHeight, bool& Resize);
  void FormResize(TComponent* Sender);
  void FormConstrainedResize(TComponent* Sender, int& MinWidth, int& MinHeight, int& MaxWidth,
                             int& MaxHeight);
  void FormCloseQuery(TComponent* Sender, bool& CanClose);
  void FormClose(TComponent* Sender, TCloseAction& Action);
  void FormDestroy(TComponent* Sender);
  void PrintBtnClick(TComponent* Sender);
  void PrinterSetBtnClick(TComponent* Sender);
  void FirstPageBtnClick(TComponent* Sender);
  void PriorPageBtnClick(TComponent* Sender);
  void NextPageBtnClick(TComponent* Sender);
  void LastPageBtnClick(TComponent* Sender);
  void ZoomDownBtnClick(TComponent* Sender);
  void ZoomUpBtnClick(TComponent* Sender);
  void PageWholeBtnClick(TComponent* Sender);
  void PageWidthBtnClick(TComponent* Sender);
  void CloseBtnClick(TComponent* Sender);
  // Keys of a viewer, seen before the control with the focus: Page Down and Page Up turn pages, Home and
  // End go to the first and last page, + and - (also on the keypad) zoom, each as its toolbar button does
  // when the button is offered and enabled; the arrow keys scroll the picture. Alt with a key is left to
  // the accelerators.
  void FormKeyDown(TComponent* Sender, int& Key, TShiftState Shift);
  // The wheel scrolls the picture; with Ctrl it zooms, a step of the zoom buttons a notch.
  void ScrollBox1MouseWheel(TComponent* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos,
                            bool& Handled);
  void Image1MouseDown(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Image1DragOver(TComponent* Sender, TComponent* Source, int X, int Y, TDragState State, bool& Accept);
  void Image1DragDrop(TComponent* Sender, TComponent* Source, int X, int Y);
  // The context menu's actions.
  void ActionPageCopyExecute(TComponent* Sender);
  void ActionDispCopyExecute(TComponent* Sender);
  void ActionHardCopyExecute(TComponent* Sender);

  // A system command arrives: a move is swallowed while the component does not let the window move.
  void SystemCommand(unsigned command, bool& handled) override;

  // Where the hard copy puts a capture of capWidth x capHeight pixels on a page pageWidth pixels wide:
  // 80 % of the width centred, 5 % of the width below the top, in the capture's proportions.
  static TRect HardCopyRect(int pageWidth, int capWidth, int capHeight);

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void ShowingChanged() override;
  // Bounds the program sets change the size as a user's resize does: OnResize follows.
  void BoundsChanged() override;
  // The size the window opens at when the window system picks it (poDefault): the whole page readable,
  // 90 % of the work area high and as wide as the page at that height plus the window around it.
  TSize DefaultSize(const TRect& workArea) const override;

 private:
  template <class T>
  T* Bind(const char* name);
  void SetImageBounds();
  // Whether the screen rendering of the current page is the stored page on its paper as it is (no event
  // draws into the rendering, no tractor-feed marks): then the stored page is shown without re-recording.
  bool ShowsStoredPage() const;
  void ShowPagePicture();
  void MoveDragged(int dx, int dy);
  // Does what pressing the button does, when the window offers the button and it is enabled.
  void PressButton(TSpeedButton* button);
  void ProcessMessages();
  // The platform's print-screen capture: false where this platform family has none.
  bool SimulatePrintScreen();
  void PrintHardCopy(const TBitmap24& bitmap);

  TCustomplPrev* FPreviewComponent = nullptr;
  bool FResizeReady = false;
  int FImageLeft = 0, FImageTop = 0, FImageWidth = 0, FImageHeight = 0;
  int FDragStartX = 0, FDragStartY = 0;
  bool FDragging = false;
  bool FApplyingSettings = false;
  int FLastClientWidth = -1, FLastClientHeight = -1;
  int FWheelZoom = 0;  // Ctrl + wheel turns not yet a whole notch
};

}  // namespace tess
