// The real tallyx-view writes a patient's report without a display, in a fresh work directory;
// the PDF is read back as text. Each failure leaves one line on stderr, its exit status, and no
// PDF: an earlier one stays as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/workdir.h"
#include "view/patient_files.h"

namespace tallyx {
namespace {

using testing::ProcessResult;
using testing::RunProcess;
using testing::WorkDir;

const std::string kView = TALLYX_VIEW_PATH;

// A program of poppler-utils (scripts/setup installs it), found on PATH.
std::string Poppler(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (testing::PathExists(candidate)) return candidate;
    start = end + 1;
  }
  ADD_FAILURE() << name << " is missing: scripts/setup installs poppler-utils";
  return name;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WritePatientFiles(w_, "in");
    // No settings file: every value left out is a default.
    w_.MakeDir("temp");
    env_ = {"TEMP=" + (w_ / "temp"), "HOME=" + (w_ / "temp"), "XDG_CONFIG_HOME=" + (w_ / "temp")};
  }

  ProcessResult View(const std::vector<std::string>& args) {
    return RunProcess(kView, args, w_.path(), env_, 60);
  }

  // The PDF's text, laid out as on the page.
  std::string PdfText(const std::string& pdf) {
    const ProcessResult r = RunProcess(Poppler("pdftotext"), {"-layout", pdf, "-"}, w_.path());
    EXPECT_EQ(r.exit_code, 0) << r.err;
    return r.out;
  }

  WorkDir w_;
  std::vector<std::string> env_;
};

TEST_F(ReportTest, HoldsThePatientsValuesAndAPagePerMeasurement) {
  const std::string broken = (w_ / "in/Brawn_000005.txt") + ": 4行目: ";
  struct Row {
    std::vector<std::string> extra;
    int pages;
    std::vector<std::string> shown;      // on the pages
    std::vector<std::string> not_shown;  // measurements left out
  };
  const Row rows[] = {
      // Every measurement: the table's values and figures, then a page each, oldest first.
      {{"--all"},
       4,
       {"測定結果レポート（筋力測定結果）", "患者コード：P-7", "名前：患者 3号", "作成日時 20",
        "121.5", "122.5", "123.5", "2.9", "26.5", "19.0", "測定 2024/05/11 10:05:07",
        "測定 2024/05/12 11:05:07", "測定 2024/05/13 12:05:07", "左：平均 102.0 N",
        "右：平均 100.0 N", "変動係数 1.0 %",
        "ページ 1 / 4", "ページ 4 / 4"},
       {"ページ 5", "P-4"}},
      // The latest measurement alone.
      {{}, 2, {"測定 2024/05/13 12:05:07", "ページ 2 / 2"}, {"測定 2024/05/11", "ページ 3"}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args = {"--report", w_ / "out.pdf", "--patient", "P-7", "--mode", "0",
                                     "--path", w_ / "in"};
    args.insert(args.end(), row.extra.begin(), row.extra.end());
    const ProcessResult r = View(args);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    // The file that ends early is named, and only it.
    const std::vector<std::string> err = Lines(r.err);
    ASSERT_EQ(err.size(), 1u) << r.err;
    EXPECT_EQ(err[0].rfind(broken, 0), 0u) << r.err;

    const std::string text = PdfText(w_ / "out.pdf");
    for (const std::string& s : row.shown) EXPECT_NE(text.find(s), std::string::npos) << s;
    for (const std::string& s : row.not_shown) EXPECT_EQ(text.find(s), std::string::npos) << s;
    const ProcessResult info = RunProcess(Poppler("pdfinfo"), {w_ / "out.pdf"}, w_.path());
    const std::size_t pages = info.out.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info.out;
    EXPECT_EQ(std::atoi(info.out.c_str() + pages + 6), row.pages) << info.out;
    // Nothing is left beside it.
    EXPECT_EQ(w_.List(), (std::vector<std::string>{"in", "out.pdf", "temp"}));
  }
}

TEST_F(ReportTest, FailuresTellWhyAndLeaveNoPdf) {
  const std::string earlier = "an earlier report";
  w_.Write("out.pdf", earlier);
  w_.MakeDir("adir");
  const std::string result_file = w_.Read("in/Brawn_000001.txt");
  struct Row {
    const char* what;
    std::vector<std::string> args;
    int exit_code;
    std::string line;  // in the last line of stderr
  };
  const std::string in = w_ / "in", out = w_ / "out.pdf";
  const Row rows[] = {
      {"unknown option", {"--report", out, "--patient", "P-7", "--bogus"}, 64, "使い方"},
      {"no patient", {"--report", out, "--path", in}, 64, "使い方"},
      {"no such mode", {"--report", out, "--patient", "P-7", "--mode", "7"}, 64, "使い方"},
      {"folder missing", {"--report", out, "--patient", "P-7", "--path", w_ / "none"}, 2,
       "ディレクトリがありません"},
      {"no file matches",
       {"--report", out, "--patient", "P-7", "--path", in, "--filter", "Other_*.txt"}, 2,
       "一致するファイルがありません"},
      {"unknown patient", {"--report", out, "--patient", "P-9", "--mode", "0", "--path", in}, 3,
       "患者「P-9」の測定がありません（2 人の患者が見つかりました）"},
      {"folder of the PDF missing",
       {"--report", w_ / "none/out.pdf", "--patient", "P-7", "--mode", "0", "--path", in}, 1,
       "PDFを保存できませんでした: " + (w_ / "none/out.pdf") + ": 作成できません（"},
      {"PDF over a directory",
       {"--report", w_ / "adir", "--patient", "P-7", "--mode", "0", "--path", in}, 1,
       "PDFを保存できませんでした: " + (w_ / "adir") + ": "},
      {"PDF over a result file",
       {"--report", w_ / "in/Brawn_000001.txt", "--patient", "P-7", "--mode", "0", "--path", in},
       1, "結果ファイルを上書きすることになります"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const ProcessResult r = View(row.args);
    EXPECT_EQ(r.exit_code, row.exit_code) << r.err;
    EXPECT_EQ(r.out, "");
    std::vector<std::string> err = Lines(r.err);
    ASSERT_FALSE(err.empty());
    if (row.exit_code == 64) {
      EXPECT_EQ(err[0].rfind(row.line, 0), 0u) << r.err;
    } else {
      // Beside the line of the file that ends early (once the folder was read), one line.
      EXPECT_EQ(err.size(), row.exit_code == 2 ? 1u : 2u) << r.err;
      EXPECT_NE(err.back().find(row.line), std::string::npos) << r.err;
    }
    EXPECT_EQ(w_.Read("out.pdf"), earlier);
    EXPECT_EQ(w_.Read("in/Brawn_000001.txt"), result_file);
    EXPECT_EQ(w_.List(), (std::vector<std::string>{"adir", "in", "out.pdf", "temp"}));
    EXPECT_EQ(w_.List("adir"), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace tallyx
