#include "convert/run.h"

#include <memory>
#include <optional>

#include "convert/csv_layout.h"
#include "convert/read_ahead.h"
#include "convert/result_reader.h"
#include "convert/side_file.h"
#include "model/messages.h"
#include "model/model.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "text/line_io.h"
#include "text/parse.h"
#include "text/wildcard.h"

namespace tallyx::convert {
namespace {

using model::ErrorNumber;
using model::FailureDetail;
using model::WithSystemWords;
namespace why = model::failure_reason;

constexpr std::string_view kLineEnd = "\r\n";

// A reason with the system's words for the failure that has just happened on this thread.
std::string WithSystemReason(platform::FileSystem& fs, std::string_view reason) {
  return WithSystemWords(reason, SystemWords(fs.LastFailure()));
}

// A reason with the system's words for the failure of a read of `file`: its first read may have
// been made on another thread.
std::string WithReadReason(platform::FileSystem& fs, const FetchedFile& file,
                           std::string_view reason) {
  if (file.first_read_failed()) return WithSystemWords(reason, SystemWords(file.reason()));
  return WithSystemReason(fs, reason);
}

// What became of one result file.
enum class FileOutcome {
  kWritten,       // its line (and side file) are written
  kBroken,        // it could not be read through; broken_ says why
  kOutputFailed,  // the CSV or its side file failed; output_failure_ says why
};

// One run from start to end. Every failure of the run leaves through Fail(), which closes what
// is open and reports the stage reached; what was written stays.
class Run {
 public:
  Run(const RunInputs& in, platform::FileSystem& fs,
      const std::function<void(const RunProgress&)>& on_progress,
      const std::function<void(const std::string&)>& on_skipped, const std::atomic<bool>& stop)
      : in_(in),
        fs_(fs),
        waveform_(model::Has(in.mask, model::Item::kWaveform)),
        on_progress_(on_progress),
        on_skipped_(on_skipped),
        stop_(stop) {}

  RunResult Execute() {
    if (std::optional<RunResult> failed = SetUp()) return std::move(*failed);
    return ConvertAll();
  }

 private:
  // Finds the result files and begins the CSV file with its header; the failure, if any.
  std::optional<RunResult> SetUp() {
    ListingFault fault;
    if (!ListResultFiles(in_.directory_text, in_.filter_text, fs_, &listing_, &fault)) {
      stage_ = fault.err_no;
      return Fail(std::move(fault.detail));
    }

    stage_ = ErrorNumber::kOutputFile;
    if (in_.output_path.empty()) return Fail(FailureDetail("", 0, why::kNoOutputPath));
    if (waveform_) side_name_ = SideFileName::FromOutputPath(in_.output_path);
    if (IsInputFile(in_.output_path)) {
      return Fail(FailureDetail(in_.output_path, 0, why::kIsResultFile));
    }
    // A run that could write no column leaves the CSV file of an earlier run as it is.
    std::string header = HeaderLine(in_.mode, in_.mask);
    if (header.empty()) return Fail(FailureDetail(in_.output_path, 0, why::kNoColumn));
    csv_ = fs_.CreateOutput(in_.output_path);
    if (!csv_) return Fail(FailureDetail(in_.output_path, 0, CreateReason(fs_, in_.output_path)));
    csv_out_.Reset(csv_.get());
    if (!WriteCsvLine(&header)) return Fail(CsvFailure(why::kCannotWrite));
    return std::nullopt;
  }

  // Converts the result files one after the other, then closes the CSV file. The files after
  // the one being converted are opened meanwhile (see ReadAhead); what was read ahead of a stop
  // or a failure is dropped unread.
  RunResult ConvertAll() {
    ahead_.emplace(fs_, files_, in_.read_ahead, text::LineReader::kFirstRead);
    RunResult r;
    std::string line;
    const auto found = static_cast<std::int32_t>(files_.size());
    for (std::int32_t i = 0; i < found; ++i) {
      if (stop_.load(std::memory_order_relaxed)) {
        r.stopped = true;
        break;
      }
      const std::string_view name = files_.name(static_cast<std::size_t>(i));
      if (on_progress_) on_progress_(RunProgress{i, found, name});
      listed_path_.assign(files_.directory()).append(name);
      line.clear();
      if (model::Has(in_.mask, model::Item::kFileName)) {
        line += platform::ToCp932(name);
        line += ',';
      }
      if (waveform_) {
        // Side files are numbered by the files written.
        side_path_ = side_name_.PathFor(r.processed + 1);
        line += platform::ToCp932(side_path_);
        line += ',';
      }
      const std::int16_t turns_before = turns_;
      input_ = &ahead_->Take(static_cast<std::size_t>(i), listed_path_);
      switch (ConvertFile(&line)) {
        case FileOutcome::kWritten:
          ++r.processed;
          break;
        case FileOutcome::kOutputFailed:
          return Fail(output_failure_);
        case FileOutcome::kBroken:
          if (!in_.skip_broken) return Fail(broken_);
          LeaveOut();
          turns_ = turns_before;
          ++r.skipped;
          if (on_skipped_) on_skipped_(broken_);
          break;
      }
    }
    input_ = nullptr;
    ahead_.reset();
    if (!csv_out_.Drain()) return Fail(CsvFailure(why::kCannotWrite));
    if (!platform::CloseFile(&csv_)) return Fail(CsvFailure(why::kCannotClose));
    r.ok = true;
    return r;
  }

