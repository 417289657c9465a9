// The catalogue of every text the user reads: the window's caption, the numbered error messages,
// the closing message of a conversion, why a run failed, and the messages of the dialogs. All
// texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/errors.h"

namespace tallyx::model {

// The prompt of an error message: "Error", the number (a blank before it unless negative), a
// full-width colon and the message text, with `s1` and `s2` spliced in as they stand.
std::string MessagePrompt(model::ErrorNumber err_no, std::string_view s1, std::string_view s2);

// The closing message of a conversion run. It holds one carriage return (no line feed).
std::string ClosingMessage(std::int32_t processed);
// The message of a run that the user stopped, in the same form.
std::string StoppedMessage(std::int32_t processed);

// The caption of every message box.
inline constexpr std::string_view kMessageCaption = "Tallyx";

// Why a run failed: the line beneath its numbered message. A reason that ends in "（" is followed
// by the system's words for the failure (see WithSystemWords).
namespace failure_reason {
inline constexpr std::string_view kNoDirectory = "ディレクトリが指定されていません";
inline constexpr std::string_view kNoPattern = "ファイル名のパターンが指定されていません";
inline constexpr std::string_view kDirectoryMissing = "ディレクトリがありません";
inline constexpr std::string_view kNotADirectory = "ディレクトリではありません";
inline constexpr std::string_view kDirectoryUnreadable = "ディレクトリを読めません（";
inline constexpr std::string_view kNoMatch = "一致するファイルがありません";
inline constexpr std::string_view kNoOutputPath = "出力ファイル名が指定されていません";
inline constexpr std::string_view kNoColumn = "このモードで出力する項目が選ばれていません";
inline constexpr std::string_view kIsResultFile = "結果ファイルを上書きすることになります";
inline constexpr std::string_view kCannotCreate = "作成できません（";
inline constexpr std::string_view kCannotWrite = "書き込めません（";
inline constexpr std::string_view kCannotClose = "閉じられません（";
inline constexpr std::string_view kCannotOpen = "開けません（";
inline constexpr std::string_view kCannotRead = "読み込めません（";
inline constexpr std::string_view kEndsBefore = "ファイルがこの行の前で終わっています";
inline constexpr std::string_view kNoTab = "TABがありません";
inline constexpr std::string_view kNotATimeHead = "「";
inline constexpr std::string_view kNotATimeTail = "」は時刻ではありません";
inline constexpr std::string_view kCountHead = "回数「";
inline constexpr std::string_view kCountTail = "」が範囲を超えています（32767まで）";
inline constexpr std::string_view kNoCells = "データ行に書く値がありません";
}  // namespace failure_reason

// The common failures of the system, in Japanese, for a system whose own words are English;
// the system's words follow in parentheses (see ExplainedSystemWords).
namespace system_reason {
inline constexpr std::string_view kNoEntry = "ファイルまたはフォルダーがありません";
// A file could not be made because the folder it would lie in is missing.
inline constexpr std::string_view kFolderMissingHead = "フォルダー「";
inline constexpr std::string_view kFolderMissingTail = "」がありません";
inline constexpr std::string_view kAccessDenied = "アクセスが拒否されました";
inline constexpr std::string_view kDiskFull = "ディスクに十分な空き領域がありません";
inline constexpr std::string_view kReadOnly = "読み取り専用のファイルシステムです";
inline constexpr std::string_view kIsFolder = "ファイルではなくフォルダーです";
inline constexpr std::string_view kNotFolder = "パスの途中にフォルダーでないものがあります";
inline constexpr std::string_view kNameTooLong = "ファイル名が長すぎます";
}  // namespace system_reason

// The line that says what went wrong where: "<path>: <line>行目: <reason>" for a result file
// that broke off at a line (`line` above 0), otherwise "<path>: <reason>", and the reason alone
// when there is no path.
std::string FailureDetail(std::string_view path, std::int32_t line, std::string_view reason);
// A reason that ends in "（", the system's words, and "）".
std::string WithSystemWords(std::string_view reason, std::string_view system_words);
// A Japanese reason for a failure and the system's words in parentheses: "<japanese> (<words>)";
// the system's words alone when there is no Japanese reason.
std::string ExplainedSystemWords(std::string_view japanese, std::string_view system_words);

// ---- The progress viewer: its tables and reports ----
namespace progress_text {
// The session table of mode 0: its columns in order.
inline constexpr std::string_view kMuscleStrengthColumns[] = {
    "測定日", "時刻", "筋力測定設定(r/min)", "最大筋力左(N･m)", "最大筋力右(N･m)", "左右差(%)", "体重(kg)", "体重比左(N･m/kg)", "体重比右(N･m/kg)", "ファイル名"};
// The session table of mode 1: its columns in order.
inline constexpr std::string_view kIsometricColumns[] = {
    "測定日", "時刻", "ペダル角度(deg)", "最大トルク(N･m)", "ピーク時間(秒)", "力積(N･m･s)", "ピーク記録回数(回)", "体重比(N･m/kg)", "ファイル名"};
// The session table of mode 2: its columns in order.
inline constexpr std::string_view kInitialRehabilitationColumns[] = {
    "測定日", "時刻", "筋力測定設定(r/min)", "運動時間(秒)", "総合消費カロリー(kcal)", "最大筋力左(N･m)", "最大筋力右(N･m)", "左右差(%)", "体重比左(N･m/kg)", "体重比右(N･m/kg)", "ファイル名"};
// The session table of mode 3: its columns in order.
inline constexpr std::string_view kExerciseColumns[] = {
    "測定日", "時刻", "療法期", "運動時間(秒)", "消費カロリー(kcal)", "左最大筋力", "右最大筋力", "左右差(%)", "ファイル名"};
inline constexpr std::string_view kUnknownPatient = "（不明）";
// The patient block of a report.
inline constexpr std::string_view kPatientCode = "患者コード";
inline constexpr std::string_view kName = "名前";
inline constexpr std::string_view kSex = "性別";
inline constexpr std::string_view kBirthDate = "生年月日";
inline constexpr std::string_view kHeight = "身長(cm)";
inline constexpr std::string_view kWeight = "体重(kg)";
// The results of a report's page: the captions of its rows and columns.
inline constexpr std::string_view kLeft = "左";
inline constexpr std::string_view kRight = "右";
inline constexpr std::string_view kDifference = "左右差(%)";
inline constexpr std::string_view kMaximumStrength = "最大筋力(N･m)";
inline constexpr std::string_view kStrengthPerWeight = "体重比(N･m/kg)";
inline constexpr std::string_view kCalories = "消費カロリー(kcal)";
inline constexpr std::string_view kExerciseTime = "運動時間(秒)";
inline constexpr std::string_view kTotalCalories = "総合消費カロリー(kcal)";
inline constexpr std::string_view kMaximumTorque = "最大トルク(N･m)";
inline constexpr std::string_view kPeakTime = "ピーク時間(秒)";
inline constexpr std::string_view kImpulse = "力積(N･m･s)";
inline constexpr std::string_view kPeaksRecorded = "ピーク記録回数(回)";
}  // namespace progress_text

// ---- The window and its dialogs ----

// The main window: its caption, the captions of its labels and buttons, and the part number.
inline constexpr std::string_view kWindowCaption = "Kyrova データ集計ツール";
inline constexpr std::string_view kModeLabel = "Mode";
inline constexpr std::string_view kPathButton = "Path";
inline constexpr std::string_view kFilterLabel = "Filter";
// Also the label of the output file dialog's name box.
inline constexpr std::string_view kOutputButton = "Output";
inline constexpr std::string_view kOpenButton = "開く";
// Also the output-item dialog's button that ticks the default items.
inline constexpr std::string_view kDefaultsButton = "初期値";
inline constexpr std::string_view kItemsButton = "変換設定";
inline constexpr std::string_view kRunButton = "集計実行";
inline constexpr std::string_view kEndButton = "終了";
inline constexpr std::string_view kPartNumber = "72QK-31W418-B6";

// The buttons that confirm and cancel a dialog.
inline constexpr std::string_view kOkButton = "OK";
inline constexpr std::string_view kCancelButton = "ｷｬﾝｾﾙ";

// The output-item dialog (its caption is the mode's): its three frames, the button that
// unticks every box, and its "OK" with no item ticked.
inline constexpr std::string_view kUserFrame = "ﾕｰｻﾞ情報";
inline constexpr std::string_view kResultFrame = "測定結果情報";
inline constexpr std::string_view kErgometerFrame = "ｴﾙｺﾞ設定情報";
inline constexpr std::string_view kClearButton = "ｸﾘｱ";
inline constexpr std::string_view kNoItemSelected = "変換項目を選択してください。";

// The input directory dialog and the output file dialog; the latter's "OK" with an empty name.
inline constexpr std::string_view kDirectoryCaption = "Pathの設定";
inline constexpr std::string_view kFileCaption = "Outputの設定";
inline constexpr std::string_view kNoFileName = "ファイル名を選択して下さい。";

// The progress of a long run: the button that stops it, and the unit after "n / N".
inline constexpr std::string_view kStopButton = "中止";
inline constexpr std::string_view kCountUnit = "件";

// ---- The progress viewer ----

// Its window: the caption, the top row, the patient list and the charts' captions. A "%1" or "%2"
// stands for a number or a text filled in where it is shown.
inline constexpr std::string_view kViewerCaption = "Kyrova 経過グラフ";
inline constexpr std::string_view kFolderLabel = "フォルダ";
inline constexpr std::string_view kBrowseButton = "参照...";
inline constexpr std::string_view kFileNameLabel = "ファイル名";
inline constexpr std::string_view kLoadButton = "読み込み";
inline constexpr std::string_view kPatientSearchHint = "患者コード・名前で検索";
inline constexpr std::string_view kPatientColumns[] = {"患者コード", "名前", "測定数", "最終測定日"};
inline constexpr std::string_view kTrendCaption = "経過";
inline constexpr std::string_view kWeightToggle = "体重比で表示";
inline constexpr std::string_view kTurnCaption = "各回の最大値";
inline constexpr std::string_view kWaveCaption = "波形";
inline constexpr std::string_view kTimeView = "時間";
inline constexpr std::string_view kAngleView = "角度";
inline constexpr std::string_view kReportButton = "レポート出力(PDF)...";
inline constexpr std::string_view kPrintButton = "印刷...";
inline constexpr std::string_view kImageButton = "グラフを画像で保存...";
inline constexpr std::string_view kTableButton = "表をCSVで保存...";

// The status bar.
inline constexpr std::string_view kReadingStatus = "読み込み中 %1 / %2 件";
inline constexpr std::string_view kReadStatus = "%1 人・%2 件の測定";
inline constexpr std::string_view kUnreadableLink = "読めないファイル %1 件";
inline constexpr std::string_view kUnreadableCaption = "読めないファイル";

// The charts: sides, axes, the spread of the turns, the waveform cut short.
inline constexpr std::string_view kLeft = "左";
inline constexpr std::string_view kRight = "右";
inline constexpr std::string_view kLeftAtSpeed = "左 %1 r/min";
inline constexpr std::string_view kRightAtSpeed = "右 %1 r/min";
inline constexpr std::string_view kDifferenceAxis = "左右差(%)";
inline constexpr std::string_view kStrengthAxis = "最大筋力(N･m)";
inline constexpr std::string_view kStrengthPerWeightAxis = "体重比(N･m/kg)";
inline constexpr std::string_view kTorqueAxis = "最大トルク(N･m)";
inline constexpr std::string_view kDateAxis = "測定日";
inline constexpr std::string_view kTurnAxis = "回";
inline constexpr std::string_view kPeakAxis = "ピーク";
inline constexpr std::string_view kPerTurnAxis = "最大値(N･m)";
inline constexpr std::string_view kSampleAxis = "サンプル番号";
inline constexpr std::string_view kMean = "平均 %1 N･m";
inline constexpr std::string_view kVariation = "変動係数 %1 %";
inline constexpr std::string_view kTruncated = "先頭の2,000,000点を表示";
inline constexpr std::string_view kNoData = "データがありません";
inline constexpr std::string_view kWaveUnreadable = "波形を読めません: %1";

// The report: its pages, the choice of what it holds, and its failure.
inline constexpr std::string_view kReportTitle = "測定結果レポート（%1）";
inline constexpr std::string_view kReportMade = "作成日時 %1";
inline constexpr std::string_view kReportFooter = "ページ %1 / %2";
inline constexpr std::string_view kReportMeasurement = "測定 %1 %2";
inline constexpr std::string_view kReportSettings = "設定";
inline constexpr std::string_view kReportResults = "結果";
inline constexpr std::string_view kReportValue = "値";
inline constexpr std::string_view kReportSessions = "測定一覧";
inline constexpr std::string_view kReportAll = "すべての測定";
inline constexpr std::string_view kReportSelected = "選択した測定のみ";
inline constexpr std::string_view kReportChoice = "レポートに含める測定";
inline constexpr std::string_view kReportCaption = "レポート出力";
inline constexpr std::string_view kPdfFiles = "PDFファイル (*.pdf)";
inline constexpr std::string_view kPngFiles = "PNG画像 (*.png)";
inline constexpr std::string_view kCsvFiles = "CSVファイル (*.csv)";
inline constexpr std::string_view kPdfNotSaved = "PDFを保存できませんでした";
inline constexpr std::string_view kImageNotSaved = "画像を保存できませんでした";
inline constexpr std::string_view kTableNotSaved = "CSVを保存できませんでした";
inline constexpr std::string_view kNotPrinted = "印刷できませんでした";
inline constexpr std::string_view kNoPrinter = "プリンターがインストールされていません";
inline constexpr std::string_view kNoPatientChosen = "患者が選ばれていません";
inline constexpr std::string_view kDetailUnreadable = "この測定を読めません: %1";

// The headless report's lines on stderr.
inline constexpr std::string_view kWrongUsage = "使い方が正しくありません: %1";
inline constexpr std::string_view kNoSuchPatient = "患者「%1」の測定がありません（%2 人の患者が見つかりました）";

}  // namespace tallyx::model
