// The preview component's rendering, printing and preview-window entry points.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"
#include "platform/core/PlatformFamily.h"
#include "platform/core/ScopeGuard.h"
#include "platform/gfx/Bitmap.h"
#include "preview/PreviewDocument.h"
#include "preview/PrinterAccess.h"
#include "preview/TextUtils.h"
#include "printer_settings/PrinterSettings.h"

namespace tess {
namespace {

const char* const kComponentCaption = "印刷プレビュー制御コンポーネント";

}  // namespace

// ---- Rendering
// ---------------------------------------------------------------------------------------------

void TCustomplPrev::DrawPaper(TCanvas& canvas) {
  const TRect paper = Rect(0, 0, FPageWidth, FPageHeight);
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  canvas.Brush().SetColor(FPaperColor);
  canvas.FillRect(paper);
  if (OnNoPrintDraw) OnNoPrintDraw(this, FCurrentPage);
  if (!FNoPrinter) FStoredBinName = SettingsInUse()->PaperBinName();
  // Drivers name continuous paper in half-width or full-width katakana; compare in full width.
  Cp932String source = ToFullWidth(FStoredBinName);
  if (!ContainsChars(source, Cp932String::FromUtf8("トラクタ"))) return;
  // Tractor-feed paper: the sprocket holes (4 mm, 4 mm from each edge, every half inch) and the tear-off
  // perforations 12.7 mm from each edge.
  canvas.Pen().SetWidth(0);
  canvas.Pen().SetColor(RGB(192, 192, 192));
  canvas.Brush().SetColor(clBtnFace);
  for (int y = 40;; y += 127) {
    canvas.Ellipse(40, y, 80, y + 40);
    canvas.Ellipse(FPageWidth - 80, y, FPageWidth - 40, y + 40);
    if (y >= FPageHeight) break;
  }
  canvas.Pen().SetStyle(TPenStyle::psDot);
  canvas.MoveTo(127, 0);
  canvas.LineTo(127, FPageHeight);
  canvas.MoveTo(FPageWidth - 127, 0);
  canvas.LineTo(FPageWidth - 127, FPageHeight);
  canvas.Brush().SetColor(FPaperColor);
}

TMetafile* TCustomplPrev::RenderPage(int page) {
  if (FDocState == TplPrevDocState::dsEmpty) return nullptr;
  // Rendering re-uses the working recording: never while a page is still being recorded into it.
  if (FCanvas != nullptr) {
    throw EAssertionFailed(
        Cp932String::FromBytes("RenderPage: a page is still being recorded (EndDoc first)"));
  }
  if (page <= 0) page = 1;
  if (page >= FPageCount) page = FPageCount;
  CreatePageCanvas(false);
  try {
    PrepareCanvas(*FCanvas, !FPrinting);
    if (const TMetafile* stored = Pages(page - 1); stored != nullptr) {
      TResult drawn = FCanvas->StretchDraw(Rect(0, 0, FPageWidth, FPageHeight), *stored);
      if (!drawn) throw Exception(Cp932String::FromUtf8(drawn.Message()));
    }
    if (OnBeforeView) OnBeforeView(this, page);
  } catch (...) {
    FCanvas.reset();  // closes the rendering
    throw;
  }
  FCanvas.reset();
  return FWorkMetafile.get();
}

void TCustomplPrev::StretchBitmap(const TRect& rect, const TBitmap24* bitmap) {
  if (bitmap == nullptr || bitmap->Empty()) return;
  TCanvas* target = FPrinting ? FPrinterCanvas : FCanvas.get();
  if (target == nullptr) return;
  target->Handle().StretchDIBits(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, 0, 0,
                                 bitmap->Width(), bitmap->Height(), *bitmap, SRCCOPY);
}

// ---- Printing
// ----------------------------------------------------------------------------------------------

std::vector<int> TCustomplPrev::PagesToPrint() const {
  int first = std::min(FPrintFromPage, FPrintToPage);
  int last = std::max(FPrintFromPage, FPrintToPage);
  first = std::min(first, FPageCount);
  last = std::min(last, FPageCount);
  if (first <= 0) first = 1;
  if (last <= 0) last = FPageCount;
  const auto listed = [this](int page) {
    return FPageChoice.Ranges.empty() ||
           std::any_of(FPageChoice.Ranges.begin(), FPageChoice.Ranges.end(),
                       [page](const std::pair<int, int>& r) { return page >= r.first && page <= r.second; });
  };
  std::vector<int> pages;
  for (int page = first; page <= last; ++page) {
    if (!listed(page)) continue;
    if (FPageChoice.PageSet == TplPageSet::psOdd && page % 2 == 0) continue;
    if (FPageChoice.PageSet == TplPageSet::psEven && page % 2 != 0) continue;
    pages.push_back(page);
  }
  if (FPageChoice.Reverse) std::reverse(pages.begin(), pages.end());
  return pages;
}

void TCustomplPrev::Print() {
  TPreviewHost& host = PreviewHost();
  if (FPreviewWindow == nullptr || !FPreviewWindow->Visible()) PreparePages();
  if (FDocState == TplPrevDocState::dsEmpty) {
    host.MessageBox(Cp932String::FromUtf8("Canvasへの描画コードが見つかりません．　　"),
                    Cp932String::FromUtf8(kComponentCaption), TPreviewMsgIcon::Warning);
    return;
  }
  if (FNoPrinter) {
    host.MessageBox(Cp932String::FromUtf8("プリンタがインストールされていないので印刷できません．　　"),
                    Cp932String::FromUtf8(" 印刷"), TPreviewMsgIcon::Information);
    return;
  }
  const std::vector<int> pages = PagesToPrint();
  if (pages.empty()) return;  // the page choice leaves nothing to print
  // The job goes to the printer of the settings in use, never to another one.
  TplSetPrinter& settings = *SettingsInUse();
  settings.RequirePrinter();
  // That printer is asked for the document's paper (it may have been chosen after the document was made),
  // and its own geometry maps the pages: on its paper as they are, or fitted to its paper without that one.
  if (FDocumentPaper != 0) settings.SetPaperSizeChecked(static_cast<std::int16_t>(FDocumentPaper));
  const bool fit = FDocumentPaper != 0 && settings.PaperSize() != FDocumentPaper;
  const TplPrintMapping mapping = PrintMappingFor(ReadPrinterGeometry(settings), fit);

  // Printers that print to files take the Control key as "do not ask for a file name": it counts as held
  // down for the whole job, and is put back after every job, failed or not.
  const bool acrobat = IsAcrobatPrinter();
  std::uint8_t savedControl = 0;
  if (acrobat) {
    TKeyboardState keys = host.GetKeyboardState();
    savedControl = keys[plprev::VK_CONTROL];
    keys[plprev::VK_CONTROL] = kKeyDown | kKeyToggled;
    host.SetKeyboardState(keys);
  }
  TScopeGuard restoreControl([&] {
    if (!acrobat) return;
    TKeyboardState keys = host.GetKeyboardState();
    keys[plprev::VK_CONTROL] = savedControl;
    host.SetKeyboardState(keys);
  });

  Cp932String title = !FTitle.IsEmpty() ? FTitle : host.ApplicationTitle() + Cp932String::FromUtf8("印刷");
  std::unique_ptr<TPreviewPrintJob> job = StartPreviewPrintJob(title);
  FJobMapping = mapping;
  FPrinting = true;
  host.SetScreenCursor(FCursor);
  // The printing state and the cursor are put back however the job ends.
  TScopeGuard idle([&] {
    FPrinterCanvas = nullptr;
    FPrinting = false;
    host.SetScreenCursor(FSavedCursor);
  });
  try {
    for (std::size_t k = 0; k < pages.size(); ++k) {
      TCanvas& printer = job->Canvas();
      FPrinterCanvas = &printer;
      PrepareCanvas(printer, false);
      TMetafile* rendered = RenderPage(pages[k]);
      if (rendered != nullptr) {
        TResult drawn;
        if (!FInversePrint) {
          drawn = printer.StretchDraw(Rect(0, 0, FPageWidth, FPageHeight), *rendered);
        } else if (IsWindowsNT()) {
          // Corners given reversed mirror both axes: the page turned by 180 degrees.
          drawn = printer.StretchDraw(Rect(FPageWidth, FPageHeight, 0, 0), *rendered);
        } else {
          // The older family cannot replay into a reversed rectangle: go through the page's pixels.
          TBitmap24 bitmap(std::max(rendered->Width(), 0), std::max(rendered->Height(), 0));
          if (!bitmap.Empty()) {
            TCanvas& pixels = bitmap.Canvas();
            drawn = pixels.StretchDraw(Rect(0, 0, bitmap.Width(), bitmap.Height()), *rendered);
            bitmap.ReleaseCanvas();
            StretchBitmap(Rect(FPageWidth, FPageHeight, 0, 0), &bitmap);
          }
        }
        if (!drawn) throw Exception(Cp932String::FromUtf8(drawn.Message()));
      }
      host.ProcessMessages();
      if (k + 1 < pages.size()) job->NewPage();
    }
    FPrinterCanvas->SetMapMode(MM_TEXT);
    FPrinterCanvas = nullptr;
    job->End();
  } catch (...) {
    // A job that failed on the way is withdrawn whole: no part of it is printed, and it counts no page.
    try {
      job->Abort();
    } catch (...) {
      // The first failure is the one the caller hears of.
    }
    throw;
  }
  host.ProcessMessages();
  // Each page counts once it was handed over with its job (its copies count once).
  for (int page : pages) {
    if (OnPrint) OnPrint(this, page);
  }
  // Told once the pages counted, so that nothing the message does can keep them from counting.
  if (mapping.Fitted) TellPageFitted(mapping);
}

void TCustomplPrev::TellPageFitted(const TplPrintMapping& mapping) {
  TplSetPrinter& settings = *SettingsInUse();
  const Cp932String printer = settings.PrinterName();
  // Once per printer: every job on it is fitted the same way.
  if (std::find(FToldFitted.begin(), FToldFitted.end(), printer) != FToldFitted.end()) return;
  FToldFitted.push_back(printer);
  Cp932String page = DocumentPaperLayout().PaperName;
  if (page.IsEmpty()) page = IntToStr(FDocumentPaper);
  const Cp932String percent = IntToStr(std::lround(mapping.Scale * 100));
  PreviewHost().MessageBox(
      MessageCp932("preview.page-fitted", {printer, page, settings.PaperName(), percent}),
      MessageCp932("preview.page-fitted-caption"), TPreviewMsgIcon::Information);
}

// ---- Preview window
// ----------------------------------------------------------------------------------------

bool TCustomplPrev::FindPreviewForm() {
  TPreviewHost& host = PreviewHost();
  auto attach = [this](const TFormRef& ref) {
    FPreviewForm = ref.Form;
    FPreviewWindow = ref.Window;
    FPreviewForm->FreeNotification(this);
    FPreviewWindow->AttachPreview(this);
  };
  if (!FFormName.empty()) {
    // A form found under an earlier name must not be shown for this one.
    if (!FOwnsForm) {
      FPreviewForm = nullptr;
      FPreviewWindow = nullptr;
    }
    for (const TFormRef& ref : host.OpenForms()) {
      if (ref.Form == nullptr || ref.Form->Name() != FFormName) continue;
      FPreviewForm = ref.Form;
      FPreviewWindow = nullptr;
      if (ref.Window != nullptr) {
        attach(ref);
        return true;
      }
    }
    return false;
  }
  bool found = false;
  for (const TFormRef& ref : host.ApplicationComponents()) {
    if (ref.Form == nullptr || ref.Window == nullptr) continue;
    if (std::string_view(ref.Form->ClassParentName()) != "TplPrevForm") continue;
    attach(ref);
    FFormName = ref.Form->Name();
    found = true;
  }
  if (found) return true;
  IplPrevWindow* window = host.CreatePreviewWindow(Owner());
  if (window == nullptr) return false;
  FOwnsForm = true;
  TFormRef created{&window->WindowComponent(), window};
  FFormName = created.Form->Name() + "__" + Name();
  attach(created);
  return true;
}

void TCustomplPrev::Preview() {
  if (!FReady) return;
  if (IsAcrobatPrinter()) {
    if (FDocState == TplPrevDocState::dsRecorded) Print();
    return;
  }
  if (FFormShowing) {
    PreviewHost().MessageBox(
        Cp932String::FromUtf8("表示中のフォームをモーダル表示で開くことはできません(矛盾)．　　"),
        Cp932String::FromUtf8(kComponentCaption), TPreviewMsgIcon::Warning);
    return;
  }
  FReady = false;
  TScopeGuard ready([this] { FReady = true; });
  if (FindPreviewForm()) {
    PreparePages();
    FFormShowing = true;
    FPreviewWindow->ShowModal();
    if (FOwnsForm && FPreviewForm != nullptr) {
      TComponent* form = FPreviewForm;
      delete form;  // Notification forgets it
    }
    return;
  }
  // A form of the given name that is not a preview window: shown modally, its messages observed.
  try {
    PreparePages();
    if (FPreviewForm == nullptr) return;
    PreviewHost().ShowForeignFormModal(FPreviewForm, [this](TForeignMessage message) {
      if (message == TForeignMessage::Close) {
        FPageWidth = 0;
        FPageHeight = 0;
        FFormShowing = false;
      } else {
        FFormShowing = true;
      }
    });
  } catch (...) {
    // The foreign form is the application's; its failures are not this component's to report.
  }
}

void TCustomplPrev::ShowPreview() {
  if (!FReady) return;
  if (IsAcrobatPrinter()) {
    if (FDocState == TplPrevDocState::dsRecorded) Print();
    return;
  }
  FReady = false;
  TScopeGuard ready([this] { FReady = true; });
  if (FFormShowing) {
    if (FPreviewWindow != nullptr) FPreviewWindow->Show();
  } else if (FindPreviewForm()) {
    PreparePages();
    FPreviewWindow->Show();
    FFormShowing = true;
  }
}

bool TCustomplPrev::ShowPage(int page) {
  if (FPreviewWindow == nullptr || !FPreviewWindow->Visible() || !FReady || page < 1 || page > FPageCount) {
    return false;
  }
  FReady = false;
  TScopeGuard ready([this] { FReady = true; });
  FCurrentPage = page;
  FPreviewWindow->ShowCurrentPage();
  return true;
}

void TCustomplPrev::PrintButtonClick() {
  if (FPreviewWindow != nullptr) FPreviewWindow->PrintButtonAction(this);
}

void TCustomplPrev::ClosePreview() {
  if (IsAcrobatPrinter()) return;
  if (FPreviewWindow != nullptr) FPreviewWindow->CloseButtonAction();
}

void TCustomplPrev::PreviewWindowClosed() {
  FPageWidth = 0;
  FPageHeight = 0;
  FFormShowing = false;
}

}  // namespace tess
