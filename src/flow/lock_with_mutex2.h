// lock_with_mutex2.h - a machine-wide named lock that lets only one
// operation run at a time, for every user logged on to the machine.
//
// Windows: a named mutex in the "Global\" namespace. Linux: a lock file of
// the same name in a directory every user can write (/run/lock, else
// /dev/shm, else /tmp), locked with flock, so the kernel releases it when
// the process dies. Either way a second Lock anywhere on the machine,
// also in the same process, fails with E_HANDLE while one is held.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/status.h"

class LockWithMutex2 {
 public:
  // Longest name accepted, in characters.
  static constexpr std::size_t kMaxNameChars = 260;

  LockWithMutex2() = default;
  virtual ~LockWithMutex2();
  LockWithMutex2(const LockWithMutex2&) = delete;
  LockWithMutex2& operator=(const LockWithMutex2&) = delete;

  // E_POINTER for a null name, E_FAIL for one longer than 260 characters,
  // E_INVALIDARG while this guard holds a handle (left untouched),
  // E_HANDLE when the lock could not be created or already exists (the
  // handle, if any, is kept until Unlock). securityAttributes is passed to
  // the system on Windows and ignored elsewhere.
  HRESULT Lock(void* securityAttributes, bool initialOwner, const wchar_t* name);
  // Releases the handle, if one is held.
  void Unlock();
  bool HoldsHandle() const { return handle_ != 0; }

 private:
  // The platform's part: creates the lock named `fullName`; on return
  // handle_ is set when the system gave a handle.
  HRESULT Create(void* securityAttributes, bool initialOwner, const wchar_t* fullName);
  void Close();

  // Windows: the mutex handle; elsewhere: the lock file's descriptor + 1.
  std::intptr_t handle_ = 0;
};
