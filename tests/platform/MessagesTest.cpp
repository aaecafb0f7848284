// The message catalogues as the program reaches them: both languages built in, the places filled in one
// pass, and the language the environment asks for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "platform/core/Messages.h"

namespace tess {
namespace {

TEST(Messages, BothCataloguesAreBuiltInAndTheKeyNamesTheText) {
  const std::string japanese = MessageIn(TLanguage::Japanese, "app.no-display");
  const std::string english = MessageIn(TLanguage::English, "app.no-display");
  EXPECT_NE(japanese.find("画面"), std::string::npos) << japanese;
  EXPECT_NE(english.find("display"), std::string::npos) << english;
  // A key no catalogue holds shows itself rather than nothing.
  EXPECT_EQ(MessageIn(TLanguage::Japanese, "app.no-such-message"), "app.no-such-message");

  SetMessageLanguage(TLanguage::English);
  EXPECT_EQ(Message("app.no-display"), english);
  SetMessageLanguage(TLanguage::Japanese);
  EXPECT_EQ(Message("app.no-display"), japanese);
  EXPECT_EQ(MessageCp932("app.no-display"), Cp932String::FromUtf8(japanese));
}

TEST(Messages, PlacesAreFilledOnceAndInOrder) {
  // The unknown key is its own text, which makes it a template here.
  EXPECT_EQ(MessageIn(TLanguage::English, "x.%2 and %1", {"a", "b"}), "x.b and a");
  // An argument that holds a place is not searched again; a place without its argument stays.
  EXPECT_EQ(MessageIn(TLanguage::English, "x.%1 %3", {"%2", "b"}), "x.%2 %3");
  SetMessageLanguage(TLanguage::Japanese);
  EXPECT_EQ(MessageCp932("x.「%1」", {Cp932String::FromUtf8("プリンタ")}),
            Cp932String::FromUtf8("x.「プリンタ」"));
}

// Sets the locale variables for one test and puts them back.
class LocaleVariables : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      FSaved[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : FSaved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  static void Set(const char* all, const char* messages, const char* lang) {
    const char* values[] = {all, messages, lang};
    for (int i = 0; i < 3; ++i) {
      if (values[i]) {
        setenv(kNames[i], values[i], 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }
  static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::map<std::string, std::optional<std::string>> FSaved;
};

TEST_F(LocaleVariables, TheFirstVariableSetDecides) {
  Set(nullptr, nullptr, "ja_JP.UTF-8");
  EXPECT_EQ(LocaleLanguage(), TLanguage::Japanese);
  Set("C", nullptr, "ja_JP.UTF-8");
  EXPECT_EQ(LocaleLanguage(), TLanguage::English);
  Set("", "ja_JP.eucJP", "C");  // an empty variable counts as unset
  EXPECT_EQ(LocaleLanguage(), TLanguage::Japanese);
  Set(nullptr, nullptr, "de_DE.UTF-8");
  EXPECT_EQ(LocaleLanguage(), TLanguage::English);
  Set(nullptr, nullptr, nullptr);
  EXPECT_EQ(LocaleLanguage(), TLanguage::English);
}

}  // namespace
}  // namespace tess
