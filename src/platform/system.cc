// The system this process runs on: each part is this system's own (see native.h).
#include "platform/system.h"
#include "platform/native.h"

namespace tallyx::platform {
namespace {

class ThisSystem final : public System {
 public:
  FileSystem& files() override { return RealFileSystem(); }
  std::string GetEnv(const char* name) override { return native::GetEnv(name); }
  std::ostream& out() override { return native::Utf8Out(); }
  std::ostream& err() override { return native::Utf8Err(); }
  int OpenDocument(const std::string& path, const WhileWaiting& while_waiting) override {
    return native::OpenDocument(path, while_waiting);
  }
  int OpenPage(const std::string& page, const std::string& anchor,
               const WhileWaiting& while_waiting) override {
    return native::OpenPage(page, anchor, while_waiting);
  }
  std::string InstalledGuide() override { return native::InstalledGuide(); }
  int CatchEndRequests() override { return native::CatchEndRequests(); }
  void DrainEndRequests() override { native::DrainEndRequests(); }
};

}  // namespace

System& RealSystem() {
  static ThisSystem system;
  return system;
}

}  // namespace tallyx::platform
