// tallyx-cli on hostile inputs: odd names, links, FIFOs and devices, outputs it cannot or must
// not write, and very large files and directories. Each run ends in bounded time with the
// stage's error or a correct CSV, never changes a result file, and stays within a memory bound
// that does not grow with the size of the files.
//
// The largest cases (1 GiB of waveform, 100,000 files) run when TALLYX_HEAVY_TESTS=1, as CI sets.
// Links, FIFOs, devices and permissions are those of POSIX systems.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "model/model.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx {
namespace {

using testing::JoinLines;
using testing::ProcessResult;
using testing::ResultFile;
using testing::ResultLines;
using testing::Sjis;
using testing::WorkDir;

const std::string kCli = TALLYX_CLI_PATH;
constexpr std::int32_t kNameItems = model::MaskOf({model::Item::kFileName, model::Item::kName});
constexpr std::int32_t kWaveform = model::MaskOf({model::Item::kWaveform});
constexpr int kTimeLimit = 120;  // seconds; a blocked or runaway run is killed and fails

#if defined(__SANITIZE_ADDRESS__)
constexpr long kRssAllowanceKb = 768 * 1024;  // shadow memory and the allocator's quarantine
#else
constexpr long kRssAllowanceKb = 0;
#endif

bool HeavyTests() {
  const char* v = std::getenv("TALLYX_HEAVY_TESTS");
  return v != nullptr && std::string(v) == "1";
}

// Contents too large to hold in memory are made and compared piece by piece.
using Pieces = std::function<void(const std::function<void(std::string_view)>&)>;

void WritePieces(const std::string& path, const Pieces& pieces) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  pieces(
      [&out](std::string_view p) { out.write(p.data(), static_cast<std::streamsize>(p.size())); });
  ASSERT_TRUE(out.good()) << path;
}

struct Digest {
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  std::uint64_t size = 0;
  void Add(std::string_view p) {
    for (const char c : p) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    size += p.size();
  }
  bool operator==(const Digest&) const = default;
};

Digest DigestOf(const Pieces& pieces) {
  Digest d;
  pieces([&d](std::string_view p) { d.Add(p); });
  return d;
}

Digest DigestOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string buf(1 << 20, '\0');
  Digest d;
  while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) || in.gcount() > 0) {
    d.Add(std::string_view(buf.data(), static_cast<std::size_t>(in.gcount())));
  }
  return d;
}

// The CSV cell of line 5 of a generated result file.
std::string NameCell(int seed) { return Sjis("患者 " + std::to_string(seed) + "号"); }

class Hostile : public ::testing::Test {
 protected:
  Hostile() {
    dir_.MakeDir("in");
    dir_.MakeDir("tmp");
  }

  ProcessResult Run(const std::string& path, std::int32_t mask, const std::string& output,
                    const std::string& filter = "Brawn_*.txt") {
    return testing::RunProcess(kCli,
                               {"--mode", "0", "--path", path, "--filter", filter, "--optcode",
                                std::to_string(mask), "--output", output},
                               dir_.path(), {"TEMP=" + dir_ / "tmp"}, kTimeLimit);
  }

  static std::string Error1(const std::string& output) {
    return "Error 1：Outputファイル('" + output + "')が開けません\n";
  }

  WorkDir dir_;
};

TEST_F(Hostile, NamesWithCommasBlanksJapaneseAndCharactersCp932Lacks) {
  const std::string in = "in/入力, a b €";  // the directory name, too
  dir_.MakeDir(in);
  const std::vector<std::string> names = {// in the order of the listing
                                          "Brawn_ x y .txt", "Brawn_a,b.txt", "Brawn_名前ソ.txt",
                                          "Brawn_\xF0\x9F\x98\x80.txt", "Brawn_\xFF.txt"};
  for (const std::string& n : names)
    dir_.Write(in + "/" + n, ResultFile({.mode = model::Mode::kMuscleStrength}));
  const std::string output = dir_ / "出力, x €.csv";

  const ProcessResult r = Run(dir_ / in, kNameItems | kWaveform, output);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "変換が完了しました\nデータ件数： 5件を処理しました\n");
  std::string csv = Sjis("ファイル名,波形ファイル名,名前\r\n");
  const char* const cp932_names[] = {"Brawn_ x y .txt", "Brawn_a,b.txt", "Brawn_名前ソ.txt",
                                     "Brawn_?.txt"};
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string name = i < 4 ? Sjis(cp932_names[i]) : names[i];  // not UTF-8: as it is
    csv += name + "," + Sjis(dir_ / "出力, x ?") + std::to_string(i + 1) + ".csv," + NameCell(1) +
           "\r\n";
    EXPECT_TRUE(dir_.Exists("出力, x €" + std::to_string(i + 1) + ".csv"));
  }
  EXPECT_EQ(dir_.Read("出力, x €.csv"), csv);
}

