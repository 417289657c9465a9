// The four measurement modes and the 25 output items.
#include "model/model.h"

#include "text/parse.h"

namespace tallyx::model {
namespace {

struct ItemRow {
  std::string_view caption;  // unless the mode relabels the box
  ItemGroup group;
};

constexpr std::array<ItemRow, kItemCount> kItems = {{
    {"名前", ItemGroup::kFrame1},                      // Name
    {"ﾌｧｲﾙ名", ItemGroup::kFrame1},                    // FileName
    {"患者ｺｰﾄﾞ", ItemGroup::kFrame1},                  // PatientCode
    {"ﾕｰｻﾞID", ItemGroup::kFrame1},                    // UserId
    {"生年月日", ItemGroup::kFrame1},                  // BirthDate
    {"性別", ItemGroup::kFrame1},                      // Sex
    {"身長(cm)", ItemGroup::kFrame1},                  // Height
    {"体重(ｋg)", ItemGroup::kFrame1},                 // Weight
    {"ｼｰﾄﾍﾞｰｽ位置(A/B)", ItemGroup::kFrame2},          // SeatBase
    {"シート位置(目盛)", ItemGroup::kFrame2},          // SeatPosition
    {"ペダル高さ(目盛)", ItemGroup::kFrame2},          // PedalHeight
    {"ペダル長さ(cm)", ItemGroup::kFrame2},            // PedalLength
    {"背もたれ角度(目盛)", ItemGroup::kFrame2},        // BackrestAngle
    {"ﾍﾟﾀﾞﾙ原点位置(deg)", ItemGroup::kFrame2},        // PedalOrigin
    {"ペダル回転回数(回)", ItemGroup::kFrame2},        // PedalTurns
    {"ｱｼｽﾄ回転速度(r/min)", ItemGroup::kFrame2},       // AssistSpeed
    {"筋力測定設定(r/min)", ItemGroup::kFrame2},       // StrengthSetting
    {"ﾍﾟﾀﾞﾙ回転方向(正/逆)", ItemGroup::kFrame2},      // PedalDirection
    {"消費カロリー", ItemGroup::kFrame2},              // Calories
    {"予備", ItemGroup::kFrame2},                      // Spare
    {"測定日", ItemGroup::kFrame3},                    // Date
    {"測定時間", ItemGroup::kFrame3},                  // Time
    {"測定結果(最大値)", ItemGroup::kFrame3},          // Maximum
    {"各回測定結果(回数分)", ItemGroup::kFrame3},      // PerTurn
    {"波形データ（別ファイル）", ItemGroup::kFrame3},  // Waveform
}};

// Header columns in their order: the common ones, then the settings and the results of the mode.
constexpr HeaderGroup kCommonColumns[] = {
    {Item::kFileName, "ファイル名,"},
    {Item::kWaveform, "波形ファイル名,"},
    {Item::kUserId, "ユーザＩＤ,"},
    {Item::kDate, "測定日,"},
    {Item::kTime, "測定時,測定分,測定秒,"},
    {Item::kName, "名前,"},
    {Item::kBirthDate, "生年月日,"},
    {Item::kSex, "性別,"},
    {Item::kPatientCode, "患者コード,"},
    {Item::kHeight, "身長 (cm),"},
    {Item::kWeight, "体重 (kg),"},
    {Item::kSeatBase, "シートベース位置(A/B),"},
    {Item::kBackrestAngle, "背もたれ角度(目盛),"},
    {Item::kSeatPosition, "シート位置(目盛),"},
    {Item::kPedalHeight, "ペダル高さ(目盛),"},
    {Item::kPedalLength, "ペダル長さ(cm),"},
};

// The settings columns of the muscle strength and the initial rehabilitation mode.
constexpr HeaderGroup kPedalSettingColumns[] = {
    {Item::kPedalTurns, "ペダル回転回数(回),"},
    {Item::kStrengthSetting, "筋力測定設定(r/Min),"},
    {Item::kAssistSpeed, "アシスト回転速度(r/Min),"},
    {Item::kPedalOrigin, "ペダル原点位置(deg),"},
    {Item::kPedalDirection, "ペダル回転方向(正/逆),"},
};

constexpr HeaderGroup kMuscleStrengthResultColumns[] = {
    {Item::kMaximum,
     "最大筋力左,その回転回数,そのペダル角度,最大筋力右,その回転回数,そのペダル角度,"},
    {Item::kPerTurn,
     "回転回数(回),最大トルク左(Ｎ・ｍ),左消費カロリー(cal),左角度(deg),最大トルク右(Ｎ・ｍ),"
     "右消費カロリー(cal),右角度(deg),"},
};

constexpr HeaderGroup kIsometricSettingColumns[] = {
    {Item::kPedalTurns, "設定時間(秒),"},
    {Item::kStrengthSetting, "ペダル角度(deg),"},
    {Item::kAssistSpeed, "ピーク測定間隔(秒),"},
    {Item::kPedalOrigin, "ペダル原点位置(deg),"},
    {Item::kPedalDirection, "ペダル回転方向(正/逆),"},
};

constexpr HeaderGroup kIsometricResultColumns[] = {
    {Item::kMaximum, "測定時間(秒),最大トルク(N･m),ピーク時間(秒),力積(N･m･s),ピーク記録回数(回),"},
    {Item::kPerTurn, "ターン(回),ピークトルク(N･m),ピーク時間(秒),"},
};

constexpr HeaderGroup kInitialRehabilitationResultColumns[] = {
    {Item::kMaximum,
     "運動時間(秒),総合消費カロリー(kcal),左消費カロリー(kcal),右消費カロリー(kcal),最大筋力左,"
     "その回転回数,そのペダル角度,最大筋力右,その回転回数,そのペダル角度,"},
    {Item::kPerTurn,
     "回転回数(回),経過時間(0.1sec),最大筋力左(N･m),左消費カロリー(cal),左角度(deg),"
     "最大筋力右(N･m),右消費カロリー(cal),右角度(deg),アシスト左(N･m),左角度(deg),"
     "アシスト右(N･m),右角度(deg),最高回転速度(r/min),最低回転速度(r/min),"},
};

constexpr HeaderGroup kExerciseSettingColumns[] = {
    {Item::kStrengthSetting, "ペダル回転方向(正/逆),"},
    {Item::kAssistSpeed, "目標モード,目標下限,目標上限,"},
    {Item::kPedalTurns, "相対強度(%),相対強度比率(%),"},
    {Item::kPedalOrigin, "療法期,"},
    {Item::kPedalDirection, "運動時間(秒),"},
    {Item::kCalories, "消費カロリー(kcal),"},
};

constexpr HeaderGroup kExerciseResultColumns[] = {
    {Item::kMaximum,
     "運動時間(秒),ペダル回転回数,左消費カロリー,右消費カロリー,左最大筋力,右最大筋力,"},
};

constexpr Relabel kIsometricRelabels[] = {
    {Item::kPedalTurns, "設定時間(秒)"},
    {Item::kAssistSpeed, "ピーク測定間隔(秒)"},
    {Item::kStrengthSetting, "ペダル角度(deg)"},
};

constexpr Relabel kExerciseRelabels[] = {
    {Item::kPedalOrigin, "療法期"},          {Item::kPedalTurns, "相対強度(%)"},
    {Item::kAssistSpeed, "目標範囲"},        {Item::kStrengthSetting, "ﾍﾟﾀﾞﾙ回転方向(正/逆)"},
    {Item::kPedalDirection, "運動時間(秒)"},
};

constexpr std::int32_t kUsualHidden = MaskOf({Item::kCalories, Item::kSpare});

constexpr std::string_view kPedalSideCaption = "ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)";

constexpr std::array<ModeTable, kModeCount> kModes = {{
    {
        .mode_name = "筋力測定結果",
        .filter_entry = "Brawn_*.txt     (筋力測定 )",
        .directory_entry = "C:\\Kyrova\\BrawnResults    (筋力測定 )",
        .dialog_caption = "CSV出力項目の設定（筋力測定結果）",
        .relabels = {},
        .hidden_items = kUsualHidden,
        .setting_columns = kPedalSettingColumns,
        .result_columns = kMuscleStrengthResultColumns,
        .side_file_caption = kPedalSideCaption,
    },
    {
        .mode_name = "ｱｲｿﾒﾄﾘｯｸ結果",
        .filter_entry = "IsoMetric_*.txt (ｱｲｿﾒﾄﾘｯｸ )",
        .directory_entry = "C:\\Kyrova\\IsoMetricResults(ｱｲｿﾒﾄﾘｯｸ )",
        .dialog_caption = "CSV出力項目の設定（アイソメトリック）",
        .relabels = kIsometricRelabels,
        .hidden_items = kUsualHidden,
        .setting_columns = kIsometricSettingColumns,
        .result_columns = kIsometricResultColumns,
        .side_file_caption = "ペダル角度(deg),トルク(N･m)",
    },
    {
        .mode_name = "初期リハ結果",
        .filter_entry = "Beginning*.txt  (初期リハ )",
        .directory_entry = "C:\\Kyrova\\AdinResults     (初期リハ )",
        .dialog_caption = "CSV出力項目の設定（初期リハ）",
        .relabels = {},
        .hidden_items = kUsualHidden,
        .setting_columns = kPedalSettingColumns,
        .result_columns = kInitialRehabilitationResultColumns,
        .side_file_caption = kPedalSideCaption,
    },
    {
        .mode_name = "運動結果",
        .filter_entry = "Exercise_*.txt  (運動結果 )",
        .directory_entry = "C:\\Kyrova\\ExerciseResults (運動結果 )",
        .dialog_caption = "CSV出力項目の設定（運動結果）",
        .relabels = kExerciseRelabels,
        .hidden_items = MaskOf({Item::kSpare, Item::kPerTurn}),
        .setting_columns = kExerciseSettingColumns,
        .result_columns = kExerciseResultColumns,
        .side_file_caption =
            "秒(sec),運動モード,ガイドライン,トルク(N･m),回転速度(r/min),アシスト回転速度(r/min),"
            "運動ファイル名,心拍判断,心拍数(bpm)",
    },
}};

}  // namespace

const ModeTable& TableOf(Mode mode) { return kModes[static_cast<std::size_t>(NumberOf(mode))]; }

std::span<const HeaderGroup> CommonHeaderGroups() { return kCommonColumns; }

std::string_view ItemCaption(Item item, Mode mode) {
  for (const Relabel& r : TableOf(mode).relabels) {
    if (r.item == item) return r.caption;
  }
  return kItems[static_cast<std::size_t>(BitOf(item))].caption;
}

bool ItemShown(Item item, Mode mode) { return !Has(TableOf(mode).hidden_items, item); }

ItemGroup GroupOf(Item item) { return kItems[static_cast<std::size_t>(BitOf(item))].group; }

std::string ValuePart(std::string_view text) {
  const std::size_t paren = text.find('(');
  if (paren != std::string_view::npos) text = text.substr(0, paren);
  return std::string(text::TrimBlanks(text));
}

}  // namespace tallyx::model
