#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "desktop/open_document.h"
#include "model/messages.h"
#include "support/stand_in_system.h"
#include "support/workdir.h"

namespace tallyx::desktop {
namespace {

// The message "開く" shows for an outcome, as the window shows it: the document is named only
// where the outcome says the message names it.
std::string Shown(const OpenOutcome& outcome, const std::string& document) {
  return model::MessagePrompt(outcome.err_no, outcome.names_document ? document : "", "");
}

// Each failure code of the desktop's "open" service (as the Windows shell numbers them) and what
// the user reads for it. The numbers follow the meanings, not the order of the codes.
TEST(OpenFailureTest, EachFailureShowsItsMessage) {
  const std::string doc = "C:\\Kyrova\\Sample1.csv";
  const struct {
    const char* name;
    std::int32_t code;
    std::string shown;
  } cases[] = {
      {"file not found (2)", 2, "Error 50：ファイル('" + doc + "')が見つかりません"},
      {"path not found (3)", 3, "Error 51：パスが見つかりません"},
      {"access denied (5)", 5, "Error 52：アクセスできません"},
      {"out of memory (8)", 8, "Error 53：Out of memory"},
      {"library not found (32)", 32, "Error 54：DLLが見つかりません"},
      {"sharing violation (26)", 26, "Error 55：共有違反がおこりました"},
      {"incomplete association (27)", 27, "Error 56：不完全、または無効なファイルです"},
      {"DDE time-out (28)", 28, "Error 57：DDE Time out"},
      {"DDE failed (29)", 29, "Error 58：DDEトランザクションは失敗しました"},
      {"DDE busy (30)", 30, "Error 59：DDE busy"},
      {"no association (31)", 31, "Error 60：登録されていない拡張子です"},
      {"bad program (11)", 11, "Error 61：EXEファイルが異常です"},
  };
  testing::StandInSystem system;
  // The document and the guide's page fail alike, the page standing for the document.
  const auto each_open = [&](const auto& check) {
    check(OpenDocument(system, doc));
    check(OpenPage(system, doc, "main-window"));
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    system.AnswerOpensWith(c.code);
    each_open([&](const OpenOutcome& outcome) {
      EXPECT_FALSE(outcome.opened());
      EXPECT_EQ(Shown(outcome, doc), c.shown);
    });
  }
  // Any other code below success, those between the codes above too.
  for (const std::int32_t code :
       {0, 1, 4, 6, 7, 9, 10, 12, 25, -1, std::numeric_limits<std::int32_t>::min()}) {
    SCOPED_TRACE(code);
    system.AnswerOpensWith(code);
    each_open([&](const OpenOutcome& outcome) {
      EXPECT_FALSE(outcome.opened());
      EXPECT_EQ(Shown(outcome, doc), "Error 62：Unknown error");
    });
  }
}

// A file that is not there comes back as code 2 and a message that names it. Nothing is opened:
// the file does not exist.
TEST(OpenFailureTest, AMissingDocumentIsReported) {
  testing::WorkDir work;
  const std::string doc = work / "まだない.csv";
  const OpenOutcome outcome = OpenDocument(platform::RealSystem(), doc);
  EXPECT_EQ(outcome.code, platform::shell_code::kFileNotFound);
  EXPECT_EQ(Shown(outcome, doc), "Error 50：ファイル('" + doc + "')が見つかりません");
}

// The guide's page is looked at the same way before any browser is started.
TEST(OpenFailureTest, AMissingPageIsReportedAsADocumentIs) {
  testing::WorkDir work;
  platform::System& system = platform::RealSystem();
  EXPECT_EQ(OpenPage(system, work / "guide.html", "main-window").code,
            platform::shell_code::kFileNotFound);
  EXPECT_EQ(OpenPage(system, work / "none/guide.html", "main-window").code,
            platform::shell_code::kPathNotFound);
}

}  // namespace
}  // namespace tallyx::desktop
