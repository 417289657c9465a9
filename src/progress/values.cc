#include "progress/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tallyx::progress {
namespace {

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanksAndTabs(std::string_view s) {
  while (!s.empty() && IsBlankOrTab(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankOrTab(s.back())) s.remove_suffix(1);
  return s;
}

// Reads an unsigned decimal of one to `max_digits` digits; false otherwise.
bool ReadInt(std::string_view* s, int max_digits, int* out) {
  int n = 0, digits = 0;
  while (!s->empty() && IsDigit(s->front()) && digits < max_digits) {
    n = n * 10 + (s->front() - '0');
    s->remove_prefix(1);
    ++digits;
  }
  *out = n;
  return digits > 0 && (s->empty() || !IsDigit(s->front()));
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 to the civil date y-m-d (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::optional<double> NumberIn(std::string_view cell) {
  std::string_view s = TrimBlanksAndTabs(cell);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int digits = 0, points = 0;
  for (const char c : s) {
    if (IsDigit(c)) {
      ++digits;
    } else if (c == '.' && points == 0) {
      ++points;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end != s.data() + s.size()) {
    // "5." and ".5" are numbers here; from_chars reads them too, but a text too long for a
    // double is none.
    return std::nullopt;
  }
  return negative ? -value : value;
}

double Rounded(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  // Through 15 significant digits first, so that 2.675 (held as 2.67499999...) rounds as the
  // decimal it was written as.
  char digits[40];
  const double scaled = std::fabs(value) * scale;
  const auto r = std::to_chars(digits, digits + sizeof digits, scaled, std::chars_format::general, 15);
  double decimal = scaled;
  std::from_chars(digits, r.ptr, decimal);
  const double magnitude = std::floor(decimal + 0.5) / scale;
  if (magnitude == 0) return 0;
  return value < 0 ? -magnitude : magnitude;
}

std::string Fixed(double value, int decimals) {
  char digits[64];
  const auto r = std::to_chars(digits, digits + sizeof digits, Rounded(value, decimals),
                               std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return std::string();
  return std::string(digits, r.ptr);
}

std::optional<double> LeftRightDifference(std::optional<double> left,
                                          std::optional<double> right) {
  if (!left || !right) return std::nullopt;
  const double larger = std::max(*left, *right);
  if (!(larger > 0)) return std::nullopt;
  return Rounded(std::fabs(*left - *right) / larger * 100, 1);
}

std::optional<double> PerWeight(std::optional<double> value, std::optional<double> weight) {
  if (!value || !weight || !(*weight > 0)) return std::nullopt;
  return Rounded(*value / *weight, 2);
}

std::optional<Spread> SpreadOf(std::span<const std::optional<double>> values) {
  Spread s;
  double sum = 0;
  for (const auto& v : values) {
    if (!v) continue;
    sum += *v;
    ++s.count;
  }
  if (s.count == 0) return std::nullopt;
  s.mean = sum / s.count;
  if (s.count >= 2 && s.mean != 0) {
    double squares = 0;
    for (const auto& v : values) {
      if (v) squares += (*v - s.mean) * (*v - s.mean);
    }
    const double deviation = std::sqrt(squares / (s.count - 1));
    s.variation = Rounded(deviation / std::fabs(s.mean) * 100, 1);
  }
  return s;
}

Shade ShadeOf(std::optional<double> difference) {
  if (!difference) return Shade::kNone;
  if (*difference >= 20) return Shade::kMarked;
  if (*difference >= 10) return Shade::kNotable;
  return Shade::kNone;
}

double When::Days() const {
  return static_cast<double>(DaysFromCivil(year, month, day)) +
         (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::optional<When> DateIn(std::string_view cell) {
  std::string_view s = TrimBlanksAndTabs(cell);
  When w;
  if (!ReadInt(&s, 4, &w.year) || w.year < 1000 || s.empty()) return std::nullopt;
  const char separator = s.front();
  if (separator != '/' && separator != '-') return std::nullopt;
  s.remove_prefix(1);
  if (!ReadInt(&s, 2, &w.month) || s.empty() || s.front() != separator) return std::nullopt;
  s.remove_prefix(1);
  if (!ReadInt(&s, 2, &w.day) || !s.empty()) return std::nullopt;
  if (w.month < 1 || w.month > 12 || w.day < 1 || w.day > DaysInMonth(w.year, w.month)) {
    return std::nullopt;
  }
  return w;
}

}  // namespace tallyx::progress
