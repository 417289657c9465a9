// The standard streams on Windows.
#include <windows.h>

#include <array>
#include <streambuf>

#include "platform/native.h"
#include "platform/utf16.h"
#include "text/chars.h"

namespace tallyx::platform::native {
namespace {

// Collects UTF-8 text and hands it on in whole characters: to a console as UTF-16, to anything
// else as the bytes themselves.
class StdHandleBuf : public std::streambuf {
 public:
  explicit StdHandleBuf(DWORD which) : which_(which) {
    setp(buf_.data(), buf_.data() + buf_.size());
  }
  ~StdHandleBuf() override { sync(); }

 protected:
  int_type overflow(int_type c) override {
    if (!Emit(false)) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return Emit(true) ? 0 : -1; }

 private:
  // Writes the buffer; unless `all`, a character cut off at its end stays for the next write.
  bool Emit(bool all) {
    std::size_t n = static_cast<std::size_t>(pptr() - pbase());
    if (!all) n -= CutOffTail(n);
    const bool ok = Write(std::string_view(pbase(), n));
    const std::size_t rest = static_cast<std::size_t>(pptr() - pbase()) - n;
    std::char_traits<char>::move(buf_.data(), pbase() + n, rest);
    setp(buf_.data(), buf_.data() + buf_.size());
    pbump(static_cast<int>(rest));
    return ok;
  }

  // How many bytes at the end of the first `n` begin a UTF-8 character they do not complete.
  std::size_t CutOffTail(std::size_t n) const {
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
      const auto c = static_cast<unsigned char>(buf_[n - back]);
      if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
      return text::Utf8SequenceLength(c) > back ? back : 0;
    }
    return 0;
  }

  bool Write(std::string_view text) const {
    if (text.empty()) return true;
    const HANDLE h = ::GetStdHandle(which_);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    if (::GetConsoleMode(h, &mode)) {
      const std::wstring wide = ToUtf16(text);
      DWORD done = 0;
      for (std::size_t at = 0; at < wide.size(); at += done) {
        if (!::WriteConsoleW(h, wide.data() + at, static_cast<DWORD>(wide.size() - at), &done,
                             nullptr) ||
            done == 0) {
          return false;
        }
      }
      return true;
    }
    DWORD done = 0;
    for (std::size_t at = 0; at < text.size(); at += done) {
      if (!::WriteFile(h, text.data() + at, static_cast<DWORD>(text.size() - at), &done, nullptr) ||
          done == 0) {
        return false;
      }
    }
    return true;
  }

  const DWORD which_;
  std::array<char, 4096> buf_;
};

}  // namespace

std::ostream& Utf8Out() {
  static StdHandleBuf buf(STD_OUTPUT_HANDLE);
  static std::ostream out(&buf);
  return out;
}

std::ostream& Utf8Err() {
  static StdHandleBuf buf(STD_ERROR_HANDLE);
  static std::ostream err(&buf);
  return err;
}

}  // namespace tallyx::platform::native
