#include <string>
#include <vector>

#include "app/cli.h"
#include "platform/console.h"

#ifdef _WIN32
// UTF-16 arguments: Japanese paths arrive whatever the system code page.
int wmain(int argc, wchar_t** argv) {
  return tallyx::app::RunCli(tallyx::platform::Utf8Arguments(argc, argv),
                             tallyx::platform::Utf8Out(), tallyx::platform::Utf8Err());
}
#else
int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return tallyx::app::RunCli(args, tallyx::platform::Utf8Out(), tallyx::platform::Utf8Err());
}
#endif
