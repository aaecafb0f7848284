#include "preview_window/PreviewWindowForm.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"
#include "platform/core/PlatformFamily.h"
#include "platform/core/ScopeGuard.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "preview/TextUtils.h"
#include "printer_settings/PrinterSettings.h"

namespace tess {
namespace designs {
std::string_view PreviewWindowForm();  // the stored design, compiled in (cmake/EmbedDesign.cmake)
}

namespace {

// Neither side of the window can be made smaller than this.
constexpr int kMinimumSize = 300;
// A wheel notch's delta, and how far a notch or an arrow key scrolls the picture.
constexpr int kWheelNotch = 120;
constexpr int kScrollStep = kWheelNotch / 5;

// Real value cut toward zero, held inside the integer range (a page aspect of 0 gives infinities).
int Trunc(double value) {
  constexpr int kLimit = std::numeric_limits<int>::max() / 4;
  if (!std::isfinite(value)) return value > 0 ? kLimit : 0;
  double t = std::trunc(value);
  if (t > kLimit) return kLimit;
  if (t < -kLimit) return -kLimit;
  return static_cast<int>(t);
}

// The component keeps the window types in its own namespace with the same numbering.
TFormBorderStyle ToFormBorderStyle(plprev::TFormBorderStyle s) {
  return static_cast<TFormBorderStyle>(static_cast<int>(s));
}
TPosition ToPosition(plprev::TPosition p) {
  return static_cast<TPosition>(static_cast<int>(p));
}

Cp932String Utf8(const char* text) {
  return Cp932String::FromUtf8(text);
}

}  // namespace

template <class T>
T* TplPrevForm::Bind(const char* name) {
  T* component = dynamic_cast<T*>(FindComponent(name));
  if (component == nullptr) {
    throw EReadError(Cp932String::FromBytes(std::string("plPrevForm: ") + name +
                                            ": missing from the stored design or of another class"));
  }
  return component;
}

TplPrevForm::TplPrevForm(TComponent* owner) : TForm(owner) {
  // A second window of the same owner takes the next free name, as a form read twice does.
  std::string name = "plPrevForm";
  for (int i = 1; owner != nullptr && owner->FindComponent(name) != nullptr; ++i) {
    name = "plPrevForm_" + std::to_string(i);
  }
  SetName(name);
  RegisterComponentClass<TPrintDialog>();

  PublishMethod<TNotifyEvent>("FormCreate", [this](TComponent* s) { FormCreate(s); });
  PublishMethod<TNotifyEvent>("FormShow", [this](TComponent* s) { FormShow(s); });
  PublishMethod<TCanResizeEvent>(
      "FormCanResize", [this](TComponent* s, int& w, int& h, bool& r) { FormCanResize(s, w, h, r); });
  PublishMethod<TNotifyEvent>("FormResize", [this](TComponent* s) { FormResize(s); });
  PublishMethod<TConstrainedResizeEvent>(
      "FormConstrainedResize",
      [this](TComponent* s, int& a, int& b, int& c, int& d) { FormConstrainedResize(s, a, b, c, d); });
  PublishMethod<TCloseQueryEvent>("FormCloseQuery", [this](TComponent* s, bool& c) { FormCloseQuery(s, c); });
  PublishMethod<TCloseEvent>("FormClose", [this](TComponent* s, TCloseAction& a) { FormClose(s, a); });
  PublishMethod<TNotifyEvent>("FormDestroy", [this](TComponent* s) { FormDestroy(s); });
  PublishMethod<TNotifyEvent>("PrintBtnClick", [this](TComponent* s) { PrintBtnClick(s); });
  PublishMethod<TNotifyEvent>("PrinterSetBtnClick", [this](TComponent* s) { PrinterSetBtnClick(s); });
  PublishMethod<TNotifyEvent>("FirstPageBtnClick", [this](TComponent* s) { FirstPageBtnClick(s); });
  PublishMethod<TNotifyEvent>("PriorPageBtnClick", [this](TComponent* s) { PriorPageBtnClick(s); });
  PublishMethod<TNotifyEvent>("NextPageBtnClick", [this](TComponent* s) { NextPageBtnClick(s); });
  PublishMethod<TNotifyEvent>("LastPageBtnClick", [this](TComponent* s) { LastPageBtnClick(s); });
  PublishMethod<TNotifyEvent>("ZoomDownBtnClick", [this](TComponent* s) { ZoomDownBtnClick(s); });
  PublishMethod<TNotifyEvent>("ZoomUpBtnClick", [this](TComponent* s) { ZoomUpBtnClick(s); });
  PublishMethod<TNotifyEvent>("PageWholeBtnClick", [this](TComponent* s) { PageWholeBtnClick(s); });
  PublishMethod<TNotifyEvent>("PageWidthBtnClick", [this](TComponent* s) { PageWidthBtnClick(s); });
  PublishMethod<TNotifyEvent>("CloseBtnClick", [this](TComponent* s) { CloseBtnClick(s); });
  PublishMethod<TKeyEvent>("FormKeyDown",
                           [this](TComponent* s, int& k, TShiftState sh) { FormKeyDown(s, k, sh); });
  PublishMethod<TMouseWheelEvent>("ScrollBox1MouseWheel",
                                  [this](TComponent* s, TShiftState sh, int d, TPoint p, bool& h) {
                                    ScrollBox1MouseWheel(s, sh, d, p, h);
                                  });
  PublishMethod<TMouseEvent>("Image1MouseDown", [this](TComponent* s, TMouseButton b, TShiftState sh, int x,
                                                       int y) { Image1MouseDown(s, b, sh, x, y); });
  PublishMethod<TDragOverEvent>("Image1DragOver",
                                [this](TComponent* s, TComponent* src, int x, int y, TDragState st, bool& a) {
                                  Image1DragOver(s, src, x, y, st, a);
                                });
  PublishMethod<TDragDropEvent>("Image1DragDrop", [this](TComponent* s, TComponent* src, int x, int y) {
    Image1DragDrop(s, src, x, y);
  });
  PublishMethod<TNotifyEvent>("ActionPageCopyExecute", [this](TComponent* s) { ActionPageCopyExecute(s); });
  PublishMethod<TNotifyEvent>("ActionDispCopyExecute", [this](TComponent* s) { ActionDispCopyExecute(s); });
  PublishMethod<TNotifyEvent>("ActionHardCopyExecute", [this](TComponent* s) { ActionHardCopyExecute(s); });
  ReadDesign(designs::PreviewWindowForm());

  IconBar = Bind<TToolBar>("IconBar");
  PrintBtn = Bind<TSpeedButton>("PrintBtn");
  PrinterSetBtn = Bind<TSpeedButton>("PrinterSetBtn");
  Space10 = Bind<TSpeedButton>("Space10");
  FirstPageBtn = Bind<TSpeedButton>("FirstPageBtn");
  PriorPageBtn = Bind<TSpeedButton>("PriorPageBtn");
  NextPageBtn = Bind<TSpeedButton>("NextPageBtn");
  LastPageBtn = Bind<TSpeedButton>("LastPageBtn");
  Space20 = Bind<TSpeedButton>("Space20");
  ZoomDownBtn = Bind<TSpeedButton>("ZoomDownBtn");
  ZoomUpBtn = Bind<TSpeedButton>("ZoomUpBtn");
  PageWholeBtn = Bind<TSpeedButton>("PageWholeBtn");
  PageWidthBtn = Bind<TSpeedButton>("PageWidthBtn");
  Space30 = Bind<TSpeedButton>("Space30");
  CloseBtn = Bind<TSpeedButton>("CloseBtn");
  StatusBar = Bind<TStatusBar>("StatusBar");
  DisplayPanel = Bind<TPanel>("DisplayPanel");
  ScrollBox1 = Bind<TScrollBox>("ScrollBox1");
  Shape2 = Bind<TShape>("Shape2");
  Image1 = Bind<TImage>("Image1");
  Shape1 = Bind<TShape>("Shape1");
  PrintDialog1 = Bind<TPrintDialog>("PrintDialog1");
  PopupMenu1 = Bind<TPopupMenu>("PopupMenu1");
  N1 = Bind<TMenuItem>("N1");
  N2 = Bind<TMenuItem>("N2");
  N3 = Bind<TMenuItem>("N3");
  N4 = Bind<TMenuItem>("N4");
  DoCreate();
}

TplPrevForm::~TplPrevForm() {
  // OnDestroy runs while this class's part still exists (the base class would run it too late).
  if (OnDestroy) {
    TNotifyEvent handler = std::move(OnDestroy);
    OnDestroy = nullptr;
    try {
      handler(this);
    } catch (const std::exception& e) {
      Application().HandleException(this, e);
    }
  }
}

void TplPrevForm::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FPreviewComponent) FPreviewComponent = nullptr;
}

