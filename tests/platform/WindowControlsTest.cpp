// The preview window's controls: toolbar layout, status panels, scroll ranges, shapes, popup menus and
// the clipboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Image.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/ToolBar.h"

namespace tess {
namespace {

Cp932String J(const char* utf8) {
  return Cp932String::FromUtf8(utf8);
}

class TPreviewLikeForm : public TForm {
  TESS_COMPONENT_CLASS(TPreviewLikeForm, TForm)
 public:
  explicit TPreviewLikeForm(std::string_view design) : TForm(nullptr) {
    PublishMethod<TNotifyEvent>("CopyPage", [this](TComponent*) { log.push_back("copy page"); });
    PublishMethod<TMouseWheelEvent>(
        "Wheel", [](TComponent*, TShiftState, int, TPoint, bool& handled) { handled = true; });
    ReadDesign(design);
    DoCreate();
  }
  std::vector<std::string> log;
};

// A cut-down preview window: toolbar, status bar, a panel with a scroll box holding shapes and a picture,
// and a popup menu with its items.
// clang-format off
constexpr const char* kDesign = R"json({"class":"TPreviewLikeForm","name":"Preview","properties":{
    "ClientWidth":654,"ClientHeight":398,"Caption":"plPrevForm","BorderStyle":"bsSizeable"},
  "components":[
    {"class":"TToolBar","name":"IconBar","properties":{"Align":"alTop","Height":39,"ButtonHeight":40,"Flat":true,
      "ShowHint":true,"Wrapable":false}},
    {"class":"TSpeedButton","name":"PrintBtn","properties":{"Parent":"IconBar","Width":90,
      "Caption":"印刷 (&P)","Hint":"印刷","Glyph":"sgPrint","Layout":"blGlyphTop","Enabled":false}},
    {"class":"TSpeedButton","name":"PrinterSetBtn","properties":{"Parent":"IconBar","Width":86,
      "Caption":"プリンタ・用紙","Visible":false,"Enabled":false}},
    {"class":"TSpeedButton","name":"Space10","properties":{"Parent":"IconBar","Width":15,"Visible":false}},
    {"class":"TSpeedButton","name":"FirstPageBtn","properties":{"Parent":"IconBar","Width":46,"Caption":"先頭頁",
      "Glyph":"sgFirstPage","Layout":"blGlyphTop"}},
    {"class":"TSpeedButton","name":"CloseBtn","properties":{"Parent":"IconBar","Width":104,"Caption":"閉じる(&X)",
      "Glyph":"sgClose"}},
    {"class":"TStatusBar","name":"StatusBar","properties":{"Height":26,"Panels":[[300],[50]]}},
    {"class":"TPanel","name":"DisplayPanel","properties":{"Align":"alClient","BevelOuter":"bvLowered"}},
    {"class":"TScrollBox","name":"ScrollBox1","properties":{"Parent":"DisplayPanel","Align":"alClient",
      "AutoScroll":false,"OnMouseWheel":"Wheel"}},
    {"class":"TShape","name":"Shape2","properties":{"Parent":"ScrollBox1","Brush.Color":7631988,
      "Pen.Style":"psClear","Visible":false}},
    {"class":"TImage","name":"Image1","properties":{"Parent":"ScrollBox1","Stretch":true,"PopupMenu":"PopupMenu1"}},
    {"class":"TShape","name":"Shape1","properties":{"Parent":"ScrollBox1","Brush.Style":"bsClear",
      "Pen.Width":0,"Visible":false}},
    {"class":"TPopupMenu","name":"PopupMenu1","properties":{"AutoHotkeys":"maManual"}},
    {"class":"TMenuItem","name":"N1","properties":{"Menu":"PopupMenu1","Caption":"現在の頁をコピー",
      "OnClick":"CopyPage"}},
    {"class":"TMenuItem","name":"N2","properties":{"Menu":"PopupMenu1","Caption":"画面をコピー"}},
    {"class":"TMenuItem","name":"N4","properties":{"Menu":"PopupMenu1","Caption":"キャンセル"}}
  ]})json";
