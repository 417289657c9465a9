#include "model/model.h"

#include <gtest/gtest.h>

namespace tallyx::model {
namespace {

TEST(Model, ModeTwoShowsTheItemsOfModeZero) {
  for (int item = 0; item < kItemCount; ++item) {
    EXPECT_EQ(ItemCaption(item, 2), ItemCaption(item, 0)) << item;
    EXPECT_EQ(ItemShown(item, 2), ItemShown(item, 0)) << item;
  }
  EXPECT_NE(EntriesOf(2).dialog_caption, EntriesOf(0).dialog_caption);
}

TEST(Model, OnlyItems13To17ChangeCaptionAnd18_19_23ChangeVisibility) {
  for (int item = 0; item < kItemCount; ++item) {
    const bool relabelled = item >= 13 && item <= 17;
    const bool differs = ItemCaption(item, 1) != ItemCaption(item, 0) ||
                         ItemCaption(item, 3) != ItemCaption(item, 0);
    EXPECT_EQ(differs, relabelled) << item;
  }
  EXPECT_EQ(ItemCaption(13, 3), "療法期");
  EXPECT_EQ(ItemCaption(17, 1), "ﾍﾟﾀﾞﾙ回転方向(正/逆)");  // as modes 0 and 2
  EXPECT_FALSE(ItemShown(18, 0));
  EXPECT_TRUE(ItemShown(18, 3));
  EXPECT_TRUE(ItemShown(23, 2));
  EXPECT_FALSE(ItemShown(23, 3));
  for (int mode = 0; mode < kModeCount; ++mode) EXPECT_FALSE(ItemShown(19, mode));
}

TEST(Model, OtherModesCountAsModeZero) {
  EXPECT_EQ(&EntriesOf(-1), &EntriesOf(0));
  EXPECT_EQ(&EntriesOf(4), &EntriesOf(0));
  EXPECT_EQ(ItemCaption(14, 7), ItemCaption(14, 0));
}

TEST(Model, MasksUseTwosComplementBits) {
  EXPECT_TRUE(HasBit(-1, 24));
  EXPECT_TRUE(HasBit(-1, 31));
  EXPECT_TRUE(HasBit(33554433, 0));
  EXPECT_FALSE(HasBit(33554433, 1));
  std::int32_t mask = 0;
  for (int bit : {0, 1, 3, 4, 5, 6, 7, 20, 21, 22, 23}) mask |= 1 << bit;
  EXPECT_EQ(mask, kDefaultMask);
}

TEST(Model, EntriesCarryTheirCommentsInOneColumn) {
  for (int mode = 0; mode < kModeCount; ++mode) {
    EXPECT_EQ(EntriesOf(mode).filter_entry.find('('), 16u) << mode;
    EXPECT_EQ(EntriesOf(mode).directory_entry.find('('), 26u) << mode;
  }
}

}  // namespace
}  // namespace tallyx::model
