#pragma once
// Forms: top-level windows built from their stored design, with the window properties and events the
// program's windows use (caption, icon, border, placement, state, bounds, constraints, modal showing,
// close query and action, showing-changed and system-command notifications).

#include <memory>
#include <string>
#include <string_view>

#include "platform/components/StoredDesign.h"
#include "platform/ui/Controls.h"

namespace tess {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIconFlag : unsigned {
  biSystemMenu = 1u << 0,
  biMinimize = 1u << 1,
  biMaximize = 1u << 2,
  biHelp = 1u << 3
};
using TBorderIcons = unsigned;
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// System commands as the window system numbers them (the low four bits are the system's own).
constexpr unsigned SC_SIZE = 0xF000;
constexpr unsigned SC_MOVE = 0xF010;
constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr unsigned SC_MAXIMIZE = 0xF030;
constexpr unsigned SC_CLOSE = 0xF060;
constexpr unsigned SC_RESTORE = 0xF120;

struct TSizeConstraints {
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;  // 0 = no limit
};

class TForm : public TWinControl, public TPublishedMethods {
  TESS_COMPONENT_CLASS(TForm, TWinControl)
 public:
  // An empty, hidden form. A descendant publishes its methods, then calls ReadDesign and DoCreate.
  explicit TForm(TComponent* owner);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  // Window icon from image file bytes (PNG, BMP, ICO); empty bytes give the application's icon.
  void SetIconImage(std::string_view imageBytes);
  bool HasIcon() const { return !FIconBytes.empty(); }

  // Left, Top, Width and Height are the outer bounds (frame included); the client area is the inside. Until
  // the window system has framed the shown window its frame is taken to be the one last seen on a window of
  // the same kind; once the real frame is known the outer bounds stay and the client area takes the rest.
  void SetBounds(int left, int top, int width, int height) override;
  // Whether the window system has framed the shown window (its frame, so its outer bounds, are known).
  bool Framed() const;
  // Lets messages run until the window system has framed the shown window, at most `timeoutMs`
  // milliseconds; returns Framed().
  bool WaitUntilFramed(int timeoutMs);
  int ClientWidth() const override { return FClientWidth; }
  int ClientHeight() const override { return FClientHeight; }
  void SetClientWidth(int v) override;
  void SetClientHeight(int v) override;
  const TSizeConstraints& Constraints() const { return FConstraints; }
  void SetConstraints(const TSizeConstraints& c);
  // Asks OnCanResize whether the window may take this outer size.
  bool CanResize(int& newWidth, int& newHeight);

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);

  void SetVisible(bool visible) override;
  bool IsTopLevel() const override { return true; }
  // Shows the form and returns when it closes, with its modal result.
  TModalResult ShowModal();
  bool Modal() const { return FModal; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result);
  // The close sequence: close query, then OnClose decides what happens to the window.
  void Close();
  bool CloseQuery();
  // Frees the form once the current event has been handled.
  void Release();
  // With KeyPreview, OnKeyDown sees every key pressed in the form before the control with the focus does;
  // without it, only the keys that reach the form itself (no control took them).
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool v) { FKeyPreview = v; }

  // What reading the stored design reported (problems that did not stop it).
  const DesignReadReport& DesignReport() const { return FDesignReport; }

  // Sends a system command as the window system would (the title bar's move, the system menu's items).
  void PerformSystemCommand(unsigned command);

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;
  TKeyEvent OnKeyDown;

  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 protected:
  // Reads the form's stored design; unclean designs are kept in DesignReport (and fail the design test).
  void ReadDesign(std::string_view json);
  // A problem a descendant finds after reading (a component its design must hold is missing, say).
  void ReportDesignProblem(const std::string& problem);
  // Runs OnCreate after every property has been read.
  void DoCreate();
  // The form's showing state changed (Visible set). The base class does the window system's part (shows or
  // hides the window, applying placement and state); overrides call it where their sequence needs it.
  virtual void ShowingChanged();
  // A system command arrives. Set `handled` to swallow it; otherwise the default handling runs.
  virtual void SystemCommand(unsigned command, bool& handled);
  // The outer size the window system gives the form when its placement rule leaves the size to the system
  // (poDefault, poDefaultSizeOnly); kept within the work area. The base gives the form's own size; a form
  // that knows what it shows better overrides it.
  virtual TSize DefaultSize(const TRect& workArea) const;
  void CaptionChanged() override;
  void ColorChanged() override;
  void BoundsChanged() override;

 private:
  friend struct TFormAccess;
  void ApplyWindowFlags();
  void ApplyPlacement();
  void ApplyConstraints();
  void DoClose(TCloseAction& action);
  void CloseModal();
  void WidgetMoved(int left, int top);
  void WidgetResized(int clientWidth, int clientHeight);
  void WidgetCloseRequested();
  void WidgetFramed();
  void UpdateOuterFromWidget();
  // Outer bounds the program or the window system chose (not the user): no can-resize query.
  void SetOuterBounds(int left, int top, int width, int height);

  TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition FPosition = TPosition::poDesigned;
  TWindowState FWindowState = TWindowState::wsNormal;
  std::string FIconBytes;
  int FClientWidth = 0, FClientHeight = 0;
  TSizeConstraints FConstraints;
  TWinControl* FActiveControl = nullptr;
  bool FModal = false;
  TModalResult FModalResult = mrNone;
  bool FKeyPreview = false;
  bool FPlaced = false;
  bool FKeepClientSize = false;  // the client size was asked for (a design's): the frame goes around it
  bool FInResizeCheck = false;
  bool FInMoveCheck = false;
  DesignReadReport FDesignReport;
  std::shared_ptr<bool> FAlive;
  std::string FOnCreateName, FOnDestroyName, FOnShowName, FOnHideName, FOnActivateName, FOnDeactivateName,
      FOnCloseName, FOnCloseQueryName, FOnCanResizeName, FOnConstrainedResizeName, FOnKeyDownName;
  void* FModalLoop = nullptr;
};

// The form a control stands on: the control itself when it is a form, else its nearest parent that is one
// (nullptr when there is none).
TForm* ParentFormOf(TControl* control);

}  // namespace tess
