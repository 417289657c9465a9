#include "progress/folder.h"

#include <gtest/gtest.h>

#include "convert/run.h"
#include "model/model.h"
#include "platform/fs.h"
#include "progress/waveform.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx::progress {
namespace {

using model::Item;
using model::Mode;

constexpr const char* kPrefixes[] = {"Brawn_", "IsoMetric_", "Beginning", "Exercise_"};

std::vector<std::string_view> Split(std::string_view s, char at) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t i = s.find(at);
    parts.push_back(s.substr(0, i));
    if (i == std::string_view::npos) return parts;
    s.remove_prefix(i + 1);
  }
}

// A folder of sound and broken result files of one mode, named so that the mode's filter takes
// them all.
void WriteFolder(const testing::WorkDir& dir, Mode mode) {
  int n = 0;
  const auto write = [&](const std::vector<std::string>& lines) {
    dir.Write(std::string(kPrefixes[model::NumberOf(mode)]) + std::to_string(++n) + ".txt",
              testing::JoinLines(lines));
  };
  for (int seed = 1; seed <= 6; ++seed) {
    testing::ResultFileShape shape{mode, seed % 4, 3 + seed, seed, seed % 2 == 0};
    std::vector<std::string> lines = testing::ResultLines(shape);
    // The count line (modes 0 and 2: line 19, mode 1: line 30) without a number: no turns, as
    // the first file of a run has (a run carries a count over to its next files).
    if (seed == 1 && mode != Mode::kExercise) {
      lines[mode == Mode::kIsometric ? 29 : 18] = testing::Sjis("abc\tcount that is no number");
    }
    if (seed == 3) lines[11] = testing::Sjis(" ６０ kg\t");  // a weight that is no number
    if (seed == 4) lines[3] = testing::Sjis("2024/13/40,9:05:07\t");  // a date that is no date
    if (seed == 5) lines[7] = "";                                   // no patient code
    write(lines);
  }
  std::vector<std::string> lines = testing::ResultLines({mode});
  lines.resize(20);  // ends early
  write(lines);
  lines = testing::ResultLines({mode});
  lines[3] = "2024/05/01,25:00:00\t";  // the time is no time
  write(lines);
}

