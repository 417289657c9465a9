// Minimal stand-in for the settings file store, enough for the window to build and run.
#include "settings/ini.h"

#include <vector>

#include "platform/codec.h"
#include "platform/fs.h"

namespace tallyx::settings {
namespace {

std::string Trim(std::string_view s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return "";
  const std::size_t e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

bool ReadLines(const std::string& path, std::vector<std::string>* lines) {
  platform::InputFile in;
  if (!in.Open(path)) return false;
  std::string all;
  char buf[4096];
  for (;;) {
    const std::ptrdiff_t got = in.Read(buf, sizeof buf);
    if (got < 0) return false;
    if (got == 0) break;
    all.append(buf, static_cast<std::size_t>(got));
  }
  std::string line;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] == '\r' || all[i] == '\n') {
      if (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
      lines->push_back(platform::FromCp932(line));
      line.clear();
    } else {
      line += all[i];
    }
  }
  if (!line.empty()) lines->push_back(platform::FromCp932(line));
  return true;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  platform::OutputFile out;
  if (!out.Create(path)) return false;
  for (const std::string& l : lines) {
    const std::string bytes = platform::ToCp932(l) + "\r\n";
    if (!out.Write(bytes.data(), bytes.size())) return false;
  }
  return out.Close();
}

}  // namespace

std::string ReadIni(const std::string& path, std::string_view section, std::string_view key) {
  std::vector<std::string> lines;
  if (!ReadLines(path, &lines)) return "-1";
  const std::string header = "[" + std::string(section) + "]";
  bool in_section = false;
  for (const std::string& raw : lines) {
    const std::string line = Trim(raw);
    if (in_section) {
      if (!line.empty() && line[0] == '[') {
        in_section = line == header;
        if (!in_section) break;
        continue;
      }
      if (line.compare(0, key.size(), key) == 0) {
        const std::size_t eq = line.find('=');
        return Trim(eq == std::string::npos ? line : line.substr(eq + 1));
      }
    } else if (line == header) {
      in_section = true;
    }
  }
  return "-1";
}

std::optional<IniFailure> WriteIni(const std::string& path, std::string_view section,
                                   std::string_view key, std::string_view value) {
  const std::string header = "[" + std::string(section) + "]";
  const std::string key_line = std::string(key) + " = " + Trim(value);
  if (!platform::PathExists(path)) {
    if (!WriteLines(path, {header, key_line})) return IniFailure{30, path};
    return std::nullopt;
  }
  const std::string temp = path + "$";
  std::vector<std::string> lines, out;
  if (!ReadLines(path, &lines)) return IniFailure{30, temp};
  enum { kSearching, kInSection, kWritten } state = kSearching;
  for (const std::string& raw : lines) {
    std::string line = raw;
    if (state != kWritten && !line.empty()) {
      line = Trim(line);
      if (state == kInSection && !line.empty() && line[0] == '[') {
        out.push_back(key_line);
        state = kWritten;
      } else if (state == kInSection && line.compare(0, key.size(), key) == 0) {
        out.push_back(key_line);
        state = kWritten;
        continue;
      } else if (state == kSearching && line == header) {
        state = kInSection;
      }
    }
    out.push_back(line);
  }
  if (state == kSearching) out.push_back(header);
  if (state != kWritten) out.push_back(key_line);
  if (!WriteLines(temp, out)) return IniFailure{30, temp};
  if (!platform::RemoveFile(path) || !platform::ReplaceFile(temp, path)) {
    return IniFailure{31, path};
  }
  return std::nullopt;
}

}  // namespace tallyx::settings
