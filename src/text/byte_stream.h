// The two ends of a stream of bytes: a file opened for reading or for writing, as the line reader
// and the buffered writer see it.
#pragma once

#include <cstddef>

namespace tallyx::text {

// Bytes to read: a file opened for reading.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Bytes read into `buf` (at most `n`); 0 at the end; -1 on failure.
  virtual std::ptrdiff_t Read(char* buf, std::size_t n) = 0;
};

// Bytes to write: a file opened for writing.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all `n` bytes or fails; `*written` (when given) tells how many went out, also when
  // the write failed part way.
  virtual bool Write(const char* data, std::size_t n, std::size_t* written = nullptr) = 0;
};

}  // namespace tallyx::text
