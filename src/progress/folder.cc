#include "progress/folder.h"

#include <algorithm>
#include <tuple>

#include "convert/read_ahead.h"
#include "model/messages.h"
#include "platform/codec.h"
#include "text/line_io.h"

namespace tallyx::progress {
namespace {

namespace why = model::failure_reason;

// Files read between two progress reports.
constexpr std::int32_t kProgressEvery = 64;

// The detail line of a result file that cannot be read as `fault` says.
std::string UnreadableDetail(platform::FileSystem& fs, const std::string& path,
                             const convert::FetchedFile& file,
                             const convert::SectionFault* fault) {
  if (fault == nullptr) {
    return model::FailureDetail(path, 0, model::WithSystemWords(why::kCannotOpen, file.reason()));
  }
  return model::FailureDetail(path, fault->line, convert::SectionFaultReason(fs, file, *fault));
}

// Reads one opened file into `m`; the detail line when it breaks the layout.
std::optional<std::string> ReadInto(platform::FileSystem& fs, const std::string& path,
                                    convert::FetchedFile& file, model::Mode mode,
                                    std::int32_t mask, text::LineReader* reader, Measurement* m) {
  if (!file.opened()) return UnreadableDetail(fs, path, file, nullptr);
  reader->Reset(&file);
  convert::SectionFault fault;
  const bool ok = m->Read(reader, mode, mask, &fault);
  std::optional<std::string> detail;
  if (!ok) detail = UnreadableDetail(fs, path, file, &fault);
  file.Close();
  return detail;
}

// Groups the measurements by patient, each patient's oldest first, the undated last.
void GroupPatients(Folder* f) {
  const auto count = static_cast<std::uint32_t>(f->measurements.size());
  std::vector<std::optional<When>> when(count);
  for (std::uint32_t i = 0; i < count; ++i) when[i] = f->measurements[i].WhenTaken();
  f->sessions.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) f->sessions[i] = i;
  const auto order = [&](std::uint32_t a, std::uint32_t b) {
    const std::string_view ka = f->measurements[a].PatientKey();
    const std::string_view kb = f->measurements[b].PatientKey();
    // The unknown patient (no key) comes last.
    if (ka.empty() != kb.empty()) return kb.empty();
    if (ka != kb) return ka < kb;
    if (when[a].has_value() != when[b].has_value()) return when[a].has_value();
    if (when[a] && when[a]->Days() != when[b]->Days()) return when[a]->Days() < when[b]->Days();
    return a < b;
  };
  std::sort(f->sessions.begin(), f->sessions.end(), order);
  f->patients.clear();
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string_view key = f->measurements[f->sessions[i]].PatientKey();
    if (i == 0 || key != f->measurements[f->sessions[i - 1]].PatientKey()) {
      f->patients.push_back(Patient{i, 0});
    }
    ++f->patients.back().count;
  }
}

}  // namespace

std::string Folder::PathOf(std::uint32_t measurement) const {
  return files.directory() + std::string(NameOf(measurement));
}

std::string_view Folder::NameOf(std::uint32_t measurement) const {
  return files.name(file_of[measurement]);
}

std::span<const std::uint32_t> Folder::SessionsOf(const Patient& p) const {
  return std::span<const std::uint32_t>(sessions).subspan(p.first, p.count);
}

const Measurement& Folder::Latest(const Patient& p) const {
  const auto own = SessionsOf(p);
  // Undated ones stand after the dated ones.
  for (auto it = own.rbegin(); it != own.rend(); ++it) {
    if (measurements[*it].WhenTaken()) return measurements[*it];
  }
  return measurements[own.back()];
}

std::string Folder::CodeOf(const Patient& p) const {
  const std::string_view key = measurements[SessionsOf(p).front()].PatientKey();
  if (key.empty()) return std::string(model::progress_text::kUnknownPatient);
  return platform::FromCp932(key);
}

std::string Folder::NameOf(const Patient& p) const {
  return platform::FromCp932(Latest(p).Text(model::Item::kName));
}

std::string Folder::LatestDateOf(const Patient& p) const {
  const Measurement& latest = Latest(p);
  if (!latest.WhenTaken()) return std::string();
  return platform::FromCp932(latest.Text(model::Item::kDate));
}

const Patient* Folder::Find(std::string_view code) const {
  for (const Patient& p : patients) {
    if (CodeOf(p) == code) return &p;
  }
  return nullptr;
}

bool FolderReading::Execute(Folder* out, FolderFailure* failure) {
  convert::ResultListing listing;
  convert::ListingFault fault;
  if (!convert::ListResultFiles(inputs_.directory_text, inputs_.filter_text, fs_, &listing,
                                &fault)) {
    *failure = convert::ListingFailure(listing, fault.err_no, std::move(fault.detail));
    return false;
  }
  *out = Folder();
  out->mode = inputs_.mode;
  out->files = std::move(listing.files);

  const auto found = static_cast<std::int32_t>(out->files.size());
  out->measurements.reserve(out->files.size());
  out->file_of.reserve(out->files.size());
  convert::ReadAhead ahead(fs_, out->files, inputs_.read_ahead, text::LineReader::kFirstRead);
  text::LineReader reader;
  std::string path;
  Measurement m;
  std::int32_t read = 0;
  for (; read < found && !stop_.load(std::memory_order_relaxed); ++read) {
    if (on_progress_ && read % kProgressEvery == 0) on_progress_(FolderProgress{read, found});
    const auto i = static_cast<std::size_t>(read);
    path.assign(out->files.directory()).append(out->files.name(i));
    convert::FetchedFile& file = ahead.Take(i, path);
    if (auto detail = ReadInto(fs_, path, file, inputs_.mode, kListItems, &reader, &m)) {
      out->unreadable.push_back(std::move(*detail));
      continue;
    }
    out->measurements.push_back(std::move(m));
    out->file_of.push_back(static_cast<std::uint32_t>(i));
  }
  if (on_progress_) on_progress_(FolderProgress{read, found});
  out->measurements.shrink_to_fit();
  out->file_of.shrink_to_fit();
  GroupPatients(out);
  return true;
}

bool ReadDetail(platform::FileSystem& fs, const std::string& path, model::Mode mode,
                Measurement* out, std::string* failure) {
  convert::FetchedFile file;
  file.Open(fs, path);
  text::LineReader reader;
  if (auto detail = ReadInto(fs, path, file, mode, kDetailItems, &reader, out)) {
    *failure = std::move(*detail);
    return false;
  }
  return true;
}

}  // namespace tallyx::progress
