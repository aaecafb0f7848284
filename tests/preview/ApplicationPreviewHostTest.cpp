// The preview engine's host on the program's application services.
#include <gtest/gtest.h>

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "preview/ApplicationPreviewHost.h"
#include "preview/PreviewDocument.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/MessageBoxCapture.h"

namespace tess {
namespace {

class TPlainForm : public TForm {
 public:
  using TForm::TForm;
};

class ApplicationHost : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().Initialize();
    InstallApplicationPreviewHost();
  }
  void TearDown() override {
    Screen().SetCursor(crDefault);
    SetPreviewHost(nullptr);
  }
  test::TMessageBoxCapture captured;
  std::vector<TMessageBoxRequest>& boxes = captured.Boxes;
  test::TNoPrinters noPrinters;
};

TEST_F(ApplicationHost, MessagesTitleAndCursorGoToTheApplication) {
  TComponent owner(nullptr);
  TplPrev preview(&owner);
  preview.Print();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption.ToUtf8(), "印刷プレビュー制御コンポーネント");
  EXPECT_EQ(boxes[0].Icon, TMsgIcon::Warning);
  Application().SetTitle("Tessarine");
  EXPECT_EQ(PreviewHost().ApplicationTitle(), "Tessarine");
  PreviewHost().SetScreenCursor(plprev::crHourGlass);
  EXPECT_EQ(Screen().Cursor(), crHourGlass);
}

TEST_F(ApplicationHost, AForeignFormIsShownModallyAndItsShowAndCloseAreReported) {
  TPlainForm form(nullptr);
  form.SetName("Foreign");
  std::vector<std::string> log;
  form.OnShow = [&](TComponent*) {
    log.push_back("own show");
    form.Close();
  };
  TNotifyEvent ownShow = form.OnShow;
  PreviewHost().ShowForeignFormModal(
      &form, [&](TForeignMessage m) { log.push_back(m == TForeignMessage::Close ? "close" : "show"); });
  EXPECT_EQ(log, (std::vector<std::string>{"own show", "show", "close"}));
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.OnClose);  // the form's own (empty) handler is back
  // Open forms are listed, and a plain form is no preview window.
  form.Show();
  bool listed = false;
  for (const TFormRef& ref : PreviewHost().OpenForms()) {
    if (ref.Form == &form) listed = ref.Window == nullptr;
  }
  EXPECT_TRUE(listed);
  form.Hide();
  TComponent notAForm(nullptr);
  EXPECT_THROW(PreviewHost().ShowForeignFormModal(&notAForm, [](TForeignMessage) {}), Exception);
}

}  // namespace
}  // namespace tess
