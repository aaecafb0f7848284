#pragma once
// Shared helpers of the preview tests: a host that records what the component asks of the application,
// readers for the records of a page recording (read through the platform's enumerator, never from the
// canvas calls that made them), and the main form's stored paper.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/components/StoredDesign.h"
#include "platform/gfx/emf/EmfRecords.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/printing/VirtualPrinters.h"
#include "preview/PreviewDocument.h"
#include "preview/PreviewHost.h"
#include "tests/support/MainFormPaper.h"

namespace tess::test {

struct TMessageBoxCall {
  std::string Text;  // UTF-8
  std::string Caption;
  TPreviewMsgIcon Icon;
};

class TRecordingHost : public TPreviewHost {
 public:
  TRecordingHost() { SetPreviewHost(this); }
  ~TRecordingHost() override { SetPreviewHost(nullptr); }
  void MessageBox(const Cp932String& text, const Cp932String& caption, TPreviewMsgIcon icon) override {
    Boxes.push_back({text.ToUtf8(), caption.ToUtf8(), icon});
  }
  Cp932String ApplicationTitle() override { return Title; }
  void ProcessMessages() override {
    ++MessageRuns;
    if (OnProcessMessages) OnProcessMessages();
  }
  void SetScreenCursor(plprev::TCursor cursor) override {
    Cursors.push_back(cursor);
    TPreviewHost::SetScreenCursor(cursor);
  }
  std::vector<TFormRef> OpenForms() override { return Forms; }
  std::vector<TFormRef> ApplicationComponents() override { return AppComponents; }
  IplPrevWindow* CreatePreviewWindow(TComponent* owner) override {
    return CreateWindow ? CreateWindow(owner) : nullptr;
  }
  void ShowForeignFormModal(TComponent* form,
                            const std::function<void(TForeignMessage)>& afterMessage) override {
    ForeignShown.push_back(form);
    if (ForeignModal) ForeignModal(form, afterMessage);
  }

  std::vector<TMessageBoxCall> Boxes;
  std::vector<plprev::TCursor> Cursors;
  int MessageRuns = 0;
  Cp932String Title;
  std::function<void()> OnProcessMessages;
  std::vector<TFormRef> Forms;
  std::vector<TFormRef> AppComponents;
  std::function<IplPrevWindow*(TComponent*)> CreateWindow;
  std::vector<TComponent*> ForeignShown;
  std::function<void(TComponent*, const std::function<void(TForeignMessage)>&)> ForeignModal;
};

// No printer installed: a virtual printer system without printers for the scope's lifetime.
struct TNoPrinters {
  TScopedPrinterSystem scope{std::make_unique<TVirtualPrinterSystem>()};
};

// One record as the enumerator hands it over.
struct TRecord {
  std::uint32_t Type = 0;
  std::vector<std::uint8_t> Bytes;
};

inline std::vector<TRecord> ReadRecords(const TMetafile& metafile) {
  std::vector<TRecord> out;
  TResult r = EnumerateMetafile(metafile, nullptr, nullptr, [&](TEnumContext& ctx) {
    out.push_back({ctx.Record().Type, {ctx.Record().Bytes.begin(), ctx.Record().Bytes.end()}});
    return true;
  });
  EXPECT_TRUE(r.IsOk()) << r.Message();
  return out;
}

inline std::vector<TRecord> RecordsOfType(const TMetafile& metafile, std::uint32_t type) {
  std::vector<TRecord> out;
  for (TRecord& r : ReadRecords(metafile)) {
    if (r.Type == type) out.push_back(std::move(r));
  }
  return out;
}

template <class T>
T As(const TRecord& record) {
  std::optional<T> v = emf::ReadAt<T>(record.Bytes, 0);
  EXPECT_TRUE(v.has_value());
  return v.value_or(T{});
}

// A text record: where it starts and what it says.
struct TTextRecord {
  TPoint Reference;
  std::u16string Text;
};

inline std::vector<TTextRecord> TextRecords(const TMetafile& metafile) {
  std::vector<TTextRecord> out;
  for (const TRecord& r : ReadRecords(metafile)) {
    if (r.Type != emf::EMR_EXTTEXTOUTW && r.Type != emf::EMR_EXTTEXTOUTA) continue;
    auto head = As<emf::EmrExtTextOut>(r);
    TTextRecord t{{head.ptlReference.x, head.ptlReference.y}, {}};
    for (std::uint32_t i = 0; i < head.nChars; ++i) {
      if (r.Type == emf::EMR_EXTTEXTOUTW) {
        auto c = emf::ReadAt<char16_t>(r.Bytes, head.offString + 2 * i);
        t.Text.push_back(c.value_or(u'?'));
      } else {
        auto c = emf::ReadAt<std::uint8_t>(r.Bytes, head.offString + i);
        t.Text.push_back(static_cast<char16_t>(c.value_or('?')));
      }
    }
    out.push_back(t);
  }
  return out;
}

inline std::vector<emf::LogFontW> FontRecords(const TMetafile& metafile) {
  std::vector<emf::LogFontW> out;
  for (const TRecord& r : RecordsOfType(metafile, emf::EMR_EXTCREATEFONTINDIRECTW)) {
    auto lf = emf::ReadAt<emf::LogFontW>(r.Bytes, 12);
    if (lf) out.push_back(*lf);
  }
  return out;
}

inline std::vector<TRect> RectRecords(const TMetafile& metafile, std::uint32_t type) {
  std::vector<TRect> out;
  for (const TRecord& r : RecordsOfType(metafile, type)) {
    auto rec = As<emf::EmrRect>(r);
    out.push_back({rec.rect.left, rec.rect.top, rec.rect.right, rec.rect.bottom});
  }
  return out;
}

}  // namespace tess::test
