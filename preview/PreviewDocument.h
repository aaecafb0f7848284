#pragma once
// The print-preview component: one document as a list of page recordings in tenths of a millimetre on the
// paper, the paper geometry learnt from a printer-settings component, the page life cycle (BeginDoc,
// drawing on Canvas, NewPage, ..., EndDoc), text and circle placement on the open page, page rendering
// for the screen, the preview-window entry points and printing.
//
// Units: every geometry value and every coordinate given to Canvas is in 0.1 mm from the paper's top-left
// corner (A4 is 2100 x 2970). Printer measures are in printer dots; d dots at r dpi are d * 254 / r.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/components/Component.h"
#include "platform/core/Cp932String.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/emf/Metafile.h"
#include "preview/PreviewHost.h"
#include "preview/PreviewTypes.h"
#include "preview/PreviewWindow.h"

namespace tess {

class TplSetPrinter;

enum TplPrevBtnOption : unsigned {
  boPrintBtn,
  boPrinterSetBtn,
  boFirstPageBtn,
  boPriorPageBtn,
  boNextPageBtn,
  boLastPageBtn,
  boZoomDownBtn,
  boZoomUpBtn,
  boPageWholeBtn,
  boPageWidthBtn,
  boCloseBtn
};
// A set of TplPrevBtnOption: bit n stands for the option of ordinal n.
using TplPrevBtnOptions = unsigned;
constexpr TplPrevBtnOptions BtnBit(TplPrevBtnOption option) {
  return 1u << option;
}
constexpr TplPrevBtnOptions kAllPrevButtons = (1u << (boCloseBtn + 1)) - 1;

enum class TplPrevZoomType { ztWholePage, ztPageWidth, ztOther };
enum class TplPrevFormWindowState { fwNormal, fwMaximized, fwMinimized, fwWorkArea, fwFullScreen };
enum class TplPrevDocState { dsEmpty, dsRecorded };

// Which pages of the print range a print takes, and in which order.
enum class TplPageSet { psAll, psOdd, psEven };  // by page number
struct TplPageChoice {
  std::vector<std::pair<int, int>> Ranges;  // page numbers, first..last each; empty: every page
  TplPageSet PageSet = TplPageSet::psAll;
  bool Reverse = false;  // last page first
};

// A paper as the document is laid out on it, in 0.1 mm, with the resolution its values were measured at.
struct TplPaperLayout {
  int PaperSize = 0;  // paper code in the usual numbering (A4 = 9)
  Cp932String PaperName;
  int PaperWidth = 0, PaperHeight = 0;
  int ResolutionX = 0, ResolutionY = 0;
  int PrintableLeft = 0, PrintableTop = 0, PrintableRight = 0, PrintableBottom = 0;
};

// What a printer reports of its paper with the settings in use, in printer dots.
struct TplDeviceGeometry {
  int ResolutionX = 0, ResolutionY = 0;
  int PageWidth = 0, PageHeight = 0;  // the paper
  int PrintableWidth = 0, PrintableHeight = 0;
  int OffsetLeft = 0, OffsetTop = 0;  // the printable area's corner from the paper's corner
};

// How the pages of a job are mapped onto the printer's canvas: the page's window extent (0.1 mm) onto a
// viewport in printer dots whose origin is given from the printable area's corner.
struct TplPrintMapping {
  int WindowWidth = 0, WindowHeight = 0;
  int ViewportWidth = 0, ViewportHeight = 0;
  int ViewportLeft = 0, ViewportTop = 0;
  bool Fitted = false;  // the page was scaled to a paper other than the document's and centred on it
  double Scale = 1.0;   // of a fitted page's size on paper
};

using TplPrevPageEvent = std::function<void(TComponent* Sender, int Page)>;
using TplPrintButtonEvent = std::function<void(TComponent* Sender, bool& CanPrint)>;

class TCustomplPrev : public TComponent {
  TESS_COMPONENT_CLASS(TCustomplPrev, TComponent)
 public:
  using TCursor = plprev::TCursor;
  using TFormBorderStyle = plprev::TFormBorderStyle;
  using TBorderIcons = plprev::TBorderIcons;
  using TPosition = plprev::TPosition;
  using TNotifyEvent = plprev::TNotifyEvent;
  using TCloseEvent = plprev::TCloseEvent;
  using TCloseQueryEvent = plprev::TCloseQueryEvent;

  explicit TCustomplPrev(TComponent* owner);
  ~TCustomplPrev() override;

