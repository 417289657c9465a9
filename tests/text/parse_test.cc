#include "text/parse.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/codec.h"

namespace tallyx::text {
namespace {

using platform::ToCp932;

TEST(TextConv, ReadsTimesOfDay) {
  struct Case {
    std::string text;
    int h, m, s;  // -1: not a time
  } cases[] = {
      {"9:05:07", 9, 5, 7},
      {" 23:59:59 ", 23, 59, 59},
      {"0:00", 0, 0, 0},
      {"12:30 AM", 0, 30, 0},
      {"12:30 pm", 12, 30, 0},
      {"1:02:03PM", 13, 2, 3},
      {ToCp932("午前11:15"), 11, 15, 0},
      {ToCp932("午後 3:04:05"), 15, 4, 5},
      {"24:00", -1, 0, 0},
      {"9:60", -1, 0, 0},
      {"9:05:60", -1, 0, 0},
      {"13:00 PM", -1, 0, 0},
      {"9", -1, 0, 0},
      {"9:", -1, 0, 0},
      {"123:00", -1, 0, 0},
      {"9:05:07:01", -1, 0, 0},
      {"9.05", -1, 0, 0},
      {"", -1, 0, 0},
      {ToCp932("午前9:00 PM"), -1, 0, 0},
  };
  for (const Case& c : cases) {
    const auto t = ParseTimeOfDay(c.text);
    if (c.h < 0) {
      EXPECT_FALSE(t.has_value()) << c.text;
      continue;
    }
    ASSERT_TRUE(t.has_value()) << c.text;
    EXPECT_EQ(t->hour, c.h) << c.text;
    EXPECT_EQ(t->minute, c.m) << c.text;
    EXPECT_EQ(t->second, c.s) << c.text;
  }
}

TEST(TextConv, TestsAndConvertsTurnCounts) {
  struct Case {
    const char* text;
    NumericResult result;
    int value;
  } cases[] = {
      {"5", NumericResult::kOk, 5},
      {" -12 ", NumericResult::kOk, -12},
      {"+7", NumericResult::kOk, 7},
      {"2.5", NumericResult::kOk, 2},  // half to even
      {"3.5", NumericResult::kOk, 4},
      {".5", NumericResult::kOk, 0},
      {"5.", NumericResult::kOk, 5},
      {"1e2", NumericResult::kOk, 100},
      {"32767", NumericResult::kOk, 32767},
      {"-32768", NumericResult::kOk, -32768},
      {"32767.5", NumericResult::kOutOfRange, 0},
      {"40000", NumericResult::kOutOfRange, 0},
      {"1e400", NumericResult::kOutOfRange, 0},
      {"0.001e400", NumericResult::kOutOfRange, 0},
      {"1E-7999", NumericResult::kOk, 0},  // too close to zero for a double: zero
      {"-123.4e-400", NumericResult::kOk, 0},
      {"00000.00e-99999", NumericResult::kOk, 0},
      {"", NumericResult::kNotNumeric, 0},
      {"abc", NumericResult::kNotNumeric, 0},
      {"5 turns", NumericResult::kNotNumeric, 0},
      {"1e", NumericResult::kNotNumeric, 0},
      {".", NumericResult::kNotNumeric, 0},
      {"- 5", NumericResult::kNotNumeric, 0},
  };
  for (const Case& c : cases) {
    std::int16_t v = -999;
    EXPECT_EQ(NumericToInt16(c.text, &v), c.result) << c.text;
    if (c.result == NumericResult::kOk) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(TextConv, ReadsLeadingNumbers) {
  struct Case {
    const char* text;
    double value;
    bool found;
  } cases[] = {
      {"12345678", 12345678, true},
      {"  42abc", 42, true},
      {"abc", 0, false},
      {"-1", -1, true},
      {"1.5e3x", 1500, true},
      {"1e", 1, true},
      {"", 0, false},
      {"- 1", 0, false},
      {" +.25", 0.25, true},
      {"1e-400x", 0, true},
      {"1e99999", HUGE_VAL, true},
  };
  for (const Case& c : cases) {
    bool found = !c.found;
    EXPECT_DOUBLE_EQ(LeadingNumber(c.text, &found), c.value) << c.text;
    EXPECT_EQ(found, c.found) << c.text;
  }
  EXPECT_EQ(RoundTo<std::int32_t>(2147483647.0), 2147483647);
  EXPECT_FALSE(RoundTo<std::int32_t>(2147483648.0).has_value());
  EXPECT_EQ(RoundTo<std::int32_t>(-0.5), 0);
  EXPECT_EQ(RoundTo<std::int16_t>(-1.5), -2);
}

}  // namespace
}  // namespace tallyx::text
