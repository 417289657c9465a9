// The viewer's reading of a result file made of any bytes, in every mode: its measurement, the
// values and figures shown of it, and its waveform samples with their reduction to a chart.
//
// Input: one byte for the mode, then the bytes of one result file. The reading must end, never
// change the file, leave no handle open, hold the same cells as the CSV line a run would write,
// give figures that are numbers, and reduce the samples to well-formed columns and turns.
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "check.h"
#include "model/model.h"
#include "progress/folder.h"
#include "progress/sessions.h"
#include "progress/waveform.h"
#include "support/faulty_fs.h"

namespace {

namespace fs = std::filesystem;
using namespace tallyx;

std::string g_dir;  // ends in "/"
testing::FaultyFileSystem g_fs;  // counts the files left open

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void CheckShown(const progress::Shown& v) {
  if (v.number) FUZZ_CHECK(std::isfinite(*v.number));
}

// The values of a measurement as the window and the report show them.
void CheckValues(model::Mode mode, const progress::Measurement& m) {
  for (const progress::Shown& v : progress::SessionRow(mode, m, "r")) CheckShown(v);
  FUZZ_CHECK(progress::SessionRow(mode, m, "r").size() == progress::SessionColumns(mode).size());
  const progress::Session s = progress::SessionOf(mode, m);
  if (s.difference) FUZZ_CHECK(*s.difference >= 0 && *s.difference <= 100);
  const progress::Turns t = progress::TurnsOf(mode, m);
  for (const auto* spread : {&t.left_spread, &t.right_spread}) {
    if (*spread && (*spread)->variation) FUZZ_CHECK(std::isfinite(*(*spread)->variation));
  }
  for (const progress::ResultRow& r : progress::ResultsOf(mode, m)) {
    CheckShown(r.left);
    CheckShown(r.right);
    CheckShown(r.difference);
  }
  progress::SettingsOf(mode, m);
  progress::PatientBlock(m);
}

// The samples reduced to a few widths: each column's minimum at most its maximum, and the turns
// one after another over every sample.
void CheckWaveform(const progress::Waveform& w) {
  FUZZ_CHECK(w.samples <= progress::kMaxSamples);
  for (const auto& series : w.series) {
    FUZZ_CHECK(series.size() == w.samples);
    for (const int width : {1, 7, 300}) {
      const progress::Envelope e = progress::EnvelopeOf(series, 0, series.size(), width);
      FUZZ_CHECK(e.min.size() == static_cast<std::size_t>(width) && e.max.size() == e.min.size());
      for (std::size_t c = 0; c < e.min.size(); ++c) {
        FUZZ_CHECK(std::isnan(e.min[c]) == std::isnan(e.max[c]));
        if (!std::isnan(e.min[c])) FUZZ_CHECK(e.min[c] <= e.max[c]);
      }
    }
    std::size_t next = 0;
    for (const progress::SampleRange& r : progress::TurnsByAngle(series)) {
      FUZZ_CHECK(r.begin == next && r.end > r.begin);
      next = r.end;
    }
    FUZZ_CHECK(next == series.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string tmpl = (fs::temp_directory_path() / "fuzz-measurement-XXXXXX").string();
  FUZZ_CHECK(::mkdtemp(tmpl.data()) != nullptr);
  g_dir = tmpl + "/";
  std::atexit([] { fs::remove_all(g_dir); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const model::Mode mode = model::ModeOf(data[0] % model::kModeCount);
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string path = g_dir + "r.txt";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
  }
  g_fs.Reset();
  progress::Folder folder;
  progress::FolderFailure failure;
  FUZZ_CHECK(progress::FolderReading({mode, g_dir, "r.txt"}, g_fs).Execute(&folder, &failure));
  FUZZ_CHECK(folder.measurements.size() + folder.unreadable.size() == 1);
  FUZZ_CHECK(folder.patients.size() == folder.measurements.size());

  progress::Measurement detail;
  std::string why;
  const bool readable = progress::ReadDetail(g_fs, path, mode, &detail, &why);
  FUZZ_CHECK(readable == (folder.measurements.size() == 1));
  if (readable) {
    // The cells, item after item in the CSV's order, are the run's data line.
    text::LineReader reader;
    std::unique_ptr<platform::InputFile> file = g_fs.OpenInput(path);
    FUZZ_CHECK(file != nullptr);
    reader.Reset(file.get());
    std::string line;
    std::int16_t turns = 0;
    convert::SectionFault fault;
    FUZZ_CHECK(convert::ReadResultSection(&reader, mode, progress::kDetailItems, &turns, &line,
                                          &fault));
    file->Close();
    file.reset();
    std::string joined;
    const auto add = [&](std::span<const model::HeaderGroup> groups) {
      for (const model::HeaderGroup& g : groups) {
        if (!model::Has(progress::kDetailItems, g.item) || detail.Cells(g.item).empty()) continue;
        joined.append(detail.Text(g.item)).push_back(',');
      }
    };
    add(model::CommonHeaderGroups());
    add(model::TableOf(mode).setting_columns);
    add(model::TableOf(mode).result_columns);
    FUZZ_CHECK(joined == line);
    CheckValues(mode, detail);
    CheckValues(mode, folder.measurements[0]);

    progress::Waveform wave;
    if (progress::ReadWaveform(g_fs, path, mode, &wave, &why)) CheckWaveform(wave);
  }
  FUZZ_CHECK(g_fs.OpenHandles() == 0);
  FUZZ_CHECK(Slurp(path) == bytes);
  return 0;
}
