// The report of one patient: an A4 page with the patient, the session table and the trend, then
// a page per measurement included. The same painting goes to a PDF file and to a printer.
#pragma once

#include <QDateTime>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"
#include "platform/fs.h"
#include "progress/folder.h"

class QPagedPaintDevice;
class QPainter;

namespace tallyx::view {

struct ReportRequest {
  const progress::Folder* folder = nullptr;
  const progress::Patient* patient = nullptr;
  std::vector<std::uint32_t> included;  // the measurements with a page of their own, in order
  QDateTime made;                       // "作成日時"
};

// Gives the device the report's page: A4 portrait with 15 mm margins.
void SetReportPage(QPagedPaintDevice& device);

// Paints every page with `painter`, which is active on `device`. Each measurement's every item
// and its waveform are read through `fs` as its page is painted, and let go after it.
void PaintReport(const ReportRequest& request, platform::FileSystem& fs, QPagedPaintDevice& device,
                 QPainter& painter);

// Writes the report as a PDF file at `path` (UTF-8): into a file beside it first, which then
// replaces it in one step, so that a failure leaves an earlier file as it was. False, with the
// reason ("<path>: <why>") in `failure`, when it could not be written.
bool WritePdfReport(const ReportRequest& request, platform::FileSystem& fs, const std::string& path,
                    std::string* failure);

// Writes `bytes` as the whole file at `path` (UTF-8), safely: into "<path>.part" first, which
// then replaces `path` in one step; the part is removed on failure. False, with "<path>: <why>"
// in `failure`, when it could not be written.
bool WriteWhole(platform::FileSystem& fs, const std::string& path, std::string_view bytes,
                std::string* failure);

// Whether `path` names one of the folder's result files, which nothing may overwrite.
bool IsResultFile(progress::Folder& folder, platform::FileSystem& fs, const std::string& path);

}  // namespace tallyx::view