void TplPrevForm::ProcessMessages() {
  Application().ProcessMessages();
}

// ---- Creation and attaching
// --------------------------------------------------------------------------------

void TplPrevForm::FormCreate(TComponent* /*Sender*/) {
  Image1->Hide();
  FPreviewComponent = nullptr;
  FResizeReady = false;
  // A preview component placed on the window itself (its class derived straight from TCustomplPrev).
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (std::string_view(c->ClassParentName()) != "TCustomplPrev") continue;
    auto* preview = dynamic_cast<TCustomplPrev*>(c);
    if (preview == nullptr) continue;
    FPreviewComponent = preview;
    preview->FreeNotification(this);
    preview->SetFormName(Name());
    // The component links itself to the window it finds under that name.
    preview->FindPreviewForm();
    preview->PreparePages();
    ApplyFormSettings();
    break;
  }
}

void TplPrevForm::AttachPreview(TCustomplPrev* preview) {
  if (preview == nullptr) return;
  if (FPreviewComponent != preview) {
    FPreviewComponent = preview;
    preview->FreeNotification(this);
  }
  if (!Visible()) ApplyFormSettings();
}

void TplPrevForm::ApplyFormSettings() {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  // Bounds set here are the component's choice, not the user's: they apply also when the user may not
  // resize the window.
  const bool wasApplying = FApplyingSettings;
  FApplyingSettings = true;
  TScopeGuard applying([this, wasApplying] { FApplyingSettings = wasApplying; });
  if (p->Title().IsEmpty()) p->SetTitle(Utf8("印刷プレビュー"));
  SetCaption(p->Title());
  SetBorderIcons(p->FormBorderIcons());
  StatusBar->SetVisible(p->FormStatusBar());
  // No size grip on a window the user may not resize.
  StatusBar->SetSizeGrip(p->FormCanResize());
  IconBar->SetVisible(p->FormIconBar());
  SetIconImage(p->FormIcon());
  SetBorderStyle(ToFormBorderStyle(p->FormBorderStyle()));
  if (ScrollBox1->Color() == clBtnFace) ScrollBox1->SetColor(p->FormColor());
  switch (p->FormWindowState()) {
    case TplPrevFormWindowState::fwWorkArea: {
      SetPosition(TPosition::poDesigned);
      TRect work = Screen().WorkAreaRect();
      SetBounds(work.Left, work.Top, work.Right - work.Left, work.Bottom - work.Top);
      break;
    }
    case TplPrevFormWindowState::fwFullScreen:
      SetPosition(TPosition::poDesigned);
      SetBorderStyle(TFormBorderStyle::bsSingle);
      SetBounds(0, 0, Screen().Width(), Screen().Height());
      break;
    case TplPrevFormWindowState::fwMinimized:
      SetWindowState(TWindowState::wsMinimized);
      break;
    case TplPrevFormWindowState::fwMaximized:
      SetWindowState(TWindowState::wsMaximized);
      break;
    case TplPrevFormWindowState::fwNormal:
      if (p->FormPosition() != plprev::TPosition::poDesigned) {
        SetPosition(ToPosition(p->FormPosition()));
      } else {
        SetPosition(TPosition::poDesigned);
        SetWindowState(TWindowState::wsNormal);
        SetBounds(p->FormLeft(), p->FormTop(), p->FormWidth(), p->FormHeight());
      }
      break;
  }
  ApplyButtonOptions();
}

