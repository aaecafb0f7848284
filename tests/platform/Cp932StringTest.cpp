#include "platform/core/Cp932String.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace tess {
namespace {

TEST(Cp932String, ConvertsJapaneseBothWays) {
  Cp932String s = Cp932String::FromUtf8("問題No.1");
  // 問 = 0x96E2, 題 = 0x91E8 in code page 932.
  ASSERT_EQ(s.Length(), 8u);
  EXPECT_EQ(s.ByteAt(0), 0x96);
  EXPECT_EQ(s.ByteAt(1), 0xE2);
  EXPECT_EQ(s.ByteAt(2), 0x91);
  EXPECT_EQ(s.ByteAt(3), 0xE8);
  EXPECT_EQ(s.ToUtf8(), "問題No.1");
}

TEST(Cp932String, FullWidthInstructionLineIs62Bytes) {
  Cp932String line = Cp932String::FromUtf8("１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角");
  EXPECT_EQ(line.Length(), 62u);
}

TEST(Cp932String, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Cp932String::FromUtf8("a😀b").Bytes(), "a?b");
}

// The characters of the code page that the JIS standard names differently, with their codes: each is
// taken by either name and given back by the code page's own.
struct JisNamePair {
  const char* jisName;  // UTF-8
  char32_t jis;
  const char* ownName;  // UTF-8
  char16_t own;
  const char* bytes;
};
constexpr JisNamePair kJisNamePairs[] = {
    {"¢", U'\u00A2', "￠", u'\uFFE0', "\x81\x91"},   // cent sign
    {"£", U'\u00A3', "￡", u'\uFFE1', "\x81\x92"},   // pound sign
    {"¥", U'\u00A5', "￥", u'\uFFE5', "\x81\x8F"},   // yen sign
    {"¬", U'\u00AC', "￢", u'\uFFE2', "\x81\xCA"},   // not sign
    {"—", U'\u2014', "―", u'\u2015', "\x81\x5C"},    // dash
    {"‖", U'\u2016', "∥", u'\u2225', "\x81\x61"},    // double vertical line
    {"−", U'\u2212', "－", u'\uFF0D', "\x81\x7C"},   // minus sign
    {"〜", U'\u301C', "～", u'\uFF5E', "\x81\x60"},  // wave dash
};

TEST(Cp932String, EveryJisNameTakesItsCodePageCharacter) {
  for (const JisNamePair& pair : kJisNamePairs) {
    SCOPED_TRACE(pair.jisName);
    EXPECT_EQ(Cp932NameForJisName(pair.jis), pair.own);
    EXPECT_EQ(Cp932NameForJisName(pair.own), 0);  // the code page's own name is not another one
    EXPECT_TRUE(Cp932HasCode(pair.jis));
    EXPECT_FALSE(FindCp932Misfit(pair.jisName));
    EXPECT_EQ(Cp932String::FromUtf8(pair.jisName).Bytes(), pair.bytes);
    EXPECT_EQ(Cp932String::FromUtf8(pair.ownName).Bytes(), pair.bytes);
    // Inside a text, as an instruction line has them ("1〜7").
    const std::string between = std::string("1") + pair.bytes + "7";
    EXPECT_EQ(Cp932String::FromUtf8(std::string("1") + pair.jisName + "7").Bytes(), between);
    EXPECT_EQ(FromUtf16(std::u16string{u'1', static_cast<char16_t>(pair.jis), u'7'}).Bytes(), between);
    EXPECT_EQ(FromUtf16(std::u16string(1, static_cast<char16_t>(pair.jis))).Bytes(), pair.bytes);
    EXPECT_EQ(Cp932String::FromBytes(between).ToUtf8(), std::string("1") + pair.ownName + "7");
  }
  // Nothing else is another name: the ASCII backslash and tilde keep their single bytes.
  EXPECT_EQ(Cp932NameForJisName(U'\\'), 0);
  EXPECT_EQ(Cp932NameForJisName(U'~'), 0);
  EXPECT_EQ(Cp932String::FromUtf8("\\~").Bytes(), "\\~");
}

TEST(Cp932String, MisfitsAreTheFirstCharacterWithoutACodeOrByteThatIsNotUtf8) {
  EXPECT_FALSE(FindCp932Misfit("問題No.1 ～〜①"));
  const std::optional<Cp932Misfit> emoji = FindCp932Misfit("ab😀");
  ASSERT_TRUE(emoji);
  EXPECT_EQ(emoji->offset, 2u);
  EXPECT_EQ(emoji->value, U'\U0001F600');
  EXPECT_FALSE(emoji->invalidUtf8);
  EXPECT_EQ(FindCp932Misfit("é")->value, U'\u00E9');
  EXPECT_EQ(FindCp932Misfit("가")->value, U'\uAC00');
  const std::optional<Cp932Misfit> broken = FindCp932Misfit("a\xff");
  ASSERT_TRUE(broken);
  EXPECT_TRUE(broken->invalidUtf8);
  EXPECT_EQ(broken->value, 0xFFu);
  EXPECT_EQ(broken->offset, 1u);
  EXPECT_TRUE(FindCp932Misfit("\xed\xa0\x80")->invalidUtf8);  // an encoded surrogate
}

TEST(Cp932String, CharacterStepsRespectLeadBytes) {
  Cp932String s = Cp932String::FromUtf8("A問B");
  EXPECT_EQ(NextCharOffset(s, 0), 1u);
  EXPECT_EQ(NextCharOffset(s, 1), 3u);
  EXPECT_EQ(NextCharOffset(s, 3), 4u);
  EXPECT_EQ(NextCharOffset(s, 4), 4u);
  EXPECT_EQ(PrevCharOffset(s, 4), 3u);
  EXPECT_EQ(PrevCharOffset(s, 3), 1u);
  EXPECT_EQ(PrevCharOffset(s, 1), 0u);
  // A lone lead byte at the end is one character of its own, never read past the end.
  Cp932String lone = Cp932String::FromBytes("A\x96");
  EXPECT_EQ(NextCharOffset(lone, 1), 2u);
  EXPECT_EQ(PrevCharOffset(lone, 2), 1u);
}

TEST(StrToInt, AcceptsSignedDecimalsAndRejectsTheRest) {
  EXPECT_EQ(StrToInt("7"), 7);
  EXPECT_EQ(StrToInt("-3"), -3);
  EXPECT_EQ(StrToInt(" 12"), 12);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  for (const char* bad : {"", "abc", "1a", "2147483648", "-", " ", "1 "}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
  }
  try {
    StrToInt("x");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message().ToUtf8(), "'x' は整数ではありません");
  }
}

}  // namespace
}  // namespace tess
