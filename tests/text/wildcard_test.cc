#include "text/wildcard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tallyx::text {
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

TEST(Wildcard, SortNtfsNamesAgreesWithNtfsNameLess) {
  // Shared prefixes of every length, differences in case only, names that end inside the
  // compared bytes or differ only after them, bytes above 0x7F.
  std::vector<std::string> lists[] = {
      {},
      {"one"},
      {"Brawn_000010.txt", "brawn_000002.txt", "BRAWN_000001.TXT", "Brawn_000001.txt"},
      {"x", "", "X", "xa", "xA", "x_", "xz"},
      {"common_prefix_12345678_b", "common_prefix_12345678_a", "COMMON_PREFIX_12345678",
       "common_prefix_12345679", "common_prefix_1234567"},
      {"\xE5\x90\x8D.txt", "a.txt", "\xE5\x90\x8E.txt", "_.txt", "\x7F.txt"},
  };
  std::vector<std::string> generated;  // many names with one prefix, the way a device names them
  for (int i = 0; i < 3000; ++i) {
    std::string n = std::to_string((i * 7919) % 3001);
    generated.push_back((i % 3 ? "Brawn_" : "brawn_") + std::string(6 - n.size(), '0') + n +
                        (i % 5 ? ".txt" : ".TXT"));
  }
  std::vector<std::vector<std::string>> all(std::begin(lists), std::end(lists));
  all.push_back(generated);
  for (const std::vector<std::string>& list : all) {
    std::vector<std::string_view> sorted(list.begin(), list.end());
    SortNtfsNames(&sorted);
    std::vector<std::string_view> expected(list.begin(), list.end());
    std::stable_sort(expected.begin(), expected.end(), NtfsNameLess);
    ASSERT_EQ(sorted.size(), expected.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      // Names that NtfsNameLess calls equal may come in either order.
      EXPECT_FALSE(NtfsNameLess(sorted[i], expected[i]) || NtfsNameLess(expected[i], sorted[i]))
          << i << ": " << sorted[i] << " / " << expected[i];
    }
  }
}

}  // namespace
}  // namespace tallyx::text