void TplPrevForm::ApplyButtonOptions() {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  const TplPrevBtnOptions options = p->BtnOptions();
  auto has = [options](TplPrevBtnOption option) { return (options & BtnBit(option)) != 0; };
  PrintBtn->SetVisible(has(boPrintBtn));
  PrinterSetBtn->SetVisible(has(boPrinterSetBtn) && p->DocState() == TplPrevDocState::dsEmpty);
  FirstPageBtn->SetVisible(has(boFirstPageBtn));
  PriorPageBtn->SetVisible(has(boPriorPageBtn));
  NextPageBtn->SetVisible(has(boNextPageBtn));
  LastPageBtn->SetVisible(has(boLastPageBtn));
  ZoomDownBtn->SetVisible(has(boZoomDownBtn));
  ZoomUpBtn->SetVisible(has(boZoomUpBtn));
  PageWholeBtn->SetVisible(has(boPageWholeBtn));
  PageWidthBtn->SetVisible(has(boPageWidthBtn));
  CloseBtn->SetVisible(has(boCloseBtn));
}

// ---- Showing
// -----------------------------------------------------------------------------------------------

void TplPrevForm::ShowModal() {
  TForm::ShowModal();
}

void TplPrevForm::Show() {
  if (TForm::Visible()) {
    BringToFront();
    return;
  }
  TForm::Show();
}

void TplPrevForm::ShowingChanged() {
  FDragging = false;
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) {
    TForm::ShowingChanged();
    FResizeReady = true;
    return;
  }
  TForm::ShowingChanged();
  if (!TForm::Visible()) return;
  ScrollBox1->SetDoubleBuffered(true);
  FResizeReady = true;
  Image1->SetStretch(true);
  SetCaption(p->Title());
  // A page to show exists once a document has been recorded (and no page is open for drawing).
  if (p->DocState() == TplPrevDocState::dsRecorded && p->Canvas() == nullptr && p->StoredPageCount() > 0) {
    ScrollBox1->SetAutoScroll(true);
    ScrollBox1->HorzScrollBar().SetMargin(10);
    ScrollBox1->VertScrollBar().SetMargin(10);
    Image1->Show();
    if (p->ZoomType() == TplPrevZoomType::ztPageWidth) {
      PageWidthBtnClick(nullptr);
    } else {
      PageWholeBtnClick(nullptr);
    }
    ShowCurrentPage();
    ProcessMessages();
  }
  Repaint();
}

bool TplPrevForm::ShowsStoredPage() const {
  TCustomplPrev* p = FPreviewComponent;
  if (p->OnBeforeView || p->OnNoPrintDraw) return false;
  if (p->PageCount() < 1 || p->StoredPageCount() < p->PageCount()) return false;
  // Continuous paper gets its tractor-feed marks drawn by the rendering.
  Cp932String bin = p->StoredBinName();
  if (!p->NoPrinter() && p->plSetPrinter() != nullptr) bin = p->plSetPrinter()->PaperBinName();
  return !ContainsChars(ToFullWidth(bin), Utf8("トラクタ"));
}

