// The catalogue of every text the user reads: the window's caption, the numbered error messages,
// the closing message of a conversion, and the messages of the dialogs. All texts are UTF-8.
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

// The output-item dialog's "OK" with no item ticked.
inline constexpr std::string_view kNoItemSelected = "変換項目を選択してください。";
// The output file dialog's "OK" with an empty file name.
inline constexpr std::string_view kNoFileName = "ファイル名を選択して下さい。";

// The main window's caption.
inline constexpr std::string_view kWindowCaption = "Kyrova データ集計ツール";

// The caption of every message box.
inline constexpr std::string_view kMessageCaption = "Tallyx";

}  // namespace tallyx::model
