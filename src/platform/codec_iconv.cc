// CP932 through glibc's iconv. Conversion descriptors are opened once per thread and reused.
#include <errno.h>
#include <iconv.h>

#include <algorithm>

#include "platform/codec.h"
#include "text/chars.h"

namespace tallyx::platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`; on an input sequence the target cannot take, writes `replacement` and skips
  // `skip(rest)` input bytes.
  template <typename Skip>
  std::string Run(std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    if (!Ok()) return std::string(in);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    size_t used = 0;
    while (src_left > 0) {
      char* dst = out.data() + used;
      size_t dst_left = out.size() - used;
      const size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
      used = out.size() - dst_left;
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL: an unconvertible or cut-off sequence.
      out.resize(std::max(out.size(), used + replacement.size() + 16));
      out.replace(used, replacement.size(), replacement);
      used += replacement.size();
      const size_t n = std::min(src_left, skip(std::string_view(src, src_left)));
      src += n;
      src_left -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

size_t Utf8Length(std::string_view rest) {
  return std::min(text::Utf8SequenceLength(static_cast<unsigned char>(rest[0])), rest.size());
}

size_t Cp932SequenceLength(std::string_view rest) {
  return text::IsCp932LeadByte(static_cast<unsigned char>(rest[0])) && rest.size() >= 2 ? 2 : 1;
}

}  // namespace

std::string ToCp932(std::string_view utf8) {
  if (!text::IsValidUtf8(utf8)) return std::string(utf8);
  bool ascii = true;
  for (const char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(utf8);
  thread_local Converter to_cp932("CP932", "UTF-8");
  return to_cp932.Run(utf8, "?", Utf8Length);
}

std::string FromCp932(std::string_view cp932) {
  bool ascii = true;
  for (const char c : cp932) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(cp932);
  thread_local Converter from_cp932("UTF-8", "CP932");
  return from_cp932.Run(cp932, "\xEF\xBF\xBD", Cp932SequenceLength);
}

}  // namespace tallyx::platform
