// The USB identity wrappers: what a caller sees for found, not found and
// unreadable devices.
#include "device/usb_descriptor.h"

#include <gtest/gtest.h>

#include "support/virtual_handheld_fixture.h"

namespace {

TEST(CUsbDescriptor, FoundNotFoundAndUnreadable) {
  orb::test::ScopedVirtualHandheld handheld(
      "[Drive K]\nUsbVendor = 7A11\nUsbProduct = 0380\nUsbSerial = KVX-42\n"
      "[Drive L]\nUsb = noserial\n"
      "[Drive M]\nUsb = unreadable\n");
  CUsbDescriptor usb;
  std::uint16_t vendor = 1;
  std::uint16_t product = 1;
  std::wstring serial = L"old";
  ASSERT_TRUE(usb.GetUsbIdentity(L'K', &vendor, &product, &serial));
  EXPECT_EQ(vendor, 0x7A11);
  EXPECT_EQ(product, 0x0380);
  EXPECT_EQ(serial, L"KVX-42");

  // Not found: true, and GetUsbIdentity writes nothing...
  vendor = product = 1;
  serial = L"old";
  EXPECT_TRUE(usb.GetUsbIdentity(L'L', &vendor, &product, &serial));
  EXPECT_EQ(vendor, 1);
  EXPECT_EQ(serial, L"old");
  // ...while the wrappers start from empty answers.
  EXPECT_TRUE(usb.GetUsbSerialNumber(L'L', &serial));
  EXPECT_EQ(serial, L"");
  EXPECT_TRUE(usb.GetUsbIds(L'L', &vendor, &product));
  EXPECT_EQ(vendor, 0);
  EXPECT_EQ(product, 0);

  EXPECT_FALSE(usb.GetUsbIdentity(L'M', &vendor, &product, &serial));
  EXPECT_FALSE(usb.GetUsbSerialNumber(L'N', &serial));
  EXPECT_FALSE(usb.GetUsbIds(L'#', &vendor, &product));
  EXPECT_TRUE(usb.GetUsbIds(L'k', &vendor, &product));
  EXPECT_EQ(product, 0x0380);
}

}  // namespace
