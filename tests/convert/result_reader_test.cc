#include "convert/result_reader.h"

#include <gtest/gtest.h>

#include "convert/side_file.h"

namespace tallyx::convert {
namespace {

std::string CheckBuff(std::string_view s) {
  std::string cell;
  AppendCheckBuff(s, &cell);
  return cell;
}

TEST(CheckBuff, TakesTheTrimmedTextBeforeTheFirstTab) {
  struct Case {
    const char* line;
    const char* cell;
  } cases[] = {
      {"", ","},         {" 170 \tcm", "170,"}, {"\tcm", ","},
      {"abc", "abc,"},   {" 12.5 ", "12.5,"},   {"1,2,3\tx", "1,2,3,"},
      {"a\tb\tc", "a,"}, {"  ", ","},           {"\"q\" ,x", "\"q\" ,x,"},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckBuff(c.line), c.cell) << c.line;
  // A full-width blank is not a blank here; CP932 bytes stay as they are.
  EXPECT_EQ(CheckBuff("\x81\x40x\x81\x40"), "\x81\x40x\x81\x40,");
  EXPECT_EQ(CheckBuff("\x83\x5C\x95\x5C\t"), "\x83\x5C\x95\x5C,");
}

TEST(SideFileName, NumbersFilesBesideTheOutput) {
  struct Case {
    const char* output;
    const char* first;
    const char* twelfth;
  } cases[] = {
      {"/k/Sample1.csv", "/k/Sample11.csv", "/k/Sample112.csv"},
      {"/out", "/out1", "/out12"},
      {" /out ", "/out1", "/out12"},
      {"/data.old/out.csv", "/data.old/out1.csv", "/data.old/out12.csv"},
      {"/d/a.b.csv", "/d/a1.b.csv", "/d/a12.b.csv"},
      {"out.csv", "out1.csv", "out12.csv"},
      {"/d/.csv", "/d/1.csv", "/d/12.csv"},
  };
  for (const Case& c : cases) {
    const SideFileName n = SideFileName::FromOutputPath(c.output);
    EXPECT_EQ(n.PathFor(1), c.first) << c.output;
    EXPECT_EQ(n.PathFor(12), c.twelfth) << c.output;
  }
}

}  // namespace
}  // namespace tallyx::convert
