#include "app/cli.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>

#include "convert/run.h"
#include "model/messages.h"
#include "model/model.h"
#include "settings/settings.h"
#include "text/parse.h"

namespace tallyx::app {
namespace {

constexpr std::string_view kUsage =
    "Usage: tallyx-cli [--mode N] [--path TEXT] [--filter TEXT] [--output PATH]\n"
    "                  [--optcode MASK] [--settings FILE] [--skip-broken]\n"
    "       tallyx-cli --list-items [--mode N]\n"
    "       tallyx-cli --help | --version | --default-mask | --caption\n"
    "\n"
    "Converts the result files of one directory into one CSV file, as the window's\n"
    "\"集計実行\" does. A value left out is taken from the settings file, as the window\n"
    "starts with it; the file is never written.\n"
    "\n"
    "  --mode N         measurement mode: 0 muscle strength, 1 isometric,\n"
    "                   2 initial rehabilitation, 3 exercise\n"
    "  --path TEXT      input directory; a comment from \"(\" on is ignored unless\n"
    "                   the whole text names a directory\n"
    "  --filter TEXT    file-name pattern with * and ? (default: the mode's entry,\n"
    "                   as the window selects it; a stored filter is not used); a\n"
    "                   comment from \"(\" on is ignored unless the whole text\n"
    "                   matches a file\n"
    "  --output PATH    the CSV file to write\n"
    "  --optcode MASK   output items as a decimal bit mask (bit 24: waveform side files)\n"
    "  --settings FILE  settings file to take left-out values from\n"
    "                   (default: the window's own Tallyx.ini, in the TEMP directory;\n"
    "                   without TEMP in $XDG_CONFIG_HOME/tallyx or ~/.config/tallyx,\n"
    "                   on Windows in the current directory)\n"
    "  --list-items     print the 25 output items and run nothing: one line each,\n"
    "                   bit TAB caption in the mode (empty when the item dialog hides\n"
    "                   it there) TAB \"*\" when the default mask has the item\n"
    "  --skip-broken    leave out a result file that cannot be read through, with one\n"
    "                   line on stderr, and go on with the others\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "  --default-mask   show the mask of the default output items, as --optcode\n"
    "                   takes it, and run nothing\n"
    "  --caption        show the caption of the main window and run nothing\n"
    "\n"
    "A failed run writes its error message on stderr and one more line that says\n"
    "where and why: \"<file>: <line>行目: <reason>\" or \"<file>: <reason>\".\n"
    "\n"
    "Exit status: 0 on success, the error number (1, 2, 3 or 5) when the run fails,\n"
    "4 when --skip-broken left out every file, 64 on wrong usage.\n";

struct Options {
  std::optional<model::Mode> mode;
  std::optional<std::string> path;
  std::optional<std::string> filter;
  std::optional<std::string> output;
  std::optional<std::int32_t> optcode;
  std::optional<std::string> settings;
  bool skip_broken = false;
  bool help = false;
  bool version = false;
  bool default_mask = false;
  bool caption = false;
};

// The options that take no value.
struct Flag {
  std::string_view name;
  bool Options::*field;
};
constexpr Flag kFlags[] = {
    {"--help", &Options::help},
    {"-h", &Options::help},
    {"--skip-broken", &Options::skip_broken},
    {"--version", &Options::version},
    {"--default-mask", &Options::default_mask},
    {"--caption", &Options::caption},
};

// Parses the arguments; the error text when they are wrong.
std::optional<std::string> Parse(const std::vector<std::string>& args, Options* o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                   [&](const Flag& f) { return a == f.name; });
    if (flag != std::end(kFlags)) {
      o->*flag->field = true;
      continue;
    }
    std::string name = a;
    std::optional<std::string> value;
    if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    }
    const bool known = name == "--mode" || name == "--path" || name == "--filter" ||
                       name == "--output" || name == "--optcode" || name == "--settings";
    if (!known) return "unknown option: " + a;
    if (!value) {
      if (i + 1 >= args.size()) return "missing value for " + name;
      value = args[++i];
    }
    if (name == "--mode") {
      if (value->size() != 1 || !model::IsModeNumber((*value)[0] - '0')) {
        return "--mode takes 0, 1, 2 or 3, not: " + *value;
      }
      o->mode = model::ModeOf((*value)[0] - '0');
    } else if (name == "--optcode") {
      bool found = false;
      const double n = text::LeadingNumber(*value, &found);
      const auto mask = text::RoundTo<std::int32_t>(n);
      if (!found || !mask) return "--optcode takes a 32-bit decimal number, not: " + *value;
      o->optcode = *mask;
    } else if (name == "--path") {
      o->path = *value;
    } else if (name == "--filter") {
      o->filter = *value;
    } else if (name == "--output") {
      o->output = *value;
    } else {
      o->settings = *value;
    }
  }
  return std::nullopt;
}

