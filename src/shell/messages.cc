#include "shell/messages.h"

#include <array>

namespace tallyx::shell {
namespace {

// A message text is head + s1 + middle + s2 + tail; a piece that is absent leaves its text out.
struct Message {
  std::int16_t number;
  bool uses_s1;
  bool uses_s2;
  std::string_view head;
  std::string_view middle;
  std::string_view tail;
};

constexpr std::array<Message, 19> kMessages = {{
    {1, true, false, "Outputファイル('", "')が開けません", ""},
    {5, true, false, "Outputファイル('", "')が開けません", ""},
    {2, true, false, "Path('", "')が不正です", ""},
    {3, true, true, "Path('", "')にファイル('", "')が存在しません"},
    {30, true, false, "ファイル('", "')を作成できません", ""},
    {31, true, false, "ファイル('", "')を変更できません", ""},
    {50, true, false, "ファイル('", "')が見つかりません", ""},
    {51, false, false, "パスが見つかりません", "", ""},
    {52, false, false, "アクセスできません", "", ""},
    {53, false, false, "Out of memory", "", ""},
    {54, false, false, "DLLが見つかりません", "", ""},
    {55, false, false, "共有違反がおこりました", "", ""},
    {56, false, false, "不完全、または無効なファイルです", "", ""},
    {57, false, false, "DDE Time out", "", ""},
    {58, false, false, "DDEトランザクションは失敗しました", "", ""},
    {59, false, false, "DDE busy", "", ""},
    {60, false, false, "登録されていない拡張子です", "", ""},
    {61, false, false, "EXEファイルが異常です", "", ""},
    {62, false, false, "Unknown error", "", ""},
}};

constexpr std::string_view kUndefined = "未定義";

// Failure codes of the desktop's "open" service and the error numbers that report them.
struct OpenFailure {
  std::int32_t code;
  std::int16_t number;
};
constexpr std::array<OpenFailure, 12> kOpenFailures = {{
    {2, 50},
    {3, 51},
    {5, 52},
    {8, 53},
    {11, 61},
    {26, 55},
    {27, 56},
    {28, 57},
    {29, 58},
    {30, 59},
    {31, 60},
    {32, 54},
}};

}  // namespace

std::string MessagePrompt(std::int16_t err_no, std::string_view s1, std::string_view s2) {
  std::string prompt = "Error";
  if (err_no >= 0) prompt += ' ';
  prompt += std::to_string(err_no);
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

std::int16_t OpenFailureErrorNumber(std::int32_t code) {
  for (const OpenFailure& f : kOpenFailures) {
    if (f.code == code) return f.number;
  }
  return 62;
}

bool OpenFailureNamesDocument(std::int32_t code) { return code == 2; }

}  // namespace tallyx::shell
