// The dialogs' path rules for both kinds of volume; on Linux the dialogs never meet a drive
// letter, so these rows are where those rules are checked outside Windows.
#include "text/paths.h"

#include <gtest/gtest.h>

namespace tallyx::text {
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
      {u"//server/share/out.csv", u"//server/share/", u"out.csv"},
      {u"//server/share/data/out.csv", u"//server/share/data", u"out.csv"},
      {u"//server/share", u"//server/share", u""},
      {u"//?/UNC/server/share/out.csv", u"//?/UNC/server/share/", u"out.csv"},
      {u"//?/C:/out.csv", u"//?/C:/", u"out.csv"},
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

// What a browser is handed for the guide: the host empty but for a share, every byte that is not
// plain ASCII encoded (the user's folder may be Japanese).
TEST(PathsTest, FileUrlsOfLocalAndSharedPages) {
  const struct {
    std::string_view path, anchor, url;
  } cases[] = {
      {"/usr/share/doc/tallyx/guide.html", "main-window",
       "file:///usr/share/doc/tallyx/guide.html#main-window"},
      {"/home/staff/a b#%/guide.html", "", "file:///home/staff/a%20b%23%25/guide.html"},
      {"C:/Users/職員/Programs/Tallyx/guide.html", "output-file",
       "file:///C:/Users/%E8%81%B7%E5%93%A1/Programs/Tallyx/guide.html#output-file"},
      {"//server/share/Tallyx/guide.html", "input-folder",
       "file://server/share/Tallyx/guide.html#input-folder"},
      {"//?/UNC/server/share/guide.html", "", "file://server/share/guide.html"},
      {"//?/C:/Tallyx/guide.html", "", "file:///C:/Tallyx/guide.html"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileUrl(c.path, c.anchor), c.url) << c.path;
}

// A share's root stands where a drive's root stands.
TEST(PathsTest, RootsOfDrivesAndShares) {
  const struct {
    std::u16string_view path;
    std::size_t root;
    bool bare, share, ignore_case;
    std::u16string_view plain;  // without the long form's prefix
  } cases[] = {
      {u"/", 1, false, false, false, u"/"},
      {u"/mnt/c", 1, false, false, false, u"/mnt/c"},
      {u"data/x", 0, false, false, false, u"data/x"},
      {u"C:", 2, true, false, true, u"C:"},
      {u"C:/", 3, false, false, true, u"C:/"},
      {u"c:/data", 3, false, false, true, u"c:/data"},
      {u"//server/share", 14, true, true, true, u"//server/share"},
      {u"//server/share/", 15, false, true, true, u"//server/share/"},
      {u"//server/share/Kyrova/BrawnResults", 15, false, true, true,
       u"//server/share/Kyrova/BrawnResults"},
      {u"//server", 0, false, true, false, u"//server"},
      {u"//server/", 0, false, true, false, u"//server/"},
      {u"//?/UNC/server/share/Kyrova", 21, false, true, true, u"//server/share/Kyrova"},
      {u"//?/UNC/server/share", 20, true, true, true, u"//server/share"},
      {u"//?/C:/Kyrova", 7, false, false, true, u"C:/Kyrova"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
    EXPECT_EQ(RootLength(c.path), c.root);
    EXPECT_EQ(IsBareRoot(c.path), c.bare);
    EXPECT_EQ(IsShare(c.path), c.share);
    EXPECT_EQ(NamesIgnoreCase(c.path.substr(0, c.root)), c.ignore_case);
    EXPECT_EQ(WithoutLongPrefix(c.path), c.plain);
  }
  EXPECT_EQ(JoinPath(u"//server/share/", u"a.csv", u'\\'), u"//server/share/a.csv");
  EXPECT_EQ(JoinPath(u"\\\\server\\share", u"a.csv", u'\\'), u"\\\\server\\share\\a.csv");
}

}  // namespace
}  // namespace tallyx::text
