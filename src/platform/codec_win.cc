// CP932 through the Windows code page 932 tables, made to give the same bytes as the glibc
// converter of the POSIX build: the same characters are accepted, the same replacements made.
#include <windows.h>

#include <array>
#include <cstdint>

#include "platform/codec.h"
#include "platform/utf16.h"
#include "text/chars.h"

namespace tallyx::platform {
namespace {

constexpr UINT kCp932 = 932;

struct ExtraMapping {
  char32_t code_point;
  std::string_view bytes;
};

// Characters that Windows' own table leaves out but that stand for a CP932 character all the
// same (the JIS forms of the wave dash, the minus sign, the yen sign and a few more). They are
// encoded as their CP932 counterparts, as on the POSIX build.
constexpr std::array<ExtraMapping, 9> kExtraMappings = {{
    {0x00A2, "\x81\x91"},
    {0x00A3, "\x81\x92"},
    {0x00A5, "\x5C"},
    {0x00AC, "\x81\xCA"},
    {0x2014, "\x81\x5C"},
    {0x2016, "\x81\x61"},
    {0x203E, "\x7E"},
    {0x2212, "\x81\x7C"},
    {0x301C, "\x81\x60"},
}};

// Single bytes that Windows maps to U+0080 and to private-use characters but that are no CP932
// characters; they decode to U+FFFD and their code points are not encoded.
bool IsUnassignedSingleByte(unsigned char c) { return c == 0x80 || c == 0xA0 || c >= 0xFD; }
bool IsUnassignedCodePoint(char32_t c) { return c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3); }

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Appends the CP932 form of one UTF-16 character (one unit, or a surrogate pair); "?" when there
// is none.
void EncodeOne(const wchar_t* w, int units, std::string* out) {
  char32_t cp = w[0];
  if (units == 2) cp = 0x10000 + ((cp - 0xD800) << 10) + (w[1] - 0xDC00);
  for (const ExtraMapping& m : kExtraMappings) {
    if (m.code_point == cp) {
      out->append(m.bytes);
      return;
    }
  }
  char bytes[4];
  BOOL used_default = FALSE;
  const int n = units == 1 && !IsUnassignedCodePoint(cp)
                    ? WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, w, 1, bytes, sizeof bytes,
                                          "?", &used_default)
                    : 0;
  if (n <= 0 || used_default) {
    out->push_back('?');
    return;
  }
  out->append(bytes, static_cast<std::size_t>(n));
}

}  // namespace

std::wstring ToUtf16(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
  return out;
}

std::string ToCodePage(std::wstring_view utf16, unsigned int code_page) {
  if (utf16.empty()) return std::string();
  const int size = static_cast<int>(utf16.size());
  const int n = WideCharToMultiByte(code_page, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, utf16.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::string FromUtf16(std::wstring_view utf16) { return ToCodePage(utf16, CP_UTF8); }

std::string ToCp932(std::string_view utf8) {
  if (!text::IsValidUtf8(utf8) || IsAscii(utf8)) return std::string(utf8);
  const std::wstring wide = ToUtf16(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < wide.size();) {
    const bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size();
    const int units = pair ? 2 : 1;
    EncodeOne(wide.data() + i, units, &out);
    i += static_cast<std::size_t>(units);
  }
  return out;
}

std::string FromCp932(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  std::wstring wide;
  wide.reserve(cp932.size());
  for (std::size_t i = 0; i < cp932.size();) {
    const auto c = static_cast<unsigned char>(cp932[i]);
    // A lead byte takes the next byte with it, valid or not, as the POSIX converter does.
    const std::size_t len = text::IsCp932LeadByte(c) && i + 1 < cp932.size() ? 2 : 1;
    wchar_t w[2];
    const int n = len == 1 && IsUnassignedSingleByte(c)
                      ? 0
                      : MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, cp932.data() + i,
                                            static_cast<int>(len), w, 2);
    if (n <= 0) {
      wide.push_back(L'\xFFFD');
    } else {
      wide.append(w, static_cast<std::size_t>(n));
    }
    i += len;
  }
  return FromUtf16(wide);
}

}  // namespace tallyx::platform