void TplPrevForm::ShowPagePicture() {
  TCustomplPrev* p = FPreviewComponent;
  if (ShowsStoredPage()) {
    // The screen rendering of a stored page is the paper, then the page stretched over it, clipped to
    // the printable area: the stored recording is shown as it is, with the paper under it.
    int page = std::clamp(p->CurrentPage(), 1, p->PageCount());
    const TMetafile* stored = p->Pages(page - 1);
    int width = p->PageWidth() > 0 ? p->PageWidth() : p->PaperWidth();
    int height = p->PageHeight() > 0 ? p->PageHeight() : p->PaperHeight();
    Image1->SetPicture(*stored);
    if (p->ViewClip()) {
      TRect clip{p->PrintableLeft(), p->PrintableTop(), p->PrintableRight(), p->PrintableBottom()};
      Image1->SetPaper(p->PaperColor(), &clip, width, height);
    } else {
      Image1->SetPaper(p->PaperColor());
    }
    return;
  }
  // Rendering lets pending messages run: the picture changes only once it is complete.
  TMetafile* rendered = p->RenderPage(p->CurrentPage());
  Image1->ClearPaper();
  if (rendered != nullptr) {
    Image1->SetPicture(*rendered);
  } else {
    Image1->ClearPicture();
  }
}

void TplPrevForm::ShowCurrentPage() {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr || !Image1->Visible()) return;
  ProcessMessages();
  if (FPreviewComponent == nullptr) return;
  ShowPagePicture();
  Shape1->Show();
  Shape2->SetVisible(p->ImageShade());
  PlaceFrameShapes();
  if (p->OnAfterView) p->OnAfterView(this, p->CurrentPage());
  ProcessMessages();
  if (FPreviewComponent == nullptr) return;

  const int current = p->CurrentPage();
  const int count = p->PageCount();
  PrintBtn->SetEnabled(current > 0);
  PrinterSetBtn->SetEnabled(current > 0);
  PageWholeBtn->SetEnabled(current > 0);
  PageWidthBtn->SetEnabled(current > 0);
  ZoomDownBtn->SetEnabled(current > 0);
  ZoomUpBtn->SetEnabled(current > 0);
  FirstPageBtn->SetEnabled(current > 1);
  PriorPageBtn->SetEnabled(current > 1);
  NextPageBtn->SetEnabled(current < count);
  LastPageBtn->SetEnabled(current < count);

  Cp932String paper = p->StoredPaperName();
  if (!p->NoPrinter() && p->plSetPrinter() != nullptr) paper = p->plSetPrinter()->PaperName();
  // The printer's paper, with a note when the document's own paper is scaled onto it.
  if (p->FitsPage()) paper += MessageCp932("preview.status-fitted", {p->DocumentPaperLayout().PaperName});
  StatusBar->SetPanelText(0, Cp932String(" Page  ") + IntToStr(current) + Cp932String("/") + IntToStr(count) +
                                 Cp932String("  ") + paper);
  if (!p->StatusBarText().IsEmpty()) StatusBar->SetPanelText(1, p->StatusBarText());
}

void TplPrevForm::PlaceFrameShapes() {
  if (!Image1->Visible()) return;
  const int l = Image1->Left(), t = Image1->Top(), w = Image1->Width(), h = Image1->Height();
  Shape2->SetBounds(l + 2, t + 2, w + 2, h + 2);
  Shape1->SetPenColor(clBlack);
  Shape1->SetBounds(l - 1, t - 1, w + 1, h + 1);
  TCustomplPrev* p = FPreviewComponent;
  if (p != nullptr && p->OnResize) p->OnResize(this, p->CurrentPage());
}

void TplPrevForm::SetImageBounds() {
  Image1->SetBounds(FImageLeft, FImageTop, FImageWidth, FImageHeight);
}

// ---- Fits and zoom
// -----------------------------------------------------------------------------------------

void TplPrevForm::PageWholeBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  // Fits and zoom steps lay the page out anew: the view follows the scroll range again, whatever a drag
  // held.
  ScrollBox1->ReleaseView();
  p->SetZoomType(TplPrevZoomType::ztWholePage);
  ScrollBox1->HorzScrollBar().SetVisible(false);
  ScrollBox1->VertScrollBar().SetVisible(false);
  const int boxWidth = ScrollBox1->Width(), boxHeight = ScrollBox1->Height();
  const double r = static_cast<double>(boxHeight) / boxWidth;
  const double a = p->PageAspect();
  if (a > r) {
    FImageTop = 15;
    FImageHeight = boxHeight - 30;
    FImageWidth = Trunc(FImageHeight / a);
    FImageLeft = Trunc((boxWidth - FImageWidth) / 2.0);
  } else {
    FImageLeft = 15;
    FImageWidth = boxWidth - 30;
    FImageHeight = Trunc(a * FImageWidth);
    FImageTop = Trunc((boxHeight - FImageHeight) / 2.0);
  }
  SetImageBounds();
  PlaceFrameShapes();
  ProcessMessages();
  ZoomUpBtn->SetEnabled(true);
  ZoomDownBtn->SetEnabled(true);
}