TEST_F(Hostile, LinksFifosAndDevicesAreNeverOpened) {
  dir_.Write("in/Brawn_1.txt", ResultFile({.mode = model::Mode::kMuscleStrength, .seed = 1}));
  dir_.Write("outside.txt", ResultFile({.mode = model::Mode::kMuscleStrength, .seed = 2}));
  dir_.MakeDir("in/Brawn_dir.txt");
  dir_.MakeDir("sub");
  const std::string in = dir_ / "in/";
  ASSERT_EQ(::symlink((dir_ / "outside.txt").c_str(), (in + "Brawn_2.txt").c_str()), 0);
  ASSERT_EQ(::symlink((dir_ / "sub").c_str(), (in + "Brawn_3.txt").c_str()), 0);
  ASSERT_EQ(::symlink((dir_ / "nothing").c_str(), (in + "Brawn_4.txt").c_str()), 0);
  ASSERT_EQ(::symlink((in + "Brawn_6.txt").c_str(), (in + "Brawn_5.txt").c_str()), 0);
  ASSERT_EQ(::symlink((in + "Brawn_5.txt").c_str(), (in + "Brawn_6.txt").c_str()), 0);
  ASSERT_EQ(::mkfifo((in + "Brawn_7.txt").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", (in + "Brawn_8.txt").c_str()), 0);  // would never end
  ASSERT_EQ(::symlink((in + "Brawn_7.txt").c_str(), (in + "Brawn_9.txt").c_str()), 0);
  // A device node itself, where this process may make one.
  ::mknod((in + "Brawn_zero.txt").c_str(), S_IFCHR | 0666, makedev(1, 5));

  const ProcessResult r = Run(dir_ / "in", kNameItems, dir_ / "out.csv");
  EXPECT_FALSE(r.timed_out);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(dir_.Read("out.csv"), Sjis("ファイル名,名前\r\nBrawn_1.txt,") + NameCell(1) +
                                      "\r\nBrawn_2.txt," + NameCell(2) + "\r\n");
}

TEST_F(Hostile, OutputsThatCannotOrMustNotBeWritten) {
  const std::string input = ResultFile({.mode = model::Mode::kMuscleStrength});
  dir_.Write("in/Brawn_1.txt", input);
  ASSERT_EQ(::mkfifo((dir_ / "fifo.csv").c_str(), 0644), 0);
  ASSERT_EQ(::symlink((dir_ / "in/Brawn_1.txt").c_str(), (dir_ / "link.csv").c_str()), 0);
  struct Case {
    const char* what;
    std::string output;
    std::int32_t mask;
    const char* reason;  // of the detail line
  } cases[] = {
      {"a directory", dir_ / "in", kNameItems,
       "作成できません（ファイルではなくフォルダーです (Is a directory)）"},
      {"a FIFO nobody reads", dir_ / "fifo.csv", kNameItems,
       "作成できません（No such device or address）"},
      {"a full disk", "/dev/full", kNameItems,
       "書き込めません（ディスクに十分な空き領域がありません (No space left on device)）"},
      {"a link to a result file", dir_ / "link.csv", kNameItems | kWaveform,
       "結果ファイルを上書きすることになります"},
      {"a result file by another spelling", dir_ / "in/../in/./Brawn_1.txt", kNameItems,
       "結果ファイルを上書きすることになります"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ProcessResult r = Run(dir_ / "in", c.mask, c.output);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, Error1(c.output) + c.output + ": " + c.reason + "\n");
    EXPECT_EQ(dir_.Read("in/Brawn_1.txt"), input);
  }
  EXPECT_EQ(dir_.List("in"), std::vector<std::string>{"Brawn_1.txt"});
}

TEST_F(Hostile, OutputInsideTheInputDirectoryMatchingThePattern) {
  dir_.Write("in/Brawn_1.txt", ResultFile({.mode = model::Mode::kMuscleStrength}));
  const std::string output = dir_ / "in/Brawn_out.txt";
  // The listing is made before the CSV exists: the first run does not read its own output.
  ProcessResult r = Run(dir_ / "in", kNameItems | kWaveform, output);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::string csv = dir_.Read("in/Brawn_out.txt");
  EXPECT_EQ(csv, Sjis("ファイル名,波形ファイル名,名前\r\nBrawn_1.txt,") +
                     Sjis(dir_ / "in/Brawn_out1.txt") + "," + NameCell(1) + "\r\n");
  // The next run finds it among the result files, and result files are never overwritten.
  r = Run(dir_ / "in", kNameItems | kWaveform, output);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, Error1(output) + output + ": 結果ファイルを上書きすることになります\n");
  EXPECT_EQ(dir_.Read("in/Brawn_out.txt"), csv);
}

TEST_F(Hostile, UnreadableDirectoryAndFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  dir_.MakeDir("in/locked");
  dir_.Write("in/locked/Brawn_1.txt", ResultFile({.mode = model::Mode::kMuscleStrength}));
  ::chmod((dir_ / "in/locked").c_str(), 0);
  ProcessResult r = Run(dir_ / "in/locked", kNameItems, dir_ / "out.csv");
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_TRUE(r.err.ends_with(
      "\n" + dir_ / "in/locked/" +
      ": ディレクトリを読めません（アクセスが拒否されました (Permission denied)）\n"))
      << r.err;
  EXPECT_FALSE(dir_.Exists("out.csv"));
  ::chmod((dir_ / "in/locked").c_str(), 0755);

  dir_.Write("in/Brawn_1.txt", ResultFile({.mode = model::Mode::kMuscleStrength}));
  ::chmod((dir_ / "in/Brawn_1.txt").c_str(), 0);
  r = Run(dir_ / "in", kNameItems, dir_ / "out.csv");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_TRUE(r.err.ends_with("\n" + dir_ / "in/Brawn_1.txt" +
                              ": 開けません（アクセスが拒否されました (Permission denied)）\n"))
      << r.err;
  EXPECT_EQ(dir_.Read("out.csv"), Sjis("ファイル名,名前\r\n"));
}

// 64 MiB without a line break: as a whole file, and as the value of one line.
TEST_F(Hostile, LinesOf64MiB) {
  constexpr std::size_t kLine = 64u << 20;
  const Pieces long_run = [](const auto& put) {
    const std::string block(1 << 20, 'x');
    for (std::size_t i = 0; i < kLine / block.size(); ++i) put(block);
  };
  ASSERT_NO_FATAL_FAILURE(WritePieces(dir_ / "in/Brawn_1.txt", long_run));
  ProcessResult r = Run(dir_ / "in", kNameItems | kWaveform, dir_ / "out.csv");
  EXPECT_EQ(r.exit_code, 1);  // the file ends within its first line
  EXPECT_EQ(dir_.Read("out.csv"), Sjis("ファイル名,波形ファイル名,名前\r\n"));
  EXPECT_LT(r.max_rss_kb, 4 * (kLine >> 10) + kRssAllowanceKb);
  EXPECT_EQ(DigestOfFile(dir_ / "in/Brawn_1.txt"), DigestOf(long_run));

  // Line 5 (the name) and the last waveform sample are 64 MiB long, without a final line end.
  std::vector<std::string> lines =
      ResultLines({.mode = model::Mode::kMuscleStrength, .waveform_lines = 1});
  const Pieces file = [&](const auto& put) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i == 4 || i + 1 == lines.size()) long_run(put);
      put(lines[i]);
      if (i + 1 < lines.size()) put("\r\n");
    }
  };
  ASSERT_NO_FATAL_FAILURE(WritePieces(dir_ / "in/Brawn_1.txt", file));
  r = Run(dir_ / "in", kNameItems | kWaveform, dir_ / "out.csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_LT(r.max_rss_kb, 5 * (kLine >> 10) + kRssAllowanceKb);
  const std::string name_line = lines[4];  // its cell: the run of x, then the generated name
  EXPECT_EQ(
      DigestOfFile(dir_ / "out.csv"), DigestOf([&](const auto& put) {
        put(Sjis("ファイル名,波形ファイル名,名前\r\nBrawn_1.txt,") + Sjis(dir_ / "out1.csv") + ",");
        long_run(put);
        put(name_line.substr(0, name_line.find('\t')));
        put("\r\n");
      }));
  EXPECT_EQ(DigestOfFile(dir_ / "out1.csv"), DigestOf([&](const auto& put) {
              put(Sjis("ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)\r\n"));
              long_run(put);
              put(lines.back());
              put("\r\n");
            }));
  EXPECT_EQ(DigestOfFile(dir_ / "in/Brawn_1.txt"), DigestOf(file));
}