  // Reads the current result file and writes its line and side file. Without skip_broken the
  // line goes out before the side file, so that a side file's failure leaves the line written;
  // with it the line waits until the file has been read to its end and closed.
  FileOutcome ConvertFile(std::string* line) {
    side_begun_ = false;
    if (!input_->opened())
      return Broken(0, WithSystemWords(why::kCannotOpen, SystemWords(input_->reason())));
    reader_.Reset(input_);
    SectionFault fault;
    if (!ReadResultSection(&reader_, in_.mode, in_.mask, &turns_, line, &fault)) {
      return Broken(fault.line, SectionFaultReason(fs_, *input_, fault));
    }
    if (line->empty()) return Broken(0, std::string(why::kNoCells));
    line->pop_back();
    const bool hold_line = in_.skip_broken;
    if (!hold_line && !WriteCsvLine(line)) return OutputFailed(CsvFailure(why::kCannotWrite));
    if (waveform_) {
      const FileOutcome side = WriteSideFile();
      if (side != FileOutcome::kWritten) return side;
    }
    if (!input_->Close()) return Broken(0, WithSystemReason(fs_, why::kCannotClose));
    if (hold_line && !WriteCsvLine(line)) return OutputFailed(CsvFailure(why::kCannotWrite));
    return FileOutcome::kWritten;
  }

  // Copies the waveform section of the current result file: two lines skipped, then a caption
  // line and every remaining line.
  FileOutcome WriteSideFile() {
    std::string_view ignored;
    for (int i = 0; i < 2; ++i) {
      const text::LineReader::Status status = reader_.Next(&ignored);
      if (status == text::LineReader::Status::kEnd) {
        return Broken(reader_.lines_read() + 1, std::string(why::kEndsBefore));
      }
      if (status == text::LineReader::Status::kError) {
        return Broken(reader_.lines_read() + 1, WithReadReason(fs_, *input_, why::kCannotRead));
      }
    }
    stage_ = ErrorNumber::kSideFile;
    if (IsInputFile(side_path_)) {
      return OutputFailed(FailureDetail(side_path_, 0, why::kIsResultFile));
    }
    side_ = fs_.CreateOutput(side_path_);
    if (!side_) return OutputFailed(FailureDetail(side_path_, 0, CreateReason(fs_, side_path_)));
    side_begun_ = true;
    side_out_.Reset(side_.get());
    std::string caption = platform::ToCp932(model::TableOf(in_.mode).side_file_caption);
    caption.append(kLineEnd);
    if (!side_out_.Append(caption)) return OutputFailed(SideFailure(why::kCannotWrite));
    bool read_failed = false;
    if (!reader_.CopyRemainingLines(&side_out_, &read_failed)) {
      if (read_failed) return Broken(0, WithReadReason(fs_, *input_, why::kCannotRead));
      return OutputFailed(SideFailure(why::kCannotWrite));
    }
    if (!side_out_.Drain()) return OutputFailed(SideFailure(why::kCannotWrite));
    if (!platform::CloseFile(&side_)) return OutputFailed(SideFailure(why::kCannotClose));
    return FileOutcome::kWritten;
  }

