#include "settings/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/fs.h"
#include "platform/system.h"
#include "support/faulty_fs.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx::settings {
namespace {

using tallyx::testing::Sjis;
using tallyx::testing::WorkDir;

// The defaults below are the Windows texts, which every system gives when "HOME" names no place;
// this test program runs without it. The places under HOME are checked on their own.
class WithoutHome : public ::testing::Environment {
  void SetUp() override { tallyx::testing::UnsetEnv("HOME"); }
};
[[maybe_unused]] ::testing::Environment* const kWithoutHome =
    ::testing::AddGlobalTestEnvironment(new WithoutHome);

TEST(DefaultPlacesTest, LieUnderHomeWhereTheSystemPutsThemThere) {
  const struct {
    const char* home;
    bool under_home;
    std::string first_entry, output;
  } cases[] = {
      {"/home/staff", true, "/home/staff/Kyrova/BrawnResults    (筋力測定 )",
       "/home/staff/Kyrova/Sample1.csv"},
      {"/home/staff//", true, "/home/staff/Kyrova/BrawnResults    (筋力測定 )",
       "/home/staff/Kyrova/Sample1.csv"},
      {"/", true, "/Kyrova/BrawnResults    (筋力測定 )", "/Kyrova/Sample1.csv"},
      {"home/staff", true, "C:\\Kyrova\\BrawnResults    (筋力測定 )", "C:\\Kyrova\\Sample1.csv"},
      {"", true, "C:\\Kyrova\\BrawnResults    (筋力測定 )", "C:\\Kyrova\\Sample1.csv"},
      {"/home/staff", false, "C:\\Kyrova\\BrawnResults    (筋力測定 )", "C:\\Kyrova\\Sample1.csv"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.home) + (c.under_home ? " under home" : ""));
    const DefaultPlaces places = DefaultPlacesFrom(
        [&](const char* name) { return name == std::string("HOME") ? c.home : ""; }, c.under_home);
    EXPECT_EQ(places.directory_entries[0], c.first_entry);
    EXPECT_EQ(places.output, c.output);
  }
  // Each entry keeps its comment and the blanks before it, so that the "(" stay in one column.
  const DefaultPlaces home = DefaultPlacesFrom([](const char*) { return std::string("/h"); }, true);
  EXPECT_EQ(home.directory_entries[1], "/h/Kyrova/IsoMetricResults(ｱｲｿﾒﾄﾘｯｸ )");
  EXPECT_EQ(home.directory_entries[3], "/h/Kyrova/ExerciseResults (運動結果 )");
}

platform::System& real_system = platform::RealSystem();
platform::FileSystem& real_fs = real_system.files();

// What "初期値" shows, from the process's environment (which has no HOME).
Settings Defaults() { return DefaultSettings(DefaultPlacesOf(real_system)); }

constexpr const char* kDefaultPath = "C:\\Kyrova\\BrawnResults    (筋力測定 )";
constexpr const char* kDefaultFilter = "Brawn_*.txt     (筋力測定 )";
const std::string kDefaultOptcode = std::to_string(model::kDefaultMask);

std::string AsText(const Settings& s) {
  return std::to_string(model::NumberOf(s.mode)) + "|" + std::to_string(s.optcode) + "|" + s.path +
         "|" + s.filter + "|" + s.output;
}

std::string AsText(const std::vector<IniFailure>& failures) {
  std::string text;
  for (const IniFailure& f : failures)
    text += std::to_string(model::NumberOf(f.err_no)) + ":" + f.name + ";";
  return text;
}

