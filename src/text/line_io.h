// Buffered reading of a text file line by line, and buffered writing of output files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "text/byte_stream.h"

namespace tallyx::text {

// Collects output in a block of memory and hands it to the file in large writes. Nothing handed
// to it is dropped: bytes the file refused stay held, and the next Drain() tries them again, so
// that a run's failure path still writes everything produced before the failure.
class BufferedWriter {
 public:
  BufferedWriter();
  void Reset(ByteSink* file) {
    file_ = file;
    held_.clear();
  }
  // False when a write to the file failed; `bytes` are then held with the rest.
  bool Append(std::string_view bytes);
  // Hands everything held to the file; what the file refuses stays held.
  bool Drain();

 private:
  static constexpr std::size_t kCapacity = 64 * 1024;
  std::string held_;
  ByteSink* file_ = nullptr;
};

// Splits a file into lines: a line ends at CR LF or at a lone CR; a lone LF belongs to the line.
// The buffer is kept from one file to the next.
class LineReader {
 public:
  enum class Status { kLine, kEnd, kError };
  // Bytes asked of a file by its first read: a result section fits in one page.
  static constexpr std::size_t kFirstRead = 4096;

  LineReader();
  void Reset(ByteSource* file);

  // The next line, without its terminator; valid until the next call.
  Status Next(std::string_view* line);
  // Lines that Next has delivered since Reset: the number of the line it delivered last.
  std::int32_t lines_read() const { return lines_; }

  // Copies every remaining line to `out`, each ended by CR LF, in large blocks. False when the
  // file could not be read (`*read_failed` set) or `out` could not be written.
  bool CopyRemainingLines(BufferedWriter* out, bool* read_failed);

 private:
  // Reads more of the file behind what is buffered. False on a read failure.
  bool Fill();
  // The two ways CopyRemainingLines hands on the buffered bytes; false when `out` failed.
  // CopyBlock: those before `stop`, which hold no lone CR, as they stand.
  bool CopyBlock(std::size_t stop, BufferedWriter* out, bool* open_line);
  // CopyRepairingLoneCrs: all of them, each lone CR followed by an LF; a CR at the end that may
  // yet be followed by an LF stays buffered.
  bool CopyRepairingLoneCrs(BufferedWriter* out, bool* open_line);

  static constexpr std::size_t kInitialCapacity = 256 * 1024;

  std::unique_ptr<char[]> buf_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;    // start of the unread bytes
  std::size_t end_ = 0;      // end of the buffered bytes
  std::size_t scanned_ = 0;  // bytes after begin_ known to hold no CR
  bool eof_ = false;
  bool first_read_ = true;
  std::int32_t lines_ = 0;
  ByteSource* file_ = nullptr;
};

}  // namespace tallyx::text
