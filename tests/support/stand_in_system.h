// This process's system but for what a test hands in: the files of another file system (one
// that fails, or counts its calls), or a desktop whose opener gives a fixed answer.
#pragma once

#include <optional>
#include <string>

#include "platform/system.h"

namespace tallyx::testing {

class StandInSystem final : public platform::System {
 public:
  explicit StandInSystem(platform::FileSystem& files = platform::RealFileSystem())
      : files_(files) {}

  // From now on the desktop's opener opens nothing and answers `code` (a platform::shell_code),
  // for documents and pages alike.
  void AnswerOpensWith(int code) { open_answer_ = code; }

  platform::FileSystem& files() override { return files_; }
  std::string GetEnv(const char* name) override { return real_.GetEnv(name); }
  std::ostream& out() override { return real_.out(); }
  std::ostream& err() override { return real_.err(); }
  int OpenDocument(const std::string& path, const platform::WhileWaiting& wait) override {
    return open_answer_ ? *open_answer_ : real_.OpenDocument(path, wait);
  }
  int OpenPage(const std::string& page, const std::string& anchor,
               const platform::WhileWaiting& wait) override {
    return open_answer_ ? *open_answer_ : real_.OpenPage(page, anchor, wait);
  }
  std::string InstalledGuide() override { return real_.InstalledGuide(); }
  int CatchEndRequests() override { return real_.CatchEndRequests(); }
  void DrainEndRequests() override { real_.DrainEndRequests(); }

 private:
  platform::FileSystem& files_;
  platform::System& real_ = platform::RealSystem();
  std::optional<int> open_answer_;
};

}  // namespace tallyx::testing
