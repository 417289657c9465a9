// The real tallyx binary: under a virtual X server, and ending on the signals of a shutdown.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "model/messages.h"
#include "support/result_files.h"
#include "support/workdir.h"

extern char** environ;

namespace tallyx::testing {
namespace {

// The settings file that the first exit writes when there was none: the default places lie
// under the user's home.
std::string FirstExitFile(const std::string& home) {
  return JoinLines({"[SYSTEM]", "MODE = 0", "OPTCODE = 15728891",
                    Sjis("PATH = " + home + "/Kyrova/BrawnResults    (筋力測定 )"),
                    Sjis("FILTER = Brawn_*.txt     (筋力測定 )"),
                    "OUTPUT = " + home + "/Kyrova/Sample1.csv"});
}

// Starts the window, presses F1, clicks "終了" at its place and reports what the X server saw.
constexpr char kXvfbScript[] = R"sh(
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null &&
  command -v xwininfo >/dev/null && command -v import >/dev/null || exit 77
exec timeout 60 xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  "$TALLYX" & pid=$!
  for i in $(seq 150); do
    wid=$(xdotool search --onlyvisible --name "^Kyrova" 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { kill $pid; exit 3; }
  xdotool windowfocus --sync "$wid" key F1
  for i in $(seq 50); do [ -s "$OUT/opened" ] && break; sleep 0.1; done
  xwininfo -id "$wid" > "$OUT/xwininfo.txt"
  xprop -id "$wid" _NET_WM_NAME > "$OUT/xprop.txt"
  for i in $(seq 50); do
    sleep 0.2
    import -window root -crop 324x168+0+0 "$OUT/window.png"
    convert "$OUT/window.png" -format %k info: > "$OUT/colours.txt"
    [ "$(cat "$OUT/colours.txt")" -gt 20 ] && break
  done
  xdotool mousemove --window "$wid" 288 152 click 1
  wait $pid
  echo "exit=$?"
'
)sh";

TEST(TallyxBinaryTest, WindowUnderXvfbHasItsSizeAndEndsFromItsButton) {
  WorkDir temp;
  // Installed as a package installs it, with the guide's page under the same prefix, and a
  // stand-in for the desktop's opener that notes what it is handed.
  WorkDir prefix;
  MakeDirs(prefix / "bin");
  MakeDirs(prefix / "share/doc/tallyx");
  MakeDirs(prefix / "stub");
  std::filesystem::copy_file(TALLYX_PATH, prefix / "bin/tallyx");
  prefix.Write("share/doc/tallyx/guide.html", "<html></html>");
  prefix.Write("stub/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$OUT/opened\"\n");
  std::filesystem::permissions(prefix / "stub/xdg-open", std::filesystem::perms::owner_all);
  const char* path = std::getenv("PATH");
  const ProcessResult r =
      RunProcess("/bin/bash", {"-c", kXvfbScript}, "",
                 {"TALLYX=" + prefix / "bin/tallyx", "OUT=" + temp.path(), "TEMP=" + temp / "",
                  "QT_QPA_PLATFORM=xcb", "HOME=/home/staff",
                  "PATH=" + prefix / "stub:" + (path != nullptr ? path : "/usr/bin:/bin")});
  if (r.exit_code == 77) GTEST_SKIP() << "Xvfb or the X tools are not installed";
  ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("exit=0"), std::string::npos) << r.out << r.err;

  const std::string info = temp.Read("xwininfo.txt");
  EXPECT_NE(info.find("Width: 324\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Height: 168\n"), std::string::npos) << info;
  EXPECT_NE(temp.Read("xprop.txt").find(model::kWindowCaption), std::string::npos);
  // A drawn window, not an empty area: captions, frames and boxes give many shades.
  EXPECT_GT(std::stoi(temp.Read("colours.txt")), 20);
  // F1 found the page where the package puts it.
  EXPECT_EQ(temp.Read("opened"),
            "file://" + prefix.path() + "share/doc/tallyx/guide.html#main-window\n");
  // The click at the place of "終了" saved the settings and ended the program.
  EXPECT_EQ(temp.Read("Tallyx.ini"), FirstExitFile("/home/staff"));
}

bool CatchesSignal(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) {
      const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
      return (mask >> (signal - 1)) & 1u;
    }
  }
  return false;
}

// Waits for the process to end; -1 when it has not within the time.
int WaitForExit(pid_t pid, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

TEST(TallyxBinaryTest, ShutdownSignalsSaveTheSettingsAndEnd) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    WorkDir temp;
    std::vector<std::string> env_strings = {"TEMP=" + temp / "", "QT_QPA_PLATFORM=offscreen",
                                            "HOME=/"};
    std::vector<char*> env;
    for (std::string& e : env_strings) env.push_back(e.data());
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (entry.rfind("TEMP=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0 &&
          entry.rfind("HOME=", 0) != 0) {
        env.push_back(*e);
      }
    }
    env.push_back(nullptr);
    char program[] = TALLYX_PATH;
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program, nullptr, nullptr, argv, env.data()), 0);

    for (int i = 0; i < 500 && !CatchesSignal(pid, signal); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(CatchesSignal(pid, signal));
    ::kill(pid, signal);
    EXPECT_EQ(WaitForExit(pid, std::chrono::seconds(30)), 0);
    EXPECT_EQ(temp.Read("Tallyx.ini"), FirstExitFile(""));
  }
}

}  // namespace
}  // namespace tallyx::testing
