#include "convert/result_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "convert/side_file.h"
#include "support/result_files.h"

namespace tallyx::convert {
namespace {

// Bytes of a string, read as a file.
class StringSource final : public text::ByteSource {
 public:
  explicit StringSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::ptrdiff_t Read(char* buf, std::size_t n) override {
    const std::size_t got = std::min(n, bytes_.size() - at_);
    std::memcpy(buf, bytes_.data() + at_, got);
    at_ += got;
    return static_cast<std::ptrdiff_t>(got);
  }

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

// The data line of a result file whose height line (line 11) is `s`, with the height alone.
std::string HeightCell(std::string_view s) {
  std::vector<std::string> lines = testing::ResultLines({});
  lines[10] = s;
  StringSource file(testing::JoinLines(lines));
  text::LineReader reader;
  reader.Reset(&file);
  std::int16_t turns = 0;
  std::string cell;
  SectionFault fault;
  EXPECT_TRUE(ReadResultSection(&reader, model::Mode::kMuscleStrength,
                                model::MaskOf({model::Item::kHeight}), &turns, &cell, &fault))
      << s;
  return cell;
}

TEST(ResultSectionTest, ACellIsTheTrimmedTextBeforeTheFirstTab) {
  struct Case {
    const char* line;
    const char* cell;
  } cases[] = {
      {"", ","},         {" 170 \tcm", "170,"}, {"\tcm", ","},
      {"abc", "abc,"},   {" 12.5 ", "12.5,"},   {"1,2,3\tx", "1,2,3,"},
      {"a\tb\tc", "a,"}, {"  ", ","},           {"\"q\" ,x", "\"q\" ,x,"},
  };
  for (const Case& c : cases) EXPECT_EQ(HeightCell(c.line), c.cell) << c.line;
  // A full-width blank is not a blank here; CP932 bytes stay as they are.
  EXPECT_EQ(HeightCell("\x81\x40x\x81\x40"), "\x81\x40x\x81\x40,");
  EXPECT_EQ(HeightCell("\x83\x5C\x95\x5C\t"), "\x83\x5C\x95\x5C,");
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
