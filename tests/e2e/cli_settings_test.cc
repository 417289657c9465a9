// tallyx-cli takes every value its command line leaves out from the settings file, as the
// window starts with them, and never writes that file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/model.h"
#include "platform/fs.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx {
namespace {

using testing::ProcessResult;
using testing::ResultFile;
using testing::RunProcess;
using testing::Sjis;
using testing::WorkDir;

const std::string kCli = TALLYX_CLI_PATH;

// Result files of two modes side by side, and a settings file that asks for the isometric mode
// with a filter that is not its own.
class CliSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w_.MakeDir("in");
    w_.Write("in/IsoMetric_1.txt", ResultFile({.mode = model::Mode::kIsometric, .seed = 1}));
    w_.Write("in/IsoMetric_2.txt", ResultFile({.mode = model::Mode::kIsometric, .seed = 2}));
    w_.Write("in/Brawn_1.txt", ResultFile({.mode = model::Mode::kMuscleStrength, .seed = 3}));
    settings_ = Sjis("[SYSTEM]\r\nMODE = 1\r\nOPTCODE = 3\r\nPATH = " + (w_ / "in") +
                     "    (ｱｲｿﾒﾄﾘｯｸ )\r\nFILTER = Brawn_*.txt\r\nOUTPUT = " + (w_ / "out.csv") +
                     "\r\n[OTHER]\r\nMODE = 0\r\n");
    w_.MakeDir("temp");
    w_.Write("temp/Tallyx.ini", settings_);
  }

  // Runs the CLI and returns its output file (removed afterwards) behind its stdout.
  std::string Run(std::vector<std::string> args, const std::string& output,
                  const std::vector<std::string>& env = {}) {
    const ProcessResult r = RunProcess(kCli, args, w_.path(), env);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    if (r.exit_code != 0 || !w_.Exists(output)) return r.out + "|no output";
    const std::string csv = w_.Read(output);
    std::remove((w_ / output).c_str());
    return r.out + "|" + csv;
  }

  WorkDir w_;
  std::string settings_;
};

TEST_F(CliSettingsTest, LeftOutValuesComeFromTheSettingsFile) {
  const std::string file = w_ / "temp/Tallyx.ini";
  const std::string none = w_ / "none.ini";  // nothing taken from a settings file
  const std::string in = w_ / "in", out = w_ / "out.csv";
  const std::string mask = std::to_string(model::kDefaultMask);  // not the stored one
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> same_as;  // every value given
    const char* output;
    const char* processed;
  } cases[] = {
      {"nothing given",
       {"--settings", file},
       {"--mode", "1", "--optcode", "3", "--path", in, "--filter", "IsoMetric_*.txt", "--output",
        out},
       "out.csv",
       "2件"},
      {"mode given: its filter",
       {"--settings", file, "--mode", "0"},
       {"--mode", "0", "--optcode", "3", "--path", in, "--filter", "Brawn_*.txt", "--output", out},
       "out.csv",
       "1件"},
      {"filter given",
       {"--settings", file, "--filter", "IsoMetric_2*"},
       {"--mode", "1", "--optcode", "3", "--path", in, "--filter", "IsoMetric_2*", "--output", out},
       "out.csv",
       "1件"},
      {"mask and output given",
       {"--settings", file, "--optcode", mask, "--output", w_ / "b.csv"},
       {"--mode", "1", "--optcode", mask, "--path", in, "--filter", "IsoMetric_*.txt", "--output",
        w_ / "b.csv"},
       "b.csv",
       "2件"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> explicit_args = c.same_as;
    explicit_args.insert(explicit_args.end(), {"--settings", none});
    const std::string from_settings = Run(c.args, c.output);
    EXPECT_NE(from_settings.find(c.processed), std::string::npos) << from_settings;
    EXPECT_EQ(from_settings, Run(explicit_args, c.output));
  }
  EXPECT_EQ(w_.Read("temp/Tallyx.ini"), settings_);  // never written
  EXPECT_EQ(w_.List("temp"), std::vector<std::string>{"Tallyx.ini"});
  EXPECT_FALSE(w_.Exists("none.ini"));
}

TEST_F(CliSettingsTest, WithoutSettingsOptionTheWindowsOwnFileIsUsed) {
  const std::string from_temp = Run({}, "out.csv", {"TEMP=" + (w_ / "temp")});
  EXPECT_NE(from_temp.find("2件"), std::string::npos) << from_temp;
  EXPECT_EQ(from_temp, Run({"--settings", w_ / "temp/Tallyx.ini"}, "out.csv"));
  EXPECT_EQ(w_.Read("temp/Tallyx.ini"), settings_);

  // Where disk cleanup may empty TEMP, the copy that every save keeps stands in for it.
  if (platform::kKeepsSettingsCopy) {
    w_.MakeDir("appdata/Tallyx");
    w_.Write("appdata/Tallyx/Tallyx.ini", settings_);
    EXPECT_EQ(Run({}, "out.csv", {"TEMP=" + (w_ / "in"), "APPDATA=" + (w_ / "appdata")}),
              from_temp);
  }

  // Without TEMP, the user's configuration directory.
  if (!platform::kHasUserConfigHome) return;
  w_.MakeDir("cfg/tallyx");
  w_.Write("cfg/tallyx/Tallyx.ini", settings_);
  w_.MakeDir("home/.config/tallyx");
  w_.Write("home/.config/tallyx/Tallyx.ini", settings_);
  for (const std::vector<std::string>& env : {
           std::vector<std::string>{"TEMP=", "XDG_CONFIG_HOME=" + (w_ / "cfg"), "HOME=/nowhere"},
           std::vector<std::string>{"TEMP=", "XDG_CONFIG_HOME=", "HOME=" + (w_ / "home")},
       }) {
    SCOPED_TRACE(env[1] + " " + env[2]);
    EXPECT_EQ(Run({}, "out.csv", env), from_temp);
  }
  EXPECT_EQ(w_.List("cfg/tallyx"), std::vector<std::string>{"Tallyx.ini"});
}

}  // namespace
}  // namespace tallyx
