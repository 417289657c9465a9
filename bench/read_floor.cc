// The read floor: the least any conversion of a directory has to do. Lists the directory, and
// for each ordinary file whose name matches the pattern opens it, reads its first 4 KiB and
// closes it. Prints the number of files read.
//
// Usage: bench-read-floor DIR PATTERN
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench-read-floor DIR PATTERN\n");
    return 64;
  }
  DIR* d = ::opendir(argv[1]);
  if (d == nullptr) return 1;
  const int dfd = ::dirfd(d);
  static char buf[4096];
  long count = 0;
  while (const dirent* e = ::readdir(d)) {
    if (e->d_name[0] == '.' || e->d_type != DT_REG) continue;
    if (::fnmatch(argv[2], e->d_name, FNM_CASEFOLD) != 0) continue;
    const int fd = ::openat(dfd, e->d_name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 1;
    if (::read(fd, buf, sizeof buf) < 0) return 1;
    ::close(fd);
    ++count;
  }
  ::closedir(d);
  std::printf("%ld\n", count);
  return 0;
}