void TplPrevForm::PageWidthBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  ScrollBox1->ReleaseView();
  p->SetZoomType(TplPrevZoomType::ztPageWidth);
  ScrollBox1->HorzScrollBar().SetVisible(true);
  ScrollBox1->VertScrollBar().SetVisible(true);
  ScrollBox1->HorzScrollBar().SetPosition(0);
  ScrollBox1->VertScrollBar().SetPosition(0);
  FImageTop = 15;
  FImageLeft = 15;
  // Twice: a vertical scroll bar that the first layout brings up narrows the client width.
  for (int pass = 0; pass < 2; ++pass) {
    FImageWidth = ScrollBox1->ClientWidth() - 30;
    FImageHeight = Trunc(p->PageAspect() * FImageWidth);
    SetImageBounds();
  }
  PlaceFrameShapes();
  ProcessMessages();
  ZoomUpBtn->SetEnabled(true);
  ZoomDownBtn->SetEnabled(true);
}

void TplPrevForm::ZoomDownBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  p->SetZoomType(TplPrevZoomType::ztOther);
  ScrollBox1->HorzScrollBar().SetVisible(true);
  ScrollBox1->VertScrollBar().SetVisible(true);
  if (Image1->Width() > 100) {
    FImageWidth = Trunc(FImageWidth * 90 / 100.0);
    FImageHeight = Trunc(p->PageAspect() * FImageWidth);
    ScrollBox1->ReleaseView();
    SetImageBounds();
    PlaceFrameShapes();
    ProcessMessages();
    ZoomDownBtn->SetEnabled(true);
  } else {
    ZoomDownBtn->SetEnabled(false);
  }
  ZoomUpBtn->SetEnabled(true);
}

void TplPrevForm::ZoomUpBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  p->SetZoomType(TplPrevZoomType::ztOther);
  ScrollBox1->HorzScrollBar().SetVisible(true);
  ScrollBox1->VertScrollBar().SetVisible(true);
  if (Image1->Width() < 2 * Screen().Width() && Image1->Height() < 3 * Screen().Height()) {
    FImageLeft = Image1->Left();
    FImageTop = Image1->Top();
    FImageWidth = Trunc(FImageWidth * 100 / 90.0);
    FImageHeight = Trunc(p->PageAspect() * FImageWidth);
    ScrollBox1->ReleaseView();
    SetImageBounds();
    PlaceFrameShapes();
    ProcessMessages();
  } else {
    ZoomUpBtn->SetEnabled(false);
  }
  ZoomDownBtn->SetEnabled(true);
}

// ---- Window size, moving, wheel
// ----------------------------------------------------------------------------

void TplPrevForm::FormCanResize(TComponent* /*Sender*/, int& /*NewWidth*/, int& /*NewHeight*/, bool& Resize) {
  if (FPreviewComponent == nullptr || FApplyingSettings) return;
  Resize = FPreviewComponent->FormCanResize();
  StatusBar->SetSizeGrip(Resize);
}

void TplPrevForm::FormConstrainedResize(TComponent* /*Sender*/, int& MinWidth, int& MinHeight, int& MaxWidth,
                                        int& MaxHeight) {
  MinWidth = kMinimumSize;
  MinHeight = kMinimumSize;
  MaxWidth = 0;
  MaxHeight = 0;
}

void TplPrevForm::FormResize(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr || !FResizeReady) return;
  switch (p->ZoomType()) {
    case TplPrevZoomType::ztWholePage:
      PageWholeBtnClick(this);
      break;
    case TplPrevZoomType::ztPageWidth:
      PageWidthBtnClick(this);
      break;
    case TplPrevZoomType::ztOther:
      break;
  }
}

TSize TplPrevForm::DefaultSize(const TRect& workArea) const {
  TCustomplPrev* p = FPreviewComponent;
  double aspect = p != nullptr ? p->PageAspect() : 0.0;
  if (!(aspect > 0.0) || !std::isfinite(aspect)) return TForm::DefaultSize(workArea);
  // Everything of the window around the scroll box: frame, toolbar, status bar, the panel's border.
  const int chromeWidth = Width() - ScrollBox1->Width(), chromeHeight = Height() - ScrollBox1->Height();
  constexpr int kMargins = 30;  // the whole-page fit keeps 15 pixels on each side
  int height = workArea.Height() * 9 / 10;
  int width = chromeWidth + kMargins + Trunc((height - chromeHeight - kMargins) / aspect);
  // Every visible toolbar button fits.
  if (IconBar->Visible()) {
    int buttons = 0;
    for (int i = 0; i < IconBar->ControlCount(); ++i) {
      TControl* button = IconBar->Controls(i);
      if (button->Visible()) buttons = std::max(buttons, button->Left() + button->Width());
    }
    width = std::max(width, buttons + Width() - ClientWidth());
  }
  if (width > workArea.Width()) {
    // A wide page: the work area's width, and no higher than the page needs at that width.
    width = workArea.Width();
    height = std::min(height, chromeHeight + kMargins + Trunc(aspect * (width - chromeWidth - kMargins)));
  }
  return {std::max(width, kMinimumSize), std::max(height, kMinimumSize)};
}

