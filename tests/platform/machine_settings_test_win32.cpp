// The registry: values under HKEY_LOCAL_MACHINE "SOFTWARE\Vora\ORBITON
// Network Downloader". The test writes a value of its own name, so that it
// never disturbs UpdateControlFile, which other tests of the same Wine
// prefix read at the same time.
#include "platform/machine_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/windows_api.h"

namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Vora\\ORBITON Network Downloader";
constexpr wchar_t kName[] = L"OrbdlTestSetting";

class RegistryValue {
 public:
  RegistryValue() { RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr); }
  ~RegistryValue() {
    if (key_ == nullptr) return;
    RegDeleteValueW(key_, kName);
    RegCloseKey(key_);
  }
  bool Set(DWORD type, const std::wstring& text) {
    return key_ != nullptr &&
           RegSetValueExW(key_, kName, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
};

TEST(MachineSettingsTest, ReadsTheRegistryValueAsText) {
  RegistryValue value;
  std::wstring read = L"untouched";
  EXPECT_FALSE(orb::platform::ReadMachineSetting(kName, &read));
  EXPECT_EQ(read, L"untouched");

  const std::wstring longest(orb::platform::kMaxSettingChars, L'x');
  struct Case {
    const char* what;
    DWORD type;
    std::wstring text;
    bool found;
  } cases[] = {
      {"text", REG_SZ, L"file:///C:/v.xpd", true},
      {"the type is not checked", REG_EXPAND_SZ, L"http://h/x", true},
      {"longest value", REG_SZ, longest, true},
      {"too long for the buffer", REG_SZ, longest + L"y", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(value.Set(c.type, c.text));
    read = L"untouched";
    EXPECT_EQ(orb::platform::ReadMachineSetting(kName, &read), c.found);
    EXPECT_EQ(read, c.found ? c.text : L"untouched");
  }
}

}  // namespace
