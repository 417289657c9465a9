#include <gtest/gtest.h>

#include "model/messages.h"
#include "desktop/open_document.h"
#include "support/stand_in_system.h"
#include "support/workdir.h"

namespace tallyx::desktop {
namespace {

TEST(OpenFailureTest, MapsEachShellCodeToItsErrorNumber) {
  struct Case {
    std::int32_t code;
    std::int16_t err_no;
  };
  // The numbers follow the meanings, not the order of the codes: 11 gives 61, 32 gives 54.
  const Case cases[] = {{2, 50},
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
                        {0, 62},
                        {1, 62},
                        {4, 62},
                        {6, 62},
                        {7, 62},
                        {9, 62},
                        {10, 62},
                        {12, 62},
                        {25, 62},
                        {-1, 62},
                        {-2147483647 - 1, 62}};
  testing::StandInSystem system;
  for (const Case& c : cases) {
    system.AnswerOpensWith(c.code);
    for (const OpenOutcome& outcome :
         {OpenDocument(system, "a.csv"), OpenPage(system, "guide.html", "main-window")}) {
      EXPECT_EQ(outcome.code, c.code);
      EXPECT_FALSE(outcome.opened()) << c.code;
      EXPECT_EQ(model::NumberOf(outcome.err_no), c.err_no) << c.code;
      EXPECT_EQ(outcome.names_document, c.code == 2) << c.code;
    }
  }
}

// A file that is not there comes back as code 2, error 50 with the path in its text. Nothing is
// opened: the file does not exist.
TEST(OpenFailureTest, AMissingDocumentIsReported) {
  testing::WorkDir work;
  const std::string doc = work / "まだない.csv";
  const OpenOutcome outcome = OpenDocument(platform::RealSystem(), doc);
  EXPECT_EQ(outcome.code, platform::shell_code::kFileNotFound);
  EXPECT_EQ(MessagePrompt(outcome.err_no, doc, ""),
            "Error 50：ファイル('" + doc + "')が見つかりません");
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