void TplPrevForm::BoundsChanged() {
  TForm::BoundsChanged();
  if (ClientWidth() == FLastClientWidth && ClientHeight() == FLastClientHeight) return;
  FLastClientWidth = ClientWidth();
  FLastClientHeight = ClientHeight();
  if (OnResize && !HasState(csReading)) Application().RunHandler(this, [this] { OnResize(this); });
}

void TplPrevForm::SystemCommand(unsigned command, bool& handled) {
  if (FPreviewComponent != nullptr && !FPreviewComponent->FormCanMove() && (command & 0xFFF0u) == SC_MOVE) {
    handled = true;
    return;
  }
  TForm::SystemCommand(command, handled);
}

void TplPrevForm::ScrollBox1MouseWheel(TComponent* /*Sender*/, TShiftState Shift, int WheelDelta,
                                       TPoint /*MousePos*/, bool& Handled) {
  Handled = true;
  if ((Shift & ssCtrl) != 0) {
    // Away from the user zooms in. Fine-grained wheels add up to whole notches; turning back starts anew.
    if ((FWheelZoom < 0) != (WheelDelta < 0)) FWheelZoom = 0;
    FWheelZoom += WheelDelta;
    for (; FWheelZoom >= kWheelNotch; FWheelZoom -= kWheelNotch) PressButton(ZoomUpBtn);
    for (; FWheelZoom <= -kWheelNotch; FWheelZoom += kWheelNotch) PressButton(ZoomDownBtn);
    return;
  }
  TControlScrollBar& bar = ScrollBox1->VertScrollBar();
  bar.SetPosition(bar.Position() - WheelDelta / 5);
}

void TplPrevForm::FormKeyDown(TComponent* /*Sender*/, int& Key, TShiftState Shift) {
  if ((Shift & ssAlt) != 0) return;
  TSpeedButton* button = nullptr;
  TControlScrollBar* bar = nullptr;
  int step = kScrollStep;
  switch (Key) {
    case VK_NEXT:
      button = NextPageBtn;
      break;
    case VK_PRIOR:
      button = PriorPageBtn;
      break;
    case VK_HOME:
      button = FirstPageBtn;
      break;
    case VK_END:
      button = LastPageBtn;
      break;
    case VK_OEM_PLUS:
    case VK_ADD:
      button = ZoomUpBtn;
      break;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
      button = ZoomDownBtn;
      break;
    case VK_UP:
      bar = &ScrollBox1->VertScrollBar();
      step = -kScrollStep;
      break;
    case VK_DOWN:
      bar = &ScrollBox1->VertScrollBar();
      break;
    case VK_LEFT:
      bar = &ScrollBox1->HorzScrollBar();
      step = -kScrollStep;
      break;
    case VK_RIGHT:
      bar = &ScrollBox1->HorzScrollBar();
      break;
    default:
      return;
  }
  // The window takes these keys whether or not they do something now (the scroll box would page).
  Key = 0;
  if (button != nullptr) PressButton(button);
  if (bar != nullptr) bar->SetPosition(bar->Position() + step);
}

void TplPrevForm::PressButton(TSpeedButton* button) {
  // A button the component's options leave out offers nothing; a disabled one is busy or has nothing to do.
  if (button->Visible() && button->Enabled()) button->Click();
}

// ---- Mouse and drag
// ----------------------------------------------------------------------------------------

void TplPrevForm::Image1MouseDown(TComponent* /*Sender*/, TMouseButton Button, TShiftState /*Shift*/, int X,
                                  int Y) {
  FDragStartX = X;
  FDragStartY = Y;
  TCustomplPrev* p = FPreviewComponent;
  if (Button == TMouseButton::mbRight) {
    PopupMenu1->SetAutoHotkeys(TMenuAutoHotkeys::maManual);
    if (p != nullptr && p->NoPrinter()) {
      PopupMenu1->Items(1)->SetEnabled(false);
      PopupMenu1->Items(2)->SetEnabled(false);
    }
    TPoint at = Image1->ClientToScreen(TPoint{X, Y});
    PopupMenu1->Popup(at.X, at.Y);
    return;
  }
  if (Button == TMouseButton::mbLeft && p != nullptr && p->ImageDrag()) {
    Image1->BeginDrag(true);
    ScrollBox1->HorzScrollBar().SetVisible(true);
    ScrollBox1->VertScrollBar().SetVisible(true);
    ScrollBox1->SetAutoScroll(true);
    FDragging = true;
  }
}

