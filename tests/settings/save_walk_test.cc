// Fault injection over a whole settings save: every file-system call of the five writes fails in
// turn. The settings file must be the old one or the new one, whole, at every moment; the failed
// write is reported once, and the other writes still take effect.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/faulty_fs.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx::settings {
namespace {

using testing::FaultyFileSystem;
using testing::FsCall;
using testing::Sjis;
using testing::TracedCall;
using testing::WorkDir;

struct Write {
  const char* key;
  std::string value;
};

// The five writes of a save, in its order.
std::vector<Write> WritesOf(const Settings& s) {
  return {{"MODE", std::to_string(model::NumberOf(s.mode))},
          {"OPTCODE", std::to_string(s.optcode)},
          {"PATH", s.path},
          {"FILTER", s.filter},
          {"OUTPUT", s.output}};
}

// A settings file, or none.
using FileState = std::optional<std::string>;

FileState ReadState(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return std::nullopt;
  std::fclose(f);
  return testing::ReadFile(path);
}

void SetState(const std::string& path, const FileState& state) {
  std::remove(path.c_str());
  std::remove((path + "$").c_str());
  if (state) testing::WriteFile(path, *state);
}

std::string Show(const FileState& s) { return s ? "\"" + *s + "\"" : "no file"; }

class SaveWalk {
 public:
  SaveWalk(FileState initial, const Settings& values)
      : path_(dir_ / "Tallyx.ini"), initial_(std::move(initial)), writes_(WritesOf(values)) {}

  // The file after the writes whose index is not `skipped`, made without failures; and the
  // calls each write makes (with their kinds) when it starts from the file before it.
  void Prepare() {
    for (std::size_t k = 0; k <= writes_.size(); ++k) after_skipping_.push_back(Apply(k));
    SetState(path_, initial_);
    states_.push_back(initial_);
    for (const Write& w : writes_) {
      fs_.Reset();
      ASSERT_FALSE(WriteIni(path_, "SYSTEM", w.key, w.value, fs_).has_value());
      calls_.push_back(fs_.Trace());
      fs_.Reset();
      states_.push_back(ReadState(path_));
      // The new content is on the disk before it takes the settings file's place: the
      // temporary file is written, flushed and closed, and then renamed.
      std::vector<FsCall> replacing;
      for (const TracedCall& c : calls_.back()) {
        if (c.path == path_ + "$" || c.call == FsCall::kRename) replacing.push_back(c.call);
      }
      EXPECT_EQ(replacing, (std::vector<FsCall>{FsCall::kOpen, FsCall::kWrite, FsCall::kFlush,
                                                FsCall::kClose, FsCall::kRename}))
          << w.key;
    }
  }

  // Each call of each write failing alone, from the file that write starts from: the file is
  // then the one before the write or the one after it, byte for byte.
  void EveryStepLeavesOldOrNew() {
    for (std::size_t k = 0; k < writes_.size(); ++k) {
      for (std::size_t n = 1; n <= calls_[k].size(); ++n) {
        SCOPED_TRACE(std::string(writes_[k].key) + ", call " + std::to_string(n));
        SetState(path_, states_[k]);
        fs_.Reset();
        fs_.FailCall(static_cast<long>(n));
        const auto failure = WriteIni(path_, "SYSTEM", writes_[k].key, writes_[k].value, fs_);
        fs_.Reset();
        EXPECT_EQ(fs_.OpenHandles(), 0);
        const FileState now = ReadState(path_);
        EXPECT_TRUE(now == states_[k] || now == states_[k + 1]) << Show(now);
        if (failure) {
          EXPECT_EQ(now, states_[k]) << "reported failed, but written";
          EXPECT_EQ(failure->err_no, ExpectedErrNo(k, n));
          EXPECT_EQ(failure->name, ExpectedName(k, n));
        }
        // A new file that could not be made leaves nothing behind.
        if (!states_[k]) {
          EXPECT_EQ(ReadState(path_ + "$"), std::nullopt);
        }
      }
    }
  }

