#include "platform/ui/PrintDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <string>

#include "platform/core/Messages.h"
#include "platform/ui/Application.h"
#include "platform/ui/internal/PrintDialogWindow.h"

#include "platform/core/Messages.h"

namespace tess {
namespace {

TPrinterSetupDialogScript& SetupScript() {
  static TPrinterSetupDialogScript script;
  return script;
}

TPrintDialogScript& PrintScript() {
  static TPrintDialogScript script;
  return script;
}

TPrintDialogDriver& PrintDriver() {
  static TPrintDialogDriver driver;
  return driver;
}

// Without a display nobody can answer a modal window: it would wait for ever. There the dialogs answer
// "cancelled" (a batch run, or a test that forgot its script).
bool NobodyCanAnswer() {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

QString ToQt(const Cp932String& s) {
  return QString::fromStdString(s.ToUtf8());
}
Cp932String FromQt(const QString& s) {
  return Cp932String::FromUtf8(s.toStdString());
}

// The locked settings block of the printer object's current device, unlocked when it goes.
class LockedBlock {
 public:
  explicit LockedBlock(TDevModeHandle handle) : FHandle(handle), FBlock(Printer().LockDevMode(handle)) {}
  ~LockedBlock() {
    if (!FBlock.empty()) Printer().UnlockDevMode(FHandle);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  std::span<std::uint8_t> Bytes() const { return FBlock; }

 private:
  TDevModeHandle FHandle;
  std::span<std::uint8_t> FBlock;
};

// The toolkit's Japanese translation leaves a few texts of its print dialog in English: they are given here,
// where they still read in English.
void CompleteTranslation(QPrintDialog& dialog) {
  auto untranslated = [](const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
  };
  const std::pair<const char*, const char*> kButtons[] = {{"pagesRadioButton", "ページ指定"},
                                                          {"noDuplex", "しない"},
                                                          {"duplexLong", "長辺綴じ"},
                                                          {"duplexShort", "短辺綴じ"}};
  for (const auto& [name, text] : kButtons) {
    auto* button = dialog.findChild<QRadioButton*>(name);
    if (button != nullptr && untranslated(button->text())) button->setText(QString::fromUtf8(text));
  }
  auto* duplex = dialog.findChild<QGroupBox*>("duplex");
  if (duplex != nullptr && untranslated(duplex->title())) duplex->setTitle(QString::fromUtf8("両面印刷"));
}

using TPageRanges = std::vector<std::pair<int, int>>;

// A "Pages" entry read: its ranges, or the message that refuses it.
struct TPageEntry {
  TPageRanges ranges;
  std::optional<Cp932String> refusal;
};

// Reads "1,3-4": page numbers and ranges separated by commas, spaces allowed around them. The full-width
// digits, commas, spaces and dashes a Japanese input method gives count as their ASCII forms, and so do the
// ideographic comma and the wave dash ("1～3"). A range is written smallest page first.
TPageEntry ReadPageEntry(const Cp932String& text) {
  std::string plain;  // the entry in ASCII, any other character as '?', which no reading accepts
  for (char16_t c : ToUtf16(text)) {
    if (c >= u'０' && c <= u'９') {
      plain += static_cast<char>('0' + (c - u'０'));
    } else if (c == u'，' || c == u'、') {
      plain += ',';
    } else if (c == u'－' || c == u'ー' || c == u'～' || c == u'〜' || c == u'‐' || c == u'−') {
      plain += '-';
    } else if (c == u'　' || c == u'\t') {
      plain += ' ';
    } else {
      plain += c < 0x80 ? static_cast<char>(c) : '?';
    }
  }
  TPageEntry entry;
  if (plain.find_first_not_of(' ') == std::string::npos) {
    entry.refusal = MessageCp932("printdialog.pages-empty");
    return entry;
  }
  const auto unreadable = [&] {
    entry.ranges.clear();
    entry.refusal = MessageCp932("printdialog.pages-unreadable", {text});
    return entry;
  };
  std::size_t at = 0;
  const auto skipSpaces = [&] {
    while (at < plain.size() && plain[at] == ' ') ++at;
  };
  // A page number; numbers beyond any document stay beyond it.
  const auto number = [&](int& value) {
    skipSpaces();
    const std::size_t first = at;
    long long n = 0;
    while (at < plain.size() && plain[at] >= '0' && plain[at] <= '9') {
      n = std::min<long long>(n * 10 + (plain[at++] - '0'), INT_MAX);
    }
    value = static_cast<int>(n);
    skipSpaces();
    return at > first;
  };
  for (;;) {
    int from = 0;
    if (!number(from)) return unreadable();
    int to = from;
    if (at < plain.size() && plain[at] == '-') {
      ++at;
      if (!number(to)) return unreadable();
      if (to < from) {
        entry.ranges.clear();
        entry.refusal = MessageCp932("printdialog.pages-reversed", {IntToStr(from) + "-" + IntToStr(to)});
        return entry;
      }
    }
    entry.ranges.emplace_back(from, to);
    if (at == plain.size()) return entry;
    if (plain[at] != ',') return unreadable();
    ++at;
  }
}

std::string RangesText(const TPageRanges& ranges) {
  std::string text;
  for (const auto& [from, to] : ranges) {
    if (!text.empty()) text += ',';
    text += std::to_string(from);
    if (to != from) {
      text += '-';
      text += std::to_string(to);
    }
  }
  return text;
}

// The refusal of ranges that name a page the document does not have (pages count from 1; MaxPage below 1
// sets no last page).
std::optional<Cp932String> PagesOutside(const TPageRanges& ranges, const Cp932String& entry, int minPage,
                                        int maxPage) {
  const int first = std::max(1, minPage);
  const int last = maxPage >= 1 ? maxPage : INT_MAX;
  for (const auto& [from, to] : ranges) {
    if (from >= first && to <= last) continue;
    if (last == INT_MAX) return MessageCp932("printdialog.pages-unreadable", {entry});
    return MessageCp932("printdialog.pages-outside", {entry, IntToStr(first), IntToStr(last)});
  }
  return std::nullopt;
}

void ShowRefusal(const Cp932String& message) {
  Application().MessageBox(message, MessageCp932("printdialog.caption"), TMsgIcon::Warning);
}

// The toolkit's dialog, made to refuse a "Pages" entry it cannot print while it is still open, so that the
// user sees it again as they left it. The toolkit's own check looks at the range the printer held before
// and reads some entries differently: it is given the entry as read here.
class TPageCheckingPrintDialog : public QPrintDialog {
 public:
  TPageCheckingPrintDialog(QPrinter* printer, int minPage, int maxPage)
      : QPrintDialog(printer), FMinPage(minPage), FMaxPage(maxPage) {}

  void accept() override {
    auto* choice = findChild<QRadioButton*>(printdialog::kPagesChoice);
    auto* edit = findChild<QLineEdit*>(printdialog::kPagesEntry);
    if (choice != nullptr && edit != nullptr && choice->isChecked()) {
      const Cp932String text = FromQt(edit->text());
      TPageEntry entry = ReadPageEntry(text);
      if (!entry.refusal) entry.refusal = PagesOutside(entry.ranges, text, FMinPage, FMaxPage);
      if (entry.refusal) {
        ShowRefusal(*entry.refusal);
        edit->setFocus();
        edit->selectAll();
        return;
      }
      QPageRanges ranges;
      for (const auto& [from, to] : entry.ranges) ranges.addRange(from, to);
      printer()->setPageRanges(ranges);
    }
    QPrintDialog::accept();
  }

 private:
  int FMinPage;
  int FMaxPage;
};

}  // namespace

void SetPrinterSetupDialogScript(TPrinterSetupDialogScript script) {
  SetupScript() = std::move(script);
}
void SetPrintDialogScript(TPrintDialogScript script) {
  PrintScript() = std::move(script);
}
void SetPrintDialogDriver(TPrintDialogDriver driver) {
  PrintDriver() = std::move(driver);
}

// ---------------------------------------------------------------------------------------------------
// Print setup

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* owner) : TComponent(owner) {}
TPrinterSetupDialog::~TPrinterSetupDialog() = default;

void TPrinterSetupDialog::SetPrinterChoice(int index) {
  TPrinterSystem& printer = Printer();
  const auto& records = printer.PrinterRecords();
  if (index < 0 || index >= static_cast<int>(records.size())) return;
  FPrinterChoice = index;
  FPapers = printer.Papers(records[static_cast<std::size_t>(index)].name);
  FBins = printer.Bins(records[static_cast<std::size_t>(index)].name);
  // A new printer's boxes show its first entries when the old texts are not among them.
  auto hasPaper = [&](const Cp932String& t) {
    return std::any_of(FPapers.begin(), FPapers.end(), [&](const TPaperEntry& p) { return p.name == t; });
  };
  auto hasBin = [&](const Cp932String& t) {
    return std::any_of(FBins.begin(), FBins.end(), [&](const TBinEntry& b) { return b.name == t; });
  };
  if (!hasPaper(FPaperText)) FPaperText = FPapers.empty() ? Cp932String() : FPapers.front().name;
  if (!hasBin(FSourceText)) FSourceText = FBins.empty() ? Cp932String() : FBins.front().name;
}

void TPrinterSetupDialog::LoadFromPrinter() {
  TPrinterSystem& printer = Printer();
  int index = printer.PrinterIndex();
  TCurrentDevice device = printer.GetPrinter();
  std::int16_t paper = 0;
  std::int16_t bin = 0;
  std::int16_t orientation = DMORIENT_PORTRAIT;
  if (device.devMode != 0) {
    LockedBlock block(device.devMode);
    paper = ReadBlockI16(block.Bytes(), devmode::dmPaperSize).value_or(0);
    bin = ReadBlockI16(block.Bytes(), devmode::dmDefaultSource).value_or(0);
    orientation = ReadBlockI16(block.Bytes(), devmode::dmOrientation).value_or(DMORIENT_PORTRAIT);
  }
  FPaperText = Cp932String();
  FSourceText = Cp932String();
  FPapers.clear();
  FBins.clear();
  FPrinterChoice = -1;
  if (index < 0) return;
  const auto& records = printer.PrinterRecords();
  FPapers = printer.Papers(records[static_cast<std::size_t>(index)].name);
  FBins = printer.Bins(records[static_cast<std::size_t>(index)].name);
  FPrinterChoice = index;
  for (const TPaperEntry& p : FPapers) {
    if (p.code == paper) {
      FPaperText = p.name;
      break;
    }
  }
  for (const TBinEntry& b : FBins) {
    if (b.code == bin) {
      FSourceText = b.name;
      break;
    }
  }
  FPortrait = orientation == DMORIENT_PORTRAIT;
}

void TPrinterSetupDialog::ApplyToPrinter() {
  TPrinterSystem& printer = Printer();
  if (FPrinterChoice < 0) return;
  if (printer.PrinterIndex() != FPrinterChoice) printer.SetPrinterIndex(FPrinterChoice);
  TCurrentDevice device = printer.GetPrinter();
  if (device.devMode == 0) return;
  {
    LockedBlock block(device.devMode);
    std::span<std::uint8_t> bytes = block.Bytes();
    for (const TPaperEntry& p : FPapers) {
      if (p.name == FPaperText) {
        WriteBlockI16(bytes, devmode::dmPaperSize, p.code);
        std::uint32_t fields = ReadBlockU32(bytes, devmode::dmFields).value_or(0);
        WriteBlockU32(bytes, devmode::dmFields, fields & ~(DM_PAPERLENGTH | DM_PAPERWIDTH));
        break;
      }
    }
    for (const TBinEntry& b : FBins) {
      if (b.name == FSourceText) {
        WriteBlockI16(bytes, devmode::dmDefaultSource, b.code);
        break;
      }
    }
    WriteBlockI16(bytes, devmode::dmOrientation, FPortrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE);
    printer.MergeDevMode(device.device, bytes);
  }
  printer.SetPrinter(device.device, device.driver, device.port, device.devMode);
}

bool TPrinterSetupDialog::RunWindow() {
  if (NobodyCanAnswer()) return false;
  QDialog dialog;
  dialog.setWindowTitle(ToQt(Cp932String::FromUtf8("プリンタの設定")));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  auto* printerBox = new QComboBox;
  for (const Cp932String& entry : Printer().Printers()) printerBox->addItem(ToQt(entry));
  printerBox->setCurrentIndex(FPrinterChoice);
  auto* paperBox = new QComboBox;
  auto* sourceBox = new QComboBox;
  auto fill = [&] {
    paperBox->clear();
    for (const TPaperEntry& p : FPapers) paperBox->addItem(ToQt(p.name));
    paperBox->setCurrentText(ToQt(FPaperText));
    sourceBox->clear();
    for (const TBinEntry& b : FBins) sourceBox->addItem(ToQt(b.name));
    sourceBox->setCurrentText(ToQt(FSourceText));
  };
  fill();
  form->addRow(ToQt(Cp932String::FromUtf8("プリンタ名")), printerBox);
  form->addRow(ToQt(Cp932String::FromUtf8("サイズ")), paperBox);
  form->addRow(ToQt(Cp932String::FromUtf8("給紙方法")), sourceBox);
  layout->addLayout(form);
  auto* orientation = new QGroupBox(ToQt(Cp932String::FromUtf8("印刷の向き")));
  auto* orientationLayout = new QHBoxLayout(orientation);
  auto* portrait = new QRadioButton(ToQt(Cp932String::FromUtf8("縦")));
  auto* landscape = new QRadioButton(ToQt(Cp932String::FromUtf8("横")));
  orientationLayout->addWidget(portrait);
  orientationLayout->addWidget(landscape);
  (FPortrait ? portrait : landscape)->setChecked(true);
  layout->addWidget(orientation);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto readBoxes = [&] {
    FPaperText = FromQt(paperBox->currentText());
    FSourceText = FromQt(sourceBox->currentText());
    FPortrait = portrait->isChecked();
  };
  QObject::connect(printerBox, &QComboBox::currentIndexChanged, &dialog, [&](int index) {
    readBoxes();
    SetPrinterChoice(index);
    fill();
  });
  QObject::connect(&dialog, &QDialog::finished, &dialog, [&](int) { readBoxes(); });
  return dialog.exec() == QDialog::Accepted;
}

bool TPrinterSetupDialog::Execute() {
  Printer().Refresh();
  LoadFromPrinter();
  FAppliesChoices = true;
  if (OnShow) OnShow(this);
  bool confirmed = false;
  try {
    confirmed = SetupScript() ? SetupScript()(*this) : RunWindow();
  } catch (...) {
    if (OnClose) OnClose(this);
    throw;
  }
  if (OnClose) OnClose(this);
  if (confirmed && FAppliesChoices) ApplyToPrinter();
  return confirmed;
}

// ---------------------------------------------------------------------------------------------------
// Print

TPrintDialog::TPrintDialog(TComponent* owner) : TComponent(owner) {}
TPrintDialog::~TPrintDialog() = default;

void TPrintDialog::SetPrinterChoice(int index) {
  const auto& records = Printer().PrinterRecords();
  if (index < 0 || index >= static_cast<int>(records.size())) return;
  FPrinterChoice = index;
  FPrinterName = records[static_cast<std::size_t>(index)].name;
}

void TPrintDialog::LoadJobSettings() {
  FCopies = 1;
  FCollate = true;
  FDuplex = DMDUP_SIMPLEX;
  FPageList.clear();
  FPageSet = TPrintPageSet::psAll;
  FReverse = false;
  TCurrentDevice device = Printer().GetPrinter();
  if (device.devMode == 0) return;
  LockedBlock block(device.devMode);
  FCopies = std::max<int>(1, ReadBlockI16(block.Bytes(), devmode::dmCopies).value_or(1));
  FCollate = ReadBlockI16(block.Bytes(), devmode::dmCollate).value_or(DMCOLLATE_TRUE) != DMCOLLATE_FALSE;
  FDuplex = ReadBlockI16(block.Bytes(), devmode::dmDuplex).value_or(DMDUP_SIMPLEX);
}

void TPrintDialog::ApplyJobSettings() {
  TPrinterSystem& printer = Printer();
  TCurrentDevice device = printer.GetPrinter();
  if (device.devMode == 0) return;
  {
    LockedBlock block(device.devMode);
    std::span<std::uint8_t> bytes = block.Bytes();
    WriteBlockI16(bytes, devmode::dmCopies, static_cast<std::int16_t>(std::clamp(FCopies, 1, 999)));
    WriteBlockI16(bytes, devmode::dmCollate, FCollate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE);
    WriteBlockI16(bytes, devmode::dmDuplex, FDuplex);
    printer.MergeDevMode(device.device, bytes);
  }
  printer.SetPrinter(device.device, device.driver, device.port, device.devMode);
}

bool TPrintDialog::RunWindow() {
  const TPrintDialogDriver driver = PrintDriver();
  if (NobodyCanAnswer() && !driver) return false;
  QPrinter printer;
  if (!FPrinterName.IsEmpty()) printer.setPrinterName(ToQt(FPrinterName));
  printer.setFromTo(FFromPage, FToPage);
  printer.setCopyCount(FCopies);
  printer.setCollateCopies(FCollate);
  printer.setPageOrder(FReverse ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
  printer.setDuplex(FDuplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                    : FDuplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                  : QPrinter::DuplexNone);
  // What the dialog offers is what the job honours: no printing to a file, no page-size properties.
  TPageCheckingPrintDialog dialog(&printer, FMinPage, FMaxPage);
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies);
  CompleteTranslation(dialog);
  dialog.setMinMax(FMinPage, FMaxPage);
  dialog.setPrintRange(FRange == TPrintRange::prPageNums ? QAbstractPrintDialog::PageRange
                                                         : QAbstractPrintDialog::AllPages);
  if (driver) {
    // Runs once the dialog's own loop has started, the window shown.
    QTimer::singleShot(0, &dialog, [&dialog, driver] {
      TPrintDialogWindow window(dialog);
      driver(window);
      if (dialog.isVisible()) dialog.reject();
    });
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  const auto* pagesChoice = dialog.findChild<QRadioButton*>(printdialog::kPagesChoice);
  const auto* pagesEntry = dialog.findChild<QLineEdit*>(printdialog::kPagesEntry);
  FPagesChosen = pagesChoice != nullptr && pagesEntry != nullptr && pagesChoice->isChecked();
  FPagesText = pagesEntry != nullptr ? FromQt(pagesEntry->text()) : Cp932String();
  FRange = FPagesChosen || printer.printRange() == QPrinter::PageRange ? TPrintRange::prPageNums
                                                                       : TPrintRange::prAllPages;
  FPageList.clear();
  if (FRange == TPrintRange::prPageNums && !FPagesChosen) {
    // The from-to range; the "Pages" entry is read from the box itself (ReadPageChoice), as the printer
    // keeps an old range when the toolkit cannot read the entry.
    const QPageRanges ranges = printer.pageRanges();
    for (const QPageRanges::Range& r : ranges.toRangeList()) FPageList.emplace_back(r.from, r.to);
    FFromPage = ranges.firstPage();
    FToPage = ranges.lastPage();
  }
  FPageSet = TPrintPageSet::psAll;
  if (const auto* pageSet = dialog.findChild<QComboBox*>(printdialog::kPageSetBox);
      pageSet != nullptr && pageSet->isEnabled()) {
    // Its entries: all, odd, even pages.
    FPageSet = pageSet->currentIndex() == 1   ? TPrintPageSet::psOdd
               : pageSet->currentIndex() == 2 ? TPrintPageSet::psEven
                                              : TPrintPageSet::psAll;
  }
  FReverse = printer.pageOrder() == QPrinter::LastPageFirst;
  FCopies = printer.copyCount();
  FCollate = printer.collateCopies();
  FDuplex = printer.duplex() == QPrinter::DuplexShortSide ? DMDUP_HORIZONTAL
            : printer.duplex() == QPrinter::DuplexNone    ? DMDUP_SIMPLEX
                                                          : DMDUP_VERTICAL;
  FPrinterName = FromQt(printer.printerName());
  return true;
}

std::optional<Cp932String> TPrintDialog::ReadPageChoice() {
  Cp932String entry;
  if (FPagesChosen) {
    TPageEntry read = ReadPageEntry(FPagesText);
    if (read.refusal) return read.refusal;
    FPageList = std::move(read.ranges);
    FRange = TPrintRange::prPageNums;
    entry = FPagesText;
  } else {
    entry = Cp932String(RangesText(FPageList).c_str());
  }
  if (FRange != TPrintRange::prPageNums || FPageList.empty()) return std::nullopt;
  if (auto refusal = PagesOutside(FPageList, entry, FMinPage, FMaxPage)) return refusal;
  FFromPage = FPageList.front().first;
  FToPage = FPageList.front().second;
  for (const auto& [from, to] : FPageList) {
    FFromPage = std::min(FFromPage, from);
    FToPage = std::max(FToPage, to);
  }
  return std::nullopt;
}

bool TPrintDialog::Execute() {
  TPrinterSystem& system = Printer();
  system.Refresh();
  FPrinterChoice = -1;
  FPrinterName = Cp932String();
  SetPrinterChoice(system.PrinterIndex());
  LoadJobSettings();
  FPagesChosen = false;
  FPagesText = Cp932String();
  // A choice that cannot be printed is refused and the dialog shown again as the user left it (the real
  // window refuses while it is still open).
  for (int round = 1;; ++round) {
    const bool scripted = static_cast<bool>(PrintScript());
    if (!(scripted ? PrintScript()(*this) : RunWindow())) return false;
    const std::optional<Cp932String> refusal = ReadPageChoice();
    if (!refusal) break;
    ShowRefusal(*refusal);
    if (scripted && round >= kScriptRounds) return false;
  }
  if (FMinPage <= FMaxPage) {
    FFromPage = std::clamp(FFromPage, FMinPage, FMaxPage);
    FToPage = std::clamp(FToPage, FMinPage, FMaxPage);
  }
  if (!FPrinterName.IsEmpty()) {
    auto find = [&] {
      const auto& records = system.PrinterRecords();
      for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].name == FPrinterName) return static_cast<int>(i);
      }
      return -1;
    };
    int index = find();
    if (index < 0) {
      system.Refresh();  // installed after the list was read
      index = find();
    }
    if (index < 0) {
      throw EPrinterError(MessageCp932("printing.no-longer-installed", {FPrinterName}));
    }
    if (index != system.PrinterIndex()) system.SetPrinterIndex(index);
    FPrinterChoice = index;
  }
  ApplyJobSettings();
  return true;
}

}  // namespace tess
