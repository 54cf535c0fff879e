// The description file: what it accepts, and that every mistake is named
// with its line.
#include "virtual_handheld/handheld_description.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "virtual_handheld/load.h"

namespace {

using namespace orb::virtual_handheld;

TEST(HandheldDescription, FullDriveAndDefaults) {
  const char* text =
      "\xEF\xBB\xBF; a handheld with its card and its system storage\r\n"
      "[Drive F]\r\n"
      "Root = /tmp/kvx/card\r\n"
      "# comment\r\n"
      "identity=CARD\r\n"
      "SystemVersion = 6.61\n"
      "ProductCode = 01 0a\n"
      "MediumType = 0x21\n"
      "Locked = yes\n"
      "UsbVendor = 0x7a11\n"
      "UsbProduct = 381\n"
      "UsbSerial = \"  KVX 1  \"\n"
      "Capacity = 2G\n"
      "Free = 1536M\n"
      "\n"
      "[drive g:]\n"
      "Identity = other\n"
      "Vendor = SANDISK\n"
      "Product = Cruzer Blade\n";
  HandheldDescription d;
  std::string error;
  ASSERT_TRUE(ParseHandheldDescription(text, &d, &error)) << error;
  ASSERT_EQ(d.drives.size(), 2u);
  const DriveDescription& f = d.drives[0];
  EXPECT_EQ(f.letter, L'F');
  EXPECT_EQ(f.root, "/tmp/kvx/card");
  EXPECT_EQ(f.identity, Identity::kCard);
  EXPECT_EQ(f.vendor, "VORA    ");
  EXPECT_EQ(f.product, "\"KVX\" FK        ");
  EXPECT_EQ(f.revision, "1.00");
  EXPECT_EQ(f.systemVersion, "6.61");
  EXPECT_EQ(f.productCode[0], 0x01);
  EXPECT_EQ(f.productCode[1], 0x0A);
  EXPECT_EQ(f.mediumType, 0x21);
  EXPECT_TRUE(f.locked);
  EXPECT_EQ(f.usbVendor, 0x7A11);
  EXPECT_EQ(f.usbProduct, 0x0381);
  EXPECT_EQ(f.usbSerial, "  KVX 1  ");
  EXPECT_EQ(f.space, SpaceSource::kGiven);
  EXPECT_EQ(f.capacity, 2ull << 30);
  EXPECT_EQ(f.freeBytes, 1536ull << 20);
  const DriveDescription& g = d.drives[1];
  EXPECT_EQ(g.letter, L'G');
  EXPECT_EQ(g.vendor, "SANDISK ");
  EXPECT_EQ(g.product, "Cruzer Blade    ");
  EXPECT_EQ(g.type, orb::platform::DriveType::kRemovable);
  EXPECT_EQ(g.space, SpaceSource::kHost);
  EXPECT_EQ(g.usb, UsbPresence::kAttached);
  EXPECT_EQ(d.Find(L'G'), &g);
  EXPECT_EQ(d.Find(L'H'), nullptr);

  // An empty description is a handheld with no drives.
  ASSERT_TRUE(ParseHandheldDescription("", &d, &error));
  EXPECT_TRUE(d.drives.empty());
  ASSERT_TRUE(ParseHandheldDescription("; nothing\n\n", &d, &error));
  EXPECT_TRUE(d.drives.empty());
}

TEST(HandheldDescription, MistakesAreNamedWithTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"Root = /x\n", "line 1: a key before the first [Drive X] section"},
      {"[Drive K]\nColour = red\n", "line 2: unknown key 'colour'"},
      {"[Drive K]\nRoot = /a\nroot = /b\n", "line 3: key 'root' given twice in this section"},
      {"[Drive K]\n[Drive k]\n", "line 2: drive K described twice"},
      {"[Drive B]\n", "line 1: drive letters run from C to Z"},
      {"[Drive KK]\n", "line 1: unknown section [Drive KK]; expected [Drive X]"},
      {"[Device 1]\n", "line 1: unknown section [Device 1]; expected [Drive X]"},
      {"[Drive K\n", "line 1: a section header must end with ']'"},
      {"[Drive K]\nno equals sign\n", "line 2: expected 'Key = value'"},
      {"[Drive K]\n = 1\n", "line 2: a key without a name"},
      {"[Drive K]\nIdentity = phone\n", "line 2: identity must be one of: card, system, titlecase, other"},
      {"[Drive K]\nVendor = ACME\n", "line 2: Vendor is only for Identity = other"},
      {"[Drive K]\nProductCode = 010\n", "line 2: ProductCode must be two hexadecimal bytes, such as 01 0A"},
      {"[Drive K]\nProductCode = 01 0G\n", "line 2: ProductCode must be two hexadecimal bytes, such as 01 0A"},
      {"[Drive K]\nMediumType = 0x120\n", "line 2: MediumType must be one hexadecimal byte, such as 0x20"},
      {"[Drive K]\nUsbVendor = 7A110\n", "line 2: UsbVendor must be four hexadecimal digits, such as 7A11"},
      {"[Drive K]\nLocked = maybe\n", "line 2: locked must be one of: no, yes, false, true, 0, 1, off, on"},
      {"[Drive K]\nCapacity = 1G\n", "line 2: give Capacity and Free together"},
      {"[Drive K]\nCapacity = 1G\nFree = 2G\n", "line 3: Free is larger than Capacity"},
      {"[Drive K]\nCapacity = 18446744073709551616\nFree = 0\n", "line 2: Capacity: a number of bytes"},
      {"[Drive K]\nCapacity = 17179869184G\nFree = 0\n", "line 2: Capacity: a number of bytes"},
      {"[Drive K]\nCapacity = -1\nFree = 0\n", "line 2: Capacity: a number of bytes"},
      {"[Drive K]\nCapacity = unreadable\nFree = 0\n", "line 3: Free makes no sense with Capacity = unreadable"},
      {"[Drive K]\nType = network\n", "line 2: type must be one of: removable, fixed, cdrom, remote, ramdisk"},
      {"[Drive K]\nUsbSerial = 0123456789012345678901234567890123456789012345678901234567890123456789"
       "0123456789012345678901234567890123456789012345678901234567\n",
       "line 2: UsbSerial is longer than a USB string holds (126)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    HandheldDescription d;
    d.drives.resize(1);
    std::string error;
    EXPECT_FALSE(ParseHandheldDescription(c.text, &d, &error));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(d.drives.size(), 1u);  // untouched on failure
  }
  HandheldDescription d;
  std::string error;
  EXPECT_FALSE(ParseHandheldDescription(std::string("[Drive K]\nRoot = a\0b\n", 22), &d, &error));
  EXPECT_EQ(error, "line 2: NUL byte in the line");
  EXPECT_FALSE(ParseHandheldDescription(std::string(kMaxDescriptionBytes + 1, '\n'), &d, &error));
  EXPECT_EQ(error, "the file is larger than 1 MiB");
}

TEST(HandheldDescription, LoadedFileTakesRelativeRootsFromItsFolder) {
  orb::test::TempDir dir;
  const auto file = dir.Write("handheld.ini", "[Drive K]\nRoot = card\n[Drive L]\nRoot = /abs/system\n[Drive M]\n");
  HandheldDescription d;
  std::string error;
  ASSERT_TRUE(LoadDescriptionFile(file, &d, &error)) << error;
  ASSERT_EQ(d.drives.size(), 3u);
  EXPECT_EQ(std::filesystem::u8path(d.drives[0].root), (dir.path() / "card").lexically_normal());
  EXPECT_EQ(d.drives[1].root, "/abs/system");
  EXPECT_EQ(d.drives[2].root, "");

  EXPECT_FALSE(LoadDescriptionFile(dir.path() / "missing.ini", &d, &error));
  EXPECT_NE(error.find("missing.ini: cannot be read"), std::string::npos) << error;
  const auto bad = dir.Write("bad.ini", "[Drive K]\nIdentity = watch\n");
  EXPECT_FALSE(LoadDescriptionFile(bad, &d, &error));
  EXPECT_NE(error.find("bad.ini: line 2: identity must be one of"), std::string::npos) << error;
}

}  // namespace