  // Each call of the whole save failing alone: one failure reported, for the write the call
  // belongs to, and the other four writes done.
  void EveryCallOfTheSave(const Settings& values) {
    std::size_t total = 0;
    for (const auto& c : calls_) total += c.size();
    for (std::size_t n = 1; n <= total; ++n) {
      SCOPED_TRACE("save call " + std::to_string(n));
      std::size_t k = 0, within = n;
      while (within > calls_[k].size()) within -= calls_[k++].size();
      SetState(path_, initial_);
      fs_.Reset();
      fs_.FailCall(static_cast<long>(n));
      const std::vector<IniFailure> failures =
          SaveSettings(SettingsFile{path_, ""}, values, {}, fs_);
      fs_.Reset();
      EXPECT_EQ(fs_.OpenHandles(), 0);
      if (failures.empty()) {  // the failed call lost nothing (closing the old file)
        EXPECT_EQ(ReadState(path_), after_skipping_.back());
        continue;
      }
      ASSERT_EQ(failures.size(), 1u);
      EXPECT_EQ(failures[0].err_no, ExpectedErrNo(k, within));
      EXPECT_EQ(failures[0].name, ExpectedName(k, within));
      EXPECT_EQ(ReadState(path_), after_skipping_[k]);
      // A later write takes up a temporary file left behind; only the last one may leave it.
      if (k + 1 < writes_.size()) {
        EXPECT_EQ(ReadState(path_ + "$"), std::nullopt);
      }
    }
  }

 private:
  FileState Apply(std::size_t skipped) {
    SetState(path_, initial_);
    for (std::size_t k = 0; k < writes_.size(); ++k) {
      if (k != skipped) {
        EXPECT_FALSE(WriteIni(path_, "SYSTEM", writes_[k].key, writes_[k].value,
                              platform::RealFileSystem()));
      }
    }
    return ReadState(path_);
  }

  model::ErrorNumber ExpectedErrNo(std::size_t k, std::size_t n) const {
    const bool replace = calls_[k][n - 1].call == FsCall::kRename;
    return states_[k] && replace ? model::ErrorNumber::kSettingsNotReplaced
                                 : model::ErrorNumber::kSettingsNotWritten;
  }
  std::string ExpectedName(std::size_t k, std::size_t n) const {
    if (!states_[k]) return path_;
    return ExpectedErrNo(k, n) == model::ErrorNumber::kSettingsNotReplaced ? path_ : path_ + "$";
  }

  WorkDir dir_;
  std::string path_;
  FileState initial_;
  std::vector<Write> writes_;
  std::vector<FileState> states_;               // before write k, and at the end
  std::vector<FileState> after_skipping_;       // index 5: nothing skipped
  std::vector<std::vector<TracedCall>> calls_;  // of write k, run alone
  FaultyFileSystem fs_;
};

TEST(SaveWalkTest, EveryFailingCallLeavesTheSettingsWhole) {
  Settings values;
  values.mode = model::Mode::kInitialRehabilitation;
  values.optcode = 16777219;
  values.path = "E:\\結果 = 1   (初期リハ )";
  values.filter = "Beginning*.txt  (初期リハ )";
  values.output = "E:\\出力\\ソー表.csv";
  const FileState starts[] = {
      std::nullopt,
      Sjis("stray line\r\n[OTHER]\r\nMODE = 9\r\n[SYSTEM]\r\n  PATHX = 1\r\nMODE = 0\r\n"
           "OUTPUT = C:\\Kyrova\\Sample1.csv\r\n\r\n[LAST]\r\nX = 1\r\n"),
      // Long enough that reading it takes several reads.
      "[SYSTEM]\r\nPATH = " + std::string(10000, 'p') + "\r\n",
  };
  for (const FileState& start : starts) {
    SCOPED_TRACE(start ? "existing file" : "no file");
    SaveWalk walk(start, values);
    ASSERT_NO_FATAL_FAILURE(walk.Prepare());
    ASSERT_NO_FATAL_FAILURE(walk.EveryStepLeavesOldOrNew());
    ASSERT_NO_FATAL_FAILURE(walk.EveryCallOfTheSave(values));
  }
}

}  // namespace
}  // namespace tallyx::settings
