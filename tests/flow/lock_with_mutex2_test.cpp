#include "flow/lock_with_mutex2.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/wide_text.h"
#include "support/child_process.h"

namespace {

// Other build trees run these tests on the same machine at the same time:
// names are per build tree (and per test), and the same on every run, so
// lock files do not pile up.
std::string UniqueName(const char* what) {
  return std::string("orbdl-test-") + what + "-" + std::to_string(std::hash<std::string>()(LOCK_HOLDER_PROGRAM));
}

std::string HolderSays(const std::string& name) {
  const auto result = orb::test::RunChild(LOCK_HOLDER_PROGRAM, {name});
  EXPECT_TRUE(result.started);
  EXPECT_FALSE(result.timedOut);
  const auto lines = orb::test::OutputLines(result.output);
  return lines.empty() ? std::string("(no output)") : lines.back();
}

TEST(LockWithMutex2Test, ArgumentChecks) {
  LockWithMutex2 guard;
  EXPECT_EQ(guard.Lock(nullptr, false, nullptr), E_POINTER);
  const std::wstring longest(LockWithMutex2::kMaxNameChars, L'x');
  const std::wstring tooLong = longest + L"y";
  EXPECT_EQ(guard.Lock(nullptr, false, tooLong.c_str()), E_FAIL);
  EXPECT_FALSE(guard.HoldsHandle());
  const std::wstring name = orb::Utf8ToWide(UniqueName("long")) + longest;
  EXPECT_EQ(guard.Lock(nullptr, false, name.substr(0, LockWithMutex2::kMaxNameChars).c_str()), S_OK);
}

TEST(LockWithMutex2Test, SecondLockOnOneGuardLeavesTheHeldLockAlone) {
  const std::wstring name = orb::Utf8ToWide(UniqueName("twice"));
  LockWithMutex2 guard;
  ASSERT_EQ(guard.Lock(nullptr, false, name.c_str()), S_OK);
  EXPECT_EQ(guard.Lock(nullptr, false, name.c_str()), E_INVALIDARG);
  EXPECT_EQ(guard.Lock(nullptr, false, L"another"), E_INVALIDARG);
  // Still held: a second guard in this process is refused.
  LockWithMutex2 other;
  EXPECT_EQ(other.Lock(nullptr, false, name.c_str()), E_HANDLE);
  other.Unlock();
  guard.Unlock();
  EXPECT_FALSE(guard.HoldsHandle());
  EXPECT_EQ(other.Lock(nullptr, false, name.c_str()), S_OK);
}

TEST(LockWithMutex2Test, SecondProcessIsRefusedUntilTheFirstReleases) {
  const std::string name = UniqueName("process");
  {
    LockWithMutex2 guard;
    ASSERT_EQ(guard.Lock(nullptr, false, orb::Utf8ToWide(name).c_str()), S_OK);
    EXPECT_EQ(HolderSays(name), "lock result 0x80070006");  // E_HANDLE
  }
  // Released by the destructor; the holder now gets it and ends without
  // releasing it, which the system does for it.
  EXPECT_EQ(HolderSays(name), "lock result 0x00000000");
  EXPECT_EQ(HolderSays(name), "lock result 0x00000000");
  LockWithMutex2 again;
  EXPECT_EQ(again.Lock(nullptr, false, orb::Utf8ToWide(name).c_str()), S_OK);
}

}  // namespace
