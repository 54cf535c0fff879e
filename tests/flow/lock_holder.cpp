// lock_holder.cpp - a second process for the lock tests: tries the lock
// named by its argument, prints the result, and ends without releasing it
// (the system must release it).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/wide_text.h"
#include "flow/lock_with_mutex2.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  auto* guard = new LockWithMutex2;  // never destroyed: no Unlock
  const HRESULT hr = guard->Lock(nullptr, false, orb::Utf8ToWide(argv[1]).c_str());
  std::printf("lock result 0x%08x\n", static_cast<unsigned>(hr));
  std::fflush(stdout);
  std::_Exit(0);
}
