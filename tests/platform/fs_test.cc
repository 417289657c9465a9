// The file system as the conversion sees it, on every build.
#include "platform/fs.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/workdir.h"

namespace tallyx::platform {
namespace {

using testing::WorkDir;

FileSystem& fs = RealFileSystem();

std::vector<std::string> Names(const FileList& list) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < list.size(); ++i) names.emplace_back(list.name(i));
  return names;
}

TEST(FsTest, ListsMatchingOrdinaryFilesInNtfsOrder) {
  WorkDir work;
  for (const char* name : {"brawn_002.TXT", "Brawn_010.txt", "BRAWN_001.TXT", "Brawn_測定.txt",
                           "Brawn_003.csv", "Other_004.txt", "Brawn_005.txt"}) {
    work.Write(name, "x");
  }
  work.MakeDir("Brawn_dir.txt");
  testing::HideFile(work / "Brawn_005.txt");

  FileList list;
  ASSERT_TRUE(fs.ListMatchingFiles(work.path(), "Brawn_*.txt", &list));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"BRAWN_001.TXT", "brawn_002.TXT",
                                                   "Brawn_010.txt", "Brawn_測定.txt"}));

  ASSERT_TRUE(fs.ListMatchingFiles(work.path(), "*5.txt", &list));
  EXPECT_EQ(list.size(), 0u) << "the hidden file is skipped";

  // A separator in the pattern moves into the directory part.
  ASSERT_TRUE(
      fs.ListMatchingFiles(work.path(), std::string("Brawn_dir.txt") + kSeparator + "*", &list));
  EXPECT_EQ(list.size(), 0u);
  EXPECT_EQ(list.directory(), work / "Brawn_dir.txt" + kSeparator);
  EXPECT_FALSE(fs.ListMatchingFiles(work / "missing" + kSeparator, "*", &list));
}

TEST(FsTest, IdentifiesFilesWhateverTheSpelling) {
  WorkDir work;
  work.MakeDir("in");
  work.Write("in/Brawn_001.txt", "a");
  work.Write("in/Brawn_002.txt", "b");
  FileList list;
  ASSERT_TRUE(fs.ListMatchingFiles(work / "in" + kSeparator, "*.txt", &list));

  const std::string dotted = work / "in" + kSeparator + "." + kSeparator + "Brawn_001.txt";
  const auto id = fs.IdentityOf(dotted);
  ASSERT_TRUE(id.has_value());
  EXPECT_TRUE(list.Contains(*id));
  EXPECT_EQ(fs.IdentityOf(work / "in/Brawn_001.txt"), id);
  EXPECT_NE(fs.IdentityOf(work / "in/Brawn_002.txt"), id);
  EXPECT_FALSE(fs.IdentityOf(work / "in/missing.txt").has_value());
  if (kSeparator == '\\') {
    EXPECT_EQ(fs.IdentityOf(work / "IN/BRAWN_001.TXT"), id);  // names compare without case
  }
}

TEST(FsTest, WritesReadsAndReplacesFilesWithJapaneseNames) {
  WorkDir work;
  const std::string path = work / "出力.csv";
  const std::string bytes = "a,b\r\n\x82\xA0\r\n";
  {
    const std::unique_ptr<OutputFile> out = fs.CreateOutput(path);
    ASSERT_TRUE(out != nullptr);
    ASSERT_TRUE(out->Write(bytes.data(), bytes.size()));
    ASSERT_TRUE(out->Flush());
    ASSERT_TRUE(out->Close());
  }
  EXPECT_EQ(work.Read("出力.csv"), bytes);

  const std::unique_ptr<InputFile> in = fs.OpenInput(path);
  ASSERT_TRUE(in != nullptr);
  char buf[64];
  EXPECT_EQ(in->Read(buf, sizeof buf), static_cast<std::ptrdiff_t>(bytes.size()));
  EXPECT_EQ(in->Read(buf, sizeof buf), 0);
  EXPECT_TRUE(in->Close());
  EXPECT_EQ(fs.OpenInput(work.path()), nullptr);  // a directory is no input file

  // Creating empties an existing file, also a hidden one.
  const std::string hidden = testing::HideFile(path);
  const std::unique_ptr<OutputFile> again = fs.CreateOutput(hidden);
  ASSERT_TRUE(again != nullptr);
  ASSERT_TRUE(again->Close());
  EXPECT_EQ(testing::ReadFile(hidden), "");

  work.Write("new.ini$", "new");
  work.Write("old.ini", "old");
  ASSERT_TRUE(fs.ReplaceFile(work / "new.ini$", work / "old.ini"));
  EXPECT_EQ(work.Read("old.ini"), "new");
  EXPECT_FALSE(work.Exists("new.ini$"));
  EXPECT_TRUE(fs.RemoveFile(work / "old.ini"));
  EXPECT_FALSE(fs.PathExists(work / "old.ini"));
  EXPECT_TRUE(fs.IsDirectory(work.path()));
}

TEST(FsTest, ReadsEnvironmentVariablesAsUtf8) {
  testing::SetEnv("TALLYX_TEST_TEMP", "C:\\一時");
  EXPECT_EQ(RealSystem().GetEnv("TALLYX_TEST_TEMP"), "C:\\一時");
  testing::UnsetEnv("TALLYX_TEST_TEMP");
  EXPECT_EQ(RealSystem().GetEnv("TALLYX_TEST_TEMP"), "");
}

}  // namespace
}  // namespace tallyx::platform
