// tallyx-cli end to end: result files in a fresh directory, the real binary run on them, and its
// CSV and side files compared byte for byte. The same expectations hold on Linux and, cross-built,
// on Windows under Wine: only the separator in paths differs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/model.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx::testing {
namespace {

constexpr char kSep = platform::kSeparator;
constexpr bool kOnWindows = kSep == '\\';

// Runs tallyx-cli in `work`, with "TEMP" there too, so that no settings file of the machine
// takes part.
ProcessResult RunCli(const WorkDir& work, const std::vector<std::string>& args) {
  return RunProcess(TALLYX_CLI_PATH, args, work.path(), {"TEMP=" + work.path()});
}

std::vector<std::string> Options(int mode, const std::string& path, const std::string& filter,
                                 const std::string& output, std::int32_t optcode) {
  return {"--mode", std::to_string(mode), "--path", path,        "--filter",
          filter,   "--output",           output,   "--optcode", std::to_string(optcode)};
}

// UTF-8 lines as the program writes them: CP932, each ended by CR LF.
std::string Cp932Lines(const std::vector<std::string>& utf8_lines) {
  std::vector<std::string> lines;
  for (const std::string& l : utf8_lines) lines.push_back(Sjis(l));
  return JoinLines(lines);
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The waveform lines of a result file: its waveform section without the two lines that open it.
std::string WaveformLines(const ResultFileShape& shape) {
  const std::vector<std::string> lines = ResultLines(shape);
  return JoinLines(std::vector<std::string>(lines.begin() + WaveformStart(shape) + 1, lines.end()));
}

using model::Item;
constexpr std::int32_t kAllItems = model::kAllItemsMask;
constexpr std::int32_t kNameItems = model::MaskOf({Item::kFileName, Item::kName});
constexpr std::int32_t kWaveItems = model::MaskOf({Item::kFileName, Item::kWaveform, Item::kName});

struct ModeCase {
  int mode;
  const char* file_prefix;
  const char* filter;
};

struct Golden {
  std::vector<std::string> csv;  // UTF-8 lines; {dir} stands for the output directory
  std::string side_caption;
};

// Every item of every mode, two result files each: the CSV file and the side files.
TEST(CliTest, WritesTheSameBytesOnEveryBuild) {
  const ModeCase modes[] = {{0, "Brawn_", "Brawn_*.txt     (筋力測定 )"},
                            {1, "IsoMetric_", "IsoMetric_*.txt (ｱｲｿﾒﾄﾘｯｸ )"},
                            {2, "Beginning", "Beginning*.txt  (初期リハ )"},
                            {3, "Exercise_", "Exercise_*.txt  (運動結果 )"}};
  const Golden golden[] = {
      {
          {
              "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
              "患者コード,"
              "身長 (cm),体重 (kg),シートベース位置(A/B),背もたれ角度(目盛),シート位置(目盛),"
              "ペダル高さ(目盛),ペダル長さ(cm),ペダル回転回数(回),筋力測定設定(r/Min),"
              "アシスト回転速度(r/Min),ペダル原点位置(deg),ペダル回転方向(正/"
              "逆),最大筋力左,その回転回数,"
              "そのペダル角度,最大筋力右,その回転回数,そのペダル角度,回転回数(回),最大トルク左("
              "Ｎ・ｍ),"
              "左消費カロリー(cal),左角度(deg),最大トルク右(Ｎ・ｍ),右消費カロリー(cal),右角度("
              "deg)",
              "Brawn_001.txt,{dir}out1.csv,U1001,2024/05/11,10,5,7,患者 1号,"
              "1950/01/2,男,P-1,151,51.5,A,1,1,1,31,1,30,10,90,正,121.5,3,45,"
              "118.0,4,50,1,101.0,12,45,99.0,11,50",
              "Brawn_002.txt,{dir}out2.csv,U1002,2024/05/12,11,5,7,患者 2号,"
              "1950/01/3,女,P-2,152,52.5,A,2,2,2,32,2,30,10,90,正,122.5,3,45,"
              "118.0,4,50,1,101.0,12,45,99.0,11,50,2,102.0,12,45,100.0,11,"
              "50",
          },
          "ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)",
      },
      {
          {
              "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
              "患者コード,"
              "身長 (cm),体重 (kg),シートベース位置(A/B),背もたれ角度(目盛),シート位置(目盛),"
              "ペダル高さ(目盛),ペダル長さ(cm),設定時間(秒),ペダル角度(deg),ピーク測定間隔(秒),"
              "ペダル原点位置(deg),ペダル回転方向(正/"
              "逆),測定時間(秒),最大トルク(N･m),ピーク時間(秒),"
              "力積(N･m･s),ピーク記録回数(回),ターン(回),ピークトルク(N･m),ピーク時間(秒)",
              "IsoMetric_001.txt,{dir}out1.csv,U1002,2024/05/12,11,5,7,"
              "患者 2号,1950/01/3,女,P-2,152,52.5,A,2,2,2,32,30,45,0.5,90,正,30,"
              "102.2,12.5,800.1,1,1,11.3,0.1",
              "IsoMetric_002.txt,{dir}out2.csv,U1003,2024/05/13,12,5,7,"
              "患者 3号,1950/01/4,男,P-3,153,53.5,A,3,3,3,33,30,45,0.5,90,正,30,"
              "103.2,12.5,800.1,2,1,11.3,0.1,2,12.3,0.2",
          },
          "ペダル角度(deg),トルク(N･m)",
      },
      {
          {
              "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
              "患者コード,"
              "身長 (cm),体重 (kg),シートベース位置(A/B),背もたれ角度(目盛),シート位置(目盛),"
              "ペダル高さ(目盛),ペダル長さ(cm),ペダル回転回数(回),筋力測定設定(r/Min),"
              "アシスト回転速度(r/Min),ペダル原点位置(deg),ペダル回転方向(正/逆),運動時間(秒),"
              "総合消費カロリー(kcal),左消費カロリー(kcal),右消費カロリー(kcal),最大筋力左,"
              "その回転回数,"
              "そのペダル角度,最大筋力右,その回転回数,そのペダル角度,回転回数(回),経過時間(0.1sec),"
              "最大筋力左(N･m),左消費カロリー(cal),左角度(deg),最大筋力右(N･m),右消費カロリー(cal),"
              "右角度(deg),アシスト左(N･m),左角度(deg),アシスト右(N･m),右角度(deg),"
              "最高回転速度(r/min),最低回転速度(r/min)",
              "Beginning001.txt,{dir}out1.csv,U1003,2024/05/13,12,5,7,"
              "患者 3号,1950/01/4,男,P-3,153,53.5,A,3,3,3,33,1,30,10,90,逆,300,"
              "120.5,60.2,60.3,113.0,3,45,108.0,4,50,1,10,50.1,12,45,49.8,"
              "11,50,5.5,40,5.6,41,30,20",
              "Beginning002.txt,{dir}out2.csv,U1004,2024/05/14,13,5,7,"
              "患者 4号,1950/01/5,女,P-4,154,54.5,A,4,4,4,34,2,30,10,90,逆,300,"
              "120.5,60.2,60.3,114.0,3,45,108.0,4,50,1,10,50.1,12,45,49.8,"
              "11,50,5.5,40,5.6,41,30,20,2,20,50.1,12,45,49.8,11,50,5.5,40,"
              "5.6,41,30,20",
          },
          "ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)",
      },
      {
          {
              "ファイル名,波形ファイル名,ユーザＩＤ,測定日,測定時,測定分,測定秒,名前,生年月日,性別,"
              "患者コード,"
              "身長 (cm),体重 (kg),シートベース位置(A/B),背もたれ角度(目盛),シート位置(目盛),"
              "ペダル高さ(目盛),ペダル長さ(cm),ペダル回転方向(正/"
              "逆),目標モード,目標下限,目標上限,相対強度(%),"
              "相対強度比率(%),療法期,運動時間(秒),消費カロリー(kcal),運動時間(秒),ペダル回転回数,"
              "左消費カロリー,"
              "右消費カロリー,左最大筋力,右最大筋力",
              "Exercise_001.txt,{dir}out1.csv,U1004,2024/05/14,13,5,7,"
              "患者 4号,1950/01/5,女,P-4,154,54.5,A,4,4,4,34,正,1,10,20,50,80,2,"
              "600,35.5,600,120,30.1,30.2,100.5,98.0",
              "Exercise_002.txt,{dir}out2.csv,U1005,2024/05/15,14,5,7,"
              "患者 5号,1950/01/6,男,P-5,155,55.5,A,5,5,0,35,正,1,10,20,50,80,3,"
              "600,35.5,600,120,30.1,30.2,100.5,98.0",
          },
          "秒(sec),運動モード,ガイドライン,トルク(N･m),回転速度(r/min),アシスト回転速度(r/min),"
          "運動ファイル名,心拍判断,心拍数(bpm)",
      },
  };
  for (const ModeCase& m : modes) {
    SCOPED_TRACE(m.mode);
    WorkDir work;
    work.MakeDir("in");
    std::vector<ResultFileShape> shapes;
    for (int i = 1; i <= 2; ++i) {
      ResultFileShape shape;
      shape.mode = model::ModeOf(m.mode);
      shape.turns = i;
      shape.waveform_lines = 2;
      shape.seed = i + m.mode;
      shapes.push_back(shape);
      work.Write("in/" + std::string(m.file_prefix) + "00" + std::to_string(i) + ".txt",
                 ResultFile(shape));
    }
    const ProcessResult r =
        RunCli(work, Options(m.mode, work / "in", m.filter, work / "out.csv", kAllItems));
    ASSERT_EQ(r.exit_code, 0) << r.err;

    const Golden& g = golden[m.mode];
    EXPECT_EQ(work.Read("out.csv"), Replace(Cp932Lines(g.csv), "{dir}", work.path()));
    for (int i = 1; i <= 2; ++i) {
      EXPECT_EQ(work.Read("out" + std::to_string(i) + ".csv"),
                Cp932Lines({g.side_caption}) + WaveformLines(shapes[i - 1]));
    }
  }
}

// The directory text is cut at "(" and trimmed, and gets one separator at its end, never a
// second; the filter text is cut and trimmed the same way. The failure message shows both.
TEST(CliTest, DerivesDirectoryAndPatternFromTheBoxTexts) {
  WorkDir work;
  work.MakeDir("空");
  const std::string dir = work / "空";
  const struct {
    std::string path_text;
    std::string filter_text;
  } cases[] = {
      {dir + "   (コメント)", "Brawn_*.txt     (筋力測定 )"},
      {dir + kSep + " (x)", " Brawn_*.txt"},
      {"  " + dir + kSep, "Brawn_*.txt("},
  };
  for (const auto& c : cases) {
    const ProcessResult r =
        RunCli(work, Options(0, c.path_text, c.filter_text, work / "out.csv", kNameItems));
    EXPECT_EQ(r.exit_code, 3) << c.path_text;
    EXPECT_EQ(r.err, "Error 3：Path('" + dir + kSep +
                         "')にファイル('Brawn_*.txt')が存在しません\n" + dir + kSep +
                         "Brawn_*.txt: 一致するファイルがありません\n");
  }
  EXPECT_FALSE(work.Exists("out.csv"));
}

// Windows names copies and new folders "新しいフォルダー (2)": a directory text that names a
// directory as a whole, and a filter that finds a file as a whole, are taken as they stand;
// otherwise the comment falls away as above.
TEST(CliTest, TakesNamesWithParenthesesAsTheyStand) {
  WorkDir work;
  work.MakeDir("新しいフォルダー");
  work.MakeDir("新しいフォルダー (2)");
  ResultFileShape shape;
  shape.seed = 0;
  const char* const files[] = {"新しいフォルダー/Brawn_001.txt", "新しいフォルダー (2)/Brawn_002.txt",
                               "新しいフォルダー (2)/Brawn_003 (2).txt"};
  for (const char* file : files) {
    ++shape.seed;
    work.Write(file, ResultFile(shape));
  }
  const std::string copy = work / "新しいフォルダー (2)";
  const struct {
    std::string path_text;
    std::string filter_text;
    std::vector<std::string> lines;
  } cases[] = {
      {copy, "Brawn_*.txt", {"Brawn_002.txt,患者 2号", "Brawn_003 (2).txt,患者 3号"}},
      {" " + copy + kSep + " ", "Brawn_* (2).txt ", {"Brawn_003 (2).txt,患者 3号"}},
      {copy, "Brawn_* (9).txt", {"Brawn_002.txt,患者 2号", "Brawn_003 (2).txt,患者 3号"}},
      {work / "新しいフォルダー (筋力測定 )", "Brawn_*.txt     (筋力測定 )", {"Brawn_001.txt,患者 1号"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path_text + " | " + c.filter_text);
    const ProcessResult r =
        RunCli(work, Options(0, c.path_text, c.filter_text, work / "out.csv", kNameItems));
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> lines = {"ファイル名,名前"};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(work.Read("out.csv"), Cp932Lines(lines));
  }
}

// Names compare without regard to case, a hidden file is skipped, and a Japanese file name (in a
// Japanese directory, given on the command line) is written to the CSV file in CP932.
TEST(CliTest, MatchesNamesAsTheDesktopDoes) {
  WorkDir work;
  work.MakeDir("入力");
  ResultFileShape shape;
  shape.seed = 1;
  work.Write("入力/BRAWN_001.TXT", ResultFile(shape));
  shape.seed = 2;
  work.Write("入力/Brawn_002.txt", ResultFile(shape));
  HideFile(work / "入力/Brawn_002.txt");
  shape.seed = 3;
  work.Write("入力/Brawn_測定.txt", ResultFile(shape));
  shape.seed = 4;
  work.Write("入力/Brawn_004.csv", ResultFile(shape));

  const ProcessResult r =
      RunCli(work, Options(0, work / "入力", "Brawn_*.txt", work / "出力.csv", kNameItems));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "変換が完了しました\nデータ件数： 2件を処理しました\n");
  EXPECT_EQ(work.Read("出力.csv"),
            Cp932Lines({"ファイル名,名前", "BRAWN_001.TXT,患者 1号", "Brawn_測定.txt,患者 3号"}));
}

// Side files are numbered at the first "." of the output file's name, so a "." in a directory
// name leaves them beside the CSV file.
TEST(CliTest, PutsSideFilesBesideTheCsvFile) {
  WorkDir work;
  work.MakeDir("in");
  work.MakeDir("data.old");
  ResultFileShape shape;
  for (int i = 1; i <= 2; ++i) {
    shape.seed = i;
    work.Write("in/Brawn_00" + std::to_string(i) + ".txt", ResultFile(shape));
  }
  const std::string output = work / "data.old/out.csv";
  const ProcessResult r = RunCli(work, Options(0, work / "in", "Brawn_*.txt", output, kWaveItems));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(work.Read("data.old/out.csv"),
            Cp932Lines({"ファイル名,波形ファイル名,名前",
                        "Brawn_001.txt," + work / "data.old/out1.csv" + ",患者 1号",
                        "Brawn_002.txt," + work / "data.old/out2.csv" + ",患者 2号"}));
  EXPECT_EQ(work.List("data.old"), (std::vector<std::string>{"out.csv", "out1.csv", "out2.csv"}));
  EXPECT_EQ(work.List(), (std::vector<std::string>{"data.old", "in"}));
}

// An output path that names one of the result files, in whatever spelling, is refused before
// anything is written.
TEST(CliTest, NeverOverwritesAResultFile) {
  WorkDir work;
  work.MakeDir("in");
  ResultFileShape shape;
  const std::string result = ResultFile(shape);
  work.Write("in/Brawn_001.txt", result);
  // Windows names compare without case; elsewhere "." spells the same directory.
  const std::string output = kOnWindows ? work / "IN/BRAWN_001.TXT" : work / "in/./Brawn_001.txt";
  const ProcessResult r = RunCli(work, Options(0, work / "in", "Brawn_*.txt", output, kNameItems));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Error 1：Outputファイル('" + output + "')が開けません\n" + output +
                       ": 結果ファイルを上書きすることになります\n");
  EXPECT_EQ(work.Read("in/Brawn_001.txt"), result);
}

// A device name takes the bytes and keeps none: an output or side file that is no file on a
// disk is refused before anything is written to it (error 1 for the CSV file, 5 for a side file).
TEST(CliTest, RefusesOutputsThatAreNoDiskFile) {
  if (!kOnWindows) GTEST_SKIP() << "device names are Windows'";
  struct Case {
    std::string output;  // in the work directory unless absolute
    std::int32_t items;
    int exit_code;
    std::vector<std::string> left;  // what the work directory holds afterwards
  };
  const Case cases[] = {
      {"nul", kNameItems, 1, {"in"}},
      {"con", kNameItems, 1, {"in"}},
      {"C:\\Kyrova\\NUL", kNameItems, 1, {"in"}},
      {"\\\\.\\nul", kNameItems, 1, {"in"}},
      // The side files of "com" are "com1" and so on: a serial port.
      {"com", kWaveItems, 5, {"com", "in"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    WorkDir work;
    work.MakeDir("in");
    ResultFileShape shape;
    work.Write("in/Brawn_001.txt", ResultFile(shape));
    const std::string output =
        c.output.find('\\') == std::string::npos ? work / c.output : c.output;
    const ProcessResult r = RunCli(work, Options(0, work / "in", "Brawn_*.txt", output, c.items));
    EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
    const std::string refused = c.exit_code == 1 ? output : output + "1";
    const std::string message = "Error " + std::to_string(c.exit_code) + "：Outputファイル('" +
                                refused + "')が開けません\n";
    EXPECT_EQ(r.err.substr(0, message.size()), message);  // then the system's reason
    EXPECT_EQ(work.List(), c.left);
  }
}

// A network share is named as a drive path is, in its plain and its long form; under Wine no
// share can be reached, so each run ends at the share with its message naming it.
TEST(CliTest, TakesSharePathsAsItTakesDrivePaths) {
  if (!kOnWindows) GTEST_SKIP() << "network shares are Windows paths";
  WorkDir work;
  work.MakeDir("in");
  ResultFileShape shape;
  work.Write("in/Brawn_001.txt", ResultFile(shape));
  const struct {
    std::string path, output;
    int exit_code;
    std::string err;  // its start: then the system's reason, where one follows
  } cases[] = {
      {"\\\\nosuch\\share\\Kyrova", work / "o.csv", 3,
       "Error 3：Path('\\\\nosuch\\share\\Kyrova\\')にファイル('Brawn_*.txt')が存在しません\n"
       "\\\\nosuch\\share\\Kyrova\\: ディレクトリがありません\n"},
      {"\\\\?\\UNC\\nosuch\\share\\Kyrova", work / "o.csv", 3,
       "Error 3：Path('\\\\?\\UNC\\nosuch\\share\\Kyrova\\')にファイル('Brawn_*.txt')が存在しません\n"
       "\\\\?\\UNC\\nosuch\\share\\Kyrova\\: ディレクトリがありません\n"},
      {work / "in", "\\\\nosuch\\share\\out.csv", 1,
       "Error 1：Outputファイル('\\\\nosuch\\share\\out.csv')が開けません\n"
       "\\\\nosuch\\share\\out.csv: 作成できません（"},
      {work / "in", "\\\\?\\UNC\\nosuch\\share\\out.csv", 1,
       "Error 1：Outputファイル('\\\\?\\UNC\\nosuch\\share\\out.csv')が開けません\n"
       "\\\\?\\UNC\\nosuch\\share\\out.csv: 作成できません（"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " -> " + c.output);
    const ProcessResult r = RunCli(work, Options(0, c.path, "Brawn_*.txt", c.output, kNameItems));
    EXPECT_EQ(r.exit_code, c.exit_code);
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
  }
  EXPECT_FALSE(work.Exists("o.csv"));
}

// A pattern with a directory part reads the files of the directory it names, by the paths they
// were listed under, and an output path naming one of those files is refused in any spelling.
// A file of the same name in the directory box's own directory is not read.
TEST(CliTest, PatternWithADirectoryPartReadsThatDirectory) {
  WorkDir work;
  work.MakeDir("in");
  work.MakeDir("in/sub");
  work.MakeDir("out");
  ResultFileShape shape;
  shape.seed = 1;
  work.Write("in/Brawn_1.txt", ResultFile(shape));
  shape.seed = 2;
  const std::string listed = ResultFile(shape);
  work.Write("in/sub/Brawn_1.txt", listed);
  const std::string filter = std::string("sub") + kSep + "Brawn_*.txt";

  ProcessResult r = RunCli(work, Options(0, work / "in", filter, work / "out/r.csv", kNameItems));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(work.Read("out/r.csv"), Cp932Lines({"ファイル名,名前", "Brawn_1.txt,患者 2号"}));

  const std::string spellings[] = {
      work / "in/sub/Brawn_1.txt",
      kOnWindows ? work / "IN/SUB/BRAWN_1.TXT" : work / "in/./sub/../sub/Brawn_1.txt",
  };
  for (const std::string& output : spellings) {
    r = RunCli(work, Options(0, work / "in", filter, output, kNameItems));
    EXPECT_EQ(r.exit_code, 1) << output;
    EXPECT_EQ(work.Read("in/sub/Brawn_1.txt"), listed) << output;
  }
}

// On Windows the program's own default texts name real places: the isometric directory entry
// searches C:\Kyrova\IsoMetricResults\, and the default output C:\Kyrova\Sample1.csv has the
// side files C:\Kyrova\Sample11.csv and C:\Kyrova\Sample12.csv.
TEST(CliTest, UsesTheDefaultPlacesOnDriveC) {
  if (!kOnWindows) GTEST_SKIP() << "drive letters are Windows paths";
  const std::string kyrova = "C:\\Kyrova";
  if (PathExists(kyrova)) GTEST_SKIP() << kyrova << " exists already; it is left alone";
  MakeDirs(kyrova + "\\IsoMetricResults");
  const struct RemoveAtEnd {
    std::string path;
    ~RemoveAtEnd() { RemoveAll(path); }
  } cleanup{kyrova};
  WorkDir work;
  ResultFileShape shape;
  shape.mode = model::Mode::kIsometric;
  for (int i = 1; i <= 2; ++i) {
    shape.seed = i;
    WriteFile(kyrova + "\\IsoMetricResults\\IsoMetric_00" + std::to_string(i) + ".txt",
              ResultFile(shape));
  }
  const ProcessResult r =
      RunCli(work, {"--mode", "1", "--path", "C:\\Kyrova\\IsoMetricResults(ｱｲｿﾒﾄﾘｯｸ )", "--optcode",
                    std::to_string(kWaveItems)});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(kyrova + "\\Sample1.csv"),
            Cp932Lines({"ファイル名,波形ファイル名,名前",
                        "IsoMetric_001.txt,C:\\Kyrova\\Sample11.csv,患者 1号",
                        "IsoMetric_002.txt,C:\\Kyrova\\Sample12.csv,患者 2号"}));
  EXPECT_TRUE(PathExists(kyrova + "\\Sample11.csv"));
  EXPECT_TRUE(PathExists(kyrova + "\\Sample12.csv"));
}

}  // namespace
}  // namespace tallyx::testing
