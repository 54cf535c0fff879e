// child_process_win32.cpp - the child writes into a temporary file, which
// works the same for console and GUI programs.
#include "platform/win32/windows_api.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/wide_text.h"
#include "support/child_process.h"

namespace orb::test {
namespace {

// Under Wine the build tree's paths are host paths; drive Z: is the host's
// root.
std::wstring WindowsPath(const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  if (!wide.empty() && wide[0] == L'/') {
    wide = L"Z:" + wide;
    for (wchar_t& c : wide) {
      if (c == L'/') c = L'\\';
    }
  }
  return wide;
}

std::wstring Quoted(const std::wstring& argument) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& environment,
                     int timeoutMilliseconds) {
  ChildResult result;
  const std::wstring exe = WindowsPath(program);
  std::wstring commandLine = Quoted(exe);
  for (const auto& a : arguments) commandLine += L" " + Quoted(Utf8ToWide(a));

  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* e = strings; *e != L'\0'; e += wcslen(e) + 1) {
    const std::wstring entry = e;
    bool replaced = false;
    for (const auto& [name, value] : environment) {
      const std::wstring prefix = Utf8ToWide(name) + L"=";
      if (_wcsnicmp(entry.c_str(), prefix.c_str(), prefix.size()) == 0) replaced = true;
    }
    if (!replaced) block += entry + L'\0';
  }
  FreeEnvironmentStringsW(strings);
  for (const auto& [name, value] : environment) {
    if (value != kRemoveVariable) block += Utf8ToWide(name + "=" + value) + L'\0';
  }
  block += L'\0';

  wchar_t tempDir[MAX_PATH];
  wchar_t tempFile[MAX_PATH];
  GetTempPathW(MAX_PATH, tempDir);
  GetTempFileNameW(tempDir, L"orb", 0, tempFile);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE out = CreateFileW(tempFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (out == INVALID_HANDLE_VALUE) return result;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process{};
  const BOOL created = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      CREATE_UNICODE_ENVIRONMENT, block.data(), nullptr, &startup, &process);
  CloseHandle(out);
  if (created) {
    result.started = true;
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMilliseconds)) == WAIT_TIMEOUT) {
      result.timedOut = true;
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  std::ifstream in(std::filesystem::path(tempFile), std::ios::binary);
  result.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileW(tempFile);
  return result;
}

}  // namespace orb::test
