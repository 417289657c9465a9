#include "desktop/open_document.h"

#include <array>

namespace tallyx::desktop {
namespace {

using E = model::ErrorNumber;
namespace shell_code = platform::shell_code;

// Failure codes of the desktop's "open" service and the error numbers that report them.
struct OpenFailure {
  std::int32_t code;
  E number;
};
constexpr std::array<OpenFailure, 12> kOpenFailures = {{
    {shell_code::kFileNotFound, E::kOpenFileNotFound},
    {shell_code::kPathNotFound, E::kOpenPathNotFound},
    {shell_code::kAccessDenied, E::kOpenAccessDenied},
    {shell_code::kOutOfMemory, E::kOpenOutOfMemory},
    {shell_code::kBadProgram, E::kOpenBadProgram},
    {shell_code::kSharingViolation, E::kOpenSharingViolation},
    {shell_code::kIncompleteAssociation, E::kOpenIncompleteAssociation},
    {shell_code::kDdeTimeout, E::kOpenDdeTimeout},
    {shell_code::kDdeFailed, E::kOpenDdeFailed},
    {shell_code::kDdeBusy, E::kOpenDdeBusy},
    {shell_code::kNoAssociation, E::kOpenNoAssociation},
    {shell_code::kLibraryNotFound, E::kOpenLibraryNotFound},
}};

// What a code of the desktop's "open" service tells the user.
OpenOutcome OutcomeOf(std::int32_t code) {
  OpenOutcome outcome;
  outcome.code = code;
  if (outcome.opened()) return outcome;
  outcome.err_no = E::kOpenUnknown;
  for (const OpenFailure& f : kOpenFailures) {
    if (f.code == code) outcome.err_no = f.number;
  }
  outcome.names_document = code == shell_code::kFileNotFound;
  return outcome;
}

}  // namespace

OpenOutcome OpenDocument(platform::System& system, const std::string& path,
                         const platform::WhileWaiting& while_waiting) {
  return OutcomeOf(system.OpenDocument(path, while_waiting));
}

OpenOutcome OpenPage(platform::System& system, const std::string& page, const std::string& anchor,
                     const platform::WhileWaiting& while_waiting) {
  return OutcomeOf(system.OpenPage(page, anchor, while_waiting));
}

}  // namespace tallyx::desktop
