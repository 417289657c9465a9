#include "model/messages.h"

#include <gtest/gtest.h>

namespace tallyx::model {
namespace {

TEST(Messages, BuildsPrompts) {
  struct Case {
    int number;
    const char* s1;
    const char* s2;
    const char* prompt;
  } cases[] = {
      {0, "", "", "Error 0：未定義"},
      {63, "", "", "Error 63：未定義"},
      {7, "x", "y", "Error 7：未定義"},
      {-1, "", "", "Error-1：未定義"},
      {62, "x", "", "Error 62：Unknown error"},
      {1, "", "", "Error 1：Outputファイル('')が開けません"},
      {5, "C:\\out.csv", "ignored", "Error 5：Outputファイル('C:\\out.csv')が開けません"},
      {3, "C:\\data\\", "A_*.txt",
       "Error 3：Path('C:\\data\\')にファイル('A_*.txt')が存在しません"},
      {2, "C:\\data\\", "A_*.txt", "Error 2：Path('C:\\data\\')が不正です"},
      {30, "C:\\TEMP\\a.ini", "", "Error 30：ファイル('C:\\TEMP\\a.ini')を作成できません"},
      {31, "/t/Tallyx.ini", "", "Error 31：ファイル('/t/Tallyx.ini')を変更できません"},
      {50, "/x.csv", "", "Error 50：ファイル('/x.csv')が見つかりません"},
      {51, "ignored", "", "Error 51：パスが見つかりません"},
      {-32768, "", "", "Error-32768：未定義"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MessagePrompt(static_cast<model::ErrorNumber>(c.number), c.s1, c.s2), c.prompt);
  }
}

TEST(Messages, ClosingMessageHoldsALoneCarriageReturn) {
  EXPECT_EQ(ClosingMessage(3), "変換が完了しました\rデータ件数： 3件を処理しました");
  EXPECT_EQ(ClosingMessage(40000), "変換が完了しました\rデータ件数： 40000件を処理しました");
}

}  // namespace
}  // namespace tallyx::model