  // ---- Virtual operations, in slot order ----
  virtual void BeginDoc();
  virtual void NewPage();
  virtual void EndDoc();
  virtual void Preview();
  virtual void ShowPreview();
  virtual void Print();
  virtual void PreparePages() {}
  virtual void PrintButtonClick();
  virtual bool ShowPage(int page);
  // The stored page (clamped to 1 .. PageCount) rendered into the working recording, or nullptr when no
  // document has been recorded.
  virtual TMetafile* RenderPage(int page);
  virtual void ClosePreview();

  // ---- Page drawing (valid between BeginDoc and EndDoc) ----
  // The recording canvas of the open page; nullptr when no page is open.
  TCanvas* Canvas() const { return FCanvas.get(); }
  void TextOutLeft(int x, int y, const Cp932String& text);
  void TextOutLeftMiddle(int x, int y, const Cp932String& text);
  void TextOutCenter(int x, int y, const Cp932String& text);
  void TextOutRight(int x, int y, const Cp932String& text);
  void Circle(int x, int y, int diameter);

  // ---- Document and paper ----
  // The paper code the document is made for (A4 = 9); 0, the default, takes whatever paper the printer
  // has. With a code, BeginDoc and Print ask the printer of the settings in use for that paper. On a printer
  // that cannot take it the document is laid out on DocumentPaperLayout() (FitsPage) and every printed page
  // is scaled to fit the printer's paper, centred, never enlarged; the user is told once per printer.
  int DocumentPaper() const { return FDocumentPaper; }
  void SetDocumentPaper(int value);  // a code outside 0 .. 32767 changes nothing
  // Whether the document is laid out on the document paper's own values because the printer lacks that
  // paper (known after UpdatePaperGeometry).
  bool FitsPage() const { return FFitsPage; }
  // The document paper laid out without its printer: the stored paper values when they are of that paper
  // (or no paper is set), else its standard size with no unprintable strips; PaperWidth 0 when neither is
  // known.
  TplPaperLayout DocumentPaperLayout() const;
  // The mapping a job's pages get on a printer with this geometry, for the document as it is laid out:
  // the page on the paper as it is when the printer has the document's paper (`fit` false), else scaled
  // to fit and centred. Throws Exception when the printer reports no resolution or no printable area.
  TplPrintMapping PrintMappingFor(const TplDeviceGeometry& device, bool fit) const;
  void UpdatePaperGeometry();
  void ClearPages();
  // Prepares a canvas: the open page's canvas gets the page mapping (and the paper when drawPaper), any
  // other canvas is the printer's and gets the printer mapping.
  void PrepareCanvas(TCanvas& canvas, bool drawPaper);
  double PageAspect() const;
  bool IsAcrobatPrinter() const;
  Cp932String PrinterSettingsToText() const;
  void PrinterSettingsFromText(const Cp932String& text);
  // Where the component finds or creates its window (true when a preview window is attached).
  bool FindPreviewForm();
  // The bitmap's pixels stretched into rect on the printer's canvas while printing, else on Canvas.
  void StretchBitmap(const TRect& rect, const TBitmap24* bitmap);

