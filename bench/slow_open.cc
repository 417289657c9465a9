// Preloaded into a program (LD_PRELOAD), delays each open of a file whose path begins with
// $BENCH_SLOW_OPEN_DIR by $BENCH_SLOW_OPEN_US microseconds (default 1000) in the system's own
// open call, the way a network share or a virus scanner delays it. Other opens pass at once.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <thread>

namespace {

void MaybeWait(const char* path) {
  static const char* const dir = getenv("BENCH_SLOW_OPEN_DIR");
  static const long us = getenv("BENCH_SLOW_OPEN_US") ? atol(getenv("BENCH_SLOW_OPEN_US")) : 1000;
  if (dir == nullptr || *dir == '\0' || path == nullptr || strncmp(path, dir, strlen(dir)) != 0) {
    return;
  }
  std::this_thread::sleep_for(std::chrono::microseconds(us));
}

mode_t ModeOf(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

template <typename Open>
Open Next(const char* name) {
  return reinterpret_cast<Open>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  MaybeWait(path);
  static const auto next = Next<int (*)(const char*, int, ...)>("open");
  return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  MaybeWait(path);
  static const auto next = Next<int (*)(const char*, int, ...)>("open64");
  return next(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  MaybeWait(path);
  static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
  return next(dir, path, flags, mode);
}

int __open_2(const char* path, int flags) {
  MaybeWait(path);
  static const auto next = Next<int (*)(const char*, int)>("__open_2");
  return next(path, flags);
}

int __open64_2(const char* path, int flags) {
  MaybeWait(path);
  static const auto next = Next<int (*)(const char*, int)>("__open64_2");
  return next(path, flags);
}

}  // extern "C"