// Over the generated files of every mode, sound and broken, each item's cells the viewer holds
// are the cells of that item in the CSV line a conversion run writes for the same file, each
// waveform sample is the number in the side file's line, and the files it cannot read are those
// the run leaves out, with the same detail lines.
TEST(FolderTest, TheViewersCellsAreTheCsvCellsOfAConversionRun) {
  for (const Mode mode : model::kAllModes) {
    SCOPED_TRACE(model::NumberOf(mode));
    testing::WorkDir in, out;
    WriteFolder(in, mode);
    platform::FileSystem& fs = platform::RealFileSystem();

    convert::RunInputs run_inputs{mode, model::kAllItemsMask & ~model::MaskOf({Item::kFileName}),
                                  in.path(), std::string(model::TableOf(mode).filter_entry),
                                  out / "out.csv", true};
    convert::ConversionRun run(run_inputs, fs);
    std::vector<std::string> skipped;
    run.OnSkipped([&skipped](const std::string& detail) { skipped.push_back(detail); });
    ASSERT_TRUE(run.Execute().ok);

    Folder folder;
    FolderFailure failure;
    FolderReading reading({mode, in.path(), std::string(model::TableOf(mode).filter_entry)}, fs);
    ASSERT_TRUE(reading.Execute(&folder, &failure)) << failure.detail;
    EXPECT_EQ(folder.unreadable, skipped);

    const std::string bytes = testing::ReadFile(out / "out.csv");
    std::vector<std::string_view> lines = Split(bytes, '\n');
    lines.pop_back();  // after the last line end
    ASSERT_EQ(lines.size(), folder.measurements.size() + 1);

    // The groups of the header in order; the per-turn group repeats to the end of the line.
    std::vector<model::HeaderGroup> groups;
    const auto add = [&](std::span<const model::HeaderGroup> gs) {
      for (const auto& g : gs) {
        if (model::Has(run_inputs.mask, g.item)) groups.push_back(g);
      }
    };
    add(model::CommonHeaderGroups());
    add(model::TableOf(mode).setting_columns);
    add(model::TableOf(mode).result_columns);

    for (std::uint32_t i = 0; i < folder.measurements.size(); ++i) {
      SCOPED_TRACE(folder.PathOf(i));
      Measurement detail;
      std::string why;
      ASSERT_TRUE(ReadDetail(fs, folder.PathOf(i), mode, &detail, &why)) << why;
      std::string_view line = lines[i + 1];
      line.remove_suffix(1);  // CR
      std::vector<std::string_view> cells = Split(line, ',');
      std::size_t at = 0;
      std::string side_path;
      for (const auto& g : groups) {
        const std::size_t width = Split(g.captions, ',').size() - 1;
        std::size_t end = g.item == Item::kPerTurn ? cells.size() : at + width;
        if (g.item == Item::kPerTurn && detail.Cells(g.item).empty()) end = at;
        const std::vector<std::string_view> expected(cells.begin() + at, cells.begin() + end);
        if (g.item == Item::kWaveform) {
          side_path = std::string(expected.at(0));
        } else {
          EXPECT_EQ(detail.Cells(g.item), expected) << g.captions;
          if (model::Has(kListItems, g.item)) {
            EXPECT_EQ(folder.measurements[i].Cells(g.item), expected) << g.captions;
          }
        }
        at = end;
      }
      EXPECT_EQ(at, cells.size());

      Waveform wave;
      ASSERT_TRUE(ReadWaveform(fs, folder.PathOf(i), mode, &wave, &why)) << why;
      const std::string side = testing::ReadFile(side_path);
      std::vector<std::string_view> samples = Split(side, '\n');
      samples.pop_back();
      ASSERT_EQ(wave.samples + 1, samples.size());
      for (std::size_t s = 0; s < wave.samples; ++s) {
        std::string_view sample = samples[s + 1];
        sample.remove_suffix(1);
        const std::vector<std::string_view> values = Split(sample, ',');
        for (std::size_t c = 0; c < wave.columns.size(); ++c) {
          const auto column = static_cast<std::size_t>(wave.columns[c]);
          const auto number = column < values.size() ? NumberIn(values[column]) : std::nullopt;
          const float got = wave.series[c][s];
          if (number) {
            EXPECT_EQ(got, static_cast<float>(*number));
          } else {
            EXPECT_TRUE(got != got) << sample;
          }
        }
      }
    }
  }
}

// A folder that cannot be listed, or where nothing matches, fails as a run fails.
TEST(FolderTest, AFolderWithoutResultFilesFailsAsARunDoes) {
  testing::WorkDir dir;
  platform::FileSystem& fs = platform::RealFileSystem();
  struct Case {
    std::string directory;
    model::ErrorNumber err_no;
  } cases[] = {{dir / "missing", model::ErrorNumber::kNoResultFile},
               {dir.path(), model::ErrorNumber::kNoResultFile},
               {"", model::ErrorNumber::kDirectory}};
  for (const Case& c : cases) {
    convert::RunInputs run_inputs{Mode::kMuscleStrength, model::kDefaultMask, c.directory,
                                  "Brawn_*.txt", dir / "out.csv"};
    const convert::RunResult run = convert::ConversionRun(run_inputs, fs).Execute();
    Folder folder;
    FolderFailure failure;
    EXPECT_FALSE(FolderReading({Mode::kMuscleStrength, c.directory, "Brawn_*.txt"}, fs)
                     .Execute(&folder, &failure));
    EXPECT_EQ(failure.err_no, c.err_no);
    EXPECT_EQ(failure.err_no, run.failure.err_no);
    EXPECT_EQ(failure.s1, run.failure.s1);
    EXPECT_EQ(failure.s2, run.failure.s2);
    EXPECT_EQ(failure.detail, run.failure.detail);
  }
}

}  // namespace
}  // namespace tallyx::progress