// clang-format on

template <class T>
T* Find(TComponent& root, const char* name) {
  return dynamic_cast<T*>(root.FindComponent(name));
}

TEST(WindowControls, PreviewLikeDesignLoadsCleanly) {
  RegisterControlClasses();
  TPreviewLikeForm form(kDesign);
  for (const std::string& p : form.DesignReport().problems) ADD_FAILURE() << p;
  EXPECT_EQ(Find<TSpeedButton>(form, "PrintBtn")->Hint(), J("印刷"));
  EXPECT_EQ(Find<TSpeedButton>(form, "PrintBtn")->Glyph(), TStandardGlyph::sgPrint);
  EXPECT_FALSE(Find<TSpeedButton>(form, "PrintBtn")->Enabled());
  EXPECT_EQ(Find<TPopupMenu>(form, "PopupMenu1")->AutoHotkeys(), TMenuAutoHotkeys::maManual);
}

TEST(WindowControls, ToolbarPlacesVisibleButtonsLeftToRight) {
  RegisterControlClasses();
  TPreviewLikeForm form(kDesign);
  auto* bar = Find<TToolBar>(form, "IconBar");
  EXPECT_EQ(bar->BoundsRect(), Bounds(0, 0, 654, 39));
  EXPECT_EQ(Find<TSpeedButton>(form, "PrintBtn")->BoundsRect(), Bounds(0, 0, 90, 40));
  // The invisible printer-setup button and spacer take no room.
  EXPECT_EQ(Find<TSpeedButton>(form, "FirstPageBtn")->Left(), 90);
  EXPECT_EQ(Find<TSpeedButton>(form, "CloseBtn")->Left(), 136);
  Find<TSpeedButton>(form, "PrinterSetBtn")->SetVisible(true);
  EXPECT_EQ(Find<TSpeedButton>(form, "FirstPageBtn")->Left(), 176);
  EXPECT_EQ(Find<TSpeedButton>(form, "CloseBtn")->Left(), 222);
}

TEST(WindowControls, StatusBarKeepsPanelTexts) {
  RegisterControlClasses();
  TPreviewLikeForm form(kDesign);
  auto* status = Find<TStatusBar>(form, "StatusBar");
  EXPECT_EQ(status->BoundsRect(), Bounds(0, 372, 654, 26));
  ASSERT_EQ(status->PanelCount(), 2);
  EXPECT_EQ(status->Panel(0).Width, 300);
  EXPECT_EQ(status->Panel(1).Width, 50);
  status->SetPanelText(0, " Page  1/2  A4");
  EXPECT_EQ(status->Panel(0).Text, Cp932String(" Page  1/2  A4"));
  EXPECT_TRUE(status->SizeGrip());
  status->SetSizeGrip(false);
  EXPECT_FALSE(status->SizeGrip());
  EXPECT_THROW(status->SetPanelText(2, "x"), std::out_of_range);
}

TEST(WindowControls, ScrollBoxFillsThePanelAndScrollsToTheFarthestControlPlusMargin) {
  RegisterControlClasses();
  TPreviewLikeForm form(kDesign);
  auto* box = Find<TScrollBox>(form, "ScrollBox1");
  EXPECT_EQ(Find<TPanel>(form, "DisplayPanel")->BoundsRect(), Bounds(0, 39, 654, 333));
  // The panel's lowered bevel takes one pixel on each side.
  EXPECT_EQ(box->BoundsRect(), Bounds(1, 1, 652, 331));
  EXPECT_EQ(box->ClientWidth(), 652);

  auto* image = Find<TImage>(form, "Image1");
  image->SetBounds(15, 15, 1000, 1400);
  box->SetAutoScroll(true);
  box->HorzScrollBar().SetMargin(10);
  box->VertScrollBar().SetMargin(10);
  EXPECT_EQ(box->HorzScrollBar().Range(), 1025);
  EXPECT_EQ(box->VertScrollBar().Range(), 1425);
  // Both bars show, so the inside is narrower and lower than the box.
  EXPECT_LT(box->ClientWidth(), 652);
  EXPECT_LT(box->ClientHeight(), 331);
  box->VertScrollBar().SetPosition(100);
  EXPECT_EQ(box->VertScrollBar().Position(), 100);
  // Hidden bars leave the whole box to the content.
  box->HorzScrollBar().SetVisible(false);
  box->VertScrollBar().SetVisible(false);
  EXPECT_EQ(box->ClientWidth(), 652);
  EXPECT_EQ(box->ClientHeight(), 331);
}