std::string AsLines(std::string text) {
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  return text;
}

int UsageError(const std::string& error, std::ostream& err) {
  err << "tallyx-cli: " << error << "\n\n" << kUsage;
  return kUsageExit;
}

// --list-items [--mode N]: which bit is which output item, as the item dialog shows it.
int ListItems(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
  std::erase(args, "--list-items");
  Options o;
  if (const auto error = Parse(args, &o)) return UsageError(*error, err);
  if (o.path || o.filter || o.output || o.optcode || o.settings || o.help || o.version ||
      o.default_mask || o.caption || o.skip_broken) {
    return UsageError("--list-items takes no option but --mode", err);
  }
  const model::Mode mode = o.mode.value_or(model::Mode::kMuscleStrength);
  for (int bit = 0; bit < model::kItemCount; ++bit) {
    const model::Item item = model::ItemAt(bit);
    out << bit << '\t' << (model::ItemShown(item, mode) ? model::ItemCaption(item, mode) : "")
        << '\t' << (model::Has(model::kDefaultMask, item) ? "*" : "") << '\n';
  }
  return 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, platform::System& system) {
  std::ostream& out = system.out();
  std::ostream& err = system.err();
  if (std::find(args.begin(), args.end(), "--list-items") != args.end()) {
    return ListItems(args, out, err);
  }
  Options o;
  if (const auto error = Parse(args, &o)) return UsageError(*error, err);
  if (o.help) {
    out << kUsage;
    return 0;
  }
  if (o.version) {
    out << "tallyx-cli " TALLYX_VERSION "\n";
    return 0;
  }
  if (o.default_mask) {
    out << model::kDefaultMask << "\n";
    return 0;
  }
  if (o.caption) {
    out << model::kWindowCaption << "\n";
    return 0;
  }

  // As the window starts: the stored values, each key's default where the file has none, and
  // the filter entry of the mode in force in place of the stored filter.
  const settings::Settings stored =
      o.settings ? settings::LoadSettings(*o.settings, system)
                 : settings::LoadSettings(settings::LocateSettingsFile(system), system);
  convert::RunInputs in;
  in.mode = o.mode.value_or(stored.mode);
  in.mask = o.optcode.value_or(stored.optcode);
  in.directory_text = o.path.value_or(stored.path);
  in.output_path = o.output.value_or(stored.output);
  in.filter_text = o.filter.value_or(std::string(model::TableOf(in.mode).filter_entry));
  in.skip_broken = o.skip_broken;

  convert::ConversionRun run(std::move(in), system.files());
  if (o.skip_broken) {
    run.OnSkipped([&err](const std::string& detail) { err << detail << std::endl; });
  }
  const convert::RunResult r = run.Execute();
  if (!r.ok) {
    err << model::MessagePrompt(r.failure.err_no, r.failure.s1, r.failure.s2) << "\n"
        << r.failure.detail << "\n";
    return model::NumberOf(r.failure.err_no);
  }
  if (r.processed == 0 && r.skipped > 0) return kAllSkippedExit;
  out << AsLines(model::ClosingMessage(r.processed)) << "\n";
  return 0;
}

}  // namespace tallyx::app
