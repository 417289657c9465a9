#include "platform/codec.h"

#include <gtest/gtest.h>

namespace tallyx::platform {
namespace {

TEST(Codec, EncodesToCp932) {
  struct Case {
    std::string utf8;
    std::string cp932;
  } cases[] = {
      {"abc,1", "abc,1"},
      {"名前", "\x96\xBC\x91\x4F"},
      {"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9"},            // half-width katakana: one byte each
      {"ソ表能", "\x83\x5C\x95\x5C\x94\x5C"},  // trail byte 0x5C
      {"～", "\x81\x60"},                      // FULLWIDTH TILDE, as Windows maps it
      {"a€b", "a?b"},                          // not in CP932
      {"x😀y", "x?y"},
      {std::string("\xFF\xFEraw", 5), std::string("\xFF\xFEraw", 5)},  // not UTF-8: as is
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToCp932(c.utf8), c.cp932) << c.utf8;
  }
}

TEST(Codec, DecodesFromCp932) {
  EXPECT_EQ(FromCp932("\x96\xBC\x91\x4F C:\\x"), "名前 C:\\x");
  EXPECT_EQ(FromCp932("\x83\x5C"), "ソ");
  EXPECT_EQ(FromCp932("a\x81"), "a\xEF\xBF\xBD");  // cut-off character
  const std::string round = "筋力測定結果 ｱｲｿﾒﾄﾘｯｸ （運動） №";
  EXPECT_EQ(FromCp932(ToCp932(round)), round);
}

TEST(Codec, FindsKeyWordsOnCharacterBoundariesOnly) {
  const std::string therapy = ToCp932("療法期");  // 97 C3 96 40 8A FA
  EXPECT_TRUE(ContainsCp932(ToCp932("2\t療法期"), therapy));
  // 0x88 0x97 is one character; its trail byte followed by C3... would spell the key word.
  const std::string straddling = std::string("\x88\x97", 2) + therapy.substr(1);
  ASSERT_NE(straddling.find(therapy), std::string::npos);
  EXPECT_FALSE(ContainsCp932(straddling, therapy));
  EXPECT_FALSE(ContainsCp932(ToCp932("療法"), therapy));
}

TEST(Codec, ValidatesUtf8) {
  EXPECT_TRUE(IsValidUtf8("abc 名前 😀"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE5\x90"));          // cut off
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

}  // namespace
}  // namespace tallyx::platform
