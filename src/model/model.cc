// The four measurement modes and the 25 output items.
#include "model/model.h"

#include <array>

namespace tallyx::model {
namespace {

constexpr std::array<ModeEntries, 4> kModes = {{
    {"筋力測定結果", "Brawn_*.txt     (筋力測定 )", "C:\\Kyrova\\BrawnResults    (筋力測定 )",
     "CSV出力項目の設定（筋力測定結果）"},
    {"ｱｲｿﾒﾄﾘｯｸ結果", "IsoMetric_*.txt (ｱｲｿﾒﾄﾘｯｸ )", "C:\\Kyrova\\IsoMetricResults(ｱｲｿﾒﾄﾘｯｸ )",
     "CSV出力項目の設定（アイソメトリック）"},
    {"初期リハ結果", "Beginning*.txt  (初期リハ )", "C:\\Kyrova\\AdinResults     (初期リハ )",
     "CSV出力項目の設定（初期リハ）"},
    {"運動結果", "Exercise_*.txt  (運動結果 )", "C:\\Kyrova\\ExerciseResults (運動結果 )",
     "CSV出力項目の設定（運動結果）"},
}};

struct Item {
  std::string_view caption;        // modes 0 and 2
  std::string_view caption_mode1;  // empty: as modes 0 and 2
  std::string_view caption_mode3;
  ItemGroup group;
  unsigned shown_in;  // bit m set: shown in mode m
};

constexpr std::array<Item, kItemCount> kItems = {{
    {"名前", "", "", ItemGroup::kFrame1, 0b1111},                                           // 0
    {"ﾌｧｲﾙ名", "", "", ItemGroup::kFrame1, 0b1111},                                         // 1
    {"患者ｺｰﾄﾞ", "", "", ItemGroup::kFrame1, 0b1111},                                       // 2
    {"ﾕｰｻﾞID", "", "", ItemGroup::kFrame1, 0b1111},                                         // 3
    {"生年月日", "", "", ItemGroup::kFrame1, 0b1111},                                       // 4
    {"性別", "", "", ItemGroup::kFrame1, 0b1111},                                           // 5
    {"身長(cm)", "", "", ItemGroup::kFrame1, 0b1111},                                       // 6
    {"体重(ｋg)", "", "", ItemGroup::kFrame1, 0b1111},                                      // 7
    {"ｼｰﾄﾍﾞｰｽ位置(A/B)", "", "", ItemGroup::kFrame2, 0b1111},                               // 8
    {"シート位置(目盛)", "", "", ItemGroup::kFrame2, 0b1111},                               // 9
    {"ペダル高さ(目盛)", "", "", ItemGroup::kFrame2, 0b1111},                               // 10
    {"ペダル長さ(cm)", "", "", ItemGroup::kFrame2, 0b1111},                                 // 11
    {"背もたれ角度(目盛)", "", "", ItemGroup::kFrame2, 0b1111},                             // 12
    {"ﾍﾟﾀﾞﾙ原点位置(deg)", "", "療法期", ItemGroup::kFrame2, 0b1111},                       // 13
    {"ペダル回転回数(回)", "設定時間(秒)", "相対強度(%)", ItemGroup::kFrame2, 0b1111},      // 14
    {"ｱｼｽﾄ回転速度(r/min)", "ピーク測定間隔(秒)", "目標範囲", ItemGroup::kFrame2, 0b1111},  // 15
    {"筋力測定設定(r/min)", "ペダル角度(deg)", "ﾍﾟﾀﾞﾙ回転方向(正/逆)", ItemGroup::kFrame2,
     0b1111},                                                                  // 16
    {"ﾍﾟﾀﾞﾙ回転方向(正/逆)", "", "運動時間(秒)", ItemGroup::kFrame2, 0b1111},  // 17
    {"消費カロリー", "", "", ItemGroup::kFrame2, 0b1000},                      // 18
    {"予備", "", "", ItemGroup::kFrame2, 0b0000},                              // 19
    {"測定日", "", "", ItemGroup::kFrame3, 0b1111},                            // 20
    {"測定時間", "", "", ItemGroup::kFrame3, 0b1111},                          // 21
    {"測定結果(最大値)", "", "", ItemGroup::kFrame3, 0b1111},                  // 22
    {"各回測定結果(回数分)", "", "", ItemGroup::kFrame3, 0b0111},              // 23
    {"波形データ（別ファイル）", "", "", ItemGroup::kFrame3, 0b1111},          // 24
}};

}  // namespace

const ModeEntries& EntriesOf(int mode) {
  return kModes[static_cast<std::size_t>(NormalMode(mode))];
}

std::string_view ItemCaption(int item, int mode) {
  const Item& it = kItems[static_cast<std::size_t>(item)];
  const int m = NormalMode(mode);
  if (m == 1 && !it.caption_mode1.empty()) return it.caption_mode1;
  if (m == 3 && !it.caption_mode3.empty()) return it.caption_mode3;
  return it.caption;
}

bool ItemShown(int item, int mode) {
  return (kItems[static_cast<std::size_t>(item)].shown_in >> NormalMode(mode)) & 1u;
}

ItemGroup GroupOf(int item) { return kItems[static_cast<std::size_t>(item)].group; }

}  // namespace tallyx::model