TEST(SettingsFileTest, LiesInTempOrElseInTheUsersConfigDirectory) {
  const std::string sep(1, platform::kSeparator);
  const struct {
    const char *temp, *xdg, *home;  // empty: unset or empty
    bool user_config_home;
    std::string path, make_below;
  } cases[] = {
      {"C:\\TEMP", "/x/cfg", "/home/u", false, "C:\\TEMP" + sep + "Tallyx.ini", ""},
      {"", "/x/cfg", "/home/u", false, "Tallyx.ini", ""},
      {"/t", "/x/cfg", "/home/u", true, "/t" + sep + "Tallyx.ini", ""},
      {"", "/x/cfg", "/home/u", true, "/x/cfg/tallyx/Tallyx.ini", "/"},
      {"", "/x/cfg/", "", true, "/x/cfg/tallyx/Tallyx.ini", "/"},
      {"", "", "/home/u", true, "/home/u/.config/tallyx/Tallyx.ini", "/home/u"},
      {"", "x/cfg", "/home/u/", true, "/home/u/.config/tallyx/Tallyx.ini", "/home/u/"},
      {"", "x/cfg", "home/u", true, "Tallyx.ini", ""},
      {"", "", "", true, "Tallyx.ini", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.temp) + "|" + c.xdg + "|" + c.home + "|" +
                 (c.user_config_home ? "config home" : "none"));
    // The config-home rows spell their paths with "/", as the systems that have one do.
    if (c.user_config_home && platform::kSeparator != '/') continue;
    const auto env = [&](const char* name) -> std::string {
      if (std::string(name) == "TEMP") return c.temp;
      if (std::string(name) == "XDG_CONFIG_HOME") return c.xdg;
      if (std::string(name) == "HOME") return c.home;
      return "";
    };
    const SettingsFile file = LocateSettingsFile(env, c.user_config_home);
    EXPECT_EQ(file.path, c.path);
    EXPECT_EQ(file.make_below, c.make_below);
  }
}

TEST(SettingsFileTest, TheCopyLiesInAppData) {
  const std::string sep(1, platform::kSeparator);
  const std::string app = sep == "/" ? "/home/u/ad" : "C:\\Users\\u\\ad";
  const struct {
    std::string appdata;
    bool settings_copy;
    std::string copy;
  } cases[] = {
      {app, true, app + sep + "Tallyx" + sep + "Tallyx.ini"},
      {app + sep, true, app + sep + "Tallyx" + sep + "Tallyx.ini"},
      {"ad", true, ""},
      {"", true, ""},
      {app, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.appdata + (c.settings_copy ? " copy" : " no copy"));
    const auto env = [&](const char* name) -> std::string {
      if (std::string(name) == "APPDATA") return c.appdata;
      return std::string(name) == "TEMP" ? "t" : "";
    };
    const SettingsFile file = LocateSettingsFile(env, false, c.settings_copy);
    EXPECT_EQ(file.path, "t" + sep + "Tallyx.ini");
    EXPECT_EQ(file.copy, c.copy);
    EXPECT_EQ(file.copy_make_below, c.copy.empty() ? "" : c.appdata);
  }
}

TEST(LoadSettingsTest, TakesEachKeysValueOrDefault) {
  const std::string defaults = "0|" + kDefaultOptcode + "|" + kDefaultPath + "|" + kDefaultFilter +
                               "|C:\\Kyrova\\Sample1.csv";
  const struct {
    const char* name;
    std::optional<std::string> file;  // UTF-8, stored as CP932; none: no file
    std::string want;                 // mode|optcode|path|filter|output
  } cases[] = {
      {"no file", std::nullopt, defaults},
      {"no section", "[OTHER]\r\nMODE = 2\r\n", defaults},
      {"all -1",
       "[SYSTEM]\r\nMODE = -1\r\nOPTCODE = -1\r\nPATH = -1\r\nFILTER = -1\r\nOUTPUT = -1\r\n",
       defaults},
      {"all stored",
       "[SYSTEM]\r\nMODE = 3\r\nOPTCODE = -5\r\nPATH = D:\\測定   (x)\r\nFILTER = *.txt\r\n"
       "OUTPUT = \r\n",
       "3|-5|D:\\測定   (x)|*.txt|"},
      {"not numbers", "[SYSTEM]\r\nMODE = x\r\nOPTCODE = abc\r\n",
       std::string("0|0|") + kDefaultPath + "|" + kDefaultFilter + "|C:\\Kyrova\\Sample1.csv"},
      {"numbers rounded half to even", "[SYSTEM]\r\nMODE = 2.5\r\nOPTCODE = 3.5x\r\n",
       std::string("2|4|") + kDefaultPath + "|" + kDefaultFilter + "|C:\\Kyrova\\Sample1.csv"},
      {"leading number", "[SYSTEM]\r\nMODE = 1abc\r\nOPTCODE = 12 34\r\n",
       std::string("1|12|") + kDefaultPath + "|" + kDefaultFilter + "|C:\\Kyrova\\Sample1.csv"},
      {"extremes in range", "[SYSTEM]\r\nMODE = 3.4\r\nOPTCODE = -2147483648\r\n",
       std::string("3|-2147483648|") + kDefaultPath + "|" + kDefaultFilter +
           "|C:\\Kyrova\\Sample1.csv"},
      {"out of range", "[SYSTEM]\r\nMODE = 4\r\nOPTCODE = 2147483648\r\nOUTPUT = o\r\n",
       "0|" + kDefaultOptcode + "|" + kDefaultPath + "|" + kDefaultFilter + "|o"},
      {"out of range after rounding", "[SYSTEM]\r\nMODE = 3.5\r\nOPTCODE = 1e999\r\n", defaults},
      {"out of range below", "[SYSTEM]\r\nMODE = -2\r\nOPTCODE = -2147483649\r\n", defaults},
      {"mode out of 16 bits", "[SYSTEM]\r\nMODE = 65537\r\nOPTCODE = 1e10\r\n", defaults},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WorkDir w;
    if (c.file) w.Write("a.ini", Sjis(*c.file));
    EXPECT_EQ(AsText(LoadSettings(w / "a.ini", real_system)), c.want);
  }
}

