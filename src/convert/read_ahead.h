// Opening the result files of a run ahead of their turn: while the run converts one file, a few
// threads open the next ones and read their first block, so that the waits of a slow open (a
// network share, a virus scanner) overlap instead of adding up. On a local disk, where a file is
// opened and read in microseconds, handing files between threads would cost more than it saves:
// there the threads start only once opening has been slow a few times in a row.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "convert/result_reader.h"
#include "convert/run.h"
#include "platform/fs.h"

namespace tallyx::convert {

// Result files opened ahead of the one being converted, at most.
inline constexpr std::size_t kReadAheadFiles = 12;
// Threads that open them.
inline constexpr std::size_t kReadAheadThreads = 8;
// A file that took longer than this to open was slow to open ...
inline constexpr std::chrono::microseconds kSlowOpen{100};
// ... and after this many slow ones in a row the threads start (ReadAheadMode::kWhenOpensAreSlow).
inline constexpr int kSlowOpensToReadAhead = 3;

// One result file, opened, and its first block read when a thread fetched it ahead: that block
// and its failure are handed to the reader as the file's first read; the file reads on from there.
class FetchedFile final : public platform::InputFile {
 public:
  // Opens `path` with OpenListedInput. The system's words for a failure are taken at once, on the
  // thread that met it.
  void Open(platform::FileSystem& fs, const std::string& path);
  // Opens it and reads up to `block_size` bytes, the same way.
  void Fetch(platform::FileSystem& fs, const std::string& path, std::size_t block_size);

  bool opened() const { return file_ != nullptr; }
  // The failure of the open or of the first read, as the system reported it then; for a later
  // read's failure, the file system's LastFailure() on the reading thread.
  const platform::SystemFailure& reason() const { return reason_; }
  // Whether the first read failed (no later read is made then).
  bool first_read_failed() const { return got_ < 0; }

  std::ptrdiff_t Read(char* buf, std::size_t n) override;
  bool Close() override;

 private:
  std::unique_ptr<platform::InputFile> file_;  // null when not opened or closed
  std::unique_ptr<char[]> block_;
  std::size_t block_size_ = 0;
  std::ptrdiff_t got_ = 0;  // bytes of the first read, -1 when it failed
  std::size_t handed_ = 0;  // of those, bytes handed to the reader
  bool served_ = true;      // no block read ahead waits to be handed on
  platform::SystemFailure reason_;
};

// Why `file` broke off as `fault` says, in the words of a detail line, with the system's words
// for a failed read.
std::string SectionFaultReason(platform::FileSystem& fs, const FetchedFile& file,
                               const SectionFault& fault);

// The files of a listing, fetched in order for one run. Take(i) is called on the run's thread
// with i = 0, 1, 2 ... and returns file i once fetched; meanwhile the files after it, up to
// kReadAheadFiles of them, are fetched by the threads. Destroying it drops (closes) what was
// read ahead and ends the threads. Until the threads start, Take fetches each file itself.
class ReadAhead {
 public:
  ReadAhead(platform::FileSystem& fs, const platform::FileList& files, ReadAheadMode mode,
            std::size_t block_size);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // File i, whose path is `path`, fetched; only opened when no thread had come to it. It stays
  // valid until the next call; the caller closes it.
  FetchedFile& Take(std::size_t i, const std::string& path);

 private:
  // Opens the file claimed for `slot` on the run's thread; the reader reads it.
  FetchedFile& OpenHere(std::size_t slot, const std::string& path);
  void StartThreads();
  void Work();
  const std::string& PathOf(std::size_t i, std::string* path) const;

  platform::FileSystem& fs_;
  const platform::FileList& files_;
  const std::size_t block_size_;
  const ReadAheadMode mode_;
  int slow_in_a_row_ = 0;           // slow opens made by Take
  std::vector<FetchedFile> slots_;  // file i in slots_[i % size]
  std::vector<bool> ready_;         // slot fetched and not yet taken

  std::mutex mutex_;
  std::condition_variable work_;     // for the threads: a file may be claimed, or the end
  std::condition_variable fetched_;  // for the run: the file it waits for is ready
  std::size_t claimed_ = 0;          // files claimed for fetching: 0 to claimed_ - 1
  std::size_t taken_ = 0;            // the file the run holds; earlier slots are free
  std::size_t idle_ = 0;             // threads waiting for work
  bool run_waits_ = false;
  bool ending_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace tallyx::convert
