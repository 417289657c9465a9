// Opening the output document with the application the desktop associates with it, and the
// message that tells the user why it did not open.
#pragma once

#include <cstdint>
#include <string>

#include "model/errors.h"
#include "platform/system.h"

namespace tallyx::desktop {

struct OpenOutcome {
  // As the desktop's "open" service reports it (a platform::shell_code).
  std::int32_t code = platform::shell_code::kOpened;
  bool opened() const { return platform::IsOpened(code); }
  // When not opened: the message to show, and whether it names the document.
  model::ErrorNumber err_no{};
  bool names_document = false;
};

// Opens the document at `path` (UTF-8) through `system`'s desktop; `while_waiting` runs while
// the desktop's opener is waited for.
OpenOutcome OpenDocument(platform::System& system, const std::string& path,
                         const platform::WhileWaiting& while_waiting = {});

// Opens the HTML page `page` (UTF-8) at the section with id `anchor` in the desktop's browser;
// its failures are told as OpenDocument's, the page standing for the document.
OpenOutcome OpenPage(platform::System& system, const std::string& page, const std::string& anchor,
                     const platform::WhileWaiting& while_waiting = {});

}  // namespace tallyx::desktop
