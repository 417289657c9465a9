// The Windows file calls with paths longer than 260 characters.
#include <gtest/gtest.h>

#include <memory>

#include "platform/fs.h"
#include "platform/utf16.h"
#include "support/workdir.h"

// After the program's headers: <windows.h> names its own ReplaceFile, which is undone here.
#include <windows.h>
#undef ReplaceFile

namespace tallyx::platform {
namespace {

using testing::WorkDir;

TEST(FsWinTest, LongPathsTakeTheirLongForm) {
  const std::string dirs = std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\";
  struct Case {
    std::string path;
    std::wstring expected;
  };
  const Case cases[] = {
      {"C:\\data\\out.csv", L"C:\\data\\out.csv"},
      {"C:\\" + dirs + "out.csv", ToUtf16("\\\\?\\C:\\" + dirs + "out.csv")},
      // "/" and "." resolved first: the long form takes the path as it stands.
      {"C:/" + dirs + "./x/../out.csv", ToUtf16("\\\\?\\C:\\" + dirs + "out.csv")},
      {"\\\\server\\share\\" + dirs + "out.csv",
       ToUtf16("\\\\?\\UNC\\server\\share\\" + dirs + "out.csv")},
      {"\\\\?\\C:\\" + dirs + "out.csv", ToUtf16("\\\\?\\C:\\" + dirs + "out.csv")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FilePath(c.path), c.expected);
  }
}

TEST(FsWinTest, WorksInADirectoryBeyond260Characters) {
  WorkDir work;
  std::string dir = work.path();
  while (dir.size() < 300) {
    dir += std::string(50, 'd') + "\\";
    ASSERT_TRUE(::CreateDirectoryW(LongPathForm(ToUtf16(dir)).c_str(), nullptr)) << dir;
  }
  const std::string path = dir + "Brawn_001.txt";
  FileSystem& fs = RealFileSystem();
  const std::unique_ptr<OutputFile> out = fs.CreateOutput(path);
  ASSERT_TRUE(out != nullptr);
  ASSERT_TRUE(out->Write("x", 1));
  ASSERT_TRUE(out->Close());
  FileList list;
  ASSERT_TRUE(fs.ListMatchingFiles(dir, "Brawn_*.txt", &list));
  ASSERT_EQ(list.size(), 1u);
  const std::optional<FileId> id = fs.IdentityOf(path);
  ASSERT_TRUE(id.has_value());
  EXPECT_TRUE(list.Contains(*id));
  const std::unique_ptr<InputFile> in = fs.OpenInput(path);
  ASSERT_TRUE(in != nullptr);
  char c = 0;
  EXPECT_EQ(in->Read(&c, 1), 1);
  EXPECT_TRUE(in->Close());
  EXPECT_TRUE(fs.ReplaceFile(path, dir + "moved.txt"));
  EXPECT_TRUE(fs.PathExists(dir + "moved.txt"));
  EXPECT_TRUE(fs.RemoveFile(dir + "moved.txt"));
  EXPECT_TRUE(fs.IsDirectory(dir));
  // The work directory's own clean-up goes through std::filesystem, which takes long paths too.
}

}  // namespace
}  // namespace tallyx::platform