TEST(LoadSettingsTest, TheCopyStandsInForAMissingFile) {
  const std::string defaults = "0|" + kDefaultOptcode + "|" + kDefaultPath + "|" + kDefaultFilter +
                               "|C:\\Kyrova\\Sample1.csv";
  const std::string in_file = "[SYSTEM]\r\nMODE = 1\r\nOUTPUT = f.csv\r\n";
  const std::string in_copy = "[SYSTEM]\r\nMODE = 2\r\nOUTPUT = c.csv\r\n";
  const struct {
    bool file, copy;
    std::string want;
  } cases[] = {
      {true, true, "1|" + kDefaultOptcode + "|" + kDefaultPath + "|" + kDefaultFilter + "|f.csv"},
      {false, true, "2|" + kDefaultOptcode + "|" + kDefaultPath + "|" + kDefaultFilter + "|c.csv"},
      {false, false, defaults},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file ? "file" : "no file") + (c.copy ? ", copy" : ""));
    WorkDir w;
    if (c.file) w.Write("Tallyx.ini", in_file);
    if (c.copy) w.Write("copy.ini", in_copy);
    EXPECT_EQ(
        AsText(LoadSettings(SettingsFile{w / "Tallyx.ini", "", w / "copy.ini", ""}, real_system)),
        c.want);
  }
}

TEST(SaveSettingsTest, AFirstExitWritesTheSixLines) {
  WorkDir w;
  EXPECT_EQ(AsText(SaveSettings(SettingsFile{w / "Tallyx.ini", ""}, Defaults(), {}, real_fs)), "");
  EXPECT_EQ(w.Read("Tallyx.ini"),
            Sjis("[SYSTEM]\r\nMODE = 0\r\nOPTCODE = " + kDefaultOptcode +
                 "\r\nPATH = C:\\Kyrova\\BrawnResults    (筋力測定 )\r\nFILTER = Brawn_*.txt     "
                 "(筋力測定 )\r\nOUTPUT = C:\\Kyrova\\Sample1.csv\r\n"));
  EXPECT_EQ(w.List(), std::vector<std::string>{"Tallyx.ini"});
}

