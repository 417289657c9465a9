#include "model/messages.h"

#include <gtest/gtest.h>

namespace tallyx::model {
namespace {

// The messages a user meets are checked where they are shown: those of a failed run through
// tallyx-cli, those of "開く" and of a failed save with the outcomes that give them. What is left
// is the form of a number that has no message of its own.
TEST(Messages, ANumberWithoutAMessageIsUndefined) {
  const struct {
    int number;
    const char* prompt;
  } cases[] = {
      {0, "Error 0：未定義"},   {4, "Error 4：未定義"},  {7, "Error 7：未定義"},
      {63, "Error 63：未定義"}, {-1, "Error-1：未定義"}, {-32768, "Error-32768：未定義"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(MessagePrompt(static_cast<model::ErrorNumber>(c.number), "x", "y"), c.prompt);
  }
}

TEST(Messages, ClosingMessageHoldsALoneCarriageReturn) {
  EXPECT_EQ(ClosingMessage(3), "変換が完了しました\rデータ件数： 3件を処理しました");
  EXPECT_EQ(ClosingMessage(40000), "変換が完了しました\rデータ件数： 40000件を処理しました");
}

}  // namespace
}  // namespace tallyx::model
