#include "platform/ui/PrintDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

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
  explicit LockedBlock(TDevModeHandle handle) : handle_(handle), block_(Printer().LockDevMode(handle)) {}
  ~LockedBlock() {
    if (!block_.empty()) Printer().UnlockDevMode(handle_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  std::span<std::uint8_t> Bytes() const { return block_; }

 private:
  TDevModeHandle handle_;
  std::span<std::uint8_t> block_;
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

}  // namespace

void SetPrinterSetupDialogScript(TPrinterSetupDialogScript script) {
  SetupScript() = std::move(script);
}
void SetPrintDialogScript(TPrintDialogScript script) {
  PrintScript() = std::move(script);
}

// ---------------------------------------------------------------------------------------------------
// Print setup

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* owner) : TComponent(owner) {}
TPrinterSetupDialog::~TPrinterSetupDialog() = default;

void TPrinterSetupDialog::SetPrinterChoice(int index) {
  TPrinterSystem& printer = Printer();
  const auto& records = printer.PrinterRecords();
  if (index < 0 || index >= static_cast<int>(records.size())) return;
  printerChoice_ = index;
  papers_ = printer.Papers(records[static_cast<std::size_t>(index)].name);
  bins_ = printer.Bins(records[static_cast<std::size_t>(index)].name);
  // A new printer's boxes show its first entries when the old texts are not among them.
  auto hasPaper = [&](const Cp932String& t) {
    return std::any_of(papers_.begin(), papers_.end(), [&](const TPaperEntry& p) { return p.name == t; });
  };
  auto hasBin = [&](const Cp932String& t) {
    return std::any_of(bins_.begin(), bins_.end(), [&](const TBinEntry& b) { return b.name == t; });
  };
  if (!hasPaper(paperText_)) paperText_ = papers_.empty() ? Cp932String() : papers_.front().name;
  if (!hasBin(sourceText_)) sourceText_ = bins_.empty() ? Cp932String() : bins_.front().name;
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
  paperText_ = Cp932String();
  sourceText_ = Cp932String();
  papers_.clear();
  bins_.clear();
  printerChoice_ = -1;
  if (index < 0) return;
  const auto& records = printer.PrinterRecords();
  papers_ = printer.Papers(records[static_cast<std::size_t>(index)].name);
  bins_ = printer.Bins(records[static_cast<std::size_t>(index)].name);
  printerChoice_ = index;
  for (const TPaperEntry& p : papers_) {
    if (p.code == paper) {
      paperText_ = p.name;
      break;
    }
  }
  for (const TBinEntry& b : bins_) {
    if (b.code == bin) {
      sourceText_ = b.name;
      break;
    }
  }
  portrait_ = orientation == DMORIENT_PORTRAIT;
}

