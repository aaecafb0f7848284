// The toolkit's own dialogs speak Japanese like the rest of the program, whatever the locale: its Japanese
// translations are loaded when the platform starts.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/Runtime.h"

namespace tess {
namespace {

TEST(ToolkitTranslation, ThePrintDialogAndItsButtonsAreJapanese) {
  if (!std::filesystem::exists("/usr/share/qt6/translations/qtbase_ja.qm")) {
    GTEST_SKIP() << "the toolkit's Japanese translations are not installed";
  }
  EXPECT_NE(ToolkitText("QPrintDialog", "&Print").ToUtf8().find("印刷"), std::string::npos);
  EXPECT_NE(ToolkitText("QPrintDialog", "Print").ToUtf8(), "Print");
  EXPECT_NE(ToolkitText("QPlatformTheme", "Cancel").ToUtf8(), "Cancel");
}

}  // namespace
}  // namespace tess
