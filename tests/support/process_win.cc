// Running programs and hiding files on Windows.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "platform/utf16.h"
#include "support/workdir.h"

namespace tallyx::testing {
namespace {

using platform::ToUtf16;

// One argument as the C runtime's command-line parser reads it back.
std::wstring Quote(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring q = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    q.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    q.push_back(c);
  }
  q.append(backslashes * 2, L'\\');
  q.push_back(L'"');
  return q;
}

// The environment of this process with `overrides` ("NAME=value") set, as a block for
// CreateProcessW.
std::wstring EnvironmentBlock(const std::vector<std::string>& overrides) {
  std::vector<std::wstring> vars;
  wchar_t* const strings = ::GetEnvironmentStringsW();
  for (const wchar_t* p = strings; *p != L'\0'; p += wcslen(p) + 1) vars.emplace_back(p);
  ::FreeEnvironmentStringsW(strings);
  const auto name_of = [](const std::wstring& v) {
    // Names such as "=C:" start with "=".
    std::wstring name = v.substr(0, v.find(L'=', 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(::towupper(c)); });
    return name;
  };
  for (const std::string& o : overrides) {
    const std::wstring var = ToUtf16(o);
    std::erase_if(vars, [&](const std::wstring& v) { return name_of(v) == name_of(var); });
    vars.push_back(var);
  }
  std::wstring block;
  for (const std::wstring& v : vars) block.append(v).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE h = ::CreateFileW(ToUtf16(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return h;
}

}  // namespace

std::string HideFile(const std::string& path) {
  const std::wstring wide = ToUtf16(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      !::SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN)) {
    throw std::runtime_error("cannot hide " + path);
  }
  return path;
}

bool PermissionsAreEnforced() { return false; }

bool OpenerIsAProgramOnPath() { return false; }

// Both copies of the environment: the system's, which the program reads, and the C runtime's,
// which getenv (and Qt) read.
void SetEnv(const std::string& name, const std::string& value) {
  ::SetEnvironmentVariableW(ToUtf16(name).c_str(), ToUtf16(value).c_str());
  ::_wputenv_s(ToUtf16(name).c_str(), ToUtf16(value).c_str());
}

void UnsetEnv(const std::string& name) {
  ::SetEnvironmentVariableW(ToUtf16(name).c_str(), nullptr);
  ::_wputenv_s(ToUtf16(name).c_str(), L"");
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& cwd, const std::vector<std::string>& env,
                         int time_limit_seconds) {
  WorkDir capture;
  const ULONGLONG start = ::GetTickCount64();
  const std::string out_path = capture / "out", err_path = capture / "err";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = OpenInheritable(out_path, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = OpenInheritable(err_path, GENERIC_WRITE, CREATE_ALWAYS);

  std::string native_program = program;
  std::replace(native_program.begin(), native_program.end(), '/', '\\');
  std::wstring command_line = Quote(ToUtf16(native_program));
  for (const std::string& a : args) command_line += L" " + Quote(ToUtf16(a));
  std::wstring environment = EnvironmentBlock(env);
  const std::wstring directory = ToUtf16(cwd);

  PROCESS_INFORMATION process{};
  const BOOL started =
      ::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                       directory.empty() ? nullptr : directory.c_str(), &startup, &process);
  ::CloseHandle(startup.hStdInput);
  ::CloseHandle(startup.hStdOutput);
  ::CloseHandle(startup.hStdError);
  ProcessResult r;
  if (!started) {
    r.exit_code = 127;
    return r;
  }
  const DWORD limit =
      time_limit_seconds > 0 ? static_cast<DWORD>(time_limit_seconds) * 1000 : INFINITE;
  if (::WaitForSingleObject(process.hProcess, limit) == WAIT_TIMEOUT) {
    ::TerminateProcess(process.hProcess, 137);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    r.timed_out = true;
  }
  r.seconds = static_cast<double>(::GetTickCount64() - start) / 1000;
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  r.exit_code = static_cast<int>(code);
  r.out = ReadFile(out_path);
  r.err = ReadFile(err_path);
  return r;
}

}  // namespace tallyx::testing
