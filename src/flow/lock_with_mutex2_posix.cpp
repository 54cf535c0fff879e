// lock_with_mutex2_posix.cpp - a lock file every user's process can open,
// locked with flock: the lock belongs to the open file, so a second open
// (in this or another process) cannot take it, and the kernel drops it
// when the process ends.
#include "flow/lock_with_mutex2.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/wide_text.h"

namespace {

// A file name for the lock's name: '/' and '%' escaped; a name too long
// for a file name is shortened and made unique by its hash.
std::string FileNameFor(const std::string& name) {
  std::string escaped;
  for (const char c : name) {
    if (c == '/') {
      escaped += "%2F";
    } else if (c == '%') {
      escaped += "%25";
    } else {
      escaped += c;
    }
  }
  if (escaped.size() > 200) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    std::size_t cut = 150;
    while (cut > 0 && (static_cast<unsigned char>(escaped[cut]) & 0xC0) == 0x80) --cut;  // whole characters
    escaped = escaped.substr(0, cut) + "~" + hex;
  }
  return "orbdl-" + escaped + ".lock";
}

std::string LockDirectory() {
  for (const char* dir : {"/run/lock", "/dev/shm", "/tmp"}) {
    struct stat st {};
    if (stat(dir, &st) == 0 && S_ISDIR(st.st_mode) && access(dir, W_OK | X_OK) == 0) return dir;
  }
  return "/tmp";
}

// Opens without O_CREAT first: in a sticky world-writable directory the
// system may refuse O_CREAT on another user's existing file.
int OpenLockFile(const std::string& path) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0 || errno != ENOENT) return fd;
    fd = open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
      fchmod(fd, 0666);  // past the umask: every user's process must open it
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

HRESULT LockWithMutex2::Create(void* /*securityAttributes*/, bool /*initialOwner*/, const wchar_t* fullName) {
  const int fd = OpenLockFile(LockDirectory() + "/" + FileNameFor(orb::WideToUtf8(fullName)));
  if (fd < 0) return E_HANDLE;
  handle_ = fd + 1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return E_HANDLE;
  return S_OK;
}

void LockWithMutex2::Close() { close(static_cast<int>(handle_ - 1)); }
