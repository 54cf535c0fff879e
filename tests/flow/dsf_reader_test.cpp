#include "flow/dsf_reader.h"

#include <gtest/gtest.h>

#include <cctype>

#include "base/wide_text.h"
#include "support/temp_dir.h"

namespace {

constexpr const wchar_t* kAbsent = nullptr;

struct Case {
  const char* name;
  std::string file;
  int slot;
  const wchar_t* want;  // kAbsent: GetValue gives null
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DsfReaderCases : public ::testing::TestWithParam<Case> {};

TEST_P(DsfReaderCases, ReadsTheSlot) {
  const Case& c = GetParam();
  orb::test::TempDir dir;
  const auto path = dir.Write("control.dsf", c.file);
  CDsfReader reader;
  ASSERT_EQ(reader.Read(path.wstring().c_str()), S_OK);
  const wchar_t* got = reader.GetValue(c.slot);
  if (c.want == kAbsent) {
    EXPECT_EQ(got, nullptr) << orb::WideToUtf8(got ? got : L"");
  } else {
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(std::wstring(got), std::wstring(c.want));
  }
}

const std::string k1023(1023, 'a');
const std::wstring kW1023(1023, L'a');

INSTANTIATE_TEST_SUITE_P(
    ControlFiles, DsfReaderCases,
    ::testing::Values(
        Case{"operation code", "[Info]\nEID=pngc\n", 0, L"pngc"},
        Case{"operation code keeps four bytes", "[Info]\nEID=pngcX\n", 0, L"pngc"},
        Case{"every slot", "[Info]\nEID=pnv#\nDesc=Title\nCC=JP\nName=clip\n[File]\nC=file:///a.mp4\n"
                           "[ORBPCDL]\nLV=1.0.0.2\nMV=1.0.0.1\nInfo=http://x/\n", 6, L"http://x/"},
        Case{"content name", "[Info]\nName=My Clip\n", 7, L"My Clip"},
        Case{"CR LF line ends", "[File]\r\nC=http://a/b\r\n", 3, L"http://a/b"},
        Case{"blanks around = belong to key and value", "[Info]\nEID = pngc\n", 0, kAbsent},
        Case{"blank before value is kept", "[Info]\nDesc= x \n", 1, L" x "},
        Case{"leading blank in header", "[ Info]\nEID=pngc\n", 0, kAbsent},
        Case{"text after ] is ignored", "[Info] trailing ; text\nEID=pngc\n", 0, L"pngc"},
        Case{"header without ] clears the section", "[Info]\n[File\nEID=pngc\n", 0, kAbsent},
        Case{"section name of 16 bytes is valid", "[0123456789abcdef]\n[Info]\nEID=pngc\n", 0, L"pngc"},
        Case{"section name of 17 bytes clears the section", "[Info]\n[0123456789abcdefg]\nEID=pngc\n", 0, kAbsent},
        Case{"next valid header restores matching", "[0123456789abcdefg]\nEID=x\n[Info]\nEID=pngc\n", 0, L"pngc"},
        Case{"sections are case-sensitive", "[info]\nEID=pngc\n", 0, kAbsent},
        Case{"keys are case-sensitive", "[Info]\neid=pngc\n", 0, kAbsent},
        Case{"value keeps later equals signs", "[File]\nC=x=y\n", 3, L"x=y"},
        Case{"first non-empty duplicate wins", "[File]\nC=first\nC=second\n", 3, L"first"},
        Case{"empty value does not block a later one", "[File]\nC=\nC=second\n", 3, L"second"},
        Case{"key before any header matches nothing", "EID=pngc\n[Info]\n", 0, kAbsent},
        Case{"comment line", "[Info]\n;EID=pngc\n", 0, kAbsent},
        Case{"blank-led line is not a comment", "[Info]\n ;x\n;y\nEID=pngc\n", 0, L"pngc"},
        Case{"line without = is ignored", "[Info]\nEIDpngc\nEID=pnv#\n", 0, L"pnv#"},
        Case{"key of another section", "[File]\nEID=pngc\n", 0, kAbsent},
        Case{"same key name in two sections", "[ORBPCDL]\nInfo=link\n[Info]\nDesc=t\n", 6, L"link"},
        Case{"byte-order mark hides the first header", "\xEF\xBB\xBF[Info]\nEID=pngc\n", 0, kAbsent},
        Case{"byte-order mark: later header still works", "\xEF\xBB\xBF[Info]\nEID=pngc\n[Info]\nEID=pnv#\n", 0, L"pnv#"},
        Case{"UTF-8 is converted", "[Info]\nDesc=Caf\xC3\xA9 \xE2\x84\xA2\n", 1, L"Caf\u00E9 \u2122"},
        Case{"malformed UTF-8 becomes U+FFFD", "[Info]\nDesc=a\xFF" "b\n", 1, L"a\uFFFDb"},
        Case{"Ctrl+Z ends the file", "[Info]\nDesc=t\n\x1A\nEID=pngc\n", 0, kAbsent},
        Case{"NUL ends the line's text", std::string("[Info]\nDesc=ab\0cd\n", 19), 1, L"ab"},
        Case{"no EID line: slot 0 absent", "[File]\nC=x\n", 0, kAbsent},
        Case{"value of 1023 bytes is kept whole", "[File]\nC=" + k1023 + "\n", 3, kW1023.c_str()},
        Case{"value of 1024 bytes loses its last byte", "[File]\nC=" + k1023 + "b\n", 3, kW1023.c_str()},
        Case{"slot number beyond the table", "[Info]\nEID=pngc\n", CDsfReader::kSlotCount, kAbsent},
        Case{"negative slot number", "[Info]\nEID=pngc\n", -1, kAbsent}),
    [](const ::testing::TestParamInfo<Case>& param) {
      std::string name;
      for (const char* p = param.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

TEST(DsfReader, LongLineRemainderIsTheNextLine) {
  // A physical line longer than one piece continues as a line of its own.
  orb::test::TempDir dir;
  const std::string pad(CDsfReader::kLinePieceBytes - 5, 'x');  // fills the piece after "Desc="
  const auto path = dir.Write("c.dsf", "[Info]\nDesc=" + pad + "EID=pngc\n");
  CDsfReader reader;
  ASSERT_EQ(reader.Read(path.wstring().c_str()), S_OK);
  ASSERT_NE(reader.GetValue(0), nullptr);
  EXPECT_EQ(std::wstring(reader.GetValue(0)), L"pngc");
  EXPECT_EQ(std::wstring(reader.GetValue(1)).size(), 1023u);
}

TEST(DsfReader, Failures) {
  orb::test::TempDir dir;
  CDsfReader reader;
  EXPECT_EQ(reader.Read(nullptr), E_POINTER);
  EXPECT_EQ(reader.Read((dir.path() / "missing.dsf").wstring().c_str()), ORB_E_NO_OPERATION);
  EXPECT_EQ(reader.Read(dir.path().wstring().c_str()), ORB_E_NO_OPERATION);  // a directory
  EXPECT_EQ(reader.Read(L""), ORB_E_NO_OPERATION);
}

TEST(DsfReader, ReadReplacesEarlierValuesButFailureKeepsThem) {
  orb::test::TempDir dir;
  CDsfReader reader;
  ASSERT_EQ(reader.Read(dir.Write("a.dsf", "[Info]\nEID=pngc\nDesc=old\n").wstring().c_str()), S_OK);
  EXPECT_EQ(reader.Read((dir.path() / "missing.dsf").wstring().c_str()), ORB_E_NO_OPERATION);
  ASSERT_NE(reader.GetValue(1), nullptr);
  EXPECT_EQ(std::wstring(reader.GetValue(1)), L"old");

  ASSERT_EQ(reader.Read(dir.Write("b.dsf", "[Info]\nEID=pnv#\n").wstring().c_str()), S_OK);
  EXPECT_EQ(std::wstring(reader.GetValue(0)), L"pnv#");
  EXPECT_EQ(reader.GetValue(1), nullptr);
}

TEST(DsfReader, BinaryFileReadsWithoutValues) {
  orb::test::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  CDsfReader reader;
  ASSERT_EQ(reader.Read(dir.Write("bin.dsf", bytes).wstring().c_str()), S_OK);
  for (int slot = 0; slot < CDsfReader::kSlotCount; ++slot) EXPECT_EQ(reader.GetValue(slot), nullptr);
}

}  // namespace
