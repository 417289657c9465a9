#include "settings/ini.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "model/messages.h"
#include "support/faulty_fs.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx::settings {
namespace {

using tallyx::testing::Sjis;
using tallyx::testing::WorkDir;

platform::FileSystem& real_fs = platform::RealFileSystem();

// Changes permission bits where the file exists; a missing one is left as it is.
void SetPermissions(const std::string& path, std::filesystem::perms perms) {
  std::error_code ignored;
  std::filesystem::permissions(path, perms, ignored);
}

// A first line whose CR is the last byte of the store's first 4096-byte read, its LF the first
// of the next: the line end must not be split into two.
std::string LineEndAcrossReads() { return "[SYSTEM]\r\nPATH = " + std::string(4078, 'x') + "\r\n"; }

struct ReadCase {
  const char* name;
  std::string file;  // UTF-8, stored as CP932
  const char* key;
  std::string want;
};

TEST(ReadIniTest, FindsTheValueOfTheKeyInItsSection) {
  const ReadCase cases[] = {
      {"no blanks", "[SYSTEM]\r\nMODE=2\r\n", "MODE", "2"},
      {"many blanks", "[SYSTEM]\r\n   MODE   =   2   \r\n", "MODE", "2"},
      {"empty value", "[SYSTEM]\r\nOUTPUT = \r\n", "OUTPUT", ""},
      {"value holds =", "[SYSTEM]\r\nPATH = a=b\r\n", "PATH", "a=b"},
      {"stored -1", "[SYSTEM]\r\nMODE = -1\r\n", "MODE", "-1"},
      {"prefix key first", "[SYSTEM]\r\nPATHX = 1\r\nPATH = 2\r\n", "PATH", "1"},
      {"no = on the line", "[SYSTEM]\r\n  MODE  \r\n", "MODE", "MODE"},
      {"lower-case header", "[system]\r\nMODE = 1\r\n", "MODE", "-1"},
      {"blanks inside header", "[ SYSTEM ]\r\nMODE = 1\r\n", "MODE", "-1"},
      {"blanks around header", "   [SYSTEM]  \r\nMODE = 1\r\n", "MODE", "1"},
      {"key before any header", "MODE = 1\r\n[SYSTEM]\r\nPATH = p\r\n", "MODE", "-1"},
      {"key in another section", "[OTHER]\r\nMODE = 1\r\n[SYSTEM]\r\n", "MODE", "-1"},
      {"section ends at [", "[SYSTEM]\r\n[OTHER]\r\nMODE = 1\r\n", "MODE", "-1"},
      {"repeated section", "[SYSTEM]\r\nPATH = p\r\n[X]\r\n[SYSTEM]\r\nMODE = 3\r\n", "MODE", "-1"},
      {"header right after header", "[SYSTEM]\r\n[SYSTEM]\r\nMODE = 3\r\n", "MODE", "3"},
      {"blank lines, no last line end", "[SYSTEM]\r\n\r\n   \r\nMODE = 2", "MODE", "2"},
      {"lone CR ends a line", "[SYSTEM]\rMODE = 2\r", "MODE", "2"},
      {"lone LF does not", "[SYSTEM]\nMODE = 2\r\n", "MODE", "-1"},
      {"tab is no blank", "[SYSTEM]\r\n\tMODE = 2\r\n", "MODE", "-1"},
      {"trailing tab kept", "[SYSTEM]\r\nMODE = 2\t\r\n", "MODE", "2\t"},
      {"two-byte characters", "[SYSTEM]\r\nPATH =  C:\\ソー表\\十  \r\n", "PATH", "C:\\ソー表\\十"},
      {"line end across reads", LineEndAcrossReads() + "MODE = 2\r\n", "MODE", "2"},
      {"long value", LineEndAcrossReads(), "PATH", std::string(4078, 'x')},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    WorkDir w;
    w.Write("a.ini", Sjis(c.file));
    EXPECT_EQ(ReadIni(w / "a.ini", "SYSTEM", c.key, real_fs), c.want);
  }
}

TEST(ReadIniTest, AMissingOrUnreadableFileIsMissing) {
  WorkDir w;
  EXPECT_EQ(ReadIni(w / "none.ini", "SYSTEM", "MODE", real_fs), "-1");
  EXPECT_TRUE(w.List().empty());  // nothing created
  w.MakeDir("dir.ini");
  EXPECT_EQ(ReadIni(w / "dir.ini", "SYSTEM", "MODE", real_fs), "-1");

  w.Write("a.ini", "[SYSTEM]\r\nMODE = 2\r\n");
  if (tallyx::testing::PermissionsAreEnforced()) {
    SetPermissions(w / "a.ini", std::filesystem::perms::none);
    EXPECT_EQ(ReadIni(w / "a.ini", "SYSTEM", "MODE", real_fs), "-1");
    SetPermissions(w / "a.ini", std::filesystem::perms(0644));
  }
  // Each call of the read failing in turn: the key or "-1", and nothing left open.
  tallyx::testing::FaultyFileSystem fs;
  ASSERT_EQ(ReadIni(w / "a.ini", "SYSTEM", "MODE", fs), "2");
  const long calls = fs.CallCount();
  for (long n = 1; n <= calls; ++n) {
    SCOPED_TRACE(n);
    fs.Reset();
    fs.FailCall(n);
    const std::string got = ReadIni(w / "a.ini", "SYSTEM", "MODE", fs);
    EXPECT_TRUE(got == "2" || got == "-1") << got;
    EXPECT_EQ(fs.OpenHandles(), 0);
  }
}

// A failed write as the window reports it when it saves the settings.
std::string AsText(const std::optional<IniFailure>& f) {
  return f ? model::MessagePrompt(f->err_no, f->name, "") : "none";
}
std::string NotWritten(const std::string& file) {
  return "Error 30：ファイル('" + file + "')を作成できません";
}
std::string NotReplaced(const std::string& file) {
  return "Error 31：ファイル('" + file + "')を変更できません";
}

struct WriteCase {
  const char* name;
  std::optional<std::string> before;  // UTF-8, stored as CP932; none: no file
  const char* key;
  std::string value;
  std::string after;
};

std::string Trimmed(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

TEST(WriteIniTest, RewritesTheFileByteForByte) {
  const WriteCase cases[] = {
      {"new file", std::nullopt, "MODE", "2", "[SYSTEM]\r\nMODE = 2\r\n"},
      {"empty file", "", "MODE", "2", "[SYSTEM]\r\nMODE = 2\r\n"},
      {"value trimmed", std::nullopt, "PATH", "  C:\\Data  ", "[SYSTEM]\r\nPATH = C:\\Data\r\n"},
      {"empty value", std::nullopt, "OUTPUT", "", "[SYSTEM]\r\nOUTPUT = \r\n"},
      {"Japanese value", std::nullopt, "PATH", "C:\\Kyrova\\BrawnResults    (筋力測定 )",
       "[SYSTEM]\r\nPATH = C:\\Kyrova\\BrawnResults    (筋力測定 )\r\n"},
      {"key replaced", "[SYSTEM]\r\nMODE = 1\r\nPATH = p\r\n", "MODE", "3",
       "[SYSTEM]\r\nMODE = 3\r\nPATH = p\r\n"},
      {"prefix key replaced", "[SYSTEM]\r\nPATHX = 1\r\nPATH = 2\r\n", "PATH", "9",
       "[SYSTEM]\r\nPATH = 9\r\nPATH = 2\r\n"},
      {"only the first key line", "[SYSTEM]\r\nMODE = 1\r\n  MODE = 2\r\n", "MODE", "3",
       "[SYSTEM]\r\nMODE = 3\r\n  MODE = 2\r\n"},
      {"key appended at the end", "[SYSTEM]\r\nPATH = p", "MODE", "2",
       "[SYSTEM]\r\nPATH = p\r\nMODE = 2\r\n"},
      {"lower-case header", "[system]\r\nMODE = 1\r\n", "MODE", "2",
       "[system]\r\nMODE = 1\r\n[SYSTEM]\r\nMODE = 2\r\n"},
      {"blanks inside header", "[ SYSTEM ]\r\nMODE = 1\r\n", "MODE", "2",
       "[ SYSTEM ]\r\nMODE = 1\r\n[SYSTEM]\r\nMODE = 2\r\n"},
      {"key elsewhere untouched", "MODE = 7\r\n[OTHER]\r\nMODE = 8\r\n[SYSTEM]\r\nPATH = p\r\n",
       "MODE", "2", "MODE = 7\r\n[OTHER]\r\nMODE = 8\r\n[SYSTEM]\r\nPATH = p\r\nMODE = 2\r\n"},
      {"inserted before the next section",
       "[SYSTEM]\r\nPATH = p\r\n\r\n  [OTHER]  \r\n  X = 1\r\n[SYSTEM]\r\nMODE = 1\r\n", "MODE",
       "2",
       "[SYSTEM]\r\nPATH = p\r\n\r\nMODE = 2\r\n[OTHER]\r\n  X = 1\r\n[SYSTEM]\r\nMODE = 1\r\n"},
      {"trimmed up to the key line only",
       "  ; comment  \r\n   \r\n  [SYSTEM]\r\n   PATH = p   \r\n   MODE = 1\r\n   OUTPUT = o   "
       "\r\n\r\n  [X]  \r\n",
       "MODE", "2",
       "; comment\r\n\r\n[SYSTEM]\r\nPATH = p\r\nMODE = 2\r\n   OUTPUT = o   \r\n\r\n  [X]  \r\n"},
      {"line ends made CR LF", "[OTHER]\rA = 1\r\n[SYSTEM]\rPATH = p", "MODE", "2",
       "[OTHER]\r\nA = 1\r\n[SYSTEM]\r\nPATH = p\r\nMODE = 2\r\n"},
      {"lone LF kept in its line", "[SYSTEM]\r\nMODE = 1\r\nX\nY  \r\n", "MODE", "2",
       "[SYSTEM]\r\nMODE = 2\r\nX\nY  \r\n"},
      {"two-byte characters copied", "[A]\r\nX = ソー表\r\n[SYSTEM]\r\nPATH = 十\r\nQ = 表 \r\n",
       "PATH", "十ソ", "[A]\r\nX = ソー表\r\n[SYSTEM]\r\nPATH = 十ソ\r\nQ = 表 \r\n"},
      {"line end across reads", LineEndAcrossReads() + "MODE = 1\r\n", "MODE", "2",
       LineEndAcrossReads() + "MODE = 2\r\n"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    WorkDir w;
    if (c.before) w.Write("a.ini", Sjis(*c.before));
    EXPECT_EQ(AsText(WriteIni(w / "a.ini", "SYSTEM", c.key, c.value, real_fs)), "none");
    EXPECT_EQ(w.Read("a.ini"), Sjis(c.after));
    EXPECT_FALSE(w.Exists("a.ini$"));
    EXPECT_EQ(ReadIni(w / "a.ini", "SYSTEM", c.key, real_fs), Trimmed(c.value));
  }
}

TEST(WriteIniTest, CopiesBytesThatAreNoValidText) {
  WorkDir w;
  const std::string other = "[OTHER]\r\nX = \x81\xFF\xA0\x80\r\n";
  w.Write("a.ini", other + "[SYSTEM]\r\nMODE = 1\r\n\xFD\xFE  \r\n");
  EXPECT_EQ(AsText(WriteIni(w / "a.ini", "SYSTEM", "MODE", "2", real_fs)), "none");
  EXPECT_EQ(w.Read("a.ini"), other + "[SYSTEM]\r\nMODE = 2\r\n\xFD\xFE  \r\n");
}

// Every step of a rewrite failing in turn, as if the process had died there: the settings file
// is always whole, either the old one or the new one.
TEST(WriteIniTest, AFailedStepNeverLosesTheSettings) {
  WorkDir w;
  const std::string path = w / "a.ini", temp = path + "$";
  const std::string old_file = LineEndAcrossReads() + "MODE = 1\r\n";  // takes several reads
  const std::string new_file = LineEndAcrossReads() + "MODE = 2\r\n";
  w.Write("a.ini", old_file);
  tallyx::testing::FaultyFileSystem fs;
  ASSERT_EQ(AsText(WriteIni(path, "SYSTEM", "MODE", "2", fs)), "none");
  const long calls = fs.CallCount();

  int failures = 0;
  for (long n = 1; n <= calls; ++n) {
    SCOPED_TRACE(n);
    w.Write("a.ini", old_file);
    std::remove(temp.c_str());
    fs.Reset();
    fs.FailCall(n);
    const auto r = WriteIni(path, "SYSTEM", "MODE", "2", fs);
    fs.Reset();
    EXPECT_EQ(fs.OpenHandles(), 0);
    if (!r) {  // a failure that loses nothing (closing the file read)
      EXPECT_EQ(w.Read("a.ini"), new_file);
      EXPECT_FALSE(w.Exists("a.ini$"));
      continue;
    }
    ++failures;
    EXPECT_EQ(w.Read("a.ini"), old_file);
    if (n == calls) {  // the replace: the new content waits whole in the temporary file
      EXPECT_EQ(AsText(r), NotReplaced(path));
      EXPECT_EQ(w.Read("a.ini$"), new_file);
    } else {
      EXPECT_EQ(AsText(r), NotWritten(temp));
    }
  }
  EXPECT_GE(failures, calls - 1);

  // A temporary file left behind is emptied and reused by the next write.
  w.Write("a.ini$", std::string(10000, 'z'));
  EXPECT_EQ(AsText(WriteIni(path, "SYSTEM", "MODE", "3", real_fs)), "none");
  EXPECT_EQ(w.Read("a.ini"), LineEndAcrossReads() + "MODE = 3\r\n");
  EXPECT_FALSE(w.Exists("a.ini$"));
}

TEST(WriteIniTest, ANewFileThatCannotBeWrittenNamesTheSettingsFile) {
  WorkDir w;
  const std::string path = w / "a.ini";
  tallyx::testing::FaultyFileSystem fs;
  ASSERT_EQ(AsText(WriteIni(path, "SYSTEM", "MODE", "2", fs)), "none");
  const long calls = fs.CallCount();
  for (long n = 1; n <= calls; ++n) {
    SCOPED_TRACE(n);
    std::remove(path.c_str());
    fs.Reset();
    fs.FailCall(n);
    const auto r = WriteIni(path, "SYSTEM", "MODE", "2", fs);
    fs.Reset();
    EXPECT_EQ(AsText(r), NotWritten(path));
    EXPECT_EQ(fs.OpenHandles(), 0);
    EXPECT_FALSE(w.Exists("a.ini$"));
  }
}

struct PlaceCase {
  const char* name;
  bool needs_permissions;  // root and Windows ignore them
  void (*prepare)(const WorkDir& w);
  const char* file;  // the settings file, relative to the work directory
  bool names_temp;
  enum Left { kNoFile, kOldFile, kDirectory } left;  // what stands at `file` afterwards
};

constexpr const char* kOldFile = "[SYSTEM]\r\nMODE = 1\r\n";

TEST(WriteIniTest, APlaceThatCannotBeWrittenIsReported) {
  const PlaceCase cases[] = {
      {"no such directory", false, [](const WorkDir&) {}, "none/a.ini", false, PlaceCase::kNoFile},
      {"a directory in the file's place", false, [](const WorkDir& w) { w.MakeDir("d/a.ini"); },
       "d/a.ini", true, PlaceCase::kDirectory},
      {"read-only directory, no file", true,
       [](const WorkDir& w) {
         w.MakeDir("d");
         SetPermissions(w / "d", std::filesystem::perms(0555));
       },
       "d/a.ini", false, PlaceCase::kNoFile},
      {"read-only directory", true,
       [](const WorkDir& w) {
         w.MakeDir("d");
         w.Write("d/a.ini", kOldFile);
         SetPermissions(w / "d", std::filesystem::perms(0555));
       },
       "d/a.ini", true, PlaceCase::kOldFile},
      {"unreadable file", true,
       [](const WorkDir& w) {
         w.MakeDir("d");
         w.Write("d/a.ini", kOldFile);
         SetPermissions(w / "d/a.ini", std::filesystem::perms(0200));
       },
       "d/a.ini", true, PlaceCase::kOldFile},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needs_permissions && !tallyx::testing::PermissionsAreEnforced()) continue;
    WorkDir w;
    c.prepare(w);
    const std::string path = w / c.file;
    EXPECT_EQ(AsText(WriteIni(path, "SYSTEM", "MODE", "2", real_fs)),
              NotWritten(c.names_temp ? path + "$" : path));
    EXPECT_FALSE(w.Exists(std::string(c.file) + "$"));
    SetPermissions(w / "d", std::filesystem::perms(0755));
    SetPermissions(w / "d/a.ini", std::filesystem::perms(0644));
    if (c.left == PlaceCase::kNoFile) {
      EXPECT_FALSE(w.Exists(c.file));
    } else if (c.left == PlaceCase::kOldFile) {
      EXPECT_EQ(w.Read(c.file), kOldFile);
    }
  }
}

}  // namespace
}  // namespace tallyx::settings