TEST(SaveSettingsTest, InitialValuesKeepTheMaskAndReachTheFileAtExit) {
  WorkDir w;
  const std::string before =
      "[SYSTEM]\r\nMODE = 3\r\nOPTCODE = 7\r\nPATH = D:\\p\r\nFILTER = E*.txt\r\n"
      "OUTPUT = D:\\o.csv\r\n[OTHER]\r\nMODE = 9\r\n";
  w.Write("a.ini", before);
  const std::int32_t mask_in_force = LoadSettings(w / "a.ini", real_system).optcode;
  Settings shown = Defaults();  // what "初期値" shows; the mask stays
  shown.optcode = mask_in_force;
  EXPECT_EQ(AsText(SaveSettings(SettingsFile{w / "a.ini", ""}, shown, {}, real_fs)), "");
  EXPECT_EQ(w.Read("a.ini"),
            Sjis(std::string("[SYSTEM]\r\nMODE = 0\r\nOPTCODE = 7\r\nPATH = ") + kDefaultPath +
                 "\r\nFILTER = " + kDefaultFilter +
                 "\r\nOUTPUT = C:\\Kyrova\\Sample1.csv\r\n[OTHER]\r\nMODE = 9\r\n"));
}

TEST(SaveSettingsTest, SavedValuesLoadBackUnchanged) {
  WorkDir w;
  Settings s;
  s.mode = model::Mode::kInitialRehabilitation;
  s.optcode = -2147483647;
  s.path = "E:\\結果 = 1   (初期リハ )";
  s.filter = "Beginning*.txt  (初期リハ )";
  s.output = "E:\\出力\\ソー表.csv";
  w.Write("a.ini", "stray line\r\n[SYSTEM]\r\nPATHX = 1\r\n");
  EXPECT_EQ(AsText(SaveSettings(SettingsFile{w / "a.ini", ""}, s, {}, real_fs)), "");
  EXPECT_EQ(AsText(LoadSettings(w / "a.ini", real_system)), AsText(s));
}

TEST(SaveSettingsTest, EveryWriteIsTriedAndEachFailureReported) {
  WorkDir w;
  const std::string nowhere = w / "none/a.ini";
  const std::string five = "30:" + nowhere + ";";
  EXPECT_EQ(AsText(SaveSettings(SettingsFile{nowhere, ""}, Defaults(), {}, real_fs)),
            five + five + five + five + five);

  // The first write fails; the other four still reach the file.
  tallyx::testing::FaultyFileSystem fs;
  fs.FailCall(1);
  EXPECT_EQ(AsText(SaveSettings(SettingsFile{w / "a.ini", ""}, Defaults(), {}, fs)),
            "30:" + (w / "a.ini") + ";");
  EXPECT_EQ(w.Read("a.ini"),
            Sjis("[SYSTEM]\r\nOPTCODE = " + kDefaultOptcode + "\r\nPATH = " + kDefaultPath +
                 "\r\nFILTER = " + kDefaultFilter + "\r\nOUTPUT = C:\\Kyrova\\Sample1.csv\r\n"));
}

