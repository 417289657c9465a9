#include "support/result_files.h"

#include "platform/codec.h"

namespace tallyx::testing {
namespace {

std::string N(int v) { return std::to_string(v); }

}  // namespace

std::string Sjis(std::string_view utf8) { return platform::ToCp932(utf8); }

std::vector<std::string> ResultLines(const ResultFileShape& f) {
  const int s = f.seed;
  std::vector<std::string> u;  // UTF-8, converted at the end
  u.push_back("KYROVA RESULT");
  u.push_back("VERSION 2.10");
  u.push_back("U" + N(1000 + s) + "\tユーザID");
  u.push_back("2024/05/" + N(10 + s % 20) + "," + N(9 + s % 10) + ":05:07\t測定日時");
  u.push_back("患者 " + N(s) + "号\t名前");
  u.push_back("1950/01/" + N(1 + s % 28) + "\t生年月日");
  u.push_back((s % 2 ? "男" : "女") + std::string("\t性別"));
  u.push_back("P-" + N(s) + "\t患者コード");
  u.push_back("-");
  u.push_back("-");
  u.push_back(" " + N(150 + s % 40) + " \t身長");
  u.push_back(N(50 + s % 30) + ".5\t体重");
  u.push_back("-");
  u.push_back("A\tシートベース");
  u.push_back(N(s % 7) + "\t背もたれ");
  u.push_back(N(s % 9) + "\tシート");
  u.push_back(N(s % 5) + "\tペダル高さ");
  u.push_back(N(30 + s % 10) + "\tペダル長さ");
  switch (f.mode) {
    case model::Mode::kIsometric:
      u.push_back("30\t設定時間");
      u.push_back("45\tペダル角度");
      u.push_back("0.5\tピーク測定間隔");
      u.push_back("90\t原点");
      u.push_back("正\t回転方向");
      u.push_back("-");
      u.push_back("-");
      u.push_back("30\t測定時間");
      u.push_back(N(100 + s) + ".2\t最大トルク");
      u.push_back("12.5\tピーク時間");
      u.push_back("800.1\t力積");
      u.push_back(N(f.turns) + "\tピーク記録回数");
      for (int i = 1; i <= f.turns; ++i) u.push_back(N(10 + i) + ".3,0." + N(i % 10) + "\tピーク");
      break;
    case model::Mode::kInitialRehabilitation:
      u.push_back(N(f.turns) + "\t回転回数");
      u.push_back("30\t筋力測定設定");
      u.push_back("10\tアシスト");
      u.push_back("90\t原点");
      u.push_back("逆\t回転方向");
      u.push_back("-");
      u.push_back("-");
      u.push_back("300,120.5\t運動時間,総合");
      u.push_back("60.2,60.3\t左右");
      u.push_back(N(110 + s) + ".0,3,45\t左");
      u.push_back("108.0,4,50\t右");
      u.push_back("-");
      u.push_back("-");
      for (int i = 1; i <= f.turns; ++i) {
        u.push_back(N(i) + "," + N(i * 10) + ",50.1,12,45,49.8,11,50,5.5,40,5.6,41,30,20\t回");
      }
      break;
    case model::Mode::kExercise:
      u.push_back("-");
      u.push_back("正\t回転方向");
      u.push_back("1,10,20\t目標範囲");
      if (!f.therapy_on_line_22) u.push_back("50,80\t相対強度");
      u.push_back(N(1 + s % 3) + "\t療法期");
      u.push_back("600\t運動時間");
      u.push_back("35.5\t消費カロリー");
      u.push_back("-");
      u.push_back("600,120\t運動時間,回転回数");
      u.push_back("30.1\t左");
      u.push_back("30.2\t右");
      u.push_back("100.5,98.0\t最大筋力");
      break;
    default:
      u.push_back(N(f.turns) + "\t回転回数");
      u.push_back("30\t筋力測定設定");
      u.push_back("10\tアシスト回転速度");
      u.push_back("90\tペダル原点位置");
      u.push_back("正\tペダル回転方向");
      u.push_back("-");
      u.push_back("-");
      u.push_back(N(120 + s) + ".5,3,45\t左");
      u.push_back("118.0,4,50\t右");
      u.push_back("-");
      for (int i = 1; i <= f.turns; ++i) {
        u.push_back(N(i) + "," + N(100 + i) + ".0,12,45," + N(98 + i) + ".0,11,50\t回");
      }
      break;
  }
  u.push_back("WAVE");
  u.push_back("deg,load,speed");
  for (int i = 0; i < f.waveform_lines; ++i) {
    u.push_back(N(i % 360) + "," + N((i * 7 + s) % 200) + ".5,\t" + N(30 + i % 5));
  }
  std::vector<std::string> lines;
  lines.reserve(u.size());
  for (const std::string& l : u) lines.push_back(Sjis(l));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

int WaveformStart(const ResultFileShape& f) {
  switch (f.mode) {
    case model::Mode::kIsometric:
      return 31 + f.turns;
    case model::Mode::kInitialRehabilitation:
      return 32 + f.turns;
    case model::Mode::kExercise:
      return f.therapy_on_line_22 ? 30 : 31;
    default:
      return 29 + f.turns;
  }
}

}  // namespace tallyx::testing
