#include "text/line_io.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "support/faulty_fs.h"
#include "support/workdir.h"

namespace tallyx::text {
namespace {

using platform::InputFile;
using platform::OutputFile;
using platform::RealFileSystem;
using testing::WorkDir;

std::vector<std::string> Lines(const std::string& bytes) {
  WorkDir dir;
  dir.Write("f", bytes);
  const std::unique_ptr<InputFile> file = RealFileSystem().OpenInput(dir / "f");
  EXPECT_TRUE(file != nullptr);
  LineReader reader;
  reader.Reset(file.get());
  std::vector<std::string> lines;
  std::string_view line;
  LineReader::Status st;
  while ((st = reader.Next(&line)) == LineReader::Status::kLine) lines.emplace_back(line);
  EXPECT_EQ(st, LineReader::Status::kEnd);
  return lines;
}

// Reads `skip` lines, then copies the rest the way side files are written.
std::string CopyAfter(const std::string& bytes, int skip) {
  WorkDir dir;
  dir.Write("in", bytes);
  const std::unique_ptr<InputFile> in = RealFileSystem().OpenInput(dir / "in");
  const std::unique_ptr<OutputFile> out = RealFileSystem().CreateOutput(dir / "out");
  EXPECT_TRUE(in != nullptr && out != nullptr);
  LineReader reader;
  reader.Reset(in.get());
  std::string_view line;
  for (int i = 0; i < skip; ++i) EXPECT_EQ(reader.Next(&line), LineReader::Status::kLine);
  BufferedWriter writer;
  writer.Reset(out.get());
  bool read_failed = true;
  EXPECT_TRUE(reader.CopyRemainingLines(&writer, &read_failed));
  EXPECT_FALSE(read_failed);
  EXPECT_TRUE(writer.Drain());
  EXPECT_TRUE(out->Close());
  return dir.Read("out");
}

TEST(LineReader, SplitsAtCrLfAndLoneCr) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\rc\nd", {"a", "b", "c\nd"}},  // a lone LF belongs to the line
      {"\r\n\r\n", {"", ""}},
      {"x\r", {"x"}},
      {"\n", {"\n"}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lines(c.bytes), c.lines) << c.bytes;
}

TEST(LineReader, HandlesTerminatorsAcrossReadsAndLongLines) {
  // The first read takes 4096 bytes: put a CR LF and a lone CR right on that edge.
  const std::string filler(4095, 'x');
  EXPECT_EQ(Lines(filler + "\r\nz"), (std::vector<std::string>{filler, "z"}));
  EXPECT_EQ(Lines(filler + "\rz"), (std::vector<std::string>{filler, "z"}));
  const std::string huge(3 * 1024 * 1024 + 7, 'y');  // longer than the buffer
  EXPECT_EQ(Lines("a\r\n" + huge + "\r\nb"), (std::vector<std::string>{"a", huge, "b"}));
}

TEST(LineReader, CopiesRemainingLinesWithCrLf) {
  const std::string filler(4094, 'w');
  struct Case {
    std::string bytes;
    std::string copied;
  } cases[] = {
      {"h\r\n1\r\n2\r\n", "1\r\n2\r\n"},
      {"h\r\n", ""},
      {"h", ""},
      {"h\r\n1\r2\r\n3", "1\r\n2\r\n3\r\n"},  // lone CR and unterminated last line
      {"h\r\n\t1\t2\r\n", "\t1\t2\r\n"},      // TABs stay
      {"h\r\na\nb\r\n", "a\nb\r\n"},          // a lone LF stays
      {"h\r\n\xFF\x83\x5C\r\n", "\xFF\x83\x5C\r\n"},
      {"h\r\n" + filler + "\r\nq", filler + "\r\nq\r\n"},  // CR LF split by the first read
      {"h\r\n" + filler + "\rq", filler + "\r\nq\r\n"},
      {"h\r\n" + filler + "\r", filler + "\r\n"},
      {"h\r\na\r\r", "a\r\n\r\n"},
      {"h\r\na\r\r\n", "a\r\n\r\n"},
      {"h\r\n\n", "\n\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(CopyAfter(c.bytes, 1), c.copied) << c.bytes.size();

  std::string big, expected;
  for (int i = 0; i < 200000; ++i) {
    const std::string sample = std::to_string(i) + ",1.5,\t" + std::to_string(i % 7);
    big += sample + (i % 1000 == 0 ? "\r" : "\r\n");
    expected += sample + "\r\n";
  }
  EXPECT_EQ(CopyAfter("h\r\n" + big, 1), expected);
}

TEST(LineReader, CopiesLikeLineByLineWhereverTheReadsEnd) {
  // Terminators of every kind around the ends of the first read (4096 bytes) and of the later
  // ones; the copy must equal the lines, one by one, each ended by CR LF.
  unsigned seed = 7;
  const auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
  const char alphabet[] = {'\r', '\n', 'x', ','};
  for (int round = 0; round < 60; ++round) {
    std::string bytes = "h\r\n";
    const std::size_t size = 4080 + next() % 40 + (round % 3 == 0 ? 300000 : 0);
    while (bytes.size() < size) {
      const unsigned r = next() % 16;
      bytes += r < 9    ? std::string(1 + next() % 30, 'x')
               : r < 12 ? std::string("\r\n")
                        : std::string(1, alphabet[r % 4]);
    }
    std::string expected;
    std::vector<std::string> lines = Lines(bytes);
    for (std::size_t i = 1; i < lines.size(); ++i) expected += lines[i] + "\r\n";
    EXPECT_EQ(CopyAfter(bytes, 1), expected) << "round " << round;
  }
}

TEST(BufferedWriter, KeepsWhatTheFileRefusedForTheNextDrain) {
  WorkDir dir;
  testing::FaultyFileSystem fs;
  const std::unique_ptr<OutputFile> out = fs.CreateOutput(dir / "out");
  ASSERT_TRUE(out != nullptr);
  BufferedWriter writer;
  writer.Reset(out.get());
  const std::string big(200 * 1024, 'b');
  fs.Reset();
  ASSERT_TRUE(writer.Append("line 1\r\n"));
  fs.FailCall(1);  // the drain
  EXPECT_FALSE(writer.Drain());
  fs.FailCall(3);  // the held line goes out (2), the big block is refused (3)
  EXPECT_FALSE(writer.Append(big));
  fs.FailCall(0);
  EXPECT_TRUE(writer.Drain());
  EXPECT_TRUE(writer.Drain());
  fs.Reset();
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(dir.Read("out"), "line 1\r\n" + big);
}

}  // namespace
}  // namespace tallyx::text