  FileOutcome Broken(std::int32_t line, const std::string& reason) {
    broken_ = FailureDetail(listed_path_, line, reason);
    return FileOutcome::kBroken;
  }
  FileOutcome OutputFailed(std::string detail) {
    output_failure_ = std::move(detail);
    return FileOutcome::kOutputFailed;
  }
  std::string CsvFailure(std::string_view reason) const {
    return FailureDetail(in_.output_path, 0, WithSystemReason(fs_, reason));
  }
  std::string SideFailure(std::string_view reason) const {
    return FailureDetail(side_path_, 0, WithSystemReason(fs_, reason));
  }
  // A broken file leaves nothing behind: its side file, whole or not, goes.
  void LeaveOut() {
    input_->Close();
    platform::CloseFile(&side_);
    if (side_begun_) fs_.RemoveFile(side_path_);
  }

  // What the writers still hold goes out before the files are closed: everything produced
  // before the failure stays written.
  RunResult Fail(std::string detail) {
    if (side_) {
      side_out_.Drain();
      platform::CloseFile(&side_);
    }
    if (input_ != nullptr) input_->Close();
    input_ = nullptr;
    ahead_.reset();
    if (csv_) {
      csv_out_.Drain();
      platform::CloseFile(&csv_);
    }
    RunResult r;
    r.failure.err_no = stage_;
    r.failure.detail = std::move(detail);
    switch (stage_) {
      case ErrorNumber::kDirectory:
      case ErrorNumber::kNoResultFile:
        r.failure = ListingFailure(listing_, stage_, std::move(r.failure.detail));
        break;
      case ErrorNumber::kOutputFile:
        r.failure.s1 = in_.output_path;
        break;
      default:
        r.failure.s1 = side_path_;
        break;
    }
    return r;
  }

  // A line goes to the writer with its end in one piece, so that a failed write never leaves
  // half a line to be completed later.
  bool WriteCsvLine(std::string* line) {
    line->append(kLineEnd);
    return csv_out_.Append(*line);
  }

  // A result file of this run must never be overwritten, whatever spelling names it.
  bool IsInputFile(const std::string& path) {
    const std::optional<platform::FileId> id = fs_.IdentityOf(path);
    return id && files_.Contains(*id);
  }