void TplPrevForm::MoveDragged(int dx, int dy) {
  // The view holds still while the picture moves: the scroll range follows the picture, its frame and its
  // shadow wherever they go, and keeps what is in view.
  ScrollBox1->HoldView();
  for (TControl* c :
       {static_cast<TControl*>(Image1), static_cast<TControl*>(Shape1), static_cast<TControl*>(Shape2)}) {
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
}

void TplPrevForm::Image1DragOver(TComponent* /*Sender*/, TComponent* Source, int X, int Y,
                                 TDragState /*State*/, bool& Accept) {
  if (!FDragging) return;
  Accept = dynamic_cast<TImage*>(Source) != nullptr;
  if (!Accept) return;
  MoveDragged(X - FDragStartX, Y - FDragStartY);
  ScrollBox1->Repaint();
}

void TplPrevForm::Image1DragDrop(TComponent* /*Sender*/, TComponent* Source, int X, int Y) {
  if (!FDragging || Source != Image1) return;
  MoveDragged(X - FDragStartX, Y - FDragStartY);
  Image1->EndDrag(true);
  FDragging = false;
}

// ---- Navigation
// --------------------------------------------------------------------------------------------

void TplPrevForm::FirstPageBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr || p->CurrentPage() == 1) return;
  FirstPageBtn->SetEnabled(false);
  PriorPageBtn->SetEnabled(false);
  p->SetCurrentPage(1);
  ShowCurrentPage();
}

void TplPrevForm::PriorPageBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr || p->CurrentPage() == 1) return;
  PriorPageBtn->SetEnabled(false);
  p->SetCurrentPage(p->CurrentPage() - 1);
  ShowCurrentPage();
}

void TplPrevForm::NextPageBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr || p->CurrentPage() == p->PageCount()) return;
  NextPageBtn->SetEnabled(false);
  p->SetCurrentPage(p->CurrentPage() + 1);
  ShowCurrentPage();
}

void TplPrevForm::LastPageBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr || p->CurrentPage() == p->PageCount()) return;
  LastPageBtn->SetEnabled(false);
  NextPageBtn->SetEnabled(false);
  p->SetCurrentPage(p->PageCount());
  ShowCurrentPage();
}

// ---- Printing and printer setup
// ----------------------------------------------------------------------------

void TplPrevForm::PrintBtnClick(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  bool canPrint = !p->NoPrinter();
  if (p->OnPrintButtonClick) {
    p->OnPrintButtonClick(this, canPrint);
    if (!canPrint) return;
  }
  if (p->NoPrinter()) {
    Application().MessageBox(Utf8("プリンタがインストールされていないので印刷できません．　　"),
                             Utf8("　印刷"), TMsgIcon::Information, TMsgButtons::Ok);
    return;
  }
  const int saved = p->CurrentPage();
  p->SetPrintFromPage(0);
  p->SetPrintToPage(0);
  PrintDialog1->SetMinPage(1);
  PrintDialog1->SetMaxPage(p->PageCount());
  PrintDialog1->SetFromPage(saved);
  PrintDialog1->SetToPage(saved);
  if (!PrintDialog1->Execute()) return;

  PrintBtn->SetEnabled(false);
  // A failure while printing reaches the user through the general handler once the window's printer
  // settings, page and view are back as they were.
  std::exception_ptr failure;
  try {
    if (p->plSetPrinter() != nullptr) p->plSetPrinter()->UpdateFromPrinter(false);
    if (PrintDialog1->PrintRange() == TPrintRange::prAllPages) {
      p->SetPrintFromPage(1);
      p->SetPrintToPage(p->PageCount());
    } else if (PrintDialog1->PrintRange() == TPrintRange::prPageNums) {
      p->SetPrintFromPage(PrintDialog1->FromPage());
      p->SetPrintToPage(PrintDialog1->ToPage());
    }
    // Which pages and in which order; copies and sides went with the printer's settings.
    TplPageChoice choice;
    if (PrintDialog1->PrintRange() == TPrintRange::prPageNums) choice.Ranges = PrintDialog1->PageList();
    choice.PageSet = PrintDialog1->PageSet() == TPrintPageSet::psOdd    ? TplPageSet::psOdd
                     : PrintDialog1->PageSet() == TPrintPageSet::psEven ? TplPageSet::psEven
                                                                        : TplPageSet::psAll;
    choice.Reverse = PrintDialog1->Reverse();
    p->SetPageChoice(choice);
    p->Print();
  } catch (...) {
    failure = std::current_exception();
  }
  if (FPreviewComponent != nullptr) {
    p->SetPageChoice({});
    p->PrinterSettingsFromText(p->PrinterSettingsText());
    p->SetCurrentPage(saved);
    ShowCurrentPage();
  }
  Screen().SetCursor(crDefault);
  Repaint();
  if (failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      Application().HandleException(this, e);
    }
  }
}