TEST_F(Hostile, WaveformOf1GiB) {
  if (!HeavyTests()) GTEST_SKIP() << "set TALLYX_HEAVY_TESTS=1";
  std::string block;  // about 1 MiB of samples
  for (int i = 0; block.size() < (1u << 20); ++i) {
    block += std::to_string(i % 360) + "," + std::to_string(i % 997) + ".5,\t" +
             std::to_string(30 + i % 5) + "\r\n";
  }
  const std::string head = ResultFile({.mode = model::Mode::kMuscleStrength, .waveform_lines = 0});
  const Pieces samples = [&block](const auto& put) {
    for (int i = 0; i < 1024; ++i) put(block);
  };
  const Pieces file = [&](const auto& put) {
    put(head);
    samples(put);
  };
  ASSERT_NO_FATAL_FAILURE(WritePieces(dir_ / "in/Brawn_1.txt", file));

  ProcessResult r = Run(dir_ / "in", kNameItems | kWaveform, dir_ / "out.csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_LT(r.max_rss_kb, 64 * 1024 + kRssAllowanceKb);
  EXPECT_EQ(dir_.Read("out.csv"), Sjis("ファイル名,波形ファイル名,名前\r\nBrawn_1.txt,") +
                                      Sjis(dir_ / "out1.csv") + "," + NameCell(1) + "\r\n");
  EXPECT_EQ(DigestOfFile(dir_ / "out1.csv"), DigestOf([&](const auto& put) {
              put(Sjis("ペダル角度(deg),負荷(N･m),ペダル回転速度(r/min)\r\n"));
              samples(put);
            }));
  std::remove((dir_ / "out1.csv").c_str());

  // Without side files the waveform is not read at all.
  r = Run(dir_ / "in", kNameItems, dir_ / "out.csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_LT(r.seconds, 10);
  EXPECT_EQ(dir_.Read("out.csv"), Sjis("ファイル名,名前\r\nBrawn_1.txt,") + NameCell(1) + "\r\n");
}

TEST_F(Hostile, HundredThousandFiles) {
  if (!HeavyTests()) GTEST_SKIP() << "set TALLYX_HEAVY_TESTS=1";
  constexpr int kFiles = 100000;
  constexpr int kSources = 4;  // each linked 25,000 times: the data of four files, 100,000 names
  for (int s = 1; s <= kSources; ++s) {
    dir_.Write("source" + std::to_string(s),
               ResultFile({.mode = model::Mode::kMuscleStrength, .seed = s}));
  }
  const std::string in = dir_ / "in/";
  char name[32];
  for (int i = 0; i < kFiles; ++i) {
    std::snprintf(name, sizeof name, "Brawn_%06d.txt", i);
    const std::string source = dir_ / ("source" + std::to_string(1 + i % kSources));
    ASSERT_EQ(::link(source.c_str(), (in + name).c_str()), 0) << name;
  }
  const ProcessResult r = Run(dir_ / "in", kNameItems, dir_ / "out.csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "変換が完了しました\nデータ件数： 100000件を処理しました\n");
  EXPECT_LT(r.max_rss_kb, 64 * 1024 + kRssAllowanceKb);
  EXPECT_EQ(DigestOfFile(dir_ / "out.csv"), DigestOf([&](const auto& put) {
              put(Sjis("ファイル名,名前\r\n"));
              for (int i = 0; i < kFiles; ++i) {
                std::snprintf(name, sizeof name, "Brawn_%06d.txt", i);
                put(std::string(name) + "," + NameCell(1 + i % kSources) + "\r\n");
              }
            }));
}

}  // namespace
}  // namespace tallyx