  TplPrevDocState DocState() const { return FDocState; }
  int PageCount() const { return FPageCount; }
  void SetPageCount(int value);
  const TMetafile* Pages(int index) const;  // 0-based; nullptr outside the stored pages
  int StoredPageCount() const { return static_cast<int>(FPages.size()); }
  TMetafile* WorkMetafile() const { return FWorkMetafile.get(); }
  int CurrentPage() const { return FCurrentPage; }
  void SetCurrentPage(int value) { FCurrentPage = value; }
  int PrintFromPage() const { return FPrintFromPage; }
  void SetPrintFromPage(int value) { FPrintFromPage = value; }
  int PrintToPage() const { return FPrintToPage; }
  void SetPrintToPage(int value) { FPrintToPage = value; }
  const TplPageChoice& PageChoice() const { return FPageChoice; }
  void SetPageChoice(const TplPageChoice& value) { FPageChoice = value; }
  // The pages Print sends, in order: PrintFromPage..PrintToPage, put in order and cut to the document,
  // narrowed by the page choice.
  std::vector<int> PagesToPrint() const;
  int PageWidth() const { return FPageWidth; }
  void SetPageWidth(int value);
  int PageHeight() const { return FPageHeight; }
  void SetPageHeight(int value);
  int PaperWidth() const { return FPaperWidth; }
  int PaperHeight() const { return FPaperHeight; }
  int PrintableLeft() const { return FPrintableLeft; }
  int PrintableTop() const { return FPrintableTop; }
  int PrintableRight() const { return FPrintableRight; }
  int PrintableBottom() const { return FPrintableBottom; }
  int PrintableWidth() const { return FPrintableWidth; }
  int PrintableHeight() const { return FPrintableHeight; }
  int ResolutionX() const { return FResolutionX; }
  int ResolutionY() const { return FResolutionY; }
  int DevicePageWidth() const { return FDevicePageWidth; }
  int DevicePageHeight() const { return FDevicePageHeight; }
  int DevicePrintableWidth() const { return FDevicePrintableWidth; }
  int DevicePrintableHeight() const { return FDevicePrintableHeight; }
  int DeviceOffsetX() const { return FDeviceOffsetX; }
  int DeviceOffsetY() const { return FDeviceOffsetY; }
  int FrameWidth() const { return FFrameWidth; }
  int FrameHeight() const { return FFrameHeight; }
  const Cp932String& StoredPrinterName() const { return FStoredPrinterName; }
  const Cp932String& StoredPaperName() const { return FStoredPaperName; }
  const Cp932String& StoredBinName() const { return FStoredBinName; }
  int StoredLandscape() const { return FStoredLandscape; }
  int StoredPaperSize() const { return FStoredPaperSize; }
  bool NoPrinter() const { return FNoPrinter; }
  bool Printing() const { return FPrinting; }
  bool Ready() const { return FReady; }
  bool FormShowing() const { return FFormShowing; }
  void SetFormShowing(bool value) { FFormShowing = value; }
  bool OwnsForm() const { return FOwnsForm; }
  TComponent* PreviewForm() const { return FPreviewForm; }
  IplPrevWindow* PreviewWindow() const { return FPreviewWindow; }
  // The window closed (the window calls this): page frame reset, not showing, an own window let go.
  void PreviewWindowClosed();
  TplSetPrinter* DefaultSetPrinter() const { return FDefaultSetPrinter; }
  const Cp932String& PrinterSettingsText() const { return FPrinterSettingsText; }
  void SetPrinterSettingsText(const Cp932String& text) { FPrinterSettingsText = text; }
  TCursor SavedCursor() const { return FSavedCursor; }
  // The device a page recording is made against: the printer, or the screen when there is none.
  TDeviceDescription ReferenceDevice() const;

  // ---- Published properties (in stored order) ----
  bool ImageDrag() const { return FImageDrag; }
  void SetImageDrag(bool v) { FImageDrag = v; }
  bool ImageShade() const { return FImageShade; }
  void SetImageShade(bool v) { FImageShade = v; }
  TColor FormColor() const { return FFormColor; }
  void SetFormColor(TColor v) { FFormColor = v; }
  // The printer-settings component in use (the built-in one unless another was given).
  TplSetPrinter* plSetPrinter() const { return FplSetPrinter; }
  void SetplSetPrinter(TplSetPrinter* value);
  int TopMargin() const { return FTopMargin; }
  int BottomMargin() const { return FBottomMargin; }
  int LeftMargin() const { return FLeftMargin; }
  int RightMargin() const { return FRightMargin; }
  int HeaderMargin() const { return FHeaderMargin; }
  int FooterMargin() const { return FFooterMargin; }
  // index 1 top, 2 bottom, 3 left, 4 right, 5 header, 6 footer.
  void SetMargin(int index, int value);
  void SetTopMargin(int v) { SetMargin(1, v); }
  void SetBottomMargin(int v) { SetMargin(2, v); }
  void SetLeftMargin(int v) { SetMargin(3, v); }
  void SetRightMargin(int v) { SetMargin(4, v); }
  void SetHeaderMargin(int v) { SetMargin(5, v); }
  void SetFooterMargin(int v) { SetMargin(6, v); }
  TplPrevBtnOptions BtnOptions() const { return FBtnOptions; }
  void SetBtnOptions(TplPrevBtnOptions v) { FBtnOptions = v & kAllPrevButtons; }
  const Cp932String& Title() const { return FTitle; }
  void SetTitle(const Cp932String& v) { FTitle = v; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v) { FCursor = v; }
  int FormLeft() const { return FFormLeft; }
  void SetFormLeft(int v) { FFormLeft = v; }
  int FormTop() const { return FFormTop; }
  void SetFormTop(int v) { FFormTop = v; }
  int FormWidth() const { return FFormWidth; }
  void SetFormWidth(int v) { FFormWidth = v; }
  int FormHeight() const { return FFormHeight; }
  void SetFormHeight(int v) { FFormHeight = v; }
  const std::string& FormName() const { return FFormName; }
  void SetFormName(const std::string& v) { FFormName = v; }
  // The window icon as image file bytes (PNG, BMP, ICO); empty = no icon. Assigning copies.
  const std::string& FormIcon() const { return FFormIcon; }
  void SetFormIcon(const std::string& v) { FFormIcon = v; }
  bool FormIconBar() const { return FFormIconBar; }
  void SetFormIconBar(bool v) { FFormIconBar = v; }
  TBorderIcons FormBorderIcons() const { return FFormBorderIcons; }
  void SetFormBorderIcons(TBorderIcons v) { FFormBorderIcons = v; }
  TFormBorderStyle FormBorderStyle() const { return FFormBorderStyle; }
  void SetFormBorderStyle(TFormBorderStyle v) { FFormBorderStyle = v; }
  TPosition FormPosition() const { return FFormPosition; }
  void SetFormPosition(TPosition v) { FFormPosition = v; }
  bool FormCanMove() const { return FFormCanMove; }
  void SetFormCanMove(bool v) { FFormCanMove = v; }
  bool FormCanResize() const { return FFormCanResize; }
  void SetFormCanResize(bool v) { FFormCanResize = v; }
  TplPrevFormWindowState FormWindowState() const { return FFormWindowState; }
  void SetFormWindowState(TplPrevFormWindowState v) { FFormWindowState = v; }
  bool FormStatusBar() const { return FFormStatusBar; }
  void SetFormStatusBar(bool v) { FFormStatusBar = v; }
  const Cp932String& StatusBarText() const { return FStatusBarText; }
  void SetStatusBarText(const Cp932String& v) { FStatusBarText = v; }
  TColor PaperColor() const { return FPaperColor; }
  void SetPaperColor(TColor v) { FPaperColor = v; }
  bool ViewClip() const { return FViewClip; }
  void SetViewClip(bool v) { FViewClip = v; }
  int PrintOffsetX() const { return FPrintOffsetX; }
  void SetPrintOffsetX(int v) { FPrintOffsetX = v; }
  int PrintOffsetY() const { return FPrintOffsetY; }
  void SetPrintOffsetY(int v) { FPrintOffsetY = v; }
  TplPrevZoomType ZoomType() const { return FZoomType; }
  void SetZoomType(TplPrevZoomType v) { FZoomType = v; }
  bool InversePrint() const { return FInversePrint; }
  void SetInversePrint(bool v) { FInversePrint = v; }

