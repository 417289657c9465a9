#include "settings/ini.h"

#include <memory>

#include "platform/codec.h"
#include "platform/fs.h"
#include "text/line_io.h"
#include "text/parse.h"

// The store works on the file's CP932 bytes and decodes only the value it returns. That is safe
// because every byte it looks for (blank, CR, "=", and "[" as the first byte of a line) is below
// 0x40 or sits at the start of a line, so none of them can be the trail byte of a two-byte
// character where it is found.

namespace tallyx::settings {
namespace {

bool BeginsWith(std::string_view line, std::string_view key) {
  return line.substr(0, key.size()) == key;
}

std::string Header(std::string_view section) { return "[" + platform::ToCp932(section) + "]"; }

std::string KeyLine(std::string_view key, std::string_view value) {
  return platform::ToCp932(key) + " = " + platform::ToCp932(text::TrimBlanks(value));
}

void AppendLine(std::string* out, std::string_view line) {
  out->append(line);
  out->append("\r\n");
}

IniFailure NotWritten(std::string name) {
  return IniFailure{model::ErrorNumber::kSettingsNotWritten, std::move(name)};
}

}  // namespace

std::string ReadIni(const std::string& path, std::string_view section, std::string_view key,
                    platform::FileSystem& fs) {
  // A file that exists but cannot be opened or read counts as missing.
  if (!fs.PathExists(path)) return std::string(kMissingValue);
  const std::unique_ptr<platform::InputFile> file = fs.OpenInput(path);
  if (!file) return std::string(kMissingValue);
  const std::string header = Header(section);
  const std::string key_cp932 = platform::ToCp932(key);

  enum class State { kSearching, kInSection, kDone };
  State state = State::kSearching;
  std::string result(kMissingValue);
  text::LineReader lines;
  lines.Reset(file.get());
  std::string_view raw;
  while (state != State::kDone) {
    const text::LineReader::Status status = lines.Next(&raw);
    if (status == text::LineReader::Status::kError) return std::string(kMissingValue);
    if (status == text::LineReader::Status::kEnd) break;
    if (raw.empty()) continue;
    const std::string_view line = text::TrimBlanks(raw);
    if (state == State::kInSection) {
      if (!line.empty() && line.front() == '[') state = State::kDone;
      if (BeginsWith(line, key_cp932)) {
        const std::size_t eq = line.find('=');
        result = eq == std::string_view::npos ? line : line.substr(eq + 1);
        break;
      }
    }
    // A repeated header of the same section continues the search in it.
    if (line == header) state = State::kInSection;
  }
  file->Close();
  return platform::FromCp932(text::TrimBlanks(result));
}

namespace {

// A settings file where there was none: its section and the key line.
std::optional<IniFailure> WriteNewFile(platform::FileSystem& fs, const std::string& path,
                                       const std::string& temp, const std::string& header,
                                       const std::string& key_line) {
  std::string content;
  AppendLine(&content, header);
  AppendLine(&content, key_line);
  std::unique_ptr<platform::OutputFile> file = fs.CreateOutput(temp);
  if (!file || !file->Write(content.data(), content.size()) || !file->Flush() ||
      !platform::CloseFile(&file) || !fs.ReplaceFile(temp, path)) {
    platform::CloseFile(&file);
    fs.RemoveFile(temp);  // there was no settings file, and there is none now
    return NotWritten(path);
  }
  return std::nullopt;
}

// The settings file at `path` with the key line in place of the old one, or added to its
// section, or in a section added at the end.
std::optional<IniFailure> RewriteFile(platform::FileSystem& fs, const std::string& path,
                                      const std::string& temp, const std::string& header,
                                      std::string_view key, const std::string& key_line) {
  std::unique_ptr<platform::InputFile> old_file = fs.OpenInput(path);
  if (!old_file) return NotWritten(temp);
  std::unique_ptr<platform::OutputFile> new_file = fs.CreateOutput(temp);
  if (!new_file) return NotWritten(temp);

  const std::string key_cp932 = platform::ToCp932(key);
  enum class State { kSearching, kInSection, kWritten };
  State state = State::kSearching;
  std::string content;
  text::LineReader lines;
  lines.Reset(old_file.get());
  std::string_view line;
  for (;;) {
    const text::LineReader::Status status = lines.Next(&line);
    if (status == text::LineReader::Status::kError) return NotWritten(temp);
    if (status == text::LineReader::Status::kEnd) break;
    // Up to the key line, non-empty lines are written back trimmed; after it, as they stand.
    if (state != State::kWritten && !line.empty()) {
      line = text::TrimBlanks(line);
      if (state == State::kInSection && !line.empty() && line.front() == '[') {
        AppendLine(&content, key_line);  // the key goes last in its section
        state = State::kWritten;
      } else if (state == State::kInSection && BeginsWith(line, key_cp932)) {
        AppendLine(&content, key_line);  // replaces the old key line
        state = State::kWritten;
        continue;
      } else if (state == State::kSearching && line == header) {
        state = State::kInSection;
      }
    }
    AppendLine(&content, line);
  }
  platform::CloseFile(&old_file);
  if (state == State::kSearching) AppendLine(&content, header);
  if (state != State::kWritten) AppendLine(&content, key_line);

  if (!new_file->Write(content.data(), content.size()) || !new_file->Flush() ||
      !platform::CloseFile(&new_file)) {
    return NotWritten(temp);
  }
  if (!fs.ReplaceFile(temp, path)) {
    return IniFailure{model::ErrorNumber::kSettingsNotReplaced, path};
  }
  return std::nullopt;
}

}  // namespace

std::optional<IniFailure> WriteIni(const std::string& path, std::string_view section,
                                   std::string_view key, std::string_view value,
                                   platform::FileSystem& fs) {
  const std::string header = Header(section);
  const std::string key_line = KeyLine(key, value);
  // The new content goes to a temporary file beside the old one, is forced to the disk, and
  // then takes the old file's place in one rename, so that a crash at any moment leaves either
  // the old or the new settings file whole. A new file is made the same way, so that there is
  // never a settings file that holds only part of its lines.
  const std::string temp = path + "$";
  if (!fs.PathExists(path)) return WriteNewFile(fs, path, temp, header, key_line);
  return RewriteFile(fs, path, temp, header, key, key_line);
}

bool CopyIni(const std::string& from, const std::string& to, platform::FileSystem& fs) {
  std::unique_ptr<platform::InputFile> in = fs.OpenInput(from);
  if (!in) return false;
  const std::string temp = to + "$";
  std::unique_ptr<platform::OutputFile> out = fs.CreateOutput(temp);
  if (!out) return false;
  bool copied = true;
  char buf[4096];
  for (std::ptrdiff_t n; copied && (n = in->Read(buf, sizeof buf)) != 0;) {
    copied = n > 0 && out->Write(buf, static_cast<std::size_t>(n));
  }
  platform::CloseFile(&in);
  copied = copied && out->Flush();
  copied = platform::CloseFile(&out) && copied;
  if (copied && fs.ReplaceFile(temp, to)) return true;
  fs.RemoveFile(temp);
  return false;
}

}  // namespace tallyx::settings
