#include "text/line_io.h"

#include <algorithm>
#include <cstring>

namespace tallyx::text {
namespace {

// Whether a CR that no LF follows lies in s[0, n - 1). Written without an early exit, so that
// the compiler can check many bytes at once.
bool HasLoneCr(const char* s, std::size_t n) {
  unsigned lone = 0;
  for (std::size_t i = 0; i + 1 < n; ++i) lone |= (s[i] == '\r') & (s[i + 1] != '\n');
  return lone != 0;
}

}  // namespace

BufferedWriter::BufferedWriter() { held_.reserve(kCapacity); }

bool BufferedWriter::Append(std::string_view bytes) {
  if (bytes.size() <= kCapacity - std::min(held_.size(), kCapacity)) {
    held_.append(bytes);
    return true;
  }
  if (!Drain()) {
    held_.append(bytes);
    return false;
  }
  if (bytes.size() < kCapacity) {
    held_.append(bytes);
    return true;
  }
  std::size_t written = 0;  // large blocks go out directly
  if (file_->Write(bytes.data(), bytes.size(), &written)) return true;
  held_.append(bytes.substr(written));
  return false;
}

bool BufferedWriter::Drain() {
  if (held_.empty()) return true;
  std::size_t written = 0;
  const bool ok = file_->Write(held_.data(), held_.size(), &written);
  held_.erase(0, written);
  return ok;
}

LineReader::LineReader() : buf_(new char[kInitialCapacity]), capacity_(kInitialCapacity) {}

void LineReader::Reset(ByteSource* file) {
  file_ = file;
  begin_ = end_ = scanned_ = 0;
  eof_ = false;
  first_read_ = true;
  lines_ = 0;
}

bool LineReader::Fill() {
  if (begin_ > 0) {
    std::memmove(buf_.get(), buf_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == capacity_) {  // one line longer than the buffer
    const std::size_t bigger = capacity_ * 2;
    std::unique_ptr<char[]> grown(new char[bigger]);
    std::memcpy(grown.get(), buf_.get(), end_);
    buf_ = std::move(grown);
    capacity_ = bigger;
  }
  std::size_t want = capacity_ - end_;
  if (first_read_ && want > kFirstRead) want = kFirstRead;
  first_read_ = false;
  const std::ptrdiff_t got = file_->Read(buf_.get() + end_, want);
  if (got < 0) return false;
  if (got == 0) eof_ = true;
  end_ += static_cast<std::size_t>(got);
  return true;
}

LineReader::Status LineReader::Next(std::string_view* line) {
  for (;;) {
    const char* base = buf_.get();
    const char* from = base + begin_ + scanned_;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', end_ - begin_ - scanned_));
    if (cr != nullptr) {
      const std::size_t p = static_cast<std::size_t>(cr - base);
      if (p + 1 < end_ || eof_) {
        *line = std::string_view(base + begin_, p - begin_);
        begin_ = p + 1;
        if (begin_ < end_ && base[begin_] == '\n') ++begin_;
        scanned_ = 0;
        ++lines_;
        return Status::kLine;
      }
      scanned_ = p - begin_;  // the CR is the last byte: look behind it first
    } else if (eof_) {
      if (begin_ == end_) return Status::kEnd;
      *line = std::string_view(base + begin_, end_ - begin_);
      begin_ = end_;
      scanned_ = 0;
      ++lines_;
      return Status::kLine;
    } else {
      scanned_ = end_ - begin_;
    }
    if (!Fill()) return Status::kError;
  }
}

bool LineReader::CopyRemainingLines(BufferedWriter* out, bool* read_failed) {
  *read_failed = false;
  bool open_line = false;  // bytes of a line were copied and its end is still to come
  for (;;) {
    if (begin_ < end_) {
      // Most waveform sections end every line with CR LF: then the block goes out as it stands.
      // A CR as its last byte waits for the next block, which tells whether an LF follows.
      const char* base = buf_.get();
      const std::size_t stop = base[end_ - 1] == '\r' && !eof_ ? end_ - 1 : end_;
      const bool as_it_stands =
          stop > begin_ && base[stop - 1] != '\r' && !HasLoneCr(base + begin_, stop - begin_);
      if (!(as_it_stands ? CopyBlock(stop, out, &open_line)
                         : CopyRepairingLoneCrs(out, &open_line))) {
        return false;
      }
    }
    if (eof_) break;
    if (!Fill()) {
      *read_failed = true;
      return false;
    }
  }
  return !open_line || out->Append("\r\n");
}

bool LineReader::CopyBlock(std::size_t stop, BufferedWriter* out, bool* open_line) {
  const char* base = buf_.get();
  if (!out->Append(std::string_view(base + begin_, stop - begin_))) return false;
  *open_line = stop - begin_ < 2 || base[stop - 2] != '\r' || base[stop - 1] != '\n';
  begin_ = stop;
  scanned_ = 0;
  return true;
}

bool LineReader::CopyRepairingLoneCrs(BufferedWriter* out, bool* open_line) {
  const char* base = buf_.get();
  std::size_t run = begin_;  // start of the bytes that go out unchanged
  std::size_t p = begin_;
  for (;;) {
    const auto* cr = static_cast<const char*>(std::memchr(base + p, '\r', end_ - p));
    if (cr == nullptr) {
      p = end_;
      break;
    }
    p = static_cast<std::size_t>(cr - base);
    if (p + 1 == end_ && !eof_) break;  // whether an LF follows is not known yet
    if (p + 1 < end_ && base[p + 1] == '\n') {
      p += 2;
      continue;
    }
    // A lone CR ends a line: it goes out as CR LF.
    if (!out->Append(std::string_view(base + run, p + 1 - run)) || !out->Append("\n")) {
      return false;
    }
    run = ++p;
  }
  if (p > run) {
    if (!out->Append(std::string_view(base + run, p - run))) return false;
    *open_line = base[p - 1] != '\n' || p - run < 2 || base[p - 2] != '\r';
  } else if (run > begin_) {
    *open_line = false;
  }
  begin_ = p;
  scanned_ = 0;
  return true;
}

}  // namespace tallyx::text