TEST(SaveSettingsTest, MakesOnlyTheDirectoriesItMayMake) {
  const struct {
    const char* name;
    const char* file;        // in the work directory, which holds a file "plain"
    const char* make_below;  // in the work directory; null: nothing may be made
    bool saved;
  } cases[] = {
      {"config home and its directory made", "cfg/tallyx/Tallyx.ini", "", true},
      {"the directory a temp names is never made", "temp/Tallyx.ini", nullptr, false},
      {"nothing made at or above the home", "home/.config/tallyx/Tallyx.ini", "home", false},
      {"a file in the way", "plain/tallyx/Tallyx.ini", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WorkDir w;
    w.Write("plain", "x");
    const SettingsFile file{w / c.file, c.make_below ? w / c.make_below : ""};
    const std::string failure = "30:" + file.path + ";";
    EXPECT_EQ(AsText(SaveSettings(file, Defaults(), {}, real_fs)),
              c.saved ? "" : failure + failure + failure + failure + failure);
    EXPECT_EQ(real_fs.PathExists(file.path), c.saved);
    if (!c.saved) {
      EXPECT_EQ(w.List(), std::vector<std::string>{"plain"});
    }
  }
}

TEST(SaveSettingsTest, EverySaveWritesTheCopyToo) {
  const std::string six =
      Sjis("[SYSTEM]\r\nMODE = 0\r\nOPTCODE = " + kDefaultOptcode +
           "\r\nPATH = C:\\Kyrova\\BrawnResults    (筋力測定 )\r\nFILTER = Brawn_*.txt     "
           "(筋力測定 )\r\nOUTPUT = C:\\Kyrova\\Sample1.csv\r\n");
  const std::string kept = "[OTHER]\r\nX = 1\r\n";
  const struct {
    const char* name;
    std::optional<std::string> file, copy;  // before the save; none: no file
    bool temp_dir;                          // the settings file's directory exists
    std::string want_file, want_copy;       // none: no file
  } cases[] = {
      {"a first save", std::nullopt, std::nullopt, true, six, six},
      {"the copy follows the file", kept, "[SYSTEM]\r\nMODE = 3\r\n", true, kept + six, kept + six},
      {"the settings file's directory is gone", std::nullopt, kept, false, "", kept + six},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WorkDir w;
    if (c.temp_dir) w.MakeDir("temp");
    if (c.file) w.Write("temp/Tallyx.ini", *c.file);
    w.MakeDir(c.copy ? "ad/Tallyx" : "ad");
    if (c.copy) w.Write("ad/Tallyx/Tallyx.ini", *c.copy);
    const SettingsFile file{w / "temp/Tallyx.ini", "", w / "ad/Tallyx/Tallyx.ini", w / "ad"};
    const std::string failure = "30:" + file.path + ";";
    EXPECT_EQ(AsText(SaveSettings(file, Defaults(), {}, real_fs)),
              c.temp_dir ? "" : failure + failure + failure + failure + failure);
    if (c.temp_dir) {
      EXPECT_EQ(w.Read("temp/Tallyx.ini"), c.want_file);
    }
    EXPECT_EQ(w.Read("ad/Tallyx/Tallyx.ini"), c.want_copy);
    EXPECT_EQ(w.List("ad/Tallyx"), std::vector<std::string>{"Tallyx.ini"});
  }
}

// Whatever call of the copy fails, the save answers and writes what it would without a copy,
// and the copy is its old content or the new one, whole.
TEST(SaveSettingsTest, ACopyThatCannotBeWrittenChangesNothingShown) {
  WorkDir w;
  const std::string old_copy = "[SYSTEM]\r\nMODE = 3\r\n";
  w.MakeDir("temp");
  w.MakeDir("ad/Tallyx");
  w.Write("temp/Tallyx.ini", "");
  const SettingsFile plain{w / "temp/Tallyx.ini", ""};
  const SettingsFile file{plain.path, "", w / "ad/Tallyx/Tallyx.ini", w / "ad"};
  tallyx::testing::FaultyFileSystem fs;
  ASSERT_EQ(AsText(SaveSettings(plain, Defaults(), {}, fs)), "");
  const long save_calls = fs.CallCount();
  const std::string saved = w.Read("temp/Tallyx.ini");
  w.Write("ad/Tallyx/Tallyx.ini", old_copy);
  fs.Reset();
  ASSERT_EQ(AsText(SaveSettings(file, Defaults(), {}, fs)), "");
  const long all_calls = fs.CallCount();
  ASSERT_GT(all_calls, save_calls);
  for (long n = save_calls + 1; n <= all_calls; ++n) {
    SCOPED_TRACE("call " + std::to_string(n));
    w.Write("temp/Tallyx.ini", "");
    w.Write("ad/Tallyx/Tallyx.ini", old_copy);
    fs.Reset();
    fs.FailCall(n);
    bool reported = false;
    EXPECT_EQ(AsText(SaveSettings(
                  file, Defaults(), [&](const IniFailure&) { reported = true; }, fs)),
              "");
    EXPECT_FALSE(reported);
    EXPECT_EQ(fs.OpenHandles(), 0);
    EXPECT_EQ(w.Read("temp/Tallyx.ini"), saved);
    const std::string copy = w.Read("ad/Tallyx/Tallyx.ini");
    EXPECT_TRUE(copy == old_copy || copy == saved) << copy;
    if (fs.Trace()[static_cast<std::size_t>(n - 1)].call != tallyx::testing::FsCall::kRemove) {
      EXPECT_EQ(w.List("ad/Tallyx"), std::vector<std::string>{"Tallyx.ini"});
    }
  }
}

}  // namespace
}  // namespace tallyx::settings
