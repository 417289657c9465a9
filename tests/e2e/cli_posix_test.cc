// tallyx-cli end to end: fresh work directories, generated result files, the real binary, and
// byte-for-byte comparison of what it wrote. These cases spell paths the POSIX way; the bytes
// every build must share are checked in cli_builds_test.cc.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/messages.h"
#include "model/model.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx {
namespace {

using testing::JoinLines;
using testing::ProcessResult;
using testing::Sjis;
using testing::WorkDir;

using model::Item;
using model::kDefaultMask;
using model::MaskOf;
constexpr std::int32_t kAllItems = model::kAllItemsMask;

const char* const kFullHeaders[] = {
    "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
    "患者コード,身長 (cm),体重 "
    "(kg),シートベース位置(A/"
    "B),背もたれ角度(目盛),シート位置(目盛),ペダル高さ(目盛),ペダル長さ(cm),ペダル回転回数(回),"
    "筋力測定設定(r/Min),アシスト回転速度(r/Min),ペダル原点位置(deg),ペダル回転方向(正/"
    "逆),最大筋力左,その回転回数,そのペダル角度,最大筋力右,その回転回数,そのペダル角度,回転回数(回)"
    ",最大トルク左(Ｎ・ｍ),左消費カロリー(cal),左角度(deg),最大トルク右(Ｎ・ｍ),右消費カロリー(cal)"
    ",右角度(deg)",
    "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
    "患者コード,身長 (cm),体重 "
    "(kg),シートベース位置(A/"
    "B),背もたれ角度(目盛),シート位置(目盛),ペダル高さ(目盛),ペダル長さ(cm),設定時間(秒),"
    "ペダル角度(deg),ピーク測定間隔(秒),ペダル原点位置(deg),ペダル回転方向(正/"
    "逆),測定時間(秒),最大トルク(N･m),ピーク時間(秒),力積(N･m･s),ピーク記録回数(回),ターン(回),"
    "ピークトルク(N･m),ピーク時間(秒)",
    "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
    "患者コード,身長 (cm),体重 "
    "(kg),シートベース位置(A/"
    "B),背もたれ角度(目盛),シート位置(目盛),ペダル高さ(目盛),ペダル長さ(cm),ペダル回転回数(回),"
    "筋力測定設定(r/Min),アシスト回転速度(r/Min),ペダル原点位置(deg),ペダル回転方向(正/"
    "逆),運動時間(秒),総合消費カロリー(kcal),左消費カロリー(kcal),右消費カロリー(kcal),最大筋力左,"
    "その回転回数,そのペダル角度,最大筋力右,その回転回数,そのペダル角度,回転回数(回),経過時間(0."
    "1sec),最大筋力左(N･m),左消費カロリー(cal),左角度(deg),最大筋力右(N･m),右消費カロリー(cal),"
    "右角度(deg),アシスト左(N･m),左角度(deg),アシスト右(N･m),右角度(deg),最高回転速度(r/"
    "min),最低回転速度(r/min)",
    "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
    "患者コード,身長 (cm),体重 "
    "(kg),シートベース位置(A/"
    "B),背もたれ角度(目盛),シート位置(目盛),ペダル高さ(目盛),ペダル長さ(cm),ペダル回転方向(正/"
    "逆),目標モード,目標下限,目標上限,相対強度(%),相対強度比率(%),療法期,運動時間(秒),消費カロリー("
    "kcal),運動時間(秒),ペダル回転回数,左消費カロリー,右消費カロリー,左最大筋力,右最大筋力",
};

const char* const kSideCaptions[] = {
    "ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)",
    "ペダル角度(deg),トルク(N･m)",
    "ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)",
    "秒(sec),運動モード,ガイドライン,トルク(N･m),回転速度(r/min),アシスト回転速度(r/min),"
    "運動ファイル名,心拍判断,心拍数(bpm)",
};

// Lines 1 to 18 and the cells they give under every item.
std::vector<std::string> CommonHead() {
  return {"HEAD1",
          "HEAD2",
          "U01\tid",
          "2024/05/01,9:05:07\tdt",
          " 山田 太郎 \t名前",
          "1950/01/02",
          "男\t",
          "\tP",
          "-",
          "-",
          " 170 \tcm",
          "65.5\tkg",
          "-",
          "A",
          "3",
          "5",
          "4",
          "38"};
}
constexpr const char* kCommonCells =
    "U01,2024/05/01,9,5,7,山田 太郎,1950/01/02,男,,170,65.5,A,3,5,4,38";

struct ModeFile {
  std::vector<std::string> result;  // lines 19 onwards of the result section (UTF-8)
  std::string cells;                // the mode's cells under every item
};

ModeFile ModeLines(int mode) {
  switch (mode) {
    case 1:
      return {{"30\t", "45", "0.5", "90", "逆", "-", "-", "30", "150.2", "12.5", "800.1",
               "2\tpeaks", "12.3,0.5\t", "11.8,0.6\t"},
              "30,45,0.5,90,逆,30,150.2,12.5,800.1,2,1,12.3,0.5,2,11.8,0.6"};
    case 2:
      return {{"1\t", "30", "10", "90", "正", "-", "-", "300,120.5", "60.2,60.3", "110.0,3,45",
               "108.0,4,50", "-", "-", "1,10,50.1,12,45,49.8,11,50,5.5,40,5.6,41,30,20\t"},
              "1,30,10,90,正,300,120.5,60.2,60.3,110.0,3,45,108.0,4,50,"
              "1,10,50.1,12,45,49.8,11,50,5.5,40,5.6,41,30,20"};
    case 3:
      return {{"-", "正", "1,10,20\t目標範囲", "50,80\t相対強度", "2\t療法期", "600", "35.5", "-",
               "600,120", "30.1", "30.2", "100.5,98.0"},
              "正,1,10,20,50,80,2,600,35.5,600,120,30.1,30.2,100.5,98.0"};
    default:
      return {{"2\tturns", "30", "10", "90", "正", "-", "-", "120.5,3,45\tL", "118.0,4,50\tR", "-",
               "1,101,12,45,99,11,50\t", "2,102,12,45,98,11,50\t"},
              "2,30,10,90,正,120.5,3,45,118.0,4,50,1,101,12,45,99,11,50,2,102,12,45,98,11,50"};
  }
}

const std::vector<std::string> kWaveform = {"WAVE", "deg,load,speed", "0,1.5,\t30", "1,2.5,\t31"};

std::string ToFile(const std::vector<std::string>& utf8_lines) {
  std::vector<std::string> lines;
  for (const std::string& l : utf8_lines) lines.push_back(Sjis(l));
  return JoinLines(lines);
}

std::string ResultFile(int mode, const std::vector<std::string>& waveform = kWaveform) {
  std::vector<std::string> lines = CommonHead();
  for (const std::string& l : ModeLines(mode).result) lines.push_back(l);
  for (const std::string& l : waveform) lines.push_back(l);
  return ToFile(lines);
}

const char* const kPatterns[] = {"Brawn_*.txt", "IsoMetric_*.txt", "Beginning*.txt",
                                 "Exercise_*.txt"};

class Cli : public ::testing::Test {
 protected:
  Cli() {
    dir_.MakeDir("in");
    dir_.MakeDir("tmp");
  }

