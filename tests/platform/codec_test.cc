// The CP932 codec gives the same bytes on every build: these cases run on Linux and, cross-built,
// on Windows.
#include "platform/codec.h"

#include <gtest/gtest.h>

#include "text/chars.h"

namespace tallyx::platform {
namespace {

struct Encoding {
  const char* utf8;
  const char* cp932;
};

TEST(CodecTest, EncodesAsOnEveryBuild) {
  const Encoding cases[] = {
      {"Brawn_001.txt", "Brawn_001.txt"},
      {"筋力測定", "\x8B\xD8\x97\xCD\x91\xAA\x92\xE8"},
      {"ｱｲｿﾒﾄﾘｯｸ", "\xB1\xB2\xBF\xD2\xC4\xD8\xAF\xB8"},
      {"(Ｎ・ｍ)(N･m)", "(\x82\x6D\x81\x45\x82\x8D)(N\xA5m)"},
      {"～", "\x81\x60"},      // U+FF5E, the fullwidth tilde
      {"\u301C", "\x81\x60"},  // the wave dash stands for the same character
      {"\u2212\u2014\u2016", "\x81\x7C\x81\x5C\x81\x61"},
      {"\u00A5\u203E\u00A2\u00A3\u00AC", "\x5C\x7E\x81\x91\x81\x92\x81\xCA"},
      {"①ⅰ纊", "\x87\x40\xFA\x40\xFA\x5C"},  // NEC and IBM extensions
      {"\uE000", "\xF0\x40"},                // user-defined area
      {"aé😀b", "a??b"},                      // not in CP932: one "?" per character
      {"\u0080\uF8F0\uF8F3", "???"},         // what Windows alone would map to single bytes
      {"\xFF\xFE raw", "\xFF\xFE raw"},      // not UTF-8: passed through
  };
  for (const Encoding& c : cases) {
    EXPECT_EQ(ToCp932(c.utf8), c.cp932) << c.utf8;
  }
}

TEST(CodecTest, DecodesAsOnEveryBuild) {
  const Encoding cases[] = {
      {"あ\\~", "\x82\xA0\x5C\x7E"},
      {"～①ⅰ纊", "\x81\x60\x87\x40\xFA\x40\xED\x40"},  // NEC-selected IBM row read as IBM
      {"\uE000", "\xF0\x40"},
      {"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDb",
       "a\x80\xA0\xFD\xFE\xFF"
       "b"},
      {"\uFFFDz", "\x81\x20z"},  // a lead byte takes the byte after it, even one that fails
      {"\uFFFD", "\x85\x40"},    // unassigned
      {"x\uFFFD", "x\x82"},      // a lead byte cut off at the end
  };
  for (const Encoding& c : cases) {
    EXPECT_EQ(FromCp932(c.cp932), c.utf8) << c.utf8;
  }
}

TEST(CodecTest, FindsKeyWordsOnCharacterBoundariesOnly) {
  const std::string therapy = ToCp932("療法期");  // 97 C3 96 40 8A FA
  EXPECT_TRUE(text::ContainsCp932(ToCp932("2\t療法期"), therapy));
  // 0x88 0x97 is one character; its trail byte followed by C3... would spell the key word.
  const std::string straddling = std::string("\x88\x97", 2) + therapy.substr(1);
  ASSERT_NE(straddling.find(therapy), std::string::npos);
  EXPECT_FALSE(text::ContainsCp932(straddling, therapy));
  EXPECT_FALSE(text::ContainsCp932(ToCp932("療法"), therapy));
}

TEST(CodecTest, ValidatesUtf8) {
  EXPECT_TRUE(text::IsValidUtf8("abc 名前 😀"));
  EXPECT_FALSE(text::IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(text::IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(text::IsValidUtf8("\xE5\x90"));          // cut off
  EXPECT_FALSE(text::IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

}  // namespace
}  // namespace tallyx::platform
