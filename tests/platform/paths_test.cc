// The dialogs' path rules for both kinds of volume; on Linux the dialogs never meet a drive
// letter, so these rows are where those rules are checked outside Windows.
#include "platform/paths.h"

#include <gtest/gtest.h>

namespace tallyx::platform {
namespace {

TEST(PathsTest, SplitKeepsARootsSeparator) {
  struct Case {
    std::u16string_view path;
    std::u16string_view directory;  // none expected when empty and `name` is empty too
    std::u16string_view name;
  };
  const Case cases[] = {
      {u"/out.csv", u"/", u"out.csv"},
      {u"C:/out.csv", u"C:/", u"out.csv"},
      {u"/data/out.csv", u"/data", u"out.csv"},
      {u"C:/data/", u"C:/data", u""},
      {u"d/C:/x", u"d/C:", u"x"},
      {u"out.csv", u"", u""},
  };
  for (const Case& c : cases) {
    const auto split = SplitPath(c.path);
    if (c.directory.empty() && c.name.empty()) {
      EXPECT_FALSE(split.has_value());
      continue;
    }
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(c.path.substr(0, split->directory_length), c.directory);
    EXPECT_EQ(c.path.substr(split->name_start), c.name);
  }
}

TEST(PathsTest, JoinAddsASeparatorOnlyWhereNoneEnds) {
  EXPECT_EQ(JoinPath(u"/", u"a.csv"), u"/a.csv");
  EXPECT_EQ(JoinPath(u"/data", u"a.csv"), u"/data/a.csv");
  EXPECT_EQ(JoinPath(u"", u"a.csv"), u"/a.csv");
  EXPECT_EQ(JoinPath(u"C:\\", u"a.csv", u'\\'), u"C:\\a.csv");
  EXPECT_EQ(JoinPath(u"C:/", u"a.csv", u'\\'), u"C:/a.csv");
  EXPECT_EQ(JoinPath(u"C:\\data", u"a.csv", u'\\'), u"C:\\data\\a.csv");
}

TEST(PathsTest, DriveLetterVolumesIgnoreCase) {
  EXPECT_TRUE(IsBareDrive(u"C:"));
  EXPECT_FALSE(IsBareDrive(u"C:/"));
  EXPECT_TRUE(NamesIgnoreCase(u"C:/"));
  EXPECT_FALSE(NamesIgnoreCase(u"/"));
  EXPECT_FALSE(NamesIgnoreCase(u"/mnt/c"));
}

}  // namespace
}  // namespace tallyx::platform