void TPrinterSetupDialog::ApplyToPrinter() {
  TPrinterSystem& printer = Printer();
  if (printerChoice_ < 0) return;
  if (printer.PrinterIndex() != printerChoice_) printer.SetPrinterIndex(printerChoice_);
  TCurrentDevice device = printer.GetPrinter();
  if (device.devMode == 0) return;
  {
    LockedBlock block(device.devMode);
    std::span<std::uint8_t> bytes = block.Bytes();
    for (const TPaperEntry& p : papers_) {
      if (p.name == paperText_) {
        WriteBlockI16(bytes, devmode::dmPaperSize, p.code);
        std::uint32_t fields = ReadBlockU32(bytes, devmode::dmFields).value_or(0);
        WriteBlockU32(bytes, devmode::dmFields, fields & ~(DM_PAPERLENGTH | DM_PAPERWIDTH));
        break;
      }
    }
    for (const TBinEntry& b : bins_) {
      if (b.name == sourceText_) {
        WriteBlockI16(bytes, devmode::dmDefaultSource, b.code);
        break;
      }
    }
    WriteBlockI16(bytes, devmode::dmOrientation, portrait_ ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE);
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
  printerBox->setCurrentIndex(printerChoice_);
  auto* paperBox = new QComboBox;
  auto* sourceBox = new QComboBox;
  auto fill = [&] {
    paperBox->clear();
    for (const TPaperEntry& p : papers_) paperBox->addItem(ToQt(p.name));
    paperBox->setCurrentText(ToQt(paperText_));
    sourceBox->clear();
    for (const TBinEntry& b : bins_) sourceBox->addItem(ToQt(b.name));
    sourceBox->setCurrentText(ToQt(sourceText_));
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
  (portrait_ ? portrait : landscape)->setChecked(true);
  layout->addWidget(orientation);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto readBoxes = [&] {
    paperText_ = FromQt(paperBox->currentText());
    sourceText_ = FromQt(sourceBox->currentText());
    portrait_ = portrait->isChecked();
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
  appliesChoices_ = true;
  if (OnShow) OnShow(this);
  bool confirmed = false;
  try {
    confirmed = SetupScript() ? SetupScript()(*this) : RunWindow();
  } catch (...) {
    if (OnClose) OnClose(this);
    throw;
  }
  if (OnClose) OnClose(this);
  if (confirmed && appliesChoices_) ApplyToPrinter();
  return confirmed;
}

// ---------------------------------------------------------------------------------------------------
// Print

TPrintDialog::TPrintDialog(TComponent* owner) : TComponent(owner) {}
TPrintDialog::~TPrintDialog() = default;

void TPrintDialog::SetPrinterChoice(int index) {
  const auto& records = Printer().PrinterRecords();
  if (index < 0 || index >= static_cast<int>(records.size())) return;
  printerChoice_ = index;
  printerName_ = records[static_cast<std::size_t>(index)].name;
}

void TPrintDialog::LoadJobSettings() {
  copies_ = 1;
  collate_ = true;
  duplex_ = DMDUP_SIMPLEX;
  pageList_.clear();
  pageSet_ = TPrintPageSet::psAll;
  reverse_ = false;
  TCurrentDevice device = Printer().GetPrinter();
  if (device.devMode == 0) return;
  LockedBlock block(device.devMode);
  copies_ = std::max<int>(1, ReadBlockI16(block.Bytes(), devmode::dmCopies).value_or(1));
  collate_ = ReadBlockI16(block.Bytes(), devmode::dmCollate).value_or(DMCOLLATE_TRUE) != DMCOLLATE_FALSE;
  duplex_ = ReadBlockI16(block.Bytes(), devmode::dmDuplex).value_or(DMDUP_SIMPLEX);
}

void TPrintDialog::ApplyJobSettings() {
  TPrinterSystem& printer = Printer();
  TCurrentDevice device = printer.GetPrinter();
  if (device.devMode == 0) return;
  {
    LockedBlock block(device.devMode);
    std::span<std::uint8_t> bytes = block.Bytes();
    WriteBlockI16(bytes, devmode::dmCopies, static_cast<std::int16_t>(std::clamp(copies_, 1, 999)));
    WriteBlockI16(bytes, devmode::dmCollate, collate_ ? DMCOLLATE_TRUE : DMCOLLATE_FALSE);
    WriteBlockI16(bytes, devmode::dmDuplex, duplex_);
    printer.MergeDevMode(device.device, bytes);
  }
  printer.SetPrinter(device.device, device.driver, device.port, device.devMode);
}

bool TPrintDialog::RunWindow() {
  if (NobodyCanAnswer()) return false;
  QPrinter printer;
  if (!printerName_.IsEmpty()) printer.setPrinterName(ToQt(printerName_));
  printer.setFromTo(fromPage_, toPage_);
  printer.setCopyCount(copies_);
  printer.setCollateCopies(collate_);
  printer.setPageOrder(reverse_ ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
  printer.setDuplex(duplex_ == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                    : duplex_ == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                  : QPrinter::DuplexNone);
  // What the dialog offers is what the job honours: no printing to a file, no page-size properties.
  QPrintDialog dialog(&printer);
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies);
  CompleteTranslation(dialog);
  dialog.setMinMax(minPage_, maxPage_);
  dialog.setPrintRange(range_ == TPrintRange::prPageNums ? QAbstractPrintDialog::PageRange
                                                         : QAbstractPrintDialog::AllPages);
  if (dialog.exec() != QDialog::Accepted) return false;
  range_ = printer.printRange() == QPrinter::PageRange ? TPrintRange::prPageNums : TPrintRange::prAllPages;
  pageList_.clear();
  if (range_ == TPrintRange::prPageNums) {
    // From-to and the "Pages" list both come as page ranges.
    const QPageRanges ranges = printer.pageRanges();
    for (const QPageRanges::Range& r : ranges.toRangeList()) pageList_.emplace_back(r.from, r.to);
    fromPage_ = ranges.firstPage();
    toPage_ = ranges.lastPage();
  }
  pageSet_ = TPrintPageSet::psAll;
  if (const auto* pageSet = dialog.findChild<QComboBox*>("pageSetCombo");
      pageSet != nullptr && pageSet->isEnabled()) {
    // Its entries: all, odd, even pages.
    pageSet_ = pageSet->currentIndex() == 1   ? TPrintPageSet::psOdd
               : pageSet->currentIndex() == 2 ? TPrintPageSet::psEven
                                              : TPrintPageSet::psAll;
  }
  reverse_ = printer.pageOrder() == QPrinter::LastPageFirst;
  copies_ = printer.copyCount();
  collate_ = printer.collateCopies();
  duplex_ = printer.duplex() == QPrinter::DuplexShortSide ? DMDUP_HORIZONTAL
            : printer.duplex() == QPrinter::DuplexNone    ? DMDUP_SIMPLEX
                                                          : DMDUP_VERTICAL;
  printerName_ = FromQt(printer.printerName());
  return true;
}

bool TPrintDialog::Execute() {
  TPrinterSystem& system = Printer();
  system.Refresh();
  printerChoice_ = -1;
  printerName_ = Cp932String();
  SetPrinterChoice(system.PrinterIndex());
  LoadJobSettings();
  bool confirmed = PrintScript() ? PrintScript()(*this) : RunWindow();
  if (!confirmed) return false;
  if (minPage_ <= maxPage_) {
    fromPage_ = std::clamp(fromPage_, minPage_, maxPage_);
    toPage_ = std::clamp(toPage_, minPage_, maxPage_);
  }
  if (!printerName_.IsEmpty()) {
    auto find = [&] {
      const auto& records = system.PrinterRecords();
      for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].name == printerName_) return static_cast<int>(i);
      }
      return -1;
    };
    int index = find();
    if (index < 0) {
      system.Refresh();  // installed after the list was read
      index = find();
    }
    if (index < 0) {
      throw EPrinterError(Cp932String("The printer ") + printerName_ +
                          Cp932String(" is no longer installed"));
    }
    if (index != system.PrinterIndex()) system.SetPrinterIndex(index);
    printerChoice_ = index;
  }
  ApplyJobSettings();
  return true;
}

}  // namespace tess
