// The numbers of a result file's cells and the figures computed from them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tallyx::progress {

// The number a cell holds: after trimming blanks and TABs, an optional sign and digits with an
// optional decimal point (at least one digit; no exponent, no thousands separator). None for
// anything else, which is shown as it stands and left out of charts and sums.
std::optional<double> NumberIn(std::string_view cell);

// `value` rounded half away from zero to `decimals` places, as text ("12.3", "-0.5", "7.00").
std::string Fixed(double value, int decimals);
// The same rounding, as a number.
double Rounded(double value, int decimals);

// |L - R| / max(L, R) x 100, rounded to one decimal; none when an input is, or max(L, R) <= 0.
std::optional<double> LeftRightDifference(std::optional<double> left, std::optional<double> right);
// value / weight, rounded to two decimals; none when an input is, or the weight is <= 0.
std::optional<double> PerWeight(std::optional<double> value, std::optional<double> weight);

// The mean of the values that are numbers and, from two of them on, their coefficient of
// variation (sample standard deviation over the mean x 100, rounded to one decimal; none when
// the mean is 0). None when no value is a number.
struct Spread {
  double mean = 0;
  std::optional<double> variation;
  int count = 0;
};
std::optional<Spread> SpreadOf(std::span<const std::optional<double>> values);

// How a 左右差 is marked: from 10 % on worth a look, from 20 % on probably abnormal.
enum class Shade { kNone, kNotable, kMarked };
Shade ShadeOf(std::optional<double> difference);

// A measurement's day and time: the date cell "yyyy/m/d" or "yyyy-m-d" (a real calendar day),
// with the time of day. Days count from 1970-01-01, so that they order and space a chart's axis.
struct When {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
  // Days since 1970-01-01, the time of day as its fraction.
  double Days() const;
};
std::optional<When> DateIn(std::string_view cell);

}  // namespace tallyx::progress