TEST(WindowControls, ShapesKeepPenAndBrush) {
  RegisterControlClasses();
  TPreviewLikeForm form(kDesign);
  auto* shadow = Find<TShape>(form, "Shape2");
  auto* frame = Find<TShape>(form, "Shape1");
  EXPECT_EQ(shadow->BrushColor(), 0x747474);
  EXPECT_EQ(shadow->PenStyle(), TPenStyle::psClear);
  EXPECT_FALSE(shadow->Visible());
  EXPECT_EQ(frame->BrushStyle(), TBrushStyle::bsClear);
  EXPECT_EQ(frame->PenWidth(), 0);
  EXPECT_EQ(frame->Parent(), Find<TScrollBox>(form, "ScrollBox1"));
}

TEST(WindowControls, PopupMenuListsItsItemsAndClicksTheChosenOne) {
  RegisterControlClasses();
  Application().Initialize();
  TPreviewLikeForm form(kDesign);
  auto* menu = Find<TPopupMenu>(form, "PopupMenu1");
  ASSERT_EQ(menu->Count(), 3);
  EXPECT_EQ(menu->Items(0)->Caption(), J("現在の頁をコピー"));
  EXPECT_EQ(menu->Items(2)->Name(), "N4");
  EXPECT_EQ(Find<TImage>(form, "Image1")->PopupMenu(), menu);

  TPoint seen;
  auto previous = TPopupMenu::SetPopupHook([&](TPopupMenu* m, TPoint at) {
    seen = at;
    m->Items(0)->Click();
    m->Items(1)->Click();  // no handler
  });
  menu->Items(1)->SetEnabled(false);
  menu->Popup(120, 80);
  TPopupMenu::SetPopupHook(previous);
  EXPECT_EQ(seen, (TPoint{120, 80}));
  EXPECT_EQ(form.log, (std::vector<std::string>{"copy page"}));
}

TEST(WindowControls, FreedPopupMenuLeavesNoDanglingReference) {
  RegisterControlClasses();
  TPreviewLikeForm form(kDesign);
  auto* image = Find<TImage>(form, "Image1");
  auto* item = Find<TMenuItem>(form, "N1");
  delete Find<TPopupMenu>(form, "PopupMenu1");
  EXPECT_EQ(image->PopupMenu(), nullptr);
  EXPECT_EQ(item->Menu(), nullptr);
}

TEST(WindowControls, ImageKeepsItsOwnCopyOfThePicture) {
  TPreviewLikeForm form(R"({"class":"TPreviewLikeForm","name":"P"})");
  auto* image = new TImage(&form);
  EXPECT_FALSE(image->HasPicture());
  TMetafile page;
  page.SetMMWidth(21000);
  image->SetPicture(page);
  page.SetMMWidth(100);
  EXPECT_EQ(image->Picture().MMWidth(), 21000);
  image->ClearPicture();
  EXPECT_FALSE(image->HasPicture());
}

// A 20 x 20 mm page: red, with its top-left quarter blue.
TMetafile TwoColourPage() {
  TMetafile page;
  page.SetMMWidth(2000);
  page.SetMMHeight(2000);
  {
    TMetafileCanvas c(page, TDeviceDescription::FromPixels(254, 254, 2540, 2540));  // 10 px per mm
    c.Brush().SetColor(clRed);
    c.FillRect(TRect{0, 0, 200, 200});
    c.Brush().SetColor(clBlue);
    c.FillRect(TRect{0, 0, 100, 100});
  }
  return page;
}

