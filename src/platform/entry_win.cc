#include <string>
#include <vector>

#include "platform/entry.h"
#include "platform/utf16.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tallyx::platform::FromUtf16(argv[i]));
  return tallyx::platform::ProgramMain(args);
}
