// This process's system with the files of another file system, one that a test hands in (that
// fails, or counts its calls).
#pragma once

#include <string>

#include "platform/system.h"

namespace tallyx::testing {

class SystemWithFiles final : public platform::System {
 public:
  explicit SystemWithFiles(platform::FileSystem& files) : files_(files) {}

  platform::FileSystem& files() override { return files_; }
  std::string GetEnv(const char* name) override { return real_.GetEnv(name); }
  std::ostream& out() override { return real_.out(); }
  std::ostream& err() override { return real_.err(); }
  int OpenDocument(const std::string& path, const platform::WhileWaiting& wait) override {
    return real_.OpenDocument(path, wait);
  }
  int OpenPage(const std::string& page, const std::string& anchor,
               const platform::WhileWaiting& wait) override {
    return real_.OpenPage(page, anchor, wait);
  }
  std::string InstalledGuide() override { return real_.InstalledGuide(); }
  int CatchEndRequests() override { return real_.CatchEndRequests(); }
  void DrainEndRequests() override { real_.DrainEndRequests(); }

 private:
  platform::FileSystem& files_;
  platform::System& real_ = platform::RealSystem();
};

}  // namespace tallyx::testing