TEST(WindowControls, PictureControlStretchesThePageToItsBounds) {
  Application().Initialize();
  TPreviewLikeForm form(R"({"class":"TPreviewLikeForm","name":"P","properties":{"ClientWidth":120,
    "ClientHeight":80}})");
  auto* image = new TImage(&form);
  image->SetBounds(10, 10, 60, 40);
  image->SetStretch(true);
  image->SetPicture(TwoColourPage());
  CaptureToClipboard(&form);
  TBitmap24 shot = Clipboard().GetBitmap();
  EXPECT_EQ(shot.Pixel(12, 12), 0xFF0000u);  // blue quarter, stretched to 30 x 20
  EXPECT_EQ(shot.Pixel(38, 28), 0xFF0000u);
  EXPECT_EQ(shot.Pixel(42, 12), 0x0000FFu);  // red
  EXPECT_EQ(shot.Pixel(68, 48), 0x0000FFu);
  EXPECT_EQ(shot.Pixel(5, 5), ColorToRGB(clBtnFace));  // the form around it
  EXPECT_EQ(shot.Pixel(75, 30), ColorToRGB(clBtnFace));
}

TEST(Clipboard, PageRecordingGoesOnTheClipboardWithAPicture) {
  Application().Initialize();
  TMetafile page = TwoColourPage();
  Clipboard().Clear();
  Clipboard().SetMetafile(page);
  ASSERT_TRUE(Clipboard().HasMetafile());
  TMetafile back;
  ASSERT_TRUE(Clipboard().GetMetafile(back));
  EXPECT_EQ(back.Bytes(), page.Bytes());
  // Programs that take only pictures get the page at screen resolution (20 mm = 75 px at 96 dpi).
  ASSERT_TRUE(Clipboard().HasBitmap());
  TBitmap24 picture = Clipboard().GetBitmap();
  EXPECT_EQ(picture.Width(), 75);
  EXPECT_EQ(picture.Pixel(10, 10), 0xFF0000u);
  EXPECT_EQ(picture.Pixel(60, 60), 0x0000FFu);
  Clipboard().Clear();
  EXPECT_FALSE(Clipboard().HasMetafile());
  EXPECT_FALSE(Clipboard().GetMetafile(back));
}

TEST(Clipboard, BitmapsRoundTripAndAnEmptyClipboardIsAnError) {
  Application().Initialize();
  TBitmap24 bitmap(3, 2);
  bitmap.SetPixel(1, 1, 0x0000FF);  // red
  Clipboard().SetBitmap(bitmap);
  ASSERT_TRUE(Clipboard().HasBitmap());
  TBitmap24 back = Clipboard().GetBitmap();
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(back.Height(), 2);
  EXPECT_EQ(back.Pixel(1, 1), 0x0000FFu);
  EXPECT_EQ(back.Pixel(0, 0), 0xFFFFFFu);

  Clipboard().Clear();
  EXPECT_FALSE(Clipboard().HasBitmap());
  try {
    Clipboard().GetBitmap();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), J("未対応のクリップボード データです"));
  }
}

TEST(Clipboard, WindowCaptureReachesTheClipboardAsABitmap) {
  Application().Initialize();
  TPreviewLikeForm form(R"({"class":"TPreviewLikeForm","name":"P","properties":{"ClientWidth":120,
    "ClientHeight":80}})");
  Clipboard().Clear();
  CaptureToClipboard(&form);
  ASSERT_TRUE(Clipboard().HasBitmap());
  TBitmap24 shot = Clipboard().GetBitmap();
  EXPECT_EQ(shot.Width(), 120);
  EXPECT_EQ(shot.Height(), 80);
}

}  // namespace
}  // namespace tess
