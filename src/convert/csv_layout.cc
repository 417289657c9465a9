#include "convert/csv_layout.h"

#include <span>

#include "model/model.h"
#include "platform/codec.h"

namespace tallyx::convert {
namespace {

struct Group {
  int bit;
  std::string_view captions;  // each ended by ","
};

// The groups in the order of their columns: the common ones, then those of the mode.
constexpr Group kCommon[] = {
    {1, "ファイル名,"},
    {24, "波形ファイル名,"},
    {3, "ユーザＩＤ,"},
    {20, "測定日,"},
    {21, "測定時,測定分,測定秒,"},
    {0, "名前,"},
    {4, "生年月日,"},
    {5, "性別,"},
    {2, "患者コード,"},
    {6, "身長 (cm),"},
    {7, "体重 (kg),"},
    {8, "シートベース位置(A/B),"},
    {12, "背もたれ角度(目盛),"},
    {9, "シート位置(目盛),"},
    {10, "ペダル高さ(目盛),"},
    {11, "ペダル長さ(cm),"},
};

constexpr Group kMuscleStrength[] = {
    {14, "ペダル回転回数(回),"},
    {16, "筋力測定設定(r/Min),"},
    {15, "アシスト回転速度(r/Min),"},
    {13, "ペダル原点位置(deg),"},
    {17, "ペダル回転方向(正/逆),"},
    {22, "最大筋力左,その回転回数,そのペダル角度,最大筋力右,その回転回数,そのペダル角度,"},
    {23,
     "回転回数(回),最大トルク左(Ｎ・ｍ),左消費カロリー(cal),左角度(deg),最大トルク右(Ｎ・ｍ),"
     "右消費カロリー(cal),右角度(deg),"},
};

constexpr Group kIsometric[] = {
    {14, "設定時間(秒),"},
    {16, "ペダル角度(deg),"},
    {15, "ピーク測定間隔(秒),"},
    {13, "ペダル原点位置(deg),"},
    {17, "ペダル回転方向(正/逆),"},
    {22, "測定時間(秒),最大トルク(N･m),ピーク時間(秒),力積(N･m･s),ピーク記録回数(回),"},
    {23, "ターン(回),ピークトルク(N･m),ピーク時間(秒),"},
};

constexpr Group kInitialRehabilitation[] = {
    {14, "ペダル回転回数(回),"},
    {16, "筋力測定設定(r/Min),"},
    {15, "アシスト回転速度(r/Min),"},
    {13, "ペダル原点位置(deg),"},
    {17, "ペダル回転方向(正/逆),"},
    {22,
     "運動時間(秒),総合消費カロリー(kcal),左消費カロリー(kcal),右消費カロリー(kcal),最大筋力左,"
     "その回転回数,そのペダル角度,最大筋力右,その回転回数,そのペダル角度,"},
    {23,
     "回転回数(回),経過時間(0.1sec),最大筋力左(N･m),左消費カロリー(cal),左角度(deg),"
     "最大筋力右(N･m),右消費カロリー(cal),右角度(deg),アシスト左(N･m),左角度(deg),"
     "アシスト右(N･m),右角度(deg),最高回転速度(r/min),最低回転速度(r/min),"},
};

constexpr Group kExercise[] = {
    {16, "ペダル回転方向(正/逆),"},
    {15, "目標モード,目標下限,目標上限,"},
    {14, "相対強度(%),相対強度比率(%),"},
    {13, "療法期,"},
    {17, "運動時間(秒),"},
    {18, "消費カロリー(kcal),"},
    {22, "運動時間(秒),ペダル回転回数,左消費カロリー,右消費カロリー,左最大筋力,右最大筋力,"},
};

std::span<const Group> ModeGroups(int mode) {
  switch (model::NormalMode(mode)) {
    case 1:
      return kIsometric;
    case 2:
      return kInitialRehabilitation;
    case 3:
      return kExercise;
    default:
      return kMuscleStrength;
  }
}

}  // namespace

std::string HeaderLine(int mode, std::int32_t mask) {
  std::string utf8;
  for (const auto groups : {std::span<const Group>(kCommon), ModeGroups(mode)}) {
    for (const Group& g : groups) {
      if (model::HasBit(mask, g.bit)) utf8 += g.captions;
    }
  }
  if (!utf8.empty()) utf8.pop_back();
  return platform::ToCp932(utf8);
}

std::string_view SideFileCaption(int mode) {
  switch (model::NormalMode(mode)) {
    case 1:
      return "ペダル角度(deg),トルク(N･m)";
    case 3:
      return "秒(sec),運動モード,ガイドライン,トルク(N･m),回転速度(r/min),アシスト回転速度(r/min),"
             "運動ファイル名,心拍判断,心拍数(bpm)";
    default:
      return "ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)";
  }
}

}  // namespace tallyx::convert
