#include "preview/PreviewDocument.h"

#include <algorithm>
#include <any>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

#include "platform/components/Events.h"
#include "platform/components/StoredDesign.h"
#include "platform/components/StoredEnum.h"
#include "platform/core/Exceptions.h"
#include "platform/core/HexDigits.h"
#include "platform/core/Messages.h"
#include "platform/gfx/Bitmap.h"
#include "platform/printing/Printers.h"
#include "preview/MetafileUtils.h"
#include "preview/PrinterAccess.h"
#include "preview/TextUtils.h"
#include "printer_settings/PrinterSettings.h"

namespace tess {
namespace {

constexpr const char* kDefaultSettingsName = "Default";
// 10.5 points in tenths of a millimetre: 10.5 * 254 / 72.
constexpr double kDefaultFontHeight = 37.041666666666664;

// The resolution a paper's standard size is laid out at when nothing else gives one; it sets only the grain
// of the page recordings.
constexpr int kLayoutResolution = 600;

// A measure worked out from printer values, held inside the int range: a driver may report absurd ones.
int ClampToInt(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

int CeilDiv(long long dots, int resolution) {
  return ClampToInt(std::ceil(static_cast<double>(dots) * 254.0 / resolution));
}
int TruncDiv(long long dots, int resolution) {
  return ClampToInt(std::trunc(static_cast<double>(dots) * 254.0 / resolution));
}
// Tenths of a millimetre in dots at `resolution` dots per inch, rounded.
int UnitsToDots(int units, int resolution) {
  return ClampToInt(std::round(static_cast<double>(units) * resolution / 254.0));
}

// A layout's paper as a printer of that paper at the layout's resolution would report it.
TplDeviceGeometry LayoutDevice(const TplPaperLayout& layout) {
  TplDeviceGeometry device;
  device.ResolutionX = layout.ResolutionX;
  device.ResolutionY = layout.ResolutionY;
  device.PageWidth = UnitsToDots(layout.PaperWidth, layout.ResolutionX);
  device.PageHeight = UnitsToDots(layout.PaperHeight, layout.ResolutionY);
  device.OffsetLeft = UnitsToDots(layout.PrintableLeft, layout.ResolutionX);
  device.OffsetTop = UnitsToDots(layout.PrintableTop, layout.ResolutionY);
  device.PrintableWidth = UnitsToDots(layout.PrintableRight, layout.ResolutionX) - device.OffsetLeft;
  device.PrintableHeight = UnitsToDots(layout.PrintableBottom, layout.ResolutionY) - device.OffsetTop;
  return device;
}

// Whether stored paper values describe a paper a document can be laid out on.
bool UsableLayout(const TplPaperLayout& l) {
  return l.PaperWidth > 0 && l.PaperHeight > 0 && l.ResolutionX > 0 && l.ResolutionY > 0 &&
         l.PrintableLeft >= 0 && l.PrintableLeft < l.PrintableRight && l.PrintableRight <= l.PaperWidth &&
         l.PrintableTop >= 0 && l.PrintableTop < l.PrintableBottom && l.PrintableBottom <= l.PaperHeight;
}

[[noreturn]] void ThrowNoPaperGeometry() {
  throw Exception(MessageCp932("preview.printer-geometry"));
}

// Upper-cases the single-byte letters of code page 932 text; double-byte characters stay as they are.
Cp932String UpperCaseText(const Cp932String& text) {
  std::string out = text.Bytes();
  for (std::size_t i = 0; i < out.size();) {
    std::size_t next = NextCharOffset(text, i);
    if (next == i + 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    i = next;
  }
  return Cp932String::FromBytes(out);
}

// ---- Stored names of colours and cursors; stored events ----

const TEnumNames<int>& ColorNames() {
  static const TEnumNames<int> names = {{clBlack, "clBlack"},
                                        {clMaroon, "clMaroon"},
                                        {clGreen, "clGreen"},
                                        {clOlive, "clOlive"},
                                        {clNavy, "clNavy"},
                                        {clPurple, "clPurple"},
                                        {clTeal, "clTeal"},
                                        {clGray, "clGray"},
                                        {clSilver, "clSilver"},
                                        {clRed, "clRed"},
                                        {clLime, "clLime"},
                                        {clYellow, "clYellow"},
                                        {clBlue, "clBlue"},
                                        {clFuchsia, "clFuchsia"},
                                        {clAqua, "clAqua"},
                                        {clWhite, "clWhite"},
                                        {clBtnFace, "clBtnFace"},
                                        {clWindow, "clWindow"},
                                        {clNone, "clNone"},
                                        {clAppWorkSpace, "clAppWorkSpace"},
                                        {clBtnShadow, "clBtnShadow"},
                                        {clBtnHighlight, "clBtnHighlight"},
                                        {clWindowText, "clWindowText"}};
  return names;
}

const TEnumNames<int>& CursorNames() {
  static const TEnumNames<int> names = {{0, "crDefault"},   {-1, "crNone"},     {-2, "crArrow"},
                                        {-3, "crCross"},    {-4, "crIBeam"},    {-11, "crHourGlass"},
                                        {-12, "crDrag"},    {-13, "crNoDrop"},  {-21, "crHandPoint"},
                                        {-22, "crSizeAll"}, {-19, "crAppStart"}};
  return names;
}

// An event stored as the name of the form's method bound to it. A method the form publishes under that name
// is bound at once; a name the form does not publish is kept, for a form that binds its handlers itself
// (EventMethodName); a published method of another event type is a read error.
template <class TEvent>
void DefinePreviewEvent(TFiler& filer, std::string_view property, const TComponent* self, TEvent& event,
                        std::string& methodName) {
  filer.DefineProperty(
      property,
      [self, &event, &methodName](TReader& reader) {
        std::string name = reader.ReadIdent().Bytes();
        methodName = name;
        event = nullptr;
        if (name.empty()) return;
        const std::any* method = FindPublishedMethod(self, name);
        if (method == nullptr) return;
        const TEvent* typed = std::any_cast<TEvent>(method);
        if (typed == nullptr) {
          methodName.clear();
          throw EReadError(Cp932String::FromBytes("Method " + name + " does not fit the event"));
        }
        event = *typed;
      },
      [&methodName](TWriter& writer) { writer.WriteIdent(Cp932String::FromBytes(methodName)); },
      !methodName.empty());
}

}  // namespace

// ---- Creation and destruction
// ------------------------------------------------------------------------------

TCustomplPrev::TCustomplPrev(TComponent* owner) : TComponent(owner) {
  FDefaultSetPrinter = new TplSetPrinter(this);
  FDefaultSetPrinter->SetName(kDefaultSettingsName);
  FNoPrinter = FDefaultSetPrinter->PrinterCount() == 0;
  if (!FNoPrinter) FDefaultSetPrinter->SetPrinterName(SystemPrinterName());
  FplSetPrinter = FDefaultSetPrinter;

  FDocState = TplPrevDocState::dsEmpty;
  FTitle = Cp932String::FromUtf8("印刷プレビュー[Mr.QUILL]");
  FViewClip = true;
  FZoomType = TplPrevZoomType::ztWholePage;
  FPaperColor = clWhite;
  FPageCount = 1;
  FCurrentPage = 1;
  FPrintFromPage = 0;
  FPrintToPage = 0;
  FPageWidth = 0;
  FPageHeight = 0;
  FReady = true;
  FOwnsForm = false;
  FFormShowing = false;
  FPreviewForm = nullptr;
  TDeviceDescription screen = TDeviceDescription::Screen();
  FFormLeft = 20;
  FFormTop = 20;
  FFormWidth = screen.WidthPixels * 2 / 3;
  FFormHeight = screen.HeightPixels * 2 / 3;
  FInversePrint = false;
  FCursor = plprev::crHourGlass;
  FImageDrag = true;
  FImageShade = true;
  FSavedCursor = PreviewHost().ScreenCursor();
  FBtnOptions = kAllPrevButtons & ~BtnBit(boPrinterSetBtn);
}

TCustomplPrev::~TCustomplPrev() {
  FDestroying = true;
  if (FOwnsForm && FPreviewForm != nullptr) {
    TComponent* form = FPreviewForm;
    FPreviewForm = nullptr;
    FPreviewWindow = nullptr;
    delete form;
  }
  ClearPages();
  // The built-in settings are owned, and freed with the rest of what this component owns.
}

// ---- Printer-settings link
// ---------------------------------------------------------------------------------

TplSetPrinter* TCustomplPrev::SettingsInUse() const {
  return FplSetPrinter != nullptr ? FplSetPrinter : FDefaultSetPrinter;
}

void TCustomplPrev::SetplSetPrinter(TplSetPrinter* value) {
  if (FplSetPrinter != nullptr && FplSetPrinter != FDefaultSetPrinter && FplSetPrinter != value) {
    FplSetPrinter->RemoveFreeNotification(this);
  }
  if (value != nullptr && !FNoPrinter) {
    FplSetPrinter = value;
    value->FreeNotification(this);
  } else {
    FplSetPrinter = FDefaultSetPrinter;
  }
  // Without a printer the built-in settings stand in for the component given, under its name.
  if (value != nullptr && FplSetPrinter != value && !value->Name().empty()) {
    FplSetPrinter->SetName(value->Name());
  }
  FPageWidth = 0;
  FPageHeight = 0;
}

void TCustomplPrev::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (FDestroying || component == nullptr) return;
  if (operation == TOperation::opRemove && component == FPreviewForm) {
    FPreviewForm = nullptr;
    FPreviewWindow = nullptr;
    FFormShowing = false;
    if (FOwnsForm) {
      FOwnsForm = false;
      FFormName.clear();
    }
  }
  // A component being destroyed has lost its class by the time it is removed, so the settings in use are
  // recognised by identity.
  if (operation == TOperation::opRemove) {
    if (component == FplSetPrinter && component != FDefaultSetPrinter) {
      FplSetPrinter = FDefaultSetPrinter;
      FPrinterSettingsText = Cp932String();
    }
    return;
  }
  auto* settings = dynamic_cast<TplSetPrinter*>(component);
  if (settings == nullptr || settings == FDefaultSetPrinter || settings->Owner() == this) return;
  if (HasState(csDesigning)) SetplSetPrinter(settings);
}

Cp932String TCustomplPrev::PrinterSettingsToText() const {
  return Cp932String::FromUtf8(ComponentToText(*SettingsInUse()));
}

void TCustomplPrev::PrinterSettingsFromText(const Cp932String& text) {
  ComponentFromText(*SettingsInUse(), text.ToUtf8());
}

bool TCustomplPrev::IsAcrobatPrinter() const {
  return ContainsChars(UpperCaseText(SettingsInUse()->PrinterName()), "ACROBAT");
}

// ---- Paper geometry
// ----------------------------------------------------------------------------------------

void TCustomplPrev::UpdatePaperGeometry() {
  if (FplSetPrinter == nullptr) {
    FplSetPrinter = FDefaultSetPrinter;
  } else if (!FPrinterSettingsText.IsEmpty()) {
    PrinterSettingsFromText(FPrinterSettingsText);
  }
  if (!FNoPrinter) {
    TplSetPrinter& settings = *FplSetPrinter;
    const TplDeviceGeometry device = ReadPrinterGeometry(settings);
    const TplPaperLayout layout = DocumentPaperLayout();
    FFitsPage = FDocumentPaper != 0 && settings.PaperSize() != FDocumentPaper && layout.PaperWidth > 0;
    if (FFitsPage) {
      UseLayoutPaper(layout);
    } else {
      UseDeviceGeometry(device);
    }
  }
  if (HasState(csDesigning)) {
    // Margins never reach into the unprintable strips of the paper.
    FTopMargin = std::max(FTopMargin, FPrintableTop);
    FLeftMargin = std::max(FLeftMargin, FPrintableLeft);
    FRightMargin = std::max(FRightMargin, FPaperWidth - FPrintableRight);
    FBottomMargin = std::max(FBottomMargin, FPaperHeight - FPrintableBottom);
    FHeaderMargin = std::min(FHeaderMargin, FTopMargin);
    FFooterMargin = std::min(FFooterMargin, FBottomMargin);
  }
}

// The printer's paper and printable area in dots, with the settings in use.
TplDeviceGeometry TCustomplPrev::ReadPrinterGeometry(TplSetPrinter& settings) {
  TplDeviceGeometry device;
  device.PageWidth = settings.DeviceCaps(dcPaperWidth);
  device.PageHeight = settings.DeviceCaps(dcPaperHeight);
  device.PrintableWidth = settings.DeviceCaps(dcPrintableWidth);
  device.PrintableHeight = settings.DeviceCaps(dcPrintableHeight);
  device.ResolutionY = settings.DeviceCaps(dcPixelsPerInchY);
  device.ResolutionX = settings.DeviceCaps(dcPixelsPerInchX);
  device.OffsetLeft = settings.DeviceCaps(dcOffsetLeft);
  device.OffsetTop = settings.DeviceCaps(dcOffsetTop);
  // A printer that reports no resolution would turn every measure into a division by zero. A printer that
  // reports nothing because its print service stopped answering, or because it is not there, says why.
  if (device.ResolutionX <= 0 || device.ResolutionY <= 0) {
    const Cp932String problem = PrinterProblem(settings.PrinterName());
    if (!problem.IsEmpty()) throw EPrinterError(problem);
    throw Exception(MessageCp932("preview.no-resolution"));
  }
  return device;
}

void TCustomplPrev::UseDeviceGeometry(const TplDeviceGeometry& device) {
  FDevicePageWidth = device.PageWidth;
  FDevicePageHeight = device.PageHeight;
  FDevicePrintableWidth = device.PrintableWidth;
  FDevicePrintableHeight = device.PrintableHeight;
  FResolutionY = device.ResolutionY;
  FResolutionX = device.ResolutionX;
  FPhysicalOffsetX = device.OffsetLeft;
  FPhysicalOffsetY = device.OffsetTop;
  if (!FInversePrint) {
    FDeviceOffsetX = device.OffsetLeft;
    FDeviceOffsetY = device.OffsetTop;
  } else {
    // The page will be turned: the strip on the far side comes first.
    FDeviceOffsetX =
        ClampToInt(static_cast<double>(FDevicePageWidth) - device.OffsetLeft - FDevicePrintableWidth);
    FDeviceOffsetY =
        ClampToInt(static_cast<double>(FDevicePageHeight) - device.OffsetTop - FDevicePrintableHeight);
  }
  FPrintableLeft = CeilDiv(FDeviceOffsetX, FResolutionX);
  FPrintableTop = CeilDiv(FDeviceOffsetY, FResolutionY);
  FPaperWidth = TruncDiv(FDevicePageWidth, FResolutionX);
  FPaperHeight = TruncDiv(FDevicePageHeight, FResolutionY);
  FPrintableWidth = TruncDiv(FDevicePrintableWidth, FResolutionX);
  FPrintableHeight = TruncDiv(FDevicePrintableHeight, FResolutionY);
  FPrintableRight = ClampToInt(static_cast<double>(FPrintableLeft) + FPrintableWidth);
  FPrintableBottom = ClampToInt(static_cast<double>(FPrintableTop) + FPrintableHeight);
}

void TCustomplPrev::UseLayoutPaper(const TplPaperLayout& layout) {
  // Recordings are made against a printer of that paper at the layout's resolution...
  UseDeviceGeometry(LayoutDevice(layout));
  // ... and the page takes the layout's own values, not their round trip through dots.
  FPaperWidth = layout.PaperWidth;
  FPaperHeight = layout.PaperHeight;
  FPrintableLeft = layout.PrintableLeft;
  FPrintableTop = layout.PrintableTop;
  FPrintableRight = layout.PrintableRight;
  FPrintableBottom = layout.PrintableBottom;
  FPrintableWidth = layout.PrintableRight - layout.PrintableLeft;
  FPrintableHeight = layout.PrintableBottom - layout.PrintableTop;
}

void TCustomplPrev::SetDocumentPaper(int value) {
  // Paper codes are 16-bit in the settings block.
  if (value >= 0 && value <= INT16_MAX) FDocumentPaper = value;
}

TplPaperLayout TCustomplPrev::DocumentPaperLayout() const {
  if (UsableLayout(FStoredLayout) && (FDocumentPaper == 0 || FStoredLayout.PaperSize == FDocumentPaper)) {
    return FStoredLayout;
  }
  TplPaperLayout layout;
  const TStandardPaper* paper = FindStandardPaper(static_cast<std::int16_t>(FDocumentPaper));
  if (FDocumentPaper == 0 || paper == nullptr) return layout;
  layout.PaperSize = FDocumentPaper;
  layout.PaperName = Cp932String(paper->name);
  layout.PaperWidth = layout.PrintableRight = paper->width;
  layout.PaperHeight = layout.PrintableBottom = paper->height;
  layout.ResolutionX = layout.ResolutionY = kLayoutResolution;
  return layout;
}

TplPrintMapping TCustomplPrev::PrintMappingFor(const TplDeviceGeometry& device, bool fit) const {
  if (device.ResolutionX <= 0 || device.ResolutionY <= 0) ThrowNoPaperGeometry();
  TplPrintMapping mapping;
  if (!fit) {
    // The page on the paper as it is: tenths of a millimetre of this printer's paper onto its dots.
    mapping.WindowWidth = TruncDiv(device.PageWidth, device.ResolutionX);
    mapping.WindowHeight = TruncDiv(device.PageHeight, device.ResolutionY);
    mapping.ViewportWidth = device.PageWidth;
    mapping.ViewportHeight = device.PageHeight;
    mapping.ViewportLeft = ClampToInt(-static_cast<double>(device.OffsetLeft));
    mapping.ViewportTop = ClampToInt(-static_cast<double>(device.OffsetTop));
    return mapping;
  }
  // The page's size on paper at 100 %, in dots.
  const double pageWidth = static_cast<double>(FPageWidth) * device.ResolutionX / 254.0;
  const double pageHeight = static_cast<double>(FPageHeight) * device.ResolutionY / 254.0;
  // Centred on the paper, the page may reach on each side only as far as the nearer printable edge.
  const double centreX = device.PageWidth / 2.0, centreY = device.PageHeight / 2.0;
  const double roomX = 2 * std::min(centreX - device.OffsetLeft,
                                    static_cast<double>(device.OffsetLeft) + device.PrintableWidth - centreX);
  const double roomY = 2 * std::min(centreY - device.OffsetTop,
                                    static_cast<double>(device.OffsetTop) + device.PrintableHeight - centreY);
  if (!(pageWidth > 0) || !(pageHeight > 0) || !(roomX >= 1) || !(roomY >= 1)) ThrowNoPaperGeometry();
  // Shrunk to fit, never enlarged: a bigger paper gets the page at its own size.
  mapping.Scale = std::min({1.0, roomX / pageWidth, roomY / pageHeight});
  const double width = std::floor(pageWidth * mapping.Scale);
  const double height = std::floor(pageHeight * mapping.Scale);
  mapping.Fitted = true;
  mapping.WindowWidth = FPageWidth;
  mapping.WindowHeight = FPageHeight;
  mapping.ViewportWidth = ClampToInt(width);
  mapping.ViewportHeight = ClampToInt(height);
  mapping.ViewportLeft = ClampToInt(std::floor((device.PageWidth - width) / 2) - device.OffsetLeft);
  mapping.ViewportTop = ClampToInt(std::floor((device.PageHeight - height) / 2) - device.OffsetTop);
  return mapping;
}

TDeviceDescription TCustomplPrev::ReferenceDevice() const {
  if (FNoPrinter || FResolutionX <= 0 || FResolutionY <= 0 || FDevicePrintableWidth <= 0 ||
      FDevicePrintableHeight <= 0) {
    return TDeviceDescription::Screen();
  }
  TDeviceDescription device = TDeviceDescription::FromPixels(FResolutionX, FResolutionY,
                                                             FDevicePrintableWidth, FDevicePrintableHeight);
  device.OffsetX = FPhysicalOffsetX;
  device.OffsetY = FPhysicalOffsetY;
  device.PhysicalWidth = FDevicePageWidth;
  device.PhysicalHeight = FDevicePageHeight;
  return device;
}

double TCustomplPrev::PageAspect() const {
  if (static_cast<long long>(FPageHeight) * FPageWidth > 0) {
    return static_cast<double>(FPageHeight) / FPageWidth;
  }
  // No paper known yet (no printer and no stored paper values): no aspect rather than a division by zero.
  if (FPaperWidth == 0) return 0.0;
  return static_cast<double>(FPaperHeight) / FPaperWidth;
}

void TCustomplPrev::SetPageWidth(int value) {
  if (value >= 0) FPageWidth = value;
}

void TCustomplPrev::SetPageHeight(int value) {
  if (value >= 0) FPageHeight = value;
}

void TCustomplPrev::SetPageCount(int value) {
  if (value <= 0 || FDocState == TplPrevDocState::dsRecorded) return;
  FPageCount = value;
}

void TCustomplPrev::SetMargin(int index, int value) {
  int* fields[] = {&FTopMargin, &FBottomMargin, &FLeftMargin, &FRightMargin, &FHeaderMargin, &FFooterMargin};
  if (index < 1 || index > 6) return;
  int& field = *fields[index - 1];
  if (field == value) return;
  field = value;
  if (!HasState(csDesigning)) return;
  switch (index) {
    case 1:
      FTopMargin = std::max(FTopMargin, FPrintableTop);
      FHeaderMargin = std::min(FHeaderMargin, FTopMargin);
      break;
    case 2:
      FBottomMargin = std::max(FBottomMargin, FPaperHeight - FPrintableBottom);
      FFooterMargin = std::min(FFooterMargin, FBottomMargin);
      break;
    case 3:
      FLeftMargin = std::max(FLeftMargin, FPrintableLeft);
      break;
    case 4:
      FRightMargin = std::max(FRightMargin, FPaperWidth - FPrintableRight);
      break;
    case 5:
      FHeaderMargin = std::min(FHeaderMargin, FTopMargin);
      break;
    case 6:
      FFooterMargin = std::min(FFooterMargin, FBottomMargin);
      break;
  }
}

// ---- Pages
// -------------------------------------------------------------------------------------------------

const TMetafile* TCustomplPrev::Pages(int index) const {
  if (index < 0 || index >= static_cast<int>(FPages.size())) return nullptr;
  return FPages[static_cast<std::size_t>(index)].get();
}

void TCustomplPrev::ClearPages() {
  // An open canvas records into the working recording: it goes first.
  FCanvas.reset();
  FPages.clear();
  FWorkMetafile.reset();
}

void TCustomplPrev::CreatePageCanvas(bool newRecording) {
  FCanvas.reset();
  if (newRecording || FWorkMetafile == nullptr) {
    FWorkMetafile = std::make_unique<TMetafile>();
    if (newRecording) {
      if (FPageWidth == 0) FPageWidth = FPaperWidth;
      if (FPageHeight == 0) FPageHeight = FPaperHeight;
    }
  }
  FWorkMetafile->SetMMWidth(FPageWidth * 10);
  FWorkMetafile->SetMMHeight(FPageHeight * 10);
  TDeviceDescription reference = ReferenceDevice();
  {
    // Opened and closed at once, only so that the recording works out its frame in reference pixels.
    TMetafileCanvas probe(*FWorkMetafile, reference);
    probe.Close();
  }
  FFrameWidth = FWorkMetafile->Width();
  FFrameHeight = FWorkMetafile->Height();
  FCanvas = std::make_unique<TMetafileCanvas>(*FWorkMetafile, reference);
  FCanvas->Font().SetPixelsPerInch(FResolutionY);
  FCanvas->Font().SetHeight(-RoundHalfAway(kDefaultFontHeight));
  PreviewHost().ProcessMessages();
}

void TCustomplPrev::PrepareCanvas(TCanvas& canvas, bool drawPaper) {
  if (&canvas != FCanvas.get()) {
    PreparePrinterCanvas(canvas);
    return;
  }
  canvas.SetMapMode(MM_ANISOTROPIC);
  canvas.SetWindowExtEx(FPageWidth, FPageHeight);
  canvas.SetViewportExtEx(FFrameWidth, FFrameHeight);
  if (drawPaper) DrawPaper(canvas);
  if (FViewClip)
    canvas.IntersectClipRect(Rect(FPrintableLeft, FPrintableTop, FPrintableRight, FPrintableBottom));
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
}

void TCustomplPrev::PreparePrinterCanvas(TCanvas& canvas) {
  // While printing, the job's own mapping; otherwise the printer the document was laid out for.
  TplPrintMapping mapping = FJobMapping;
  if (!FPrinting) {
    mapping.WindowWidth = FPaperWidth;
    mapping.WindowHeight = FPaperHeight;
    mapping.ViewportWidth = FDevicePageWidth;
    mapping.ViewportHeight = FDevicePageHeight;
    mapping.ViewportLeft = -FDeviceOffsetX;
    mapping.ViewportTop = -FDeviceOffsetY;
    if (FInversePrint) {
      mapping.ViewportLeft = -(FDevicePageWidth - FDevicePrintableWidth - FDeviceOffsetX);
      mapping.ViewportTop = -(FDevicePageHeight - FDevicePrintableHeight - FDeviceOffsetY);
    }
  }
  canvas.SetMapMode(MM_ANISOTROPIC);
  canvas.SetWindowExtEx(mapping.WindowWidth, mapping.WindowHeight);
  canvas.SetViewportExtEx(mapping.ViewportWidth, mapping.ViewportHeight);
  if (!FInversePrint) {
    canvas.SetWindowOrgEx(-FPrintOffsetX, -FPrintOffsetY);
  } else {
    canvas.SetWindowOrgEx(FPrintOffsetX, FPrintOffsetY);
  }
  canvas.SetViewportOrgEx(mapping.ViewportLeft, mapping.ViewportTop);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
}

void TCustomplPrev::RequireOpenPage(const char* operation) const {
  if (FCanvas == nullptr) {
    throw EAssertionFailed(
        Cp932String::FromBytes(std::string(operation) + ": no page is open (BeginDoc first)"));
  }
}

void TCustomplPrev::StorePage() {
  FCanvas->Close();
  FCanvas.reset();
  if (FPages.size() < static_cast<std::size_t>(FCurrentPage))
    FPages.resize(static_cast<std::size_t>(FCurrentPage));
  TDeviceDescription reference = ReferenceDevice();
  FPages[static_cast<std::size_t>(FCurrentPage - 1)] =
      FixMetafileFor9X(*FWorkMetafile, FNoPrinter ? nullptr : &reference);
}

void TCustomplPrev::BeginDoc() {
  PreviewHost().SetScreenCursor(FCursor);
  if (!FNoPrinter) {
    TplSetPrinter& settings = *SettingsInUse();
    if (settings.Name() == kDefaultSettingsName) {
      settings.UpdateFromPrinter(false);
    } else {
      settings.SelectStoredPrinter();
    }
    // The document's paper, whatever paper the printer had; a printer that cannot take it keeps its own,
    // and UpdatePaperGeometry lays the document out without it.
    if (FDocumentPaper != 0) settings.SetPaperSizeChecked(static_cast<std::int16_t>(FDocumentPaper));
    FPrinterSettingsText = PrinterSettingsToText();
  }
  UpdatePaperGeometry();
  FBtnOptions &= ~BtnBit(boPrinterSetBtn);
  ClearPages();
  FDocState = TplPrevDocState::dsRecorded;
  FCurrentPage = 1;
  FPageCount = 1;
  FPrintFromPage = 1;
  CreatePageCanvas(true);
  PrepareCanvas(*FCanvas, false);
}

void TCustomplPrev::NewPage() {
  RequireOpenPage("NewPage");
  TFont font = FCanvas->Font();
  TPen pen = FCanvas->Pen();
  TBrush brush = FCanvas->Brush();
  TCopyMode copyMode = FCanvas->CopyMode();
  unsigned textFlags = FCanvas->TextFlags();
  StorePage();
  ++FCurrentPage;
  CreatePageCanvas(false);
  FCanvas->SetFont(font);
  FCanvas->SetPen(pen);
  FCanvas->SetBrush(brush);
  FCanvas->SetCopyMode(copyMode);
  FCanvas->SetTextFlags(textFlags);
  PrepareCanvas(*FCanvas, false);
}

void TCustomplPrev::EndDoc() {
  RequireOpenPage("EndDoc");
  StorePage();
  FPageCount = FCurrentPage;
  FCurrentPage = 1;
  FPrintToPage = FPageCount;
  PreviewHost().SetScreenCursor(FSavedCursor);
}

// ---- Page drawing
// ------------------------------------------------------------------------------------------

void TCustomplPrev::TextOutLeft(int x, int y, const Cp932String& text) {
  RequireOpenPage("TextOutLeft");
  int overhang = LeftOverhang(*FCanvas, text);
  FCanvas->Brush().SetStyle(TBrushStyle::bsClear);
  FCanvas->TextOut(x + overhang, y, text);
}

void TCustomplPrev::TextOutLeftMiddle(int x, int y, const Cp932String& text) {
  RequireOpenPage("TextOutLeftMiddle");
  int overhang = LeftOverhang(*FCanvas, text);
  int height = FCanvas->TextHeight("Hg");
  FCanvas->Brush().SetStyle(TBrushStyle::bsClear);
  FCanvas->TextOut(x + overhang, y - static_cast<int>(std::ceil(height / 2.0)), text);
}

void TCustomplPrev::TextOutCenter(int x, int y, const Cp932String& text) {
  RequireOpenPage("TextOutCenter");
  int width = FCanvas->TextWidth(text);
  int height = FCanvas->TextHeight("Hg");
  FCanvas->Brush().SetStyle(TBrushStyle::bsClear);
  FCanvas->TextOut(x - static_cast<int>(std::ceil(width / 2.0)),
                   y - static_cast<int>(std::ceil(height / 2.0)), text);
}

void TCustomplPrev::TextOutRight(int x, int y, const Cp932String& text) {
  RequireOpenPage("TextOutRight");
  int overhang = RightOverhang(*FCanvas, text);
  int width = FCanvas->TextWidth(text);
  FCanvas->Brush().SetStyle(TBrushStyle::bsClear);
  FCanvas->TextOut(x - overhang - width, y, text);
}

void TCustomplPrev::Circle(int x, int y, int diameter) {
  RequireOpenPage("Circle");
  int r = RoundHalfAway(diameter / 2.0);
  FCanvas->SetBkMode(TRANSPARENT);
  FCanvas->Ellipse(x - r, y - r, x + r, y + r);
}

// ---- Stored data
// -------------------------------------------------------------------------------------------

void TCustomplPrev::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  filer.Boolean(
      "ImageDrag", [this] { return FImageDrag; }, [this](bool v) { FImageDrag = v; }, !FImageDrag);
  filer.Boolean(
      "ImageShade", [this] { return FImageShade; }, [this](bool v) { FImageShade = v; }, !FImageShade);
  DefineNamedIntegerProperty(
      filer, "FormColor", ColorNames(), [this] { return FFormColor; }, [this](int v) { FFormColor = v; },
      FFormColor != clBtnFace);
  DefinePublishedProperties(filer);
  DefineDesignPaperValue(filer);
}

void TplPrev::DefinePublishedProperties(TFiler& filer) {
  filer.String(
      "plSetPrinter",
      [this] {
        TplSetPrinter* settings = plSetPrinter();
        // The built-in settings are stored only where they stand in for a component on the form.
        if (settings == nullptr || settings->Name() == kDefaultSettingsName) return Cp932String();
        return Cp932String::FromBytes(settings->Name());
      },
      [this](const Cp932String& v) {
        TComponent* found = (v.IsEmpty() || Owner() == nullptr) ? nullptr : Owner()->FindComponent(v.Bytes());
        SetplSetPrinter(dynamic_cast<TplSetPrinter*>(found));
      });
  filer.Integer(
      "LeftMargin", [this] { return LeftMargin(); }, [this](int v) { SetLeftMargin(v); });
  filer.Integer(
      "TopMargin", [this] { return TopMargin(); }, [this](int v) { SetTopMargin(v); });
  filer.Integer(
      "RightMargin", [this] { return RightMargin(); }, [this](int v) { SetRightMargin(v); });
  filer.Integer(
      "BottomMargin", [this] { return BottomMargin(); }, [this](int v) { SetBottomMargin(v); });
  filer.Integer(
      "HeaderMargin", [this] { return HeaderMargin(); }, [this](int v) { SetHeaderMargin(v); });
  filer.Integer(
      "FooterMargin", [this] { return FooterMargin(); }, [this](int v) { SetFooterMargin(v); });
  filer.Integer(
      "PageCount", [this] { return PageCount(); }, [this](int v) { SetPageCount(v); });
  DefineSetProperty(
      filer, "BtnOptions",
      {{BtnBit(boPrintBtn), "boPrintBtn"},
       {BtnBit(boPrinterSetBtn), "boPrinterSetBtn"},
       {BtnBit(boFirstPageBtn), "boFirstPageBtn"},
       {BtnBit(boPriorPageBtn), "boPriorPageBtn"},
       {BtnBit(boNextPageBtn), "boNextPageBtn"},
       {BtnBit(boLastPageBtn), "boLastPageBtn"},
       {BtnBit(boZoomDownBtn), "boZoomDownBtn"},
       {BtnBit(boZoomUpBtn), "boZoomUpBtn"},
       {BtnBit(boPageWholeBtn), "boPageWholeBtn"},
       {BtnBit(boPageWidthBtn), "boPageWidthBtn"},
       {BtnBit(boCloseBtn), "boCloseBtn"}},
      [this] { return BtnOptions(); }, [this](unsigned v) { SetBtnOptions(v); });
  filer.String(
      "Title", [this] { return Title(); }, [this](const Cp932String& v) { SetTitle(v); });
  DefineNamedIntegerProperty(
      filer, "Cursor", CursorNames(), [this] { return Cursor(); }, [this](int v) { SetCursor(v); });
  filer.Integer(
      "FormLeft", [this] { return FormLeft(); }, [this](int v) { SetFormLeft(v); });
  filer.Integer(
      "FormTop", [this] { return FormTop(); }, [this](int v) { SetFormTop(v); });
  filer.Integer(
      "FormWidth", [this] { return FormWidth(); }, [this](int v) { SetFormWidth(v); });
  filer.Integer(
      "FormHeight", [this] { return FormHeight(); }, [this](int v) { SetFormHeight(v); });
  filer.String(
      "FormName", [this] { return Cp932String::FromBytes(FormName()); },
      [this](const Cp932String& v) { SetFormName(v.Bytes()); });
  // The icon's image bytes as hexadecimal digits; anything else there leaves the icon as it was.
  filer.DefineProperty(
      "FormIcon",
      [this](TReader& reader) {
        std::string bytes;
        if (!AppendBytesFromHex(reader.ReadString().Bytes(), bytes)) {
          throw EReadError("FormIcon: not hexadecimal");
        }
        SetFormIcon(bytes);
      },
      [this](TWriter& writer) { writer.WriteString(Cp932String::FromBytes(HexFromBytes(FormIcon()))); });
  filer.Boolean(
      "FormIconBar", [this] { return FormIconBar(); }, [this](bool v) { SetFormIconBar(v); });
  DefineSetProperty(
      filer, "FormBorderIcons",
      {{plprev::biSystemMenu, "biSystemMenu"},
       {plprev::biMinimize, "biMinimize"},
       {plprev::biMaximize, "biMaximize"},
       {plprev::biHelp, "biHelp"}},
      [this] { return FormBorderIcons(); }, [this](unsigned v) { SetFormBorderIcons(v); });
  DefineEnumProperty<TFormBorderStyle>(
      filer, "FormBorderStyle",
      {{TFormBorderStyle::bsNone, "bsNone"},
       {TFormBorderStyle::bsSingle, "bsSingle"},
       {TFormBorderStyle::bsSizeable, "bsSizeable"},
       {TFormBorderStyle::bsDialog, "bsDialog"},
       {TFormBorderStyle::bsToolWindow, "bsToolWindow"},
       {TFormBorderStyle::bsSizeToolWin, "bsSizeToolWin"}},
      [this] { return FormBorderStyle(); }, [this](TFormBorderStyle v) { SetFormBorderStyle(v); });
  DefineEnumProperty<TPosition>(
      filer, "FormPosition",
      {{TPosition::poDesigned, "poDesigned"},
       {TPosition::poDefault, "poDefault"},
       {TPosition::poDefaultPosOnly, "poDefaultPosOnly"},
       {TPosition::poDefaultSizeOnly, "poDefaultSizeOnly"},
       {TPosition::poScreenCenter, "poScreenCenter"},
       {TPosition::poDesktopCenter, "poDesktopCenter"},
       {TPosition::poMainFormCenter, "poMainFormCenter"},
       {TPosition::poOwnerFormCenter, "poOwnerFormCenter"}},
      [this] { return FormPosition(); }, [this](TPosition v) { SetFormPosition(v); });
  filer.Boolean(
      "FormCanMove", [this] { return FormCanMove(); }, [this](bool v) { SetFormCanMove(v); });
  filer.Boolean(
      "FormCanResize", [this] { return FormCanResize(); }, [this](bool v) { SetFormCanResize(v); });
  DefineEnumProperty<TplPrevFormWindowState>(
      filer, "FormWindowState",
      {{TplPrevFormWindowState::fwNormal, "fwNormal"},
       {TplPrevFormWindowState::fwMaximized, "fwMaximized"},
       {TplPrevFormWindowState::fwMinimized, "fwMinimized"},
       {TplPrevFormWindowState::fwWorkArea, "fwWorkArea"},
       {TplPrevFormWindowState::fwFullScreen, "fwFullScreen"}},
      [this] { return FormWindowState(); }, [this](TplPrevFormWindowState v) { SetFormWindowState(v); });
  filer.Boolean(
      "FormStatusBar", [this] { return FormStatusBar(); }, [this](bool v) { SetFormStatusBar(v); });
  filer.String(
      "StatusBarText", [this] { return StatusBarText(); },
      [this](const Cp932String& v) { SetStatusBarText(v); });
  DefineNamedIntegerProperty(
      filer, "PaperColor", ColorNames(), [this] { return PaperColor(); },
      [this](int v) { SetPaperColor(v); });
  filer.Boolean(
      "ViewClip", [this] { return ViewClip(); }, [this](bool v) { SetViewClip(v); });
  filer.Integer(
      "PrintOffsetX", [this] { return PrintOffsetX(); }, [this](int v) { SetPrintOffsetX(v); });
  filer.Integer(
      "PrintOffsetY", [this] { return PrintOffsetY(); }, [this](int v) { SetPrintOffsetY(v); });
  DefineEnumProperty<TplPrevZoomType>(
      filer, "ZoomType",
      {{TplPrevZoomType::ztWholePage, "ztWholePage"},
       {TplPrevZoomType::ztPageWidth, "ztPageWidth"},
       {TplPrevZoomType::ztOther, "ztOther"}},
      [this] { return ZoomType(); }, [this](TplPrevZoomType v) { SetZoomType(v); });
  filer.Boolean(
      "InversePrint", [this] { return InversePrint(); }, [this](bool v) { SetInversePrint(v); });
  // Events are stored as the names of the form's methods bound to them, and bound by name when read.
  DefinePreviewEvent(filer, "OnFormShow", this, OnFormShow, FEventNames[0]);
  DefinePreviewEvent(filer, "OnFormDestroy", this, OnFormDestroy, FEventNames[1]);
  DefinePreviewEvent(filer, "OnFormClose", this, OnFormClose, FEventNames[2]);
  DefinePreviewEvent(filer, "OnFormCloseQuery", this, OnFormCloseQuery, FEventNames[3]);
  DefinePreviewEvent(filer, "OnBeforeView", this, OnBeforeView, FEventNames[4]);
  DefinePreviewEvent(filer, "OnAfterView", this, OnAfterView, FEventNames[5]);
  DefinePreviewEvent(filer, "OnResize", this, OnResize, FEventNames[6]);
  DefinePreviewEvent(filer, "OnPrint", this, OnPrint, FEventNames[7]);
  DefinePreviewEvent(filer, "OnNoPrintDraw", this, OnNoPrintDraw, FEventNames[8]);
  DefinePreviewEvent(filer, "OnPrinterSetupDialog", this, OnPrinterSetupDialog, FEventNames[9]);
  DefinePreviewEvent(filer, "OnPrintButtonClick", this, OnPrintButtonClick, FEventNames[10]);
}

void TCustomplPrev::DefineDesignPaperValue(TFiler& filer) {
  filer.DefineProperty(
      "DesignPaperValue", [this](TReader& reader) { ReadDesignPaperValue(reader); },
      [this](TWriter& writer) { WriteDesignPaperValue(writer); });
}

void TCustomplPrev::ReadDesignPaperValue(TReader& reader) {
  try {
    reader.ReadListBegin();
    FStoredPrinterName = reader.ReadString();
    FStoredPaperName = reader.ReadString();
    FStoredBinName = reader.ReadString();
    FPaperWidth = reader.ReadInteger();
    FPaperHeight = reader.ReadInteger();
    FResolutionY = reader.ReadInteger();
    FResolutionX = reader.ReadInteger();
    FStoredLandscape = reader.ReadInteger();
    FPrintableLeft = reader.ReadInteger();
    FPrintableRight = reader.ReadInteger();
    FPrintableTop = reader.ReadInteger();
    FPrintableBottom = reader.ReadInteger();
    FStoredPaperSize = reader.ReadInteger();
    reader.ReadListEnd();
  } catch (const std::exception&) {
    // A damaged list must not stop the form from loading; what was read so far stays.
  }
  FPrintableWidth = FPrintableRight - FPrintableLeft;
  FPrintableHeight = FPrintableBottom - FPrintableTop;
  FStoredLayout = {FStoredPaperSize, FStoredPaperName, FPaperWidth,   FPaperHeight,    FResolutionX,
                   FResolutionY,     FPrintableLeft,   FPrintableTop, FPrintableRight, FPrintableBottom};
}

void TCustomplPrev::WriteDesignPaperValue(TWriter& writer) {
  try {
    // Without a printer the settings know nothing: the values the form gave are kept as they are.
    if (!FNoPrinter) {
      TplSetPrinter& settings = *SettingsInUse();
      FStoredLandscape = settings.Landscape() ? 1 : 0;
      FStoredPrinterName = settings.PrinterName();
      FStoredPaperName = settings.PaperName();
      FStoredBinName = settings.PaperBinName();
      FStoredPaperSize = settings.PaperSize();
    }
    UpdatePaperGeometry();
  } catch (const std::exception&) {
    // The form is still saved, with the values known before the failure.
  }
  writer.WriteListBegin();
  writer.WriteString(FStoredPrinterName);
  writer.WriteString(FStoredPaperName);
  writer.WriteString(FStoredBinName);
  writer.WriteInteger(FPaperWidth);
  writer.WriteInteger(FPaperHeight);
  writer.WriteInteger(FResolutionY);
  writer.WriteInteger(FResolutionX);
  writer.WriteInteger(FStoredLandscape);
  writer.WriteInteger(FPrintableLeft);
  writer.WriteInteger(FPrintableRight);
  writer.WriteInteger(FPrintableTop);
  writer.WriteInteger(FPrintableBottom);
  writer.WriteInteger(FStoredPaperSize);
  writer.WriteListEnd();
}

void RegisterPreviewClasses() {
  RegisterComponentClass<TplPrev>();
}

}  // namespace tess
