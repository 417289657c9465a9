#include "convert/read_ahead.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace tallyx::convert {

void FetchedFile::Open(platform::FileSystem& fs, const std::string& path) {
  file_.reset();
  got_ = 0;
  handed_ = 0;
  served_ = true;
  reason_ = {};
  file_ = fs.OpenListedInput(path);
  if (!file_) reason_ = fs.LastFailure();
}

void FetchedFile::Fetch(platform::FileSystem& fs, const std::string& path, std::size_t block_size) {
  Open(fs, path);
  if (!file_) return;
  if (block_size_ < block_size) block_.reset(new char[block_size]);
  block_size_ = block_size;
  served_ = false;
  got_ = file_->Read(block_.get(), block_size);
  if (got_ < 0) reason_ = fs.LastFailure();
}

std::ptrdiff_t FetchedFile::Read(char* buf, std::size_t n) {
  if (file_ == nullptr || got_ < 0) return -1;
  if (!served_) {
    const std::size_t count = std::min(n, static_cast<std::size_t>(got_) - handed_);
    std::memcpy(buf, block_.get() + handed_, count);
    handed_ += count;
    served_ = handed_ == static_cast<std::size_t>(got_);
    return static_cast<std::ptrdiff_t>(count);
  }
  return file_->Read(buf, n);
}

bool FetchedFile::Close() { return platform::CloseFile(&file_); }

ReadAhead::ReadAhead(platform::FileSystem& fs, const platform::FileList& files, ReadAheadMode mode,
                     std::size_t block_size)
    : fs_(fs),
      files_(files),
      block_size_(block_size),
      mode_(mode),
      slots_(mode == ReadAheadMode::kNever ? 1 : kReadAheadFiles + 1),
      ready_(slots_.size(), false) {
  if (mode == ReadAheadMode::kAlways) StartThreads();
}

void ReadAhead::StartThreads() {
  if (files_.size() < 2) return;
  const std::size_t threads = std::min(kReadAheadThreads, files_.size() - 1);
  for (std::size_t t = 0; t < threads; ++t) {
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;  // fewer threads, or none: the run fetches what they leave
    }
  }
}

ReadAhead::~ReadAhead() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  work_.notify_all();
  for (std::thread& t : threads_) t.join();
}

const std::string& ReadAhead::PathOf(std::size_t i, std::string* path) const {
  path->assign(files_.directory()).append(files_.name(i));
  return *path;
}

FetchedFile& ReadAhead::Take(std::size_t i, const std::string& path) {
  const std::size_t slot = i % slots_.size();
  if (threads_.empty()) {  // nothing is shared yet
    taken_ = i;
    claimed_ = i + 1;
    return OpenHere(slot, path);
  }
  std::unique_lock<std::mutex> lock(mutex_);
  taken_ = i;  // the slots of the files before it are free again
  // The threads are woken when half the window is free, not for every file.
  if (idle_ > 0 && claimed_ < files_.size() &&
      claimed_ + slots_.size() / 2 <= taken_ + slots_.size()) {
    work_.notify_all();
  }
  if (claimed_ > i) {
    run_waits_ = true;
    fetched_.wait(lock, [&] { return ready_[slot]; });
    run_waits_ = false;
    ready_[slot] = false;
    return slots_[slot];
  }
  claimed_ = i + 1;  // no thread has come to it yet
  lock.unlock();
  return OpenHere(slot, path);
}

FetchedFile& ReadAhead::OpenHere(std::size_t slot, const std::string& path) {
  const auto start = std::chrono::steady_clock::now();
  slots_[slot].Open(fs_, path);
  if (mode_ == ReadAheadMode::kWhenOpensAreSlow && threads_.empty()) {
    const bool slow = std::chrono::steady_clock::now() - start > kSlowOpen;
    slow_in_a_row_ = slow ? slow_in_a_row_ + 1 : 0;
    if (slow_in_a_row_ == kSlowOpensToReadAhead) StartThreads();
  }
  return slots_[slot];
}

void ReadAhead::Work() {
  std::string path;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    while (!ending_ && (claimed_ == files_.size() || claimed_ >= taken_ + slots_.size())) {
      ++idle_;
      work_.wait(lock);
      --idle_;
    }
    if (ending_) return;
    const std::size_t i = claimed_++;
    lock.unlock();
    const std::size_t slot = i % slots_.size();
    slots_[slot].Fetch(fs_, PathOf(i, &path), block_size_);
    lock.lock();
    ready_[slot] = true;
    if (run_waits_) fetched_.notify_one();
  }
}

}  // namespace tallyx::convert
