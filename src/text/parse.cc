#include "text/parse.h"

#include <charconv>
#include <cmath>
#include <string>

#include "text/chars.h"

namespace tallyx::text {
namespace {

constexpr std::string_view kGozen = "\x8C\xDF\x91\x4F";  // 午前 in CP932
constexpr std::string_view kGogo = "\x8C\xDF\x8C\xE3";   // 午後 in CP932

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiUpper(s[i]) != prefix[i]) return false;
  }
  return true;
}

// Reads one or two digits.
bool ReadField(std::string_view* s, int* value) {
  int n = 0, v = 0;
  while (n < 2 && !s->empty() && IsDigit(s->front())) {
    v = v * 10 + (s->front() - '0');
    s->remove_prefix(1);
    ++n;
  }
  *value = v;
  return n > 0;
}

// Length of the decimal number at the start of `s` (sign, digits, point, exponent); 0 if none.
// An "e" without digits after it is not part of the number.
std::size_t NumberLength(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t exp_start = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    if (j > exp_start) i = j;
  }
  return i;
}

// Whether a decimal number without sign that does not fit a double is too large for it rather
// than too close to zero: the decimal exponent of its first non-zero digit decides.
bool BeyondLargest(std::string_view s) {
  long long int_digits = 0, leading_fraction_zeros = 0;
  bool point = false, nonzero = false;
  std::size_t i = 0;
  for (; i < s.size() && (IsDigit(s[i]) || s[i] == '.'); ++i) {
    if (s[i] == '.') {
      point = true;
    } else if (!nonzero && s[i] == '0') {
      if (point) ++leading_fraction_zeros;
    } else {
      nonzero = true;
      if (!point) ++int_digits;
    }
  }
  if (!nonzero) return false;
  long long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    for (; i < s.size() && IsDigit(s[i]) && exponent < 1000000000; ++i) {
      exponent = exponent * 10 + (s[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return (int_digits > 0 ? int_digits : -leading_fraction_zeros) + exponent > 0;
}

double ParseNumber(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  // from_chars does not take "5." or ".5" in every library; spell the number out in full.
  std::string text;
  if (!s.empty() && s[0] == '.') text.push_back('0');
  text.append(s);
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  // Out of range: too large is infinite, too close to zero is zero.
  if (r.ec == std::errc::result_out_of_range) value = BeyondLargest(text) ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::optional<TimeOfDay> ParseTimeOfDay(std::string_view s) {
  s = TrimBlanks(s);
  int half = 0;  // 0: 24-hour, 1: before noon, 2: after noon
  if (s.substr(0, kGozen.size()) == kGozen) {
    half = 1;
  } else if (s.substr(0, kGogo.size()) == kGogo) {
    half = 2;
  }
  if (half != 0) s = TrimBlanks(s.substr(kGozen.size()));

  TimeOfDay t;
  if (!ReadField(&s, &t.hour) || s.empty() || s.front() != ':') return std::nullopt;
  s.remove_prefix(1);
  if (!ReadField(&s, &t.minute)) return std::nullopt;
  if (!s.empty() && s.front() == ':') {
    s.remove_prefix(1);
    if (!ReadField(&s, &t.second)) return std::nullopt;
  }
  s = TrimBlanks(s);
  if (half == 0 && !s.empty()) {
    if (StartsWithNoCase(s, "AM")) {
      half = 1;
    } else if (StartsWithNoCase(s, "PM")) {
      half = 2;
    } else {
      return std::nullopt;
    }
    s.remove_prefix(2);
  }
  if (!s.empty()) return std::nullopt;
  if (t.minute > 59 || t.second > 59) return std::nullopt;
  if (half == 0) {
    if (t.hour > 23) return std::nullopt;
  } else {
    if (t.hour > 12) return std::nullopt;
    t.hour = t.hour % 12 + (half == 2 ? 12 : 0);
  }
  return t;
}

NumericResult NumericToInt16(std::string_view text, std::int16_t* out) {
  const std::string_view s = TrimBlanks(text);
  const std::size_t len = NumberLength(s);
  if (len == 0 || len != s.size()) return NumericResult::kNotNumeric;
  const auto v = RoundTo<std::int16_t>(ParseNumber(s));
  if (!v) return NumericResult::kOutOfRange;
  *out = *v;
  return NumericResult::kOk;
}

double LeadingNumber(std::string_view text, bool* found) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  const std::size_t len = NumberLength(text);
  if (found != nullptr) *found = len > 0;
  return len == 0 ? 0.0 : ParseNumber(text.substr(0, len));
}

}  // namespace tallyx::text
