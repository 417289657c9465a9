#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tallyx::platform {
namespace {

TEST(Wildcard, MatchesWholeNames) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"Brawn_*.txt", "Brawn_001.txt", true},
      {"Brawn_*.txt", "BRAWN_001.TXT", true},  // ASCII letters ignore case
      {"Brawn_*.txt", "Brawn_001.txt.bak", false},
      {"Brawn_*.txt", "xBrawn_001.txt", false},
      {"Brawn_*.txt", "Brawn_.txt", true},
      {"Beginning*.txt", "Beginning1.txt", true},
      {"Beginning*.txt", "Beginning_1.csv", false},
      {"A?.txt", "A1.txt", true},
      {"A?.txt", "A12.txt", false},
      {"A?.txt", "A名.txt", true},  // one character, three bytes
      {"*", "anything", true},
      {"*a*b*c", "xxaxxbxxc", true},
      {"*a*b*c", "xxaxxcxxb", false},
      {"", "a", false},
      {"名*.txt", "名前.txt", true},
      {"名*.txt", "前名.txt", false},
      // A byte that is no whole character matches only itself, never part of a character.
      {"\xE5*", "\xE5\x90\x8D", false},
      {"*\xE5*", "\xE5\x90\x8D\xE5", true},
      {"*\x8D", "\xE5\x90\x8D", false},
      {"?\x8D", "\xE5\x90\x8D\x8D", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
  }
}

TEST(Wildcard, SortsAsNtfsLists) {
  std::vector<std::string> names = {"b.txt", "A_2.txt", "a_1.txt", "B_1.txt", "_x.txt", "a.txt"};
  std::sort(names.begin(), names.end(), NtfsNameLess);
  // Upper-cased ordinal order: "_" (0x5F) sorts after the letters.
  const std::vector<std::string> expected = {"a.txt", "a_1.txt", "A_2.txt",
                                             "b.txt", "B_1.txt", "_x.txt"};
  EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace tallyx::platform
