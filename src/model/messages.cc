#include "model/messages.h"

#include <array>

namespace tallyx::model {
namespace {

using model::ErrorNumber;
using E = ErrorNumber;

// A message text is head + s1 + middle + s2 + tail; a piece that is absent leaves its text out.
struct Message {
  ErrorNumber number;
  bool uses_s1;
  bool uses_s2;
  std::string_view head;
  std::string_view middle;
  std::string_view tail;
};

constexpr std::string_view kOutputFile = "Outputファイル('";
constexpr std::string_view kPath = "Path('";
constexpr std::string_view kFile = "ファイル('";
constexpr std::string_view kNotOpened = "')が開けません";

constexpr std::array<Message, 19> kMessages = {{
    {E::kOutputFile, true, false, kOutputFile, kNotOpened, ""},
    {E::kSideFile, true, false, kOutputFile, kNotOpened, ""},
    {E::kDirectory, true, false, kPath, "')が不正です", ""},
    {E::kNoResultFile, true, true, kPath, "')にファイル('", "')が存在しません"},
    {E::kSettingsNotWritten, true, false, kFile, "')を作成できません", ""},
    {E::kSettingsNotReplaced, true, false, kFile, "')を変更できません", ""},
    {E::kOpenFileNotFound, true, false, kFile, "')が見つかりません", ""},
    {E::kOpenPathNotFound, false, false, "パスが見つかりません", "", ""},
    {E::kOpenAccessDenied, false, false, "アクセスできません", "", ""},
    {E::kOpenOutOfMemory, false, false, "Out of memory", "", ""},
    {E::kOpenLibraryNotFound, false, false, "DLLが見つかりません", "", ""},
    {E::kOpenSharingViolation, false, false, "共有違反がおこりました", "", ""},
    {E::kOpenIncompleteAssociation, false, false, "不完全、または無効なファイルです", "", ""},
    {E::kOpenDdeTimeout, false, false, "DDE Time out", "", ""},
    {E::kOpenDdeFailed, false, false, "DDEトランザクションは失敗しました", "", ""},
    {E::kOpenDdeBusy, false, false, "DDE busy", "", ""},
    {E::kOpenNoAssociation, false, false, "登録されていない拡張子です", "", ""},
    {E::kOpenBadProgram, false, false, "EXEファイルが異常です", "", ""},
    {E::kOpenUnknown, false, false, "Unknown error", "", ""},
}};

constexpr std::string_view kUndefined = "未定義";

}  // namespace

std::string MessagePrompt(ErrorNumber err_no, std::string_view s1, std::string_view s2) {
  std::string prompt = "Error";
  if (model::NumberOf(err_no) >= 0) prompt += ' ';
  prompt += std::to_string(model::NumberOf(err_no));
  prompt += "：";
  for (const Message& m : kMessages) {
    if (m.number != err_no) continue;
    prompt += m.head;
    if (m.uses_s1) prompt += s1;
    prompt += m.middle;
    if (m.uses_s2) prompt += s2;
    prompt += m.tail;
    return prompt;
  }
  prompt += kUndefined;
  return prompt;
}

namespace {
std::string CountMessage(std::string_view first_line, std::int32_t processed) {
  std::string text(first_line);
  text += '\r';
  text += "データ件数：";
  text += ' ';
  text += std::to_string(processed);
  text += "件を処理しました";
  return text;
}
}  // namespace

std::string ClosingMessage(std::int32_t processed) {
  return CountMessage("変換が完了しました", processed);
}

std::string StoppedMessage(std::int32_t processed) {
  return CountMessage("変換を中止しました", processed);
}

std::string FailureDetail(std::string_view path, std::int32_t line, std::string_view reason) {
  if (path.empty()) return std::string(reason);
  std::string text(path);
  text += ": ";
  if (line > 0) {
    text += std::to_string(line);
    text += "行目: ";
  }
  text += reason;
  return text;
}

std::string WithSystemWords(std::string_view reason, std::string_view system_words) {
  std::string text(reason);
  text += system_words;
  text += "）";
  return text;
}

std::string ExplainedSystemWords(std::string_view japanese, std::string_view system_words) {
  if (japanese.empty()) return std::string(system_words);
  std::string text(japanese);
  text += " (";
  text += system_words;
  text += ')';
  return text;
}

}  // namespace tallyx::model
