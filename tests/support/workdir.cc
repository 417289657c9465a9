#include "support/workdir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/fs.h"

namespace fs = std::filesystem;

namespace tallyx::testing {
namespace {

// Paths are UTF-8 here; std::filesystem would read a narrow string in the ANSI code page on
// Windows.
fs::path Native(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

}  // namespace

WorkDir::WorkDir() {
  const fs::path base = fs::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path dir = base / ("tallyx-test-" + std::to_string(random()));
    std::error_code ec;
    if (fs::create_directory(dir, ec)) {
      path_ = Utf8(dir) + platform::kSeparator;
      return;
    }
  }
  throw std::runtime_error("cannot create a work directory in " + Utf8(base));
}

WorkDir::~WorkDir() {
  std::error_code ec;
  // Tests may take permissions away; give them back so that everything can be removed.
  for (auto it = fs::recursive_directory_iterator(Native(path_), ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(Native(path_), ec);
}

std::string WorkDir::operator/(std::string_view relative) const {
  std::string path = path_ + std::string(relative);
  std::replace(path.begin() + static_cast<std::ptrdiff_t>(path_.size()), path.end(), '/',
               platform::kSeparator);
  return path;
}

void WorkDir::Write(std::string_view relative, std::string_view bytes) const {
  WriteFile(*this / relative, bytes);
}

void WorkDir::MakeDir(std::string_view relative) const {
  fs::create_directories(Native(*this / relative));
}

std::string WorkDir::Read(std::string_view relative) const { return ReadFile(*this / relative); }

bool WorkDir::Exists(std::string_view relative) const { return PathExists(*this / relative); }

std::vector<std::string> WorkDir::List(std::string_view relative) const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(Native(*this / relative))) {
    names.push_back(Utf8(e.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(Native(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(Native(path), ec));
}

void MakeDirs(const std::string& path) { fs::create_directories(Native(path)); }

void RemoveAll(const std::string& path) {
  std::error_code ec;
  fs::remove_all(Native(path), ec);
}

}  // namespace tallyx::testing
