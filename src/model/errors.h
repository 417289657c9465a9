// The numbers of the error messages: what the user reads as "Error N", and the exit status of a
// failed command-line run.
#pragma once

#include <cstdint>

namespace tallyx::model {

enum class ErrorNumber : std::int16_t {
  // A conversion run, by the stage it failed in.
  kOutputFile = 1,    // the CSV file
  kDirectory = 2,     // the input directory
  kNoResultFile = 3,  // the file-name pattern in the directory
  kSideFile = 5,      // a waveform side file
  // The settings file.
  kSettingsNotWritten = 30,  // not created or not written
  kSettingsNotReplaced = 31,
  // The desktop's "open" service.
  kOpenFileNotFound = 50,
  kOpenPathNotFound = 51,
  kOpenAccessDenied = 52,
  kOpenOutOfMemory = 53,
  kOpenLibraryNotFound = 54,
  kOpenSharingViolation = 55,
  kOpenIncompleteAssociation = 56,
  kOpenDdeTimeout = 57,
  kOpenDdeFailed = 58,
  kOpenDdeBusy = 59,
  kOpenNoAssociation = 60,
  kOpenBadProgram = 61,
  kOpenUnknown = 62,
};

constexpr int NumberOf(ErrorNumber e) { return static_cast<int>(e); }

}  // namespace tallyx::model
