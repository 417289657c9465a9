// Whole conversion runs on result files made of any bytes, in every mode, with every mask.
//
// Input: one byte for the mode, four for the mask (little endian), then the bytes of up to three
// result files separated by kNextFile. The run must end, never touch a result file, leave no
// handle open, and leave output that is well formed: whole CR LF lines in the CSV under the
// right header, and side files that hold their caption and then the file's last lines.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "convert/csv_layout.h"
#include "convert/run.h"
#include "model/model.h"
#include "platform/codec.h"
#include "support/faulty_fs.h"

namespace {

namespace fs = std::filesystem;
using namespace tallyx;

constexpr std::string_view kNextFile = "\x00\xFFNEXT\x00";
constexpr std::size_t kMaxFiles = 3;

std::string g_dir;  // ends in "/"
// Counts the files left open.
testing::FaultyFileSystem g_fs;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

// The file's lines as the reader splits them (CR LF or a lone CR ends a line), each written
// back with CR LF: what a side file's samples must be a tail of.
std::string Normalized(std::string_view bytes) {
  std::string out;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t cr = bytes.find('\r', start);
    if (cr == std::string_view::npos) {
      out.append(bytes.substr(start)).append("\r\n");
      break;
    }
    out.append(bytes.substr(start, cr - start)).append("\r\n");
    start = cr + 1;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return out;
}

bool WholeLines(std::string_view s) {
  // Every CR is followed by LF and the text ends with CR LF (or is empty).
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) return false;
  }
  return s.empty() || s.ends_with("\r\n");
}

std::size_t CountLines(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = s.find("\r\n"); i != std::string_view::npos; i = s.find("\r\n", i + 2)) ++n;
  return n;
}

void RemoveOutputs() {
  for (const auto& e : fs::directory_iterator(g_dir + "out")) fs::remove(e.path());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  std::string tmpl = std::string(base) + "/tallyx-fuzz-XXXXXX";
  FUZZ_CHECK(::mkdtemp(tmpl.data()) != nullptr);
  g_dir = tmpl + "/";
  fs::create_directory(g_dir + "in");
  fs::create_directory(g_dir + "out");
  std::atexit([] { fs::remove_all(g_dir); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const model::Mode mode = model::ModeOf(data[0] & 3);
  std::uint32_t raw_mask;
  std::memcpy(&raw_mask, data + 1, 4);
  const auto mask = static_cast<std::int32_t>(raw_mask);
  std::string_view rest(reinterpret_cast<const char*>(data + 5), size - 5);

  std::vector<std::string> files;
  while (files.size() + 1 < kMaxFiles) {
    const std::size_t cut = rest.find(kNextFile);
    if (cut == std::string_view::npos) break;
    files.emplace_back(rest.substr(0, cut));
    rest.remove_prefix(cut + kNextFile.size());
  }
  files.emplace_back(rest);

  for (std::size_t i = 0; i < kMaxFiles; ++i)
    ::unlink((g_dir + "in/r" + std::to_string(i + 1)).c_str());
  RemoveOutputs();
  for (std::size_t i = 0; i < files.size(); ++i)
    Put(g_dir + "in/r" + std::to_string(i + 1), files[i]);

  convert::RunInputs in;
  in.mode = mode;
  in.mask = mask;
  in.directory_text = g_dir + "in";
  in.filter_text = "r?";
  in.output_path = g_dir + "out/out.csv";
  g_fs.Reset();
  const convert::RunResult r = convert::ConversionRun(in, g_fs).Execute();

  FUZZ_CHECK(g_fs.OpenHandles() == 0);
  for (std::size_t i = 0; i < files.size(); ++i) {
    FUZZ_CHECK(Slurp(g_dir + "in/r" + std::to_string(i + 1)) == files[i]);
  }

  const std::string header = convert::HeaderLine(mode, mask);
  const std::string csv = Slurp(in.output_path);
  FUZZ_CHECK(WholeLines(csv));
  if (header.empty()) {
    FUZZ_CHECK(!r.ok && r.failure.err_no == model::ErrorNumber::kOutputFile && csv.empty());
  } else {
    FUZZ_CHECK(csv.starts_with(header + "\r\n"));
  }
  const std::size_t data_lines = csv.empty() ? 0 : CountLines(csv) - 1;
  FUZZ_CHECK(r.ok || !r.failure.detail.empty());  // every failure says what went wrong where
  if (r.ok) {
    FUZZ_CHECK(r.processed == static_cast<std::int32_t>(files.size()));
    FUZZ_CHECK(data_lines == files.size());
  } else if (r.failure.err_no == model::ErrorNumber::kOutputFile) {
    // Before any side file: the file that broke the layout has no line.
    FUZZ_CHECK(r.failure.s1 == in.output_path);
    FUZZ_CHECK(data_lines < files.size());
  } else {
    FUZZ_CHECK(r.failure.err_no == model::ErrorNumber::kSideFile);
    FUZZ_CHECK(data_lines <= files.size());
  }

  // Side files: one per file begun at most, each a caption line and then a tail of its file.
  const bool sides = model::Has(mask, model::Item::kWaveform);
  const std::string caption =
      platform::ToCp932(model::TableOf(mode).side_file_caption) + std::string("\r\n");
  std::size_t side_count = 0;
  for (const auto& e : fs::directory_iterator(g_dir + "out")) {
    const std::string name = e.path().filename().string();
    if (name == "out.csv") continue;
    FUZZ_CHECK(sides);
    ++side_count;
    const std::size_t k = std::stoul(name.substr(3, name.size() - 7));  // out<k>.csv
    FUZZ_CHECK(k >= 1 && k <= files.size() && name == "out" + std::to_string(k) + ".csv");
    const std::string side = Slurp(e.path().string());
    FUZZ_CHECK(side.starts_with(caption));
    const std::string body = side.substr(caption.size());
    const std::string lines = Normalized(files[k - 1]);
    if (r.ok || r.failure.s1 != e.path().string()) {  // not the one being written
      FUZZ_CHECK(WholeLines(body));
      FUZZ_CHECK(lines.ends_with(body));
      const std::size_t at = lines.size() - body.size();
      FUZZ_CHECK(at >= 2 && lines.compare(at - 2, 2, "\r\n") == 0);
    }
  }
  if (r.ok) FUZZ_CHECK(side_count == (sides ? files.size() : 0));
  return 0;
}
