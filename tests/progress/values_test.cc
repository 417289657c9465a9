#include "progress/values.h"

#include <gtest/gtest.h>


namespace tallyx::progress {
namespace {

TEST(ValuesTest, ACellIsANumberOnlyAsSignDigitsAndOnePoint) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {" 12.5\t", 12.5}, {"-3", -3.0}, {"+.5", 0.5},         {"7.", 7.0},
      {"", std::nullopt}, {"1e3", std::nullopt}, {"1,000", std::nullopt}, {"1.2.3", std::nullopt},
      {"-", std::nullopt}, {"６０", std::nullopt}, {"12 kg", std::nullopt},
  };
  for (const auto& [cell, number] : cases) EXPECT_EQ(NumberIn(cell), number) << cell;
}

// The figures, rounded half away from zero, and absent when an input is.
TEST(ValuesTest, FiguresRoundHalfAwayFromZeroAndAreAbsentWithoutTheirInputs) {
  EXPECT_EQ(Fixed(0.05, 1), "0.1");
  EXPECT_EQ(Fixed(-0.05, 1), "-0.1");
  EXPECT_EQ(Fixed(2.675, 2), "2.68");
  EXPECT_EQ(Fixed(-0.04, 1), "0.0");
  EXPECT_EQ(Fixed(7, 2), "7.00");

  EXPECT_EQ(LeftRightDifference(100, 90), 10.0);
  EXPECT_EQ(LeftRightDifference(90, 100), 10.0);
  EXPECT_EQ(LeftRightDifference(3, 2), 33.3);
  EXPECT_EQ(LeftRightDifference(0, 0), std::nullopt);
  EXPECT_EQ(LeftRightDifference(-5, -1), std::nullopt);
  EXPECT_EQ(LeftRightDifference(std::nullopt, 1), std::nullopt);

  EXPECT_EQ(PerWeight(100, 60), 1.67);
  EXPECT_EQ(PerWeight(100, 0), std::nullopt);
  EXPECT_EQ(PerWeight(100, std::nullopt), std::nullopt);

  const std::optional<double> turns[] = {10, std::nullopt, 12};
  const auto spread = SpreadOf(turns);
  ASSERT_TRUE(spread);
  EXPECT_EQ(spread->mean, 11);
  EXPECT_EQ(spread->count, 2);
  EXPECT_EQ(spread->variation, 12.9);  // 1.414 / 11
  const std::optional<double> one[] = {10};
  EXPECT_EQ(SpreadOf(one)->variation, std::nullopt);
  const std::optional<double> none[] = {std::nullopt};
  EXPECT_EQ(SpreadOf(none), std::nullopt);

  EXPECT_EQ(ShadeOf(9.9), Shade::kNone);
  EXPECT_EQ(ShadeOf(10.0), Shade::kNotable);
  EXPECT_EQ(ShadeOf(19.9), Shade::kNotable);
  EXPECT_EQ(ShadeOf(20.0), Shade::kMarked);

  EXPECT_TRUE(DateIn("2024/5/1"));
  EXPECT_TRUE(DateIn(" 2024-05-01 "));
  EXPECT_TRUE(DateIn("2024/2/29"));
  EXPECT_FALSE(DateIn("2023/2/29"));
  EXPECT_FALSE(DateIn("2024/5-1"));
  EXPECT_FALSE(DateIn("2024/13/1"));
  EXPECT_FALSE(DateIn("令和6年5月1日"));
  EXPECT_LT(DateIn("2024/5/1")->Days(), DateIn("2024/5/2")->Days());
}

}  // namespace
}  // namespace tallyx::progress
