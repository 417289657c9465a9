// The time and number conversions and the CP932 codec on any text. The conversions are checked
// against references built on other means: a regular expression for the shapes, strtod for the
// values.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>

#include "check.h"
#include "platform/codec.h"
#include "text/chars.h"
#include "text/parse.h"

namespace {

using namespace tallyx::platform;
using namespace tallyx::text;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// The time of day as the shapes say: an optional 午前/午後 (CP932) or a trailing AM/PM, never
// both.
std::optional<TimeOfDay> ReferenceTime(std::string_view text) {
  static const std::regex shape(
      "^ *(\x8C\xDF\x91\x4F|\x8C\xDF\x8C\xE3)? *([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))? *"
      "([aApP][mM])? *$");
  std::cmatch m;
  if (!std::regex_match(text.begin(), text.end(), m, shape)) return std::nullopt;
  const bool prefix = m[1].matched, suffix = m[5].matched;
  if (prefix && suffix) return std::nullopt;
  TimeOfDay t{std::stoi(m[2].str()), std::stoi(m[3].str()),
              m[4].matched ? std::stoi(m[4].str()) : 0};
  if (t.minute > 59 || t.second > 59) return std::nullopt;
  if (!prefix && !suffix) return t.hour <= 23 ? std::optional(t) : std::nullopt;
  if (t.hour > 12) return std::nullopt;
  const bool after_noon = prefix ? m[1].str() == "\x8C\xDF\x8C\xE3" : (m[5].str()[0] | 0x20) == 'p';
  t.hour = t.hour % 12 + (after_noon ? 12 : 0);
  return t;
}

const std::regex& NumberShape() {
  static const std::regex shape("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?");
  return shape;
}

double Strtod(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const auto time = ParseTimeOfDay(text);
  const auto expected_time = ReferenceTime(text);
  FUZZ_CHECK(time.has_value() == expected_time.has_value());
  if (time) {
    FUZZ_CHECK(time->hour == expected_time->hour && time->minute == expected_time->minute &&
               time->second == expected_time->second);
  }

  // The numeric test: the whole trimmed text is one decimal number.
  const std::string trimmed(Trim(text));
  std::smatch m;
  const bool numeric = std::regex_search(trimmed, m, NumberShape()) &&
                       static_cast<std::size_t>(m.length(0)) == trimmed.size();
  std::int16_t n = 0;
  const NumericResult result = NumericToInt16(text, &n);
  if (!numeric) {
    FUZZ_CHECK(result == NumericResult::kNotNumeric);
  } else {
    const auto expected = RoundTo<std::int16_t>(Strtod(trimmed));
    FUZZ_CHECK(result == (expected ? NumericResult::kOk : NumericResult::kOutOfRange));
    if (expected) FUZZ_CHECK(n == *expected);
  }

  // The leading number: blanks skipped, the longest decimal prefix.
  std::string rest(text);
  rest.erase(0, rest.find_first_not_of(' ') == std::string::npos ? rest.size()
                                                                 : rest.find_first_not_of(' '));
  bool found = false;
  const double leading = LeadingNumber(text, &found);
  const bool expected_found = std::regex_search(rest, m, NumberShape());
  FUZZ_CHECK(found == expected_found);
  FUZZ_CHECK(leading == (expected_found ? Strtod(m.str(0)) : 0.0));
  (void)RoundTo<std::int32_t>(leading);

  // The codec: decoding gives UTF-8; encoding UTF-8 gives CP932 that decodes back to it when
  // every character has a CP932 form.
  const std::string utf8 = FromCp932(text);
  FUZZ_CHECK(IsValidUtf8(utf8));
  const std::string cp932 = ToCp932(utf8);
  if (utf8.find("\xEF\xBF\xBD") == std::string::npos && cp932.find('?') == std::string::npos) {
    FUZZ_CHECK(FromCp932(cp932) == utf8);
  }
  if (!IsValidUtf8(text)) FUZZ_CHECK(ToCp932(text) == text);
  (void)ContainsCp932(text, "\x97\xC3\x96\x40\x8A\xFA");
  return 0;
}
