// Conversions of text to times and numbers, as the result files and the settings file need them.
// All of them take ASCII or CP932 text and never depend on the locale.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace tallyx::text {

// The text without the blanks (U+0020) at both ends; TABs and full-width blanks stay.
std::string_view TrimBlanks(std::string_view s);

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// H:MM or H:MM:SS (one or two digits each), blanks around; hour 0 to 23, minute and second 0 to
// 59. An "AM"/"PM" suffix or a "午前"/"午後" prefix (CP932) reads a 12-hour time (hour 0 to 12).
std::optional<TimeOfDay> ParseTimeOfDay(std::string_view cp932);

enum class NumericResult { kNotNumeric, kOk, kOutOfRange };

// The numeric test: blanks around, an optional sign, digits with an optional decimal point (at
// least one digit) and an optional exponent. A numeric text is rounded half to even into `*out`;
// kOutOfRange when the rounded value does not fit 16 bits.
NumericResult NumericToInt16(std::string_view text, std::int16_t* out);

// The number a text begins with: leading blanks skipped, the longest prefix that reads as a
// decimal number (sign, digits, point, exponent); 0 when the text does not begin with one.
// `found` (if given) tells whether there was a number at all.
double LeadingNumber(std::string_view text, bool* found = nullptr);

// Rounds half to even; none when the result does not fit the integer type T.
template <typename T>
std::optional<T> RoundTo(double value) {
  static_assert(std::numeric_limits<T>::is_integer && sizeof(T) <= 4, "its range must be exact");
  const double r = std::nearbyint(value);  // the default rounding mode: half to even
  if (!(r >= std::numeric_limits<T>::min() && r <= std::numeric_limits<T>::max())) {
    return std::nullopt;
  }
  return static_cast<T>(r);
}

}  // namespace tallyx::text