  // Events (called only when assigned, with the component as Sender).
  TNotifyEvent OnFormShow, OnFormDestroy;
  TCloseEvent OnFormClose;
  TCloseQueryEvent OnFormCloseQuery;
  TplPrevPageEvent OnBeforeView, OnAfterView, OnResize, OnPrint, OnNoPrintDraw;
  TNotifyEvent OnPrinterSetupDialog;
  TplPrintButtonEvent OnPrintButtonClick;
  // Names of the form's methods bound to the events, as a stored design keeps them (index in stored order:
  // OnFormShow, OnFormDestroy, OnFormClose, OnFormCloseQuery, OnBeforeView, OnAfterView, OnResize, OnPrint,
  // OnNoPrintDraw, OnPrinterSetupDialog, OnPrintButtonClick).
  const std::string& EventMethodName(int index) const { return FEventNames[index]; }
  void SetEventMethodName(int index, const std::string& name) { FEventNames[index] = name; }

  void DefineProperties(TFiler& filer) override;
  void Loaded() override { TComponent::Loaded(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Names of the form's methods bound to the events, in the order of EventMethodName.
  std::string FEventNames[11];
  // Stored properties the published descendant adds after the first three.
  virtual void DefinePublishedProperties(TFiler& /*filer*/) {}
  void DefineDesignPaperValue(TFiler& filer);
  void CreatePageCanvas(bool newRecording);

 private:
  TplSetPrinter* SettingsInUse() const;
  // The paper and printable area of the settings' printer; throws Exception when it reports no resolution.
  static TplDeviceGeometry ReadPrinterGeometry(TplSetPrinter& settings);
  void UseDeviceGeometry(const TplDeviceGeometry& device);
  void UseLayoutPaper(const TplPaperLayout& layout);
  void PreparePrinterCanvas(TCanvas& canvas);
  void TellPageFitted(const TplPrintMapping& mapping);
  void StorePage();
  void RequireOpenPage(const char* operation) const;
  void DrawPaper(TCanvas& canvas);
  void ReadDesignPaperValue(TReader& reader);
  void WriteDesignPaperValue(TWriter& writer);

  // Published.
  bool FImageDrag = true;
  bool FImageShade = true;
  TColor FFormColor = clBtnFace;
  TplSetPrinter* FplSetPrinter = nullptr;
  int FTopMargin = 0, FBottomMargin = 0, FLeftMargin = 0, FRightMargin = 0, FHeaderMargin = 0,
      FFooterMargin = 0;
  int FPageCount = 1;
  TplPrevBtnOptions FBtnOptions = kAllPrevButtons & ~BtnBit(boPrinterSetBtn);
  Cp932String FTitle;
  TCursor FCursor = plprev::crHourGlass;
  int FFormLeft = 20, FFormTop = 20, FFormWidth = 0, FFormHeight = 0;
  std::string FFormName;
  std::string FFormIcon;
  bool FFormIconBar = true;
  TBorderIcons FFormBorderIcons = plprev::biSystemMenu | plprev::biMinimize | plprev::biMaximize;
  TFormBorderStyle FFormBorderStyle = TFormBorderStyle::bsSizeable;
  TPosition FFormPosition = TPosition::poDefault;
  bool FFormCanMove = true;
  bool FFormCanResize = true;
  TplPrevFormWindowState FFormWindowState = TplPrevFormWindowState::fwNormal;
  bool FFormStatusBar = true;
  Cp932String FStatusBarText;
  TColor FPaperColor = clWhite;
  bool FViewClip = true;
  int FPrintOffsetX = 0, FPrintOffsetY = 0;
  TplPrevZoomType FZoomType = TplPrevZoomType::ztWholePage;
  bool FInversePrint = false;

  // Document.
  TplPrevDocState FDocState = TplPrevDocState::dsEmpty;
  std::vector<std::unique_ptr<TMetafile>> FPages;
  std::unique_ptr<TMetafile> FWorkMetafile;
  std::unique_ptr<TMetafileCanvas> FCanvas;
  int FCurrentPage = 1;
  int FPrintFromPage = 0, FPrintToPage = 0;
  TplPageChoice FPageChoice;
  int FPageWidth = 0, FPageHeight = 0;

  // Paper, in 0.1 mm, and the printer's measures in dots.
  int FPaperWidth = 0, FPaperHeight = 0;
  int FPrintableLeft = 0, FPrintableTop = 0, FPrintableRight = 0, FPrintableBottom = 0;
  int FPrintableWidth = 0, FPrintableHeight = 0;
  int FResolutionX = 0, FResolutionY = 0;
  int FDevicePageWidth = 0, FDevicePageHeight = 0;
  int FDevicePrintableWidth = 0, FDevicePrintableHeight = 0;
  int FDeviceOffsetX = 0, FDeviceOffsetY = 0;
  int FPhysicalOffsetX = 0, FPhysicalOffsetY = 0;  // as the printer reports them, for the reference device
  int FFrameWidth = 0, FFrameHeight = 0;
  Cp932String FStoredPrinterName, FStoredPaperName, FStoredBinName;
  int FStoredLandscape = 0;
  int FStoredPaperSize = 0;
  TplPaperLayout FStoredLayout;  // the paper values as the stored design gave them
  int FDocumentPaper = 0;
  bool FFitsPage = false;
  std::vector<Cp932String> FToldFitted;  // printers whose user was told that pages are fitted

  bool FNoPrinter = true;
  TplSetPrinter* FDefaultSetPrinter = nullptr;
  Cp932String FPrinterSettingsText;
  TCursor FSavedCursor = plprev::crDefault;

  // Printing and the window.
  bool FPrinting = false;
  TCanvas* FPrinterCanvas = nullptr;  // the job's canvas while printing
  TplPrintMapping FJobMapping;        // the job's page mapping while printing
  TComponent* FPreviewForm = nullptr;
  IplPrevWindow* FPreviewWindow = nullptr;
  bool FFormShowing = false;
  bool FOwnsForm = false;
  bool FReady = true;
  bool FDestroying = false;
};

// The published component: publishes the properties and passes its operations on.
class TplPrev : public TCustomplPrev {
  TESS_COMPONENT_CLASS(TplPrev, TCustomplPrev)
 public:
  explicit TplPrev(TComponent* owner) : TCustomplPrev(owner) {}
  void BeginDoc() override { TCustomplPrev::BeginDoc(); }
  void NewPage() override { TCustomplPrev::NewPage(); }
  void EndDoc() override { TCustomplPrev::EndDoc(); }
  void Preview() override { TCustomplPrev::Preview(); }
  void ShowPreview() override { TCustomplPrev::ShowPreview(); }
  void Print() override { TCustomplPrev::Print(); }

 protected:
  void DefinePublishedProperties(TFiler& filer) override;
};

// Lets stored designs create TplPrev by class name.
void RegisterPreviewClasses();

}  // namespace tess
