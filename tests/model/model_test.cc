#include "model/model.h"

#include <gtest/gtest.h>

#include <string>

namespace tallyx::model {
namespace {

TEST(Model, ModeTwoShowsTheItemsOfModeZero) {
  for (int bit = 0; bit < kItemCount; ++bit) {
    const Item item = ItemAt(bit);
    EXPECT_EQ(ItemCaption(item, Mode::kInitialRehabilitation),
              ItemCaption(item, Mode::kMuscleStrength))
        << bit;
    EXPECT_EQ(ItemShown(item, Mode::kInitialRehabilitation), ItemShown(item, Mode::kMuscleStrength))
        << bit;
  }
  EXPECT_NE(TableOf(Mode::kInitialRehabilitation).dialog_caption,
            TableOf(Mode::kMuscleStrength).dialog_caption);
}

TEST(Model, OnlyItems13To17ChangeCaptionAnd18_19_23ChangeVisibility) {
  for (int bit = 0; bit < kItemCount; ++bit) {
    const Item item = ItemAt(bit);
    const bool relabelled = bit >= BitOf(Item::kPedalOrigin) && bit <= BitOf(Item::kPedalDirection);
    const bool differs =
        ItemCaption(item, Mode::kIsometric) != ItemCaption(item, Mode::kMuscleStrength) ||
        ItemCaption(item, Mode::kExercise) != ItemCaption(item, Mode::kMuscleStrength);
    EXPECT_EQ(differs, relabelled) << bit;
  }
  EXPECT_EQ(ItemCaption(Item::kPedalOrigin, Mode::kExercise), "療法期");
  // as modes 0 and 2
  EXPECT_EQ(ItemCaption(Item::kPedalDirection, Mode::kIsometric), "ﾍﾟﾀﾞﾙ回転方向(正/逆)");
  EXPECT_FALSE(ItemShown(Item::kCalories, Mode::kMuscleStrength));
  EXPECT_TRUE(ItemShown(Item::kCalories, Mode::kExercise));
  EXPECT_TRUE(ItemShown(Item::kPerTurn, Mode::kInitialRehabilitation));
  EXPECT_FALSE(ItemShown(Item::kPerTurn, Mode::kExercise));
  for (const Mode mode : kAllModes) EXPECT_FALSE(ItemShown(Item::kSpare, mode));
}

TEST(Model, OtherModesCountAsModeZero) {
  EXPECT_EQ(ModeOf(-1), Mode::kMuscleStrength);
  EXPECT_EQ(ModeOf(4), Mode::kMuscleStrength);
  EXPECT_EQ(ModeOf(7), Mode::kMuscleStrength);
  EXPECT_EQ(ModeOf(3), Mode::kExercise);
}

TEST(Model, MasksUseTwosComplementBits) {
  EXPECT_TRUE(Has(-1, Item::kWaveform));
  EXPECT_TRUE(HasBit(-1, 31));
  EXPECT_TRUE(Has(33554433, Item::kName));
  EXPECT_FALSE(Has(33554433, Item::kFileName));
  EXPECT_EQ(kAllItemsMask, 33554431);
}

// The items a first start ticks, as the output-item dialog names them.
TEST(Model, TheDefaultMaskHoldsTheElevenDefaultItems) {
  std::string ticked;
  for (int bit = 0; bit < kItemCount; ++bit) {
    if (!Has(kDefaultMask, ItemAt(bit))) continue;
    if (!ticked.empty()) ticked += "、";
    ticked += ItemCaption(ItemAt(bit), Mode::kMuscleStrength);
  }
  EXPECT_EQ(ticked,
            "名前、ﾌｧｲﾙ名、ﾕｰｻﾞID、生年月日、性別、身長(cm)、体重(ｋg)、"
            "測定日、測定時間、測定結果(最大値)、各回測定結果(回数分)");
}

TEST(Model, EntriesCarryTheirCommentsInOneColumn) {
  for (const Mode mode : kAllModes) {
    EXPECT_EQ(TableOf(mode).filter_entry.find('('), 16u) << NumberOf(mode);
    EXPECT_EQ(TableOf(mode).directory_entry.find('('), 26u) << NumberOf(mode);
  }
}

}  // namespace
}  // namespace tallyx::model
