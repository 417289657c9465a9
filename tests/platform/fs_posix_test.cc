// Reading FIFOs, devices and directories through InputFile: POSIX builds only.
#include "platform/fs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "support/workdir.h"

namespace tallyx::platform {
namespace {

using testing::WorkDir;

// Everything one InputFile delivers before its first failure or its end, in reads of `chunk`.
struct Delivered {
  bool opened = false;
  std::size_t bytes = 0;
  bool failed = false;
};

Delivered ReadAll(const std::string& path, bool listed, std::size_t chunk) {
  Delivered d;
  FileSystem& fs = RealFileSystem();
  const std::unique_ptr<InputFile> file = listed ? fs.OpenListedInput(path) : fs.OpenInput(path);
  d.opened = file != nullptr;
  if (!d.opened) return d;
  std::string buf(chunk, '\0');
  for (int i = 0; i < 100; ++i) {
    const std::ptrdiff_t got = file->Read(buf.data(), chunk);
    if (got < 0) {
      d.failed = true;
      break;
    }
    if (got == 0) break;
    d.bytes += static_cast<std::size_t>(got);
  }
  return d;
}

TEST(InputFile, ReadsOrdinaryFilesOnlyAndNeverBlocks) {
  WorkDir dir;
  dir.Write("small", std::string(100, 's'));
  dir.Write("large", std::string(20000, 'l'));
  dir.MakeDir("folder");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);

  for (const bool listed : {false, true}) {
    const Delivered small = ReadAll(dir / "small", listed, 4096);
    EXPECT_TRUE(small.opened && !small.failed);
    EXPECT_EQ(small.bytes, 100u);
    const Delivered large = ReadAll(dir / "large", listed, 4096);
    EXPECT_TRUE(large.opened && !large.failed);
    EXPECT_EQ(large.bytes, 20000u);

    // Not ordinary files: Open refuses them; after OpenListed they fail at the latest after
    // one full buffer. A FIFO without a writer would block a plain open or read for ever.
    for (const std::string& path : {dir / "fifo", dir / "folder", std::string("/dev/zero")}) {
      const Delivered d = ReadAll(path, listed, 4096);
      EXPECT_TRUE(listed ? !d.opened || d.failed || d.bytes == 0 : !d.opened) << path;
      EXPECT_LE(d.bytes, 4096u) << path;
    }
  }
}

}  // namespace
}  // namespace tallyx::platform