void TplPrevForm::PrinterSetBtnClick(TComponent* Sender) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  if (p->NoPrinter()) {
    Application().MessageBox(Utf8("プリンタがインストールされていないので設定できません．　　"),
                             Utf8("　プリンタと用紙の設定"), TMsgIcon::Information, TMsgButtons::Ok);
    return;
  }
  TplSetPrinter* settings = p->plSetPrinter();
  if (settings == nullptr) return;
  if (Sender != nullptr && !settings->ExecuteSetupDialog()) return;
  try {
    PrinterSetBtn->SetEnabled(false);
    settings->UpdateFromPrinter(false);
    // The new settings become the ones put back after printing.
    p->SetPrinterSettingsText(p->PrinterSettingsToText());
    p->UpdatePaperGeometry();
    p->SetPageWidth(p->PaperWidth());
    p->SetPageHeight(p->PaperHeight());
    if (p->OnPrinterSetupDialog) p->OnPrinterSetupDialog(this);
    ShowCurrentPage();
  } catch (...) {
    PageWholeBtnClick(this);
    throw;
  }
  PageWholeBtnClick(this);
}

// ---- Closing
// -----------------------------------------------------------------------------------------------

void TplPrevForm::CloseBtnClick(TComponent* /*Sender*/) {
  Close();
}

void TplPrevForm::FormCloseQuery(TComponent* /*Sender*/, bool& CanClose) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  if (p->OnFormCloseQuery) p->OnFormCloseQuery(this, CanClose);
  if (CanClose) {
    p->SetPageWidth(0);
    p->SetPageHeight(0);
  }
}

void TplPrevForm::FormClose(TComponent* /*Sender*/, TCloseAction& Action) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr) return;
  if (p->OnFormClose) {
    auto action = static_cast<plprev::TCloseAction>(static_cast<int>(Action));
    p->OnFormClose(this, action);
    Action = static_cast<TCloseAction>(static_cast<int>(action));
  }
  Shape1->Hide();
  Shape2->Hide();
  Image1->ClearPicture();
  Image1->ClearPaper();
  const bool owned = p->OwnsForm();
  p->PreviewWindowClosed();
  p->SetFormShowing(false);
  if (owned) {
    // The component created this window: it goes with the close, and the next preview creates a new one.
    p->SetFormName({});
    Action = TCloseAction::caFree;
  }
}

void TplPrevForm::FormShow(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p != nullptr && p->OnFormShow) p->OnFormShow(this);
}

void TplPrevForm::FormDestroy(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p != nullptr && p->OnFormDestroy) p->OnFormDestroy(this);
}

// ---- Context menu: copies
// ----------------------------------------------------------------------------------

void TplPrevForm::ActionPageCopyExecute(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (p == nullptr || p->WorkMetafile() == nullptr) return;
  Clipboard().Clear();
  if (TMetafile* page = p->RenderPage(p->CurrentPage()); page != nullptr) Clipboard().SetMetafile(*page);
  ProcessMessages();
}

bool TplPrevForm::SimulatePrintScreen() {
  // The print-screen key captures the active window on the NT family and the whole screen on the older
  // family; the platform's capture stands in for the key.
  switch (PlatformFamily()) {
    case TPlatformFamily::WindowsNT:
      CaptureToClipboard(this);
      return true;
    case TPlatformFamily::Windows9x:
      CaptureToClipboard(nullptr);
      return true;
  }
  return false;
}

void TplPrevForm::ActionDispCopyExecute(TComponent* /*Sender*/) {
  if (!SimulatePrintScreen()) return;
  ProcessMessages();
}

TRect TplPrevForm::HardCopyRect(int pageWidth, int capWidth, int capHeight) {
  const double aspect = capWidth > 0 ? static_cast<double>(capHeight) / capWidth : 0.0;
  const int m = pageWidth / 10;
  const int top = m / 2;
  const int bottom = top + RoundHalfEven((pageWidth - 2 * m) * aspect);
  return TRect{m, top, pageWidth - m, bottom};
}

void TplPrevForm::PrintHardCopy(const TBitmap24& bitmap) {
  TPrinterSystem& printer = Printer();
  const int pageWidth = printer.DeviceCaps().horzRes;
  TRect r = HardCopyRect(pageWidth, bitmap.Width(), bitmap.Height());
  printer.BeginDoc(Caption());
  try {
    TCanvas* canvas = printer.Canvas();
    if (canvas != nullptr) {
      canvas->Handle().StretchDIBits(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, 0, 0, bitmap.Width(),
                                     bitmap.Height(), bitmap, SRCCOPY);
    }
    ProcessMessages();
  } catch (...) {
    printer.EndDoc();
    throw;
  }
  printer.EndDoc();
}

void TplPrevForm::ActionHardCopyExecute(TComponent* /*Sender*/) {
  TCustomplPrev* p = FPreviewComponent;
  if (!SimulatePrintScreen()) return;
  ProcessMessages();
  TBitmap24 bitmap = Clipboard().GetBitmap();  // "no picture on the clipboard" goes to the general handler
  auto restore = [this] {
    TCustomplPrev* q = FPreviewComponent;
    if (q != nullptr) q->PrinterSettingsFromText(q->PrinterSettingsText());
    ShowCurrentPage();
    ProcessMessages();
  };
  try {
    if (PrintDialog1->Execute()) {
      if (p != nullptr && p->plSetPrinter() != nullptr) p->plSetPrinter()->UpdateFromPrinter(false);
      // Printed on the chosen printer, whatever its name.
      PrintHardCopy(bitmap);
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

}  // namespace tess
