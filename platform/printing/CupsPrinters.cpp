// The CUPS printer system. The queues come from the CUPS server (libcups, with a short connection timeout
// so a server that is down answers "no printers" at once); papers, sources and the default resolution come
// from the queue's PPD when it has one, else from its IPP attributes. Jobs are rendered as PDF at the
// printer's default resolution and handed to CUPS as destination jobs with the options the settings block
// carries (the PPD's PageSize and InputSlot choices), since the toolkit's printer cannot carry an input slot.
//
// Private part of a CUPS settings block (kPrivateSize bytes after the 156-byte public part):
//   0  "TSCP"            signature
//   4  WORD version      1
//   6  CHAR[506]         the job options, "key=value" separated by blanks, NUL-terminated

#include <cups/cups.h>
#include <cups/ppd.h>

#include <QByteArray>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QTemporaryFile>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "platform/printing/Printers.h"
#include "platform/gfx/internal/QtCanvas.h"

// The PPD interface is marked deprecated by libcups, yet it is the only place where a queue's exact
// imageable areas and input slots are written down.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace tess {
namespace {

constexpr std::size_t kPrivateSize = 512;
constexpr std::size_t kOptionsOffset = devmode::kPublicSize + 6;
constexpr std::size_t kOptionsSize = kPrivateSize - 6;
constexpr int kConnectTimeoutMs = 3000;
constexpr double kRequestTimeoutS = 10.0;

struct HttpCloser {
  void operator()(http_t* http) const { httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpCloser>;

struct DestFree {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestFree>;

struct InfoFree {
  void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using InfoPtr = std::unique_ptr<cups_dinfo_t, InfoFree>;

struct PpdClose {
  void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
using PpdPtr = std::unique_ptr<ppd_file_t, PpdClose>;

// A paper as the driver describes it: its code and name for the settings block, the keyword CUPS
// knows it by, and its size and imageable area in points (origin at the bottom-left corner, portrait).
struct CupsPaper {
  std::int16_t code = 0;
  Cp932String name;
  std::string keyword;
  double width = 0, length = 0, left = 0, bottom = 0, right = 0, top = 0;
};

struct CupsBin {
  std::int16_t code = 0;
  Cp932String name;
  std::string keyword;
};

struct CupsDriver {
  Cp932String makeModel;
  bool fromPpd = false;
  std::vector<CupsPaper> papers;
  std::vector<CupsBin> bins;
  std::int16_t defaultPaper = 0;
  std::int16_t defaultBin = 0;
  int dpiX = 300;
  int dpiY = 300;
};

std::string Lower(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '-' || c == '_' || c == ' ') continue;
    out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return out;
}

// PPD page-size keywords of the usual paper codes.
std::int16_t PaperCodeForKeyword(const std::string& keyword) {
  static const std::map<std::string, std::int16_t> kCodes = {
      {"letter", 1},    {"lettersmall", 2}, {"tabloid", 3},
      {"ledger", 4},    {"legal", 5},       {"statement", 6},
      {"executive", 7}, {"a3", 8},          {"a4", 9},
      {"a4small", 10},  {"a5", 11},         {"b4", 12},
      {"jisb4", 12},    {"b5", 13},         {"jisb5", 13},
      {"folio", 14},    {"quarto", 15},     {"10x14", 16},
      {"11x17", 17},    {"env9", 19},       {"env10", 20},
      {"env11", 21},    {"env12", 22},      {"env14", 23},
      {"envdl", 27},    {"envc5", 28},      {"envc3", 29},
      {"envc4", 30},    {"envc6", 31},      {"envc65", 32},
      {"envisob4", 33}, {"envisob5", 34},   {"envisob6", 35},
      {"envitaly", 36}, {"envmonarch", 37}, {"isob4", 42},
      {"postcard", 43}, {"a2", 66},         {"doublepostcard", 69},
      {"a6", 70},       {"jisb6", 88},      {"b6", 88},
  };
  auto it = kCodes.find(Lower(keyword));
  return it == kCodes.end() ? 0 : it->second;
}

// Input-slot keywords (PPD InputSlot choices and IPP media-source values) of the usual source codes.
std::int16_t BinCodeForKeyword(const std::string& keyword) {
  static const std::map<std::string, std::int16_t> kCodes = {
      {"auto", DMBIN_AUTO},         {"autoselect", DMBIN_AUTO},   {"default", DMBIN_AUTO},
      {"upper", DMBIN_UPPER},       {"tray1", DMBIN_UPPER},       {"main", DMBIN_UPPER},
      {"top", DMBIN_UPPER},         {"lower", DMBIN_LOWER},       {"tray2", DMBIN_LOWER},
      {"bottom", DMBIN_LOWER},      {"middle", DMBIN_MIDDLE},     {"tray3", DMBIN_MIDDLE},
      {"manual", DMBIN_MANUAL},     {"manualfeed", DMBIN_MANUAL}, {"bypasstray", DMBIN_MANUAL},
      {"envelope", DMBIN_ENVELOPE}, {"tractor", DMBIN_TRACTOR},   {"largecapacity", DMBIN_LARGECAPACITY},
      {"cassette", DMBIN_CASSETTE},
  };
  auto it = kCodes.find(Lower(keyword));
  return it == kCodes.end() ? 0 : it->second;
}

// A standard paper of this size (points, within half a millimetre), for drivers with names of their own.
std::int16_t PaperCodeForSize(double widthPt, double lengthPt) {
  for (const TStandardPaper& p : StandardPapers()) {
    double w = p.width * 72.0 / 254.0;
    double h = p.height * 72.0 / 254.0;
    if (std::fabs(w - widthPt) < 1.5 && std::fabs(h - lengthPt) < 1.5) return p.code;
  }
  return 0;
}

// Gives every entry a code: its usual one when free, else the next code of the driver's own range.
template <class Entry>
void AssignCodes(std::vector<Entry>& entries, const std::vector<std::int16_t>& wanted,
                 std::int16_t userBase) {
  std::vector<std::int16_t> used;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::int16_t code = wanted[i];
    if (code == 0 || std::find(used.begin(), used.end(), code) != used.end()) code = 0;
    entries[i].code = code;
    if (code != 0) used.push_back(code);
  }
  std::int16_t next = userBase;
  for (Entry& e : entries) {
    if (e.code != 0) continue;
    while (std::find(used.begin(), used.end(), next) != used.end()) ++next;
    e.code = next;
    used.push_back(next);
  }
}

// PPD texts are in the PPD's LanguageEncoding.
Cp932String PpdText(const ppd_file_t* ppd, const char* text) {
  if (text == nullptr) return {};
  std::string encoding = ppd->lang_encoding ? ppd->lang_encoding : "";
  if (encoding == "JIS83-RKSJ") return Cp932String::FromBytes(text);
  if (encoding == "UTF-8") return Cp932String::FromUtf8(text);
  return Cp932String::FromUtf8(QString::fromLatin1(text).toStdString());
}

bool ParseResolution(const char* text, int& x, int& y) {
  if (text == nullptr) return false;
  int a = 0, b = 0;
  if (std::sscanf(text, "%dx%ddpi", &a, &b) == 2 && a > 0 && b > 0) {
    x = a;
    y = b;
    return true;
  }
  if (std::sscanf(text, "%ddpi", &a) == 1 && a > 0) {
    x = y = a;
    return true;
  }
  return false;
}

int Dots(double points, int dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

std::string OptionsText(const std::vector<std::pair<std::string, std::string>>& options) {
  std::string text;
  for (const auto& [key, value] : options) {
    if (!text.empty()) text.push_back(' ');
    text += key + "=" + value;
  }
  return text;
}

class CupsPrintJob;

class CupsPrinterSystem : public TPrinterSystem {
 public:
  CupsPrinterSystem(std::string server, bool ippOnly) : ippOnly_(ippOnly) {
    if (server.empty()) {
      host_ = cupsServer();
      port_ = ippPort();
    } else {
      host_ = server;
      port_ = ippPort();
      auto colon = server.rfind(':');
      if (server.front() != '/' && colon != std::string::npos) {
        host_ = server.substr(0, colon);
        port_ = std::atoi(server.c_str() + colon + 1);
      }
    }
  }

  ~CupsPrinterSystem() override { AbandonJob(); }

  HttpPtr Connect() const {
    http_t* http = httpConnect2(host_.c_str(), port_, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                kConnectTimeoutMs, nullptr);
    if (http != nullptr) httpSetTimeout(http, kRequestTimeoutS, nullptr, nullptr);
    return HttpPtr(http);
  }

  std::vector<TPrinterRecord> EnumPrinters() override {
    std::vector<TPrinterRecord> records;
    HttpPtr http = Connect();
    if (!http) return records;  // no server: no printers
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(http.get(), &dests);
    for (int i = 0; i < count; ++i) {
      const cups_dest_t& d = dests[i];
      if (d.instance != nullptr) continue;  // instances share their queue's name
      TPrinterRecord r;
      r.name = Cp932String::FromUtf8(d.name);
      if (const char* uri = cupsGetOption("device-uri", d.num_options, d.options))
        r.port = Cp932String::FromUtf8(uri);
      const char* type = cupsGetOption("printer-type", d.num_options, d.options);
      unsigned typeBits = type ? static_cast<unsigned>(std::strtoul(type, nullptr, 10)) : 0;
      r.attributes = (typeBits & CUPS_PRINTER_REMOTE) ? PRINTER_ATTRIBUTE_NETWORK : PRINTER_ATTRIBUTE_LOCAL;
      const char* shared = cupsGetOption("printer-is-shared", d.num_options, d.options);
      if (shared && std::strcmp(shared, "true") == 0) r.attributes |= PRINTER_ATTRIBUTE_SHARED;
      if (d.is_default) r.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
      records.push_back(std::move(r));
    }
    cupsFreeDests(count, dests);
    return records;
  }

  bool MergeDevMode(const Cp932String& device, std::span<std::uint8_t> block) override {
    const CupsDriver* driver = Driver(device, true);
    if (driver == nullptr) return false;
    if (block.size() != devmode::kPublicSize + kPrivateSize) return false;
    if (ReadBlockU16(block, devmode::dmSize) != devmode::kPublicSize) return false;
    std::uint32_t fields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
    if (!driver->bins.empty()) fields |= DM_DEFAULTSOURCE;
    WriteBlockU32(block, devmode::dmFields, fields);
    std::int16_t orientation = ReadBlockI16(block, devmode::dmOrientation).value_or(0);
    if (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE) {
      WriteBlockI16(block, devmode::dmOrientation, DMORIENT_PORTRAIT);
    }
    if (FindPaper(*driver, ReadBlockI16(block, devmode::dmPaperSize).value_or(0)) == nullptr) {
      WriteBlockI16(block, devmode::dmPaperSize, driver->defaultPaper);
    }
    if (!driver->bins.empty() &&
        FindBin(*driver, ReadBlockI16(block, devmode::dmDefaultSource).value_or(0)) == nullptr) {
      WriteBlockI16(block, devmode::dmDefaultSource, driver->defaultBin);
    }
    if (ReadBlockI16(block, devmode::dmCopies).value_or(0) < 1) WriteBlockI16(block, devmode::dmCopies, 1);
    WriteBlockI16(block, devmode::dmPrintQuality, static_cast<std::int16_t>(driver->dpiX));
    WriteBlockI16(block, devmode::dmYResolution, static_cast<std::int16_t>(driver->dpiY));
    WritePrivatePart(*driver, block);
    return true;
  }

  std::vector<TPaperEntry> Papers(const Cp932String& device) override {
    std::vector<TPaperEntry> result;
    const CupsDriver* driver = Driver(device, true);
    if (driver == nullptr) return result;
    for (const CupsPaper& p : driver->papers) result.push_back({p.code, CutToBytes(p.name, kPaperNameSize)});
    return result;
  }

  std::vector<TBinEntry> Bins(const Cp932String& device) override {
    std::vector<TBinEntry> result;
    const CupsDriver* driver = Driver(device, true);
    if (driver == nullptr) return result;
    for (const CupsBin& b : driver->bins) result.push_back({b.code, CutToBytes(b.name, kBinNameSize)});
    return result;
  }

  // The paper a block asks for, its orientation, and what the driver knows of it.
  struct PageGeometry {
    const CupsPaper* paper = nullptr;
    bool landscape = false;
    int dpiX = 0, dpiY = 0;
  };

  PageGeometry Geometry(const CupsDriver& driver, std::span<const std::uint8_t> block) {
    PageGeometry g;
    g.paper = FindPaper(driver, ReadBlockI16(block, devmode::dmPaperSize).value_or(driver.defaultPaper));
    if (g.paper == nullptr) g.paper = FindPaper(driver, driver.defaultPaper);
    g.landscape =
        ReadBlockI16(block, devmode::dmOrientation).value_or(DMORIENT_PORTRAIT) == DMORIENT_LANDSCAPE;
    g.dpiX = driver.dpiX;
    g.dpiY = driver.dpiY;
    return g;
  }

  static TDeviceCaps Caps(const PageGeometry& g) {
    TDeviceCaps caps;
    if (g.paper == nullptr) return caps;
    const CupsPaper& p = *g.paper;
    // Edges of the imageable area measured from the paper's top-left corner, portrait, in points.
    double leftPt = p.left, topPt = p.length - p.top, rightPt = p.right, bottomPt = p.length - p.bottom;
    double widthPt = p.width, lengthPt = p.length;
    if (g.landscape) {
      // The image turned a quarter counter-clockwise: its top edge lies along the portrait left edge and its
      // left edge along the portrait bottom edge.
      leftPt = p.bottom;
      topPt = p.left;
      rightPt = p.top;
      bottomPt = p.right;
      std::swap(widthPt, lengthPt);
    }
    caps.logPixelsX = g.dpiX;
    caps.logPixelsY = g.dpiY;
    caps.physicalWidth = Dots(widthPt, g.dpiX);
    caps.physicalHeight = Dots(lengthPt, g.dpiY);
    caps.physicalOffsetX = std::clamp(Dots(leftPt, g.dpiX), 0, caps.physicalWidth);
    caps.physicalOffsetY = std::clamp(Dots(topPt, g.dpiY), 0, caps.physicalHeight);
    caps.horzRes =
        std::clamp(Dots(rightPt, g.dpiX), caps.physicalOffsetX, caps.physicalWidth) - caps.physicalOffsetX;
    caps.vertRes =
        std::clamp(Dots(bottomPt, g.dpiY), caps.physicalOffsetY, caps.physicalHeight) - caps.physicalOffsetY;
    return caps;
  }

  // Sends a finished PDF to the queue as one job.
  bool Submit(const Cp932String& printer, const Cp932String& title, const std::string& optionsText,
              const QByteArray& pdf) {
    HttpPtr http = Connect();
    if (!http) return false;
    const std::string name = printer.ToUtf8();
    DestPtr dest(cupsGetNamedDest(http.get(), name.c_str(), nullptr));
    if (!dest) return false;
    InfoPtr info(cupsCopyDestInfo(http.get(), dest.get()));
    if (!info) return false;
    cups_option_t* options = nullptr;
    int numOptions = cupsParseOptions(optionsText.c_str(), 0, &options);
    int jobId = 0;
    const std::string jobTitle = title.ToUtf8();
    ipp_status_t status =
        cupsCreateDestJob(http.get(), dest.get(), info.get(), &jobId, jobTitle.c_str(), numOptions, options);
    bool ok = status <= IPP_STATUS_OK_CONFLICTING && jobId > 0;
    if (ok) {
      ok = cupsStartDestDocument(http.get(), dest.get(), info.get(), jobId, jobTitle.c_str(), CUPS_FORMAT_PDF,
                                 numOptions, options, 1) == HTTP_STATUS_CONTINUE;
      if (ok) {
        ok = cupsWriteRequestData(http.get(), pdf.constData(), static_cast<std::size_t>(pdf.size())) ==
             HTTP_STATUS_CONTINUE;
        ok = cupsFinishDestDocument(http.get(), dest.get(), info.get()) <= IPP_STATUS_OK_CONFLICTING && ok;
      } else {
        cupsCancelDestJob(http.get(), dest.get(), jobId);
      }
    }
    cupsFreeOptions(numOptions, options);
    return ok;
  }

 protected:
  std::optional<std::vector<std::uint8_t>> DefaultDevMode(const TPrinterRecord& printer) override {
    const CupsDriver* driver = Driver(printer.name, true);
    if (driver == nullptr) return std::nullopt;
    std::vector<std::uint8_t> block = NewDevModeBlock(printer.name, 1, kPrivateSize);
    WriteBlockI16(block, devmode::dmOrientation, DMORIENT_PORTRAIT);
    WriteBlockI16(block, devmode::dmPaperSize, driver->defaultPaper);
    WriteBlockI16(block, devmode::dmDefaultSource, driver->defaultBin);
    WriteBlockI16(block, devmode::dmCopies, 1);
    MergeDevMode(printer.name, block);
    return block;
  }

  Cp932String DriverName(const TPrinterRecord& printer) override {
    const CupsDriver* driver = Driver(printer.name, false);
    return driver ? driver->makeModel : Cp932String();
  }

  TDeviceCaps DriverDeviceCaps(const TPrinterRecord& printer, std::span<const std::uint8_t> block) override {
    const CupsDriver* driver = Driver(printer.name, true);
    if (driver == nullptr) return {};
    return Caps(Geometry(*driver, block));
  }

  std::unique_ptr<TPrintJob> StartJob(const TPrinterRecord& printer, std::span<const std::uint8_t> block,
                                      const Cp932String& title) override;

 private:
  static const CupsPaper* FindPaper(const CupsDriver& d, std::int16_t code) {
    for (const CupsPaper& p : d.papers) {
      if (p.code == code) return &p;
    }
    return nullptr;
  }
  static const CupsBin* FindBin(const CupsDriver& d, std::int16_t code) {
    for (const CupsBin& b : d.bins) {
      if (b.code == code) return &b;
    }
    return nullptr;
  }

  void WritePrivatePart(const CupsDriver& driver, std::span<std::uint8_t> block) {
    std::vector<std::pair<std::string, std::string>> options;
    const CupsPaper* paper = FindPaper(driver, ReadBlockI16(block, devmode::dmPaperSize).value_or(0));
    const CupsBin* bin = FindBin(driver, ReadBlockI16(block, devmode::dmDefaultSource).value_or(0));
    if (driver.fromPpd) {
      if (paper) options.emplace_back("PageSize", paper->keyword);
      if (bin) options.emplace_back("InputSlot", bin->keyword);
    } else {
      if (paper) options.emplace_back("media", paper->keyword);
      if (bin) options.emplace_back("media-source", bin->keyword);
    }
    std::memcpy(block.data() + devmode::kPublicSize, "TSCP", 4);
    WriteBlockU16(block, devmode::kPublicSize + 4, 1);
    WriteBlockText(block, kOptionsOffset, kOptionsSize, Cp932String::FromBytes(OptionsText(options)));
  }

  // The driver's description of a queue, read once. With `mustExist` the queue is asked for first, so a
  // queue that went away answers nothing even when its description is known.
  const CupsDriver* Driver(const Cp932String& device, bool mustExist) {
    if (device.IsEmpty()) return nullptr;
    const std::string name = device.ToUtf8();
    HttpPtr http;
    if (mustExist || drivers_.find(name) == drivers_.end()) {
      http = Connect();
      if (!http) return nullptr;
      DestPtr dest(cupsGetNamedDest(http.get(), name.c_str(), nullptr));
      if (!dest) {
        // The scheduler may briefly answer "not found" for a queue while another queue is being added or
        // deleted: ask once more before taking the queue for gone.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        dest.reset(cupsGetNamedDest(http.get(), name.c_str(), nullptr));
      }
      if (!dest) return nullptr;
      auto it = drivers_.find(name);
      if (it != drivers_.end()) return &it->second;
      std::optional<CupsDriver> driver;
      if (!ippOnly_) driver = LoadFromPpd(http.get(), name);
      if (!driver) driver = LoadFromIpp(http.get(), dest.get());
      if (!driver) return nullptr;
      return &drivers_.emplace(name, std::move(*driver)).first->second;
    }
    return &drivers_.find(name)->second;
  }

  static std::optional<CupsDriver> LoadFromPpd(http_t* http, const std::string& name) {
    const char* file = cupsGetPPD2(http, name.c_str());
    if (file == nullptr) return std::nullopt;
    std::string path = file;
    PpdPtr ppd(ppdOpenFile(path.c_str()));
    ::unlink(path.c_str());
    if (!ppd) return std::nullopt;
    ppdMarkDefaults(ppd.get());
    CupsDriver d;
    d.fromPpd = true;
    d.makeModel = PpdText(ppd.get(), ppd->nickname ? ppd->nickname : ppd->modelname);

    ppd_option_t* pageSize = ppdFindOption(ppd.get(), "PageSize");
    std::vector<std::int16_t> wanted;
    for (int i = 0; i < ppd->num_sizes; ++i) {
      const ppd_size_t& s = ppd->sizes[i];
      if (std::strcmp(s.name, "Custom") == 0 || s.width <= 0 || s.length <= 0) continue;
      CupsPaper p;
      p.keyword = s.name;
      p.name = Cp932String::FromUtf8(s.name);
      if (pageSize) {
        for (int c = 0; c < pageSize->num_choices; ++c) {
          if (std::strcmp(pageSize->choices[c].choice, s.name) == 0)
            p.name = PpdText(ppd.get(), pageSize->choices[c].text);
        }
      }
      p.width = s.width;
      p.length = s.length;
      p.left = s.left;
      p.bottom = s.bottom;
      p.right = s.right;
      p.top = s.top;
      std::int16_t code = PaperCodeForKeyword(s.name);
      if (code == 0 && std::strchr(s.name, '.') == nullptr) code = PaperCodeForSize(s.width, s.length);
      wanted.push_back(code);
      d.papers.push_back(std::move(p));
    }
    AssignCodes(d.papers, wanted, DMPAPER_USER);
    const char* defaultSize = pageSize ? pageSize->defchoice : nullptr;
    for (const CupsPaper& p : d.papers) {
      if (defaultSize && p.keyword == defaultSize) d.defaultPaper = p.code;
    }
    if (d.defaultPaper == 0 && !d.papers.empty()) d.defaultPaper = d.papers.front().code;

    if (ppd_option_t* slot = ppdFindOption(ppd.get(), "InputSlot")) {
      std::vector<std::int16_t> bins;
      for (int c = 0; c < slot->num_choices; ++c) {
        d.bins.push_back({0, PpdText(ppd.get(), slot->choices[c].text), slot->choices[c].choice});
        bins.push_back(BinCodeForKeyword(slot->choices[c].choice));
      }
      AssignCodes(d.bins, bins, DMBIN_USER);
      for (const CupsBin& b : d.bins) {
        if (b.keyword == slot->defchoice) d.defaultBin = b.code;
      }
      if (d.defaultBin == 0 && !d.bins.empty()) d.defaultBin = d.bins.front().code;
    }

    bool haveResolution = false;
    if (ppd_option_t* res = ppdFindOption(ppd.get(), "Resolution")) {
      haveResolution = ParseResolution(res->defchoice, d.dpiX, d.dpiY);
    }
    if (!haveResolution) {
      if (ppd_attr_t* attr = ppdFindAttr(ppd.get(), "DefaultResolution", nullptr)) {
        haveResolution = ParseResolution(attr->value, d.dpiX, d.dpiY);
      }
    }
    if (!haveResolution) d.dpiX = d.dpiY = 300;  // what CUPS itself reports for a PPD without one
    return d;
  }

  static std::optional<CupsDriver> LoadFromIpp(http_t* http, cups_dest_t* dest) {
    InfoPtr info(cupsCopyDestInfo(http, dest));
    if (!info) return std::nullopt;
    CupsDriver d;
    if (const char* model = cupsGetOption("printer-make-and-model", dest->num_options, dest->options)) {
      d.makeModel = Cp932String::FromUtf8(model);
    }
    const unsigned flags = CUPS_MEDIA_FLAGS_DEFAULT;
    int count = cupsGetDestMediaCount(http, dest, info.get(), flags);
    std::vector<std::int16_t> wanted;
    for (int i = 0; i < count; ++i) {
      cups_size_t size{};
      if (!cupsGetDestMediaByIndex(http, dest, info.get(), i, flags, &size)) continue;
      if (size.width <= 0 || size.length <= 0) continue;
      CupsPaper p;
      p.keyword = size.media;
      const char* text = cupsLocalizeDestMedia(http, dest, info.get(), flags, &size);
      p.name = Cp932String::FromUtf8(text ? text : size.media);
      // cups_size_t is in hundredths of a millimetre, with margins rather than edges.
      auto pt = [](int hmm) { return hmm * 72.0 / 2540.0; };
      p.width = pt(size.width);
      p.length = pt(size.length);
      p.left = pt(size.left);
      p.bottom = pt(size.bottom);
      p.right = pt(size.width - size.right);
      p.top = pt(size.length - size.top);
      wanted.push_back(PaperCodeForSize(p.width, p.length));
      d.papers.push_back(std::move(p));
    }
    AssignCodes(d.papers, wanted, DMPAPER_USER);
    cups_size_t def{};
    if (cupsGetDestMediaDefault(http, dest, info.get(), flags, &def)) {
      for (const CupsPaper& p : d.papers) {
        if (p.keyword == def.media) d.defaultPaper = p.code;
      }
    }
    if (d.defaultPaper == 0 && !d.papers.empty()) d.defaultPaper = d.papers.front().code;

    if (ipp_attribute_t* sources = cupsFindDestSupported(http, dest, info.get(), "media-source")) {
      std::vector<std::int16_t> bins;
      for (int i = 0; i < ippGetCount(sources); ++i) {
        const char* keyword = ippGetString(sources, i, nullptr);
        if (keyword == nullptr) continue;
        const char* text = cupsLocalizeDestValue(http, dest, info.get(), "media-source", keyword);
        d.bins.push_back({0, Cp932String::FromUtf8(text ? text : keyword), keyword});
        bins.push_back(BinCodeForKeyword(keyword));
      }
      AssignCodes(d.bins, bins, DMBIN_USER);
      ipp_attribute_t* defaultSource = cupsFindDestDefault(http, dest, info.get(), "media-source");
      const char* keyword = defaultSource ? ippGetString(defaultSource, 0, nullptr) : nullptr;
      for (const CupsBin& b : d.bins) {
        if (keyword && b.keyword == keyword) d.defaultBin = b.code;
      }
      if (d.defaultBin == 0 && !d.bins.empty()) d.defaultBin = d.bins.front().code;
    }
    if (ipp_attribute_t* res = cupsFindDestDefault(http, dest, info.get(), "printer-resolution")) {
      int y = 0;
      ipp_res_t units = IPP_RES_PER_INCH;
      int x = ippGetResolution(res, 0, &y, &units);
      if (units == IPP_RES_PER_CM) {
        x = static_cast<int>(std::lround(x * 2.54));
        y = static_cast<int>(std::lround(y * 2.54));
      }
      if (x > 0 && y > 0) {
        d.dpiX = x;
        d.dpiY = y;
      }
    }
    return d;
  }

  std::string host_;
  int port_ = 631;
  bool ippOnly_ = false;
  std::map<std::string, CupsDriver> drivers_;
};

// A job rendered into a PDF file at the printer's resolution, one PDF page per printed page, sent to the
// queue when it ends.
class CupsPrintJob : public TPrintJob {
 public:
  CupsPrintJob(CupsPrinterSystem& system, Cp932String printer, Cp932String title, std::string options,
               const TDeviceCaps& caps)
      : system_(system),
        printer_(std::move(printer)),
        title_(std::move(title)),
        options_(std::move(options)),
        caps_(caps) {}

  bool Start() {
    if (!file_.open()) return false;
    writer_ = std::make_unique<QPdfWriter>(&file_);
    writer_->setTitle(QString::fromStdString(title_.ToUtf8()));
    writer_->setCreator("Tessarine");
    writer_->setResolution(caps_.logPixelsX);
    // The page is the paper itself; the canvas origin is the printable area's corner.
    QSizeF sizePt(caps_.physicalWidth * 72.0 / caps_.logPixelsX,
                  caps_.physicalHeight * 72.0 / caps_.logPixelsY);
    writer_->setPageLayout(QPageLayout(QPageSize(sizePt, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                       QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) return false;
    PreparePage();
    canvas_ = MakePainterCanvas(*painter_, DescribePrinter(caps_));
    return true;
  }

  TCanvas* Canvas() override { return canvas_.get(); }

  void NewPage() override {
    if (!painter_) return;
    writer_->newPage();
    PreparePage();
  }

  void End() override {
    if (!painter_) throw EPrinterError("The print job was not started");
    canvas_.reset();
    painter_->end();
    painter_.reset();
    writer_.reset();
    file_.flush();
    file_.seek(0);
    QByteArray pdf = file_.readAll();
    file_.close();
    if (!system_.Submit(printer_, title_, options_, pdf)) {
      throw EPrinterError(Cp932String("The print job could not be sent to ") + printer_);
    }
  }

  void Abort() override {
    canvas_.reset();
    if (painter_) painter_->end();
    painter_.reset();
    writer_.reset();
    file_.close();
  }

 private:
  void PreparePage() {
    painter_->resetTransform();
    // Printer dots: the writer's device units are dots at logPixelsX; the vertical axis is scaled when the
    // resolutions differ.
    painter_->scale(1.0, static_cast<double>(caps_.logPixelsX) / caps_.logPixelsY);
    painter_->translate(caps_.physicalOffsetX, caps_.physicalOffsetY);
  }

  CupsPrinterSystem& system_;
  Cp932String printer_;
  Cp932String title_;
  std::string options_;
  TDeviceCaps caps_;
  QTemporaryFile file_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<TCanvas> canvas_;  // destroyed before the painter it draws on
};

std::unique_ptr<TPrintJob> CupsPrinterSystem::StartJob(const TPrinterRecord& printer,
                                                       std::span<const std::uint8_t> block,
                                                       const Cp932String& title) {
  const TDeviceCaps caps = DriverDeviceCaps(printer, block);
  if (caps.logPixelsX <= 0 || caps.logPixelsY <= 0 || caps.physicalWidth <= 0) return nullptr;
  std::string options = ReadBlockText(block, kOptionsOffset, kOptionsSize).Bytes();
  auto job = std::make_unique<CupsPrintJob>(*this, printer.name, title, options, caps);
  if (!job->Start()) return nullptr;
  return job;
}

}  // namespace

std::unique_ptr<TPrinterSystem> CreateCupsPrinterSystem(const std::string& server, bool ippOnly) {
  return std::make_unique<CupsPrinterSystem>(server, ippOnly);
}

}  // namespace tess
