// lock_with_mutex2_win32.cpp - a named mutex.
#include "flow/lock_with_mutex2.h"

#include "platform/win32/windows_api.h"

HRESULT LockWithMutex2::Create(void* securityAttributes, bool initialOwner, const wchar_t* fullName) {
  SetLastError(ERROR_SUCCESS);
  const HANDLE mutex = CreateMutexW(static_cast<SECURITY_ATTRIBUTES*>(securityAttributes), initialOwner, fullName);
  const DWORD error = GetLastError();
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  // ERROR_ALREADY_EXISTS in particular: another holder has it.
  if (mutex == nullptr || error != ERROR_SUCCESS) return E_HANDLE;
  return S_OK;
}

void LockWithMutex2::Close() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }
