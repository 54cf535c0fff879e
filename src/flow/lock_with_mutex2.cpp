// lock_with_mutex2.cpp - the checks shared by both platforms.
#include "flow/lock_with_mutex2.h"

#include <cwchar>
#include <string>

LockWithMutex2::~LockWithMutex2() { Unlock(); }

HRESULT LockWithMutex2::Lock(void* securityAttributes, bool initialOwner, const wchar_t* name) {
  if (name == nullptr) return E_POINTER;
  if (std::wcslen(name) > kMaxNameChars) return E_FAIL;
  if (handle_ != 0) return E_INVALIDARG;
  // Shared by all users logged on to the machine, not only this session.
  const std::wstring fullName = std::wstring(L"Global\\") + name;
  return Create(securityAttributes, initialOwner, fullName.c_str());
}

void LockWithMutex2::Unlock() {
  if (handle_ != 0) Close();
  handle_ = 0;
}