  ProcessResult Run(const std::vector<std::string>& args) {
    return testing::RunProcess(TALLYX_CLI_PATH, args, dir_.path(), {"TEMP=" + dir_ / "tmp"});
  }
  ProcessResult Convert(int mode, std::int32_t mask, const std::string& output = "out.csv",
                        std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {
        "--mode",    std::to_string(mode), "--path",   dir_ / "in",
        "--optcode", std::to_string(mask), "--output", output.empty() ? "" : dir_ / output};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }

  WorkDir dir_;
};

// A command line as a case's name.
std::string Joined(const std::vector<std::string>& args) {
  std::string text = "tallyx-cli";
  for (const std::string& a : args) text += " '" + a + "'";
  return text;
}

std::string Done(int count) {
  return "変換が完了しました\nデータ件数： " + std::to_string(count) + "件を処理しました\n";
}

TEST_F(Cli, ConvertsEveryModeWithEveryItem) {
  for (int mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(mode);
    WorkDir dir;
    dir.MakeDir("in");
    const std::string name1 =
        std::string(kPatterns[mode]).replace(std::string(kPatterns[mode]).find('*'), 1, "001");
    const std::string name2 =
        std::string(kPatterns[mode]).replace(std::string(kPatterns[mode]).find('*'), 1, "002");
    dir.Write("in/" + name1, ResultFile(mode));
    dir.Write("in/" + name2, ResultFile(mode, {"W", "W"}));
    dir.Write("in/other.txt", "not a result file");

    const ProcessResult r =
        testing::RunProcess(TALLYX_CLI_PATH,
                            {"--mode", std::to_string(mode), "--path", dir / "in" + "   (comment)",
                             "--optcode", std::to_string(kAllItems), "--output", dir / "out.csv"},
                            dir.path(), {"TEMP=" + dir / "in"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, Done(2));
    EXPECT_EQ(r.err, "");

    const std::string cells = std::string(kCommonCells) + "," + ModeLines(mode).cells;
    EXPECT_EQ(dir.Read("out.csv"),
              ToFile({kFullHeaders[mode], name1 + "," + dir / "out1.csv" + "," + cells,
                      name2 + "," + dir / "out2.csv" + "," + cells}));
    EXPECT_EQ(dir.Read("out1.csv"), ToFile({kSideCaptions[mode], "0,1.5,\t30", "1,2.5,\t31"}));
    EXPECT_EQ(dir.Read("out2.csv"), ToFile({kSideCaptions[mode]}));
    EXPECT_EQ(dir.Read("in/" + name1), ResultFile(mode));  // inputs untouched
  }
}

TEST_F(Cli, SelectsColumnsByMask) {
  dir_.Write("in/Brawn_001.txt", ResultFile(0));
  struct Case {
    int mode;
    std::int32_t mask;
    std::vector<std::string> csv;
  } cases[] = {
      {0, MaskOf({Item::kFileName, Item::kName}), {"ファイル名,名前", "Brawn_001.txt,山田 太郎"}},
      {0, MaskOf({Item::kTime}), {"測定時,測定分,測定秒", "9,5,7"}},
      {0,
       kDefaultMask,
       {"ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,身長 (cm),体重 "
        "(kg),最大筋力左,その回転回数,そのペダル角度,最大筋力右,その回転回数,そのペダル角度,"
        "回転回数(回),最大トルク左(Ｎ・ｍ),左消費カロリー(cal),左角度(deg),最大トルク右(Ｎ・ｍ),"
        "右消費カロリー(cal),右角度(deg)",
        "Brawn_001.txt,U01,2024/05/01,9,5,7,山田 太郎,1950/01/02,男,170,65.5,120.5,3,45,118.0,4,"
        "50,1,101,12,45,99,11,50,2,102,12,45,98,11,50"}},
      // Bits 18 and 19 have no column outside the exercise mode; bits above 24 none at all.
      {0, MaskOf({Item::kCalories, Item::kSpare, Item::kSex}) | (1 << 30), {"性別", "男"}},
      {0, -1 & ~MaskOf({Item::kWaveform}), {}},  // checked below by line count only
  };
  for (const Case& c : cases) {
    const ProcessResult r = Convert(c.mode, c.mask);
    ASSERT_EQ(r.exit_code, 0) << c.mask << r.err;
    if (!c.csv.empty()) {
      EXPECT_EQ(dir_.Read("out.csv"), ToFile(c.csv)) << c.mask;
    }
  }
  EXPECT_FALSE(dir_.Exists("out1.csv"));  // no side files without bit 24
}

TEST_F(Cli, ExerciseKeyWordsDecideLines21To23) {
  std::vector<std::string> lines = CommonHead();
  for (const char* l : {"-", "正", "1,10,20\tno key word", "3\t療法期", "700", "40.5", "-",
                        "600,120", "30.1", "30.2", "100.5,98.0", "W", "W", "sample"}) {
    lines.push_back(l);
  }
  dir_.Write("in/Exercise_1.txt", ToFile(lines));
  ASSERT_EQ(Convert(3, MaskOf({Item::kAssistSpeed, Item::kPedalTurns})).exit_code, 0);
  EXPECT_EQ(dir_.Read("out.csv"),
            ToFile({"目標モード,目標下限,目標上限,相対強度(%),相対強度比率(%)", ",,,,"}));
  const std::int32_t mode_items =
      MaskOf({Item::kStrengthSetting, Item::kAssistSpeed, Item::kPedalTurns, Item::kPedalOrigin,
              Item::kPedalDirection, Item::kCalories, Item::kMaximum, Item::kWaveform});
  ASSERT_EQ(Convert(3, mode_items).exit_code, 0);
  EXPECT_EQ(dir_.Read("out.csv"),
            ToFile({"波形ファイル名,ペダル回転方向(正/逆),目標モード,目標下限,目標上限,相対強度(%),"
                    "相対強度比率(%),療法期,運動時間(秒),消費カロリー(kcal),運動時間(秒),"
                    "ペダル回転回数,左消費カロリー,右消費カロリー,左最大筋力,右最大筋力",
                    dir_ / "out1.csv" + ",正,,,,,,3,700,40.5,600,120,30.1,30.2,100.5,98.0"}));
  EXPECT_EQ(dir_.Read("out1.csv"), ToFile({kSideCaptions[3], "sample"}));
}

TEST_F(Cli, TurnCountCarriesOverFromTheFileBefore) {
  dir_.Write("in/Brawn_1.txt", ResultFile(0));
  std::vector<std::string> second = CommonHead();
  for (const char* l : {"many\tturns", "30", "10", "90", "正", "-", "-", "1\t", "2\t", "-", "t1\t",
                        "t2\t", "W", "W"}) {
    second.push_back(l);
  }
  dir_.Write("in/Brawn_2.txt", ToFile(second));
  ASSERT_EQ(Convert(0, MaskOf({Item::kPedalTurns, Item::kPerTurn})).exit_code, 0);
  EXPECT_EQ(dir_.Read("out.csv"),
            ToFile({"ペダル回転回数(回),回転回数(回),最大トルク左(Ｎ・ｍ),左消費カロリー(cal),"
                    "左角度(deg),最大トルク右(Ｎ・ｍ),右消費カロリー(cal),右角度(deg)",
                    "2,1,101,12,45,99,11,50,2,102,12,45,98,11,50", "many,t1,t2"}));
}

TEST_F(Cli, CopiesResultBytesUnchanged) {
  std::vector<std::string> lines;
  for (const std::string& l : CommonHead()) lines.push_back(Sjis(l));
  // NEC and IBM duplicates, trail bytes 0x5C, a byte that is no CP932 at all, a quote.
  lines[4] =
      std::string("\x87\x90\xED\x40\xFA\x40 \x83\x5C\x95\x5C\x94\x5C\xA0\"x\"\t") + "\x96\xBC";
  for (const std::string& l : ModeLines(0).result) lines.push_back(Sjis(l));
  lines.push_back("W");
  lines.push_back("W");
  lines.push_back("\x83\x5C,\xFF\xFE\t\x81\x40");
  const std::string file = JoinLines(lines);
  dir_.Write("in/Brawn_1.txt", file);
  ASSERT_EQ(Convert(0, MaskOf({Item::kName, Item::kWaveform})).exit_code, 0);
  EXPECT_EQ(dir_.Read("out.csv"),
            Sjis("波形ファイル名,名前\r\n") + Sjis(dir_ / "out1.csv") +
                ",\x87\x90\xED\x40\xFA\x40 \x83\x5C\x95\x5C\x94\x5C\xA0\"x\"\r\n");
  EXPECT_EQ(dir_.Read("out1.csv"), Sjis(kSideCaptions[0]) + "\r\n\x83\x5C,\xFF\xFE\t\x81\x40\r\n");
  EXPECT_EQ(dir_.Read("in/Brawn_1.txt"), file);
}

TEST_F(Cli, WritesFileNamesInCp932) {
  dir_.Write("in/Brawn_名前ソ.txt", ResultFile(0));
  dir_.Write("in/Brawn_\xE2\x82\xAC.txt", ResultFile(0));  // "€": not in CP932
  dir_.Write("in/Brawn_\xFF.txt", ResultFile(0));          // not UTF-8 either
  ASSERT_EQ(Convert(0, MaskOf({Item::kFileName})).exit_code, 0);
  // Listed in NTFS order (upper-cased bytes), written as CP932.
  EXPECT_EQ(dir_.Read("out.csv"),
            Sjis("ファイル名\r\nBrawn_€.txt\r\nBrawn_名前ソ.txt\r\n") + "Brawn_\xFF.txt\r\n");
}

TEST_F(Cli, ReportsEachStage) {
  dir_.Write("in/Brawn_1.txt", ResultFile(0));
  dir_.Write("empty.csv", "old");
  const std::string in = dir_ / "in/";
  struct Case {
    std::vector<std::string> args;
    int exit_code;
    std::string err;
  } cases[] = {
      {{"--path", "", "--output", "o.csv"},
       2,
       "Error 2：Path('')が不正です\nディレクトリが指定されていません\n"},
      {{"--path", in, "--filter", "", "--output", "o.csv"},
       3,
       "Error 3：Path('" + in + "')にファイル('')が存在しません\n" + in +
           ": ファイル名のパターンが指定されていません\n"},
      // A filter that comes out empty matches nothing, deliberately: blanks, or a comment only.
      {{"--path", in, "--filter", "   ", "--output", "o.csv"},
       3,
       "Error 3：Path('" + in + "')にファイル('')が存在しません\n" + in +
           ": 一致するファイルがありません\n"},
      {{"--path", in, "--filter", "  (筋力測定 )", "--output", "o.csv"},
       3,
       "Error 3：Path('" + in + "')にファイル('')が存在しません\n" + in +
           ": 一致するファイルがありません\n"},
      {{"--path", dir_ / "in", "--filter", "Nothing_*.txt  (x)", "--output", "o.csv"},
       3,
       "Error 3：Path('" + in + "')にファイル('Nothing_*.txt')が存在しません\n" + in +
           "Nothing_*.txt: 一致するファイルがありません\n"},
      {{"--path", dir_ / "missing", "--output", "o.csv"},
       3,
       "Error 3：Path('" + dir_ / "missing/" + "')にファイル('Brawn_*.txt')が存在しません\n" +
           dir_ / "missing/" + ": ディレクトリがありません\n"},
      {{"--path", dir_ / "in/Brawn_1.txt", "--output", "o.csv"},
       3,
       "Error 3：Path('" + dir_ / "in/Brawn_1.txt/" +
           "')にファイル('Brawn_*.txt')が存在しません\n" + dir_ / "in/Brawn_1.txt/" +
           ": ディレクトリではありません\n"},
      {{"--path", in, "--output", ""},
       1,
       "Error 1：Outputファイル('')が開けません\n出力ファイル名が指定されていません\n"},
      {{"--path", in, "--output", dir_ / "in"},
       1,
       "Error 1：Outputファイル('" + dir_ / "in" + "')が開けません\n" + dir_ / "in" +
           ": 作成できません（ファイルではなくフォルダーです (Is a directory)）\n"},
      // Nothing makes the folder: it is named.
      {{"--path", in, "--output", dir_ / "no/such/dir.csv"},
       1,
       "Error 1：Outputファイル('" + dir_ / "no/such/dir.csv" + "')が開けません\n" +
           dir_ / "no/such/dir.csv" + ": 作成できません（フォルダー「" + dir_ / "no/such" +
           "」がありません (No such file or directory)）\n"},
      {{"--path", in, "--output", dir_ / "in/Brawn_1.txt/o.csv"},
       1,
       "Error 1：Outputファイル('" + dir_ / "in/Brawn_1.txt/o.csv" + "')が開けません\n" +
           dir_ / "in/Brawn_1.txt/o.csv" +
           ": 作成できません（パスの途中にフォルダーでないものがあります (Not a directory)）\n"},
      {{"--path", in, "--output", dir_ / std::string(300, 'o') + ".csv"},
       1,
       "Error 1：Outputファイル('" + dir_ / std::string(300, 'o') + ".csv" + "')が開けません\n" +
           dir_ / std::string(300, 'o') + ".csv" +
           ": 作成できません（ファイル名が長すぎます (File name too long)）\n"},
      // Only bit 19: no column, so the header is empty.
      {{"--path", in, "--optcode", "524288", "--output", dir_ / "empty.csv"},
       1,
       "Error 1：Outputファイル('" + dir_ / "empty.csv" + "')が開けません\n" + dir_ / "empty.csv" +
           ": このモードで出力する項目が選ばれていません\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Joined(c.args));
    const ProcessResult r = Run(c.args);
    EXPECT_EQ(r.exit_code, c.exit_code);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(dir_.Exists("o.csv"));
  EXPECT_EQ(dir_.Read("empty.csv"), "old");  // no column: the earlier CSV file stays
}

TEST_F(Cli, NoMatchLeavesAnExistingCsvAlone) {
  dir_.Write("out.csv", "old");
  const ProcessResult r = Convert(0, kDefaultMask);
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_EQ(dir_.Read("out.csv"), "old");
}

TEST_F(Cli, KeepsWhatWasWrittenBeforeABrokenFile) {
  dir_.Write("in/Brawn_1.txt", ResultFile(0));
  std::string cut = ResultFile(0);
  cut.resize(cut.find(Sjis("118.0,4,50")));  // ends inside the result section
  dir_.Write("in/Brawn_2.txt", cut);
  dir_.Write("in/Brawn_3.txt", ResultFile(0));

  ProcessResult r = Convert(0, MaskOf({Item::kName, Item::kFileName}));
  EXPECT_EQ(r.exit_code, 1);
  const std::string detail =
      dir_ / "in/Brawn_2.txt" + ": 27行目: ファイルがこの行の前で終わっています\n";
  EXPECT_EQ(r.err, "Error 1：Outputファイル('" + dir_ / "out.csv" + "')が開けません\n" + detail);
  EXPECT_EQ(dir_.Read("out.csv"), ToFile({"ファイル名,名前", "Brawn_1.txt,山田 太郎"}));

  // Once a side file has been opened, a later failure is reported with that file's side path.
  r = Convert(0, MaskOf({Item::kName, Item::kFileName, Item::kWaveform}));
  EXPECT_EQ(r.exit_code, 5);
  EXPECT_EQ(r.err, "Error 5：Outputファイル('" + dir_ / "out2.csv" + "')が開けません\n" + detail);
  EXPECT_EQ(dir_.Read("out.csv"), ToFile({"ファイル名,波形ファイル名,名前",
                                          "Brawn_1.txt," + dir_ / "out1.csv" + ",山田 太郎"}));
  EXPECT_FALSE(dir_.Exists("out2.csv"));
  EXPECT_FALSE(dir_.Exists("out3.csv"));
}

TEST_F(Cli, BrokenLayoutsFailTheRun) {
  constexpr std::int32_t kName = MaskOf({Item::kName});
  struct Case {
    const char* what;
    int line;  // 1-based line to replace
    const char* text;
    std::int32_t mask;
    const char* detail;  // after the file's path
  } cases[] = {
      {"user ID without TAB while selected", 3, "U01", MaskOf({Item::kUserId}),
       ": 3行目: TABがありません"},
      {"time without TAB", 4, "2024/05/01,9:05:07", kName, ": 4行目: TABがありません"},
      {"time that is no time", 4, "2024/05/01,25:00\t", kName,
       ": 4行目: 「25:00」は時刻ではありません"},
      {"no comma on line 4", 4, "2024/05/01 9:05:07\t", kName, ": 4行目: TABがありません"},
      {"count line without TAB", 19, "2", kName, ": 19行目: TABがありません"},
      {"count beyond 16 bits", 19, " 40000 \t", kName,
       ": 19行目: 回数「40000」が範囲を超えています（32767まで）"},
      {"per-turn lines missing", 30, "", kName, ": 30行目: ファイルがこの行の前で終わっています"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> lines = CommonHead();
    for (const std::string& l : ModeLines(0).result) lines.push_back(l);
    lines[static_cast<std::size_t>(c.line - 1)] = c.text;
    if (*c.text == '\0') lines.resize(static_cast<std::size_t>(c.line - 1));
    dir_.Write("in/Brawn_1.txt", ToFile(lines));
    const ProcessResult r = Convert(0, c.mask);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "Error 1：Outputファイル('" + dir_ / "out.csv" + "')が開けません\n" +
                         dir_ / "in/Brawn_1.txt" + c.detail + "\n");
  }
  // The user ID needs its TAB only when it is selected.
  std::vector<std::string> lines = CommonHead();
  lines[2] = "U01";
  for (const std::string& l : ModeLines(0).result) lines.push_back(l);
  dir_.Write("in/Brawn_1.txt", ToFile(lines));
  EXPECT_EQ(Convert(0, MaskOf({Item::kName})).exit_code, 0);
  // A data line with no cell: only the per-turn group, and no turns.
  std::vector<std::string> iso = CommonHead();
  for (const char* l : {"30", "45", "0.5", "90", "逆", "-", "-", "30", "1", "1", "1", "0\t"}) {
    iso.push_back(l);
  }
  dir_.Write("in/IsoMetric_1.txt", ToFile(iso));
  EXPECT_EQ(Convert(1, MaskOf({Item::kPerTurn})).exit_code, 1);
  EXPECT_EQ(dir_.Read("out.csv"), ToFile({"ターン(回),ピークトルク(N･m),ピーク時間(秒)"}));
}

TEST_F(Cli, SkipBrokenWritesWhatTheSoundFilesAloneWrite) {
  const std::int32_t mask = kAllItems;
  // The sound files say "many" turns: they take the count of the file written before them.
  std::vector<std::string> sound = CommonHead();
  for (const char* l : {"many\tturns", "30", "10", "90", "正", "-", "-", "1\t", "2\t", "-", "t1\t",
                        "t2\t", "W", "W", "sample 1", "sample 2"}) {
    sound.push_back(l);
  }
  std::vector<std::string> first = sound;
  first[18] = "2\tturns";
  std::vector<std::string> five_turns_cut = first;  // promises 5 turns, holds 2
  five_turns_cut[18] = "5\tturns";
  five_turns_cut.resize(30);
  std::vector<std::string> no_waveform = first;  // ends before the two lines the samples follow
  no_waveform.resize(30);
  std::vector<std::string> bad_time = first;
  bad_time[3] = "2024/05/01,xx\t";

  WorkDir alone;
  alone.MakeDir("in");
  for (const auto& [name, lines] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"Brawn_1.txt", first}, {"Brawn_3.txt", sound}, {"Brawn_5.txt", sound}}) {
    dir_.Write("in/" + name, ToFile(lines));
    alone.Write("in/" + name, ToFile(lines));
  }
  dir_.Write("in/Brawn_2.txt", ToFile(five_turns_cut));
  dir_.Write("in/Brawn_4.txt", ToFile(no_waveform));
  dir_.Write("in/Brawn_6.txt", ToFile(bad_time));
  const std::string in = dir_ / "in/";

  ProcessResult r = Convert(0, mask, "out.csv", {"--skip-broken"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, Done(3));
  EXPECT_EQ(r.err, in + "Brawn_2.txt: 31行目: ファイルがこの行の前で終わっています\n" + in +
                       "Brawn_4.txt: 31行目: ファイルがこの行の前で終わっています\n" + in +
                       "Brawn_6.txt: 4行目: 「xx」は時刻ではありません\n");
  std::vector<std::string> written;
  for (const std::string& name : dir_.List()) {
    if (name != "in" && name != "tmp") written.push_back(name + "\n" + dir_.Read(name));
  }
  EXPECT_EQ(written.size(), 4u);  // the CSV file and three side files

  // The same output path, so that the side-file cells name the same files.
  const ProcessResult a =
      testing::RunProcess(TALLYX_CLI_PATH, {"--mode", "0", "--path", alone / "in", "--optcode",
                                            std::to_string(mask), "--output", dir_ / "out.csv"});
  ASSERT_EQ(a.exit_code, 0) << a.err;
  std::vector<std::string> alone_written;
  for (const std::string& name : dir_.List()) {
    if (name != "in" && name != "tmp") alone_written.push_back(name + "\n" + dir_.Read(name));
  }
  EXPECT_EQ(written, alone_written);

  // Every file broken: the header alone, nothing on stdout.
  WorkDir broken;
  broken.MakeDir("in");
  broken.Write("in/Brawn_2.txt", ToFile(five_turns_cut));
  r = testing::RunProcess(TALLYX_CLI_PATH, {"--mode", "0", "--path", broken / "in", "--optcode",
                                            "3", "--output", broken / "out.csv", "--skip-broken"});
  EXPECT_EQ(r.exit_code, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, broken / "in/Brawn_2.txt" + ": 31行目: ファイルがこの行の前で終わっています\n");
  EXPECT_EQ(broken.Read("out.csv"), ToFile({"ファイル名,名前"}));

  // A side file that fails still ends the run; its message follows the lines of the files left
  // out. The first file written would number its side file as the result file Brawn_1.txt.
  WorkDir clash;
  clash.MakeDir("in");
  clash.Write("in/Brawn_0.txt", ToFile(five_turns_cut));
  clash.Write("in/Brawn_1.txt", ToFile(first));
  const std::string side = clash / "in/Brawn_1.txt";
  r = testing::RunProcess(TALLYX_CLI_PATH,
                          {"--mode", "0", "--path", clash / "in", "--optcode", std::to_string(mask),
                           "--output", clash / "in/Brawn_.txt", "--skip-broken"});
  EXPECT_EQ(r.exit_code, 5);
  EXPECT_EQ(r.err, clash / "in/Brawn_0.txt" + ": 31行目: ファイルがこの行の前で終わっています\n" +
                       "Error 5：Outputファイル('" + side + "')が開けません\n" + side +
                       ": 結果ファイルを上書きすることになります\n");
  EXPECT_EQ(clash.Read("in/Brawn_1.txt"), ToFile(first));
}

TEST_F(Cli, NeverOverwritesAResultFile) {
  dir_.Write("in/Brawn_1.txt", ResultFile(0));
  dir_.Write("in/Brawn_11.txt", ResultFile(0));
  const std::string before = dir_.Read("in/Brawn_11.txt");
  // The CSV path names an input file through another spelling.
  ProcessResult r = Run({"--path", dir_ / "in", "--output", dir_ / "in/../in/Brawn_1.txt"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(dir_.Read("in/Brawn_1.txt"), ResultFile(0));
  // The first side file of in/Brawn_1.txt as output would be in/Brawn_11.txt.
  r = Run({"--path", dir_ / "in", "--optcode",
           std::to_string(kDefaultMask | MaskOf({Item::kWaveform})), "--output",
           dir_ / "in/Brawn_1.txt.csv"});
  EXPECT_EQ(r.exit_code, 0) << r.err;  // "Brawn_1" + "1" + ".txt.csv": no clash
  r = Run({"--path", dir_ / "in", "--optcode",
           std::to_string(kDefaultMask | MaskOf({Item::kWaveform})), "--output",
           dir_ / "in/Brawn_1.txt"});
  EXPECT_EQ(r.exit_code, 1);  // the CSV itself would be an input
  r = Run({"--path", dir_ / "in", "--optcode",
           std::to_string(kDefaultMask | MaskOf({Item::kWaveform})), "--output",
           dir_ / "in/Brawn_.txt"});
  EXPECT_EQ(r.exit_code, 5);
  EXPECT_EQ(r.err, "Error 5：Outputファイル('" + dir_ / "in/Brawn_1.txt" + "')が開けません\n" +
                       dir_ / "in/Brawn_1.txt" + ": 結果ファイルを上書きすることになります\n");
  EXPECT_EQ(dir_.Read("in/Brawn_11.txt"), before);
  EXPECT_EQ(dir_.Read("in/Brawn_1.txt"), ResultFile(0));
}

TEST_F(Cli, DerivesDirectoryAndSideFileNames) {
  dir_.MakeDir("d.old");
  dir_.Write("in/Brawn_1.txt", ResultFile(0));
  ProcessResult r =
      Run({"--path", "  " + dir_ / "in/" + "  (筋力測定 )", "--optcode",
           std::to_string(MaskOf({Item::kWaveform})), "--output", dir_ / "d.old/out.csv"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(dir_.Read("d.old/out.csv"), ToFile({"波形ファイル名", dir_ / "d.old/out1.csv"}));
  r = Run({"--path", dir_ / "in", "--optcode", std::to_string(MaskOf({Item::kWaveform})),
           "--output", dir_ / "noext"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(dir_.Exists("noext1"));
}

TEST_F(Cli, RejectsWrongUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"},
      {"--mode"},
      {"--mode", "4"},
      {"--mode", "x"},
      {"--optcode", "abc"},
      {"--optcode", "99999999999"},
      {"positional"},
      {"--list-items", "--path", "x"},
      {"--list-items", "--help"},
      {"--version", "--list-items"},
      {"--list-items", "--skip-broken"},
      {"--list-items", "--mode", "4"},
      {"--list-items", "--caption"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(Joined(args));
    const ProcessResult r = Run(args);
    EXPECT_EQ(r.exit_code, 64);
    EXPECT_NE(r.err.find("Usage: tallyx-cli"), std::string::npos);
    EXPECT_EQ(r.out, "");
  }
  const ProcessResult help = Run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("Usage: tallyx-cli"), std::string::npos);
  const ProcessResult version = Run({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_THAT(version.out, ::testing::MatchesRegex("tallyx-cli [0-9]+\\.[0-9]+\\.[0-9]+\n"));
  // What scripts ask for instead of repeating it.
  EXPECT_EQ(Run({"--default-mask"}).out, std::to_string(kDefaultMask) + "\n");
  EXPECT_EQ(Run({"--caption"}).out, std::string(model::kWindowCaption) + "\n");
  EXPECT_EQ(dir_.List("tmp"), std::vector<std::string>{});  // no settings file written
}

TEST_F(Cli, ListsTheOutputItemsOfAMode) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> lines;  // some of the 25, in order
  } cases[] = {
      {{"--list-items"},
       {"0\t名前\t*", "2\t患者ｺｰﾄﾞ\t", "16\t筋力測定設定(r/min)\t", "18\t\t", "19\t\t",
        "23\t各回測定結果(回数分)\t*", "24\t波形データ（別ファイル）\t"}},
      {{"--mode", "1", "--list-items"}, {"14\t設定時間(秒)\t", "16\tペダル角度(deg)\t"}},
      {{"--list-items", "--mode=3"},
       {"13\t療法期\t", "18\t消費カロリー\t", "23\t\t*", "24\t波形データ（別ファイル）\t"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ProcessResult r = Run(c.args);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.err, "");
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
      lines.push_back(r.out.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 25u);
    for (const std::string& line : c.lines) {
      EXPECT_EQ(lines[std::stoul(line)], line);
    }
  }
  EXPECT_EQ(dir_.List(), (std::vector<std::string>{"in", "tmp"}));  // nothing run
}

}  // namespace
}  // namespace tallyx