  const RunInputs& in_;
  platform::FileSystem& fs_;
  const bool waveform_;
  const std::function<void(const RunProgress&)>& on_progress_;
  const std::function<void(const std::string&)>& on_skipped_;
  const std::atomic<bool>& stop_;
  ErrorNumber stage_ = ErrorNumber::kDirectory;  // the stage reached, by its error
  std::int16_t turns_ = 0;                       // the turn count, carried from file to file
  bool side_begun_ = false;                      // the current file's side file has been created
  ResultListing listing_;
  platform::FileList& files_ = listing_.files;
  std::string listed_path_;  // the current result file, as the listing names it
  std::string side_path_;
  std::string broken_;
  std::string output_failure_;
  SideFileName side_name_;
  // Each open while it is held.
  std::unique_ptr<platform::OutputFile> csv_;
  std::optional<ReadAhead> ahead_;  // while the result files are converted
  FetchedFile* input_ = nullptr;    // the current result file, held by ahead_
  std::unique_ptr<platform::OutputFile> side_;
  text::BufferedWriter csv_out_;
  text::BufferedWriter side_out_;
  text::LineReader reader_;
};

}  // namespace

std::string SystemWords(const platform::SystemFailure& failure) {
  namespace sys = model::system_reason;
  using platform::FailureKind;
  std::string_view japanese;
  switch (failure.kind) {
    case FailureKind::kOther:
      break;
    case FailureKind::kNoEntry:
      japanese = sys::kNoEntry;
      break;
    case FailureKind::kAccessDenied:
      japanese = sys::kAccessDenied;
      break;
    case FailureKind::kDiskFull:
      japanese = sys::kDiskFull;
      break;
    case FailureKind::kReadOnly:
      japanese = sys::kReadOnly;
      break;
    case FailureKind::kIsDirectory:
      japanese = sys::kIsFolder;
      break;
    case FailureKind::kNotDirectory:
      japanese = sys::kNotFolder;
      break;
    case FailureKind::kNameTooLong:
      japanese = sys::kNameTooLong;
      break;
  }
  return model::ExplainedSystemWords(japanese, failure.words);
}

std::string CreateReason(platform::FileSystem& fs, const std::string& path) {
  const platform::SystemFailure failure = fs.LastFailure();
  std::size_t name_start = path.size();
  while (name_start > 0 && !platform::IsPathSeparator(path[name_start - 1])) --name_start;
  std::string folder = path.substr(0, name_start);
  while (folder.size() > 1 && platform::IsPathSeparator(folder.back())) folder.pop_back();
  if (failure.kind == platform::FailureKind::kNoEntry && !folder.empty() &&
      !fs.IsDirectory(folder)) {
    namespace sys = model::system_reason;
    const std::string missing =
        std::string(sys::kFolderMissingHead) + folder + std::string(sys::kFolderMissingTail);
    return WithSystemWords(why::kCannotCreate, model::ExplainedSystemWords(missing, failure.words));
  }
  return WithSystemWords(why::kCannotCreate, SystemWords(failure));
}

std::string SectionFaultReason(platform::FileSystem& fs, const FetchedFile& file,
                          const SectionFault& fault) {
  switch (fault.kind) {
    case SectionFault::Kind::kEnds:
      return std::string(why::kEndsBefore);
    case SectionFault::Kind::kReadError:
      return WithReadReason(fs, file, why::kCannotRead);
    case SectionFault::Kind::kNoTab:
      return std::string(why::kNoTab);
    case SectionFault::Kind::kNotATime:
      return std::string(why::kNotATimeHead) + platform::FromCp932(fault.text) +
             std::string(why::kNotATimeTail);
    case SectionFault::Kind::kCountOutOfRange:
      return std::string(why::kCountHead) + platform::FromCp932(fault.text) +
             std::string(why::kCountTail);
  }
  return std::string();
}

std::string DirectoryFailure(platform::FileSystem& fs, const std::string& directory) {
  const std::string reason = WithSystemReason(fs, why::kDirectoryUnreadable);
  // Without its final separator, so that a file there is found as one.
  std::string bare = directory;
  while (bare.size() > 1 && platform::IsPathSeparator(bare.back())) bare.pop_back();
  if (!fs.PathExists(bare)) return FailureDetail(directory, 0, why::kDirectoryMissing);
  if (!fs.IsDirectory(bare)) return FailureDetail(directory, 0, why::kNotADirectory);
  return FailureDetail(directory, 0, reason);
}

bool ListResultFiles(std::string_view directory_text, std::string_view filter_text,
                     platform::FileSystem& fs, ResultListing* out, ListingFault* fault) {
  const auto failed = [fault](ErrorNumber err_no, std::string detail) {
    fault->err_no = err_no;
    fault->detail = std::move(detail);
    return false;
  };
  if (directory_text.empty()) {
    return failed(ErrorNumber::kDirectory, FailureDetail("", 0, why::kNoDirectory));
  }
  out->directory = InputDirectory(directory_text, fs);
  if (out->directory.empty() || out->directory.back() != platform::kSeparator) {
    out->directory += platform::kSeparator;
  }
  if (filter_text.empty()) {
    return failed(ErrorNumber::kNoResultFile, FailureDetail(out->directory, 0, why::kNoPattern));
  }
  // A file name may hold "(" itself ("Brawn_1 (2).txt"): the whole text is the pattern when it
  // finds a file, otherwise the text before the comment.
  const std::string_view whole_filter = text::TrimBlanks(filter_text);
  out->pattern = model::ValuePart(filter_text);
  if (out->pattern != whole_filter &&
      fs.ListMatchingFiles(out->directory, whole_filter, &out->files) && out->files.size() > 0) {
    out->pattern = whole_filter;
  } else if (!fs.ListMatchingFiles(out->directory, out->pattern, &out->files)) {
    return failed(ErrorNumber::kNoResultFile, DirectoryFailure(fs, out->files.directory()));
  }
  if (out->files.size() == 0) {
    return failed(ErrorNumber::kNoResultFile,
                  FailureDetail(out->directory + out->pattern, 0, why::kNoMatch));
  }
  return true;
}

RunFailure ListingFailure(const ResultListing& listing, ErrorNumber err_no, std::string detail) {
  RunFailure f;
  f.err_no = err_no;
  f.s1 = listing.directory;
  if (err_no == ErrorNumber::kNoResultFile) f.s2 = listing.pattern;
  f.detail = std::move(detail);
  return f;
}

bool FilterTakes(std::string_view filter_text, std::string_view name) {
  return text::MatchWildcard(text::TrimBlanks(filter_text), name) ||
         text::MatchWildcard(model::ValuePart(filter_text), name);
}

std::string InputDirectory(std::string_view text, platform::FileSystem& fs) {
  std::string value = model::ValuePart(text);
  const std::string_view whole = text::TrimBlanks(text);
  if (whole != value && fs.IsDirectory(std::string(whole))) value = whole;
  return value;
}

RunResult ConversionRun::Execute() {
  return Run(inputs_, fs_, on_progress_, on_skipped_, stop_).Execute();
}

}  // namespace tallyx::convert
