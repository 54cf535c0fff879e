// environment_win32.cpp: the wide environment, which GetEnvironmentVariableW
// and the C runtime's _wgetenv both read after SetEnvironmentVariableW.
#include <utility>

#include "base/wide_text.h"
#include "platform/win32/windows_api.h"
#include "support/environment.h"

namespace orb::test {

namespace {

bool CurrentValue(const std::wstring& name, std::string* value) {
  wchar_t old[32768];
  const DWORD length = GetEnvironmentVariableW(name.c_str(), old, 32768);
  if (length == 0 || length >= 32768) return false;
  *value = WideToUtf8(std::wstring(old, length));
  return true;
}

}  // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)) {
  const std::wstring wideName = Utf8ToWide(name_);
  hadValue_ = CurrentValue(wideName, &oldValue_);
  SetEnvironmentVariableW(wideName.c_str(), Utf8ToWide(value).c_str());
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name) : name_(std::move(name)) {
  const std::wstring wideName = Utf8ToWide(name_);
  hadValue_ = CurrentValue(wideName, &oldValue_);
  SetEnvironmentVariableW(wideName.c_str(), nullptr);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  const std::wstring wideName = Utf8ToWide(name_);
  SetEnvironmentVariableW(wideName.c_str(), hadValue_ ? Utf8ToWide(oldValue_).c_str() : nullptr);
}

}  // namespace orb::test
