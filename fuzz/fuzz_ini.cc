// The settings store on settings files of any bytes, with any value for any of the five keys.
//
// Input: one byte choosing the key, one byte giving the value's length, the value, then the
// bytes of the settings file. Reading never fails; writing succeeds and leaves no temporary file
// and no handle open; for a value without line break it makes the key read back as the trimmed
// value, changes no other key, and writing the same again changes nothing.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "check.h"
#include "platform/codec.h"
#include "settings/ini.h"
#include "support/faulty_fs.h"
#include "text/chars.h"
#include "text/parse.h"

namespace {

namespace fs = std::filesystem;
using namespace tallyx;

constexpr std::string_view kKeys[] = {"MODE", "OPTCODE", "PATH", "FILTER", "OUTPUT"};

std::string g_path;
// Counts the files left open.
testing::FaultyFileSystem g_fs;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  std::string tmpl = std::string(base) + "/tallyx-fuzz-XXXXXX";
  FUZZ_CHECK(::mkdtemp(tmpl.data()) != nullptr);
  g_path = tmpl + "/Tallyx.ini";
  std::atexit([] { fs::remove_all(fs::path(g_path).parent_path()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size - 2 < data[1]) return 0;
  const std::string_view key = kKeys[data[0] % 5];
  const std::string_view value(reinterpret_cast<const char*>(data + 2), data[1]);
  const std::string_view file(reinterpret_cast<const char*>(data + 2 + data[1]),
                              size - 2 - data[1]);
  {
    std::ofstream out(g_path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
  }
  g_fs.Reset();

  std::string before[5];
  for (int k = 0; k < 5; ++k) before[k] = settings::ReadIni(g_path, "SYSTEM", kKeys[k], g_fs);
  FUZZ_CHECK(!settings::WriteIni(g_path, "SYSTEM", key, value, g_fs).has_value());
  FUZZ_CHECK(g_fs.OpenHandles() == 0);
  FUZZ_CHECK(!fs::exists(g_path + "$"));
  const std::string written = Slurp(g_path);

  // A value is one line of text (the window's boxes hold no line break); a CR in it would end
  // its line in the file, so the properties below are for values without one.
  if (value.find('\r') != std::string_view::npos) return 0;

  // A value that CP932 represents reads back trimmed.
  const std::string trimmed(text::TrimBlanks(value));
  const std::string read_back = settings::ReadIni(g_path, "SYSTEM", key, g_fs);
  if (text::IsValidUtf8(trimmed) && platform::FromCp932(platform::ToCp932(trimmed)) == trimmed) {
    FUZZ_CHECK(read_back == trimmed);
  }
  for (int k = 0; k < 5; ++k) {
    if (kKeys[k] != key) {
      FUZZ_CHECK(settings::ReadIni(g_path, "SYSTEM", kKeys[k], g_fs) == before[k]);
    }
  }

  FUZZ_CHECK(!settings::WriteIni(g_path, "SYSTEM", key, value, g_fs).has_value());
  FUZZ_CHECK(Slurp(g_path) == written);
  FUZZ_CHECK(g_fs.OpenHandles() == 0);
  return 0;
}
