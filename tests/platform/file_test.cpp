#include "platform/file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "base/status.h"
#include "platform/drive_root.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace we = orb::win32_error;
using orb::platform::File;
using orb::platform::SysError;
namespace access = orb::platform::file_access;
namespace share = orb::platform::file_share;
namespace disposition = orb::platform::file_disposition;
namespace attribute = orb::platform::file_attribute;

// Callers and messages must not differ by platform: the same failure gives
// the same Windows error number on both.
TEST(PlatformFiles, FailuresCarryTheWindowsErrorNumbers) {
  orb::test::TempDir dir;
  fs::create_directories(dir.path() / "d" / "sub");
  std::ofstream(dir.path() / "f") << "x";
  std::ofstream(dir.path() / "d" / "g") << "y";
  auto p = [&](const char* rel) { return (dir.path() / rel).wstring(); };
  auto open = [](const std::wstring& path, std::uint32_t a, std::uint32_t how) {
    File file;
    return file.Open(path, a, share::kNone, how, attribute::kNormal);
  };
  std::uint32_t attributes = 0;
  std::vector<orb::platform::DirectoryEntry> entries;

  const struct {
    const char* name;
    std::function<SysError()> call;
    SysError want;
  } cases[] = {
      {"open missing file", [&] { return open(p("missing"), access::kRead, disposition::kOpenExisting); },
       we::kFileNotFound},
      {"open in missing directory", [&] { return open(p("nodir/x"), access::kWrite, disposition::kOpenAlways); },
       we::kPathNotFound},
      {"open below a file", [&] { return open(p("f/x"), access::kWrite, disposition::kOpenAlways); },
       we::kPathNotFound},
      {"create new over existing", [&] { return open(p("f"), access::kWrite, disposition::kCreateNew); },
       we::kFileExists},
      {"open a directory", [&] { return open(p("d"), access::kWrite, disposition::kOpenAlways); },
       we::kAccessDenied},
      {"no disposition", [&] { return open(p("f"), 0, disposition::kNone); }, we::kInvalidParameter},
      {"attributes of missing", [&] { return orb::platform::GetAttributes(p("missing"), &attributes); },
       we::kFileNotFound},
      {"attributes in missing directory",
       [&] { return orb::platform::GetAttributes(p("nodir/x"), &attributes); }, we::kPathNotFound},
      {"make existing directory", [&] { return orb::platform::MakeDirectory(p("d")); }, we::kAlreadyExists},
      {"make directory in missing one", [&] { return orb::platform::MakeDirectory(p("nodir/x")); },
       we::kPathNotFound},
      {"remove non-empty directory", [&] { return orb::platform::RemoveEmptyDirectory(p("d")); },
       we::kDirNotEmpty},
      {"remove a file as directory", [&] { return orb::platform::RemoveEmptyDirectory(p("f")); },
       we::kDirectory},
      {"remove missing directory", [&] { return orb::platform::RemoveEmptyDirectory(p("missing")); },
       we::kFileNotFound},
      {"delete a directory as file", [&] { return orb::platform::RemoveFile(p("d")); }, we::kAccessDenied},
      {"delete missing file", [&] { return orb::platform::RemoveFile(p("missing")); }, we::kFileNotFound},
      {"delete in missing directory", [&] { return orb::platform::RemoveFile(p("nodir/x")); },
       we::kPathNotFound},
      {"list missing directory", [&] { return orb::platform::ListDirectory(p("missing"), &entries); },
       we::kPathNotFound},
      {"a name with a NUL inside", [&] { return orb::platform::RemoveFile(p("f") + std::wstring(1, L'\0') + L"x"); },
       we::kInvalidName},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), c.want);
  }
  EXPECT_TRUE(fs::exists(dir.path() / "f")) << "the NUL name must not have reached the file before it";
}

TEST(PlatformFiles, ReadWriteSeekAndSize) {
  orb::test::TempDir dir;
  const std::wstring path = (dir.path() / "f.bin").wstring();
  File file;
  ASSERT_EQ(file.Open(path, access::kRead | access::kWrite, share::kNone, disposition::kCreateAlways,
                      attribute::kNormal),
            0u);
  std::uint32_t n = 0;
  ASSERT_EQ(file.Write("hello world", 11, &n), 0u);
  EXPECT_EQ(n, 11u);

  // Growing at the pointer, then shrinking.
  std::uint64_t at = 0;
  ASSERT_EQ(file.Seek(100000, orb::platform::SeekOrigin::kBegin, &at), 0u);
  EXPECT_EQ(at, 100000u);
  ASSERT_EQ(file.SetEnd(), 0u);
  std::uint64_t size = 0;
  ASSERT_EQ(file.Size(&size), 0u);
  EXPECT_EQ(size, 100000u);
  ASSERT_EQ(file.Seek(5, orb::platform::SeekOrigin::kBegin, nullptr), 0u);
  ASSERT_EQ(file.SetEnd(), 0u);
  ASSERT_EQ(file.Size(&size), 0u);
  EXPECT_EQ(size, 5u);

  ASSERT_EQ(file.Seek(0, orb::platform::SeekOrigin::kBegin, nullptr), 0u);
  char buf[16] = {};
  ASSERT_EQ(file.Read(buf, sizeof buf, &n), 0u);
  EXPECT_EQ(std::string(buf, n), "hello");
  ASSERT_EQ(file.Read(buf, sizeof buf, &n), 0u);
  EXPECT_EQ(n, 0u) << "end of file";
  EXPECT_EQ(file.Flush(), 0u);

  File moved(std::move(file));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_EQ(moved.Close(), 0u);
  EXPECT_EQ(moved.Write("x", 1, &n), we::kInvalidHandle);

  std::uint32_t attributes = 0;
  ASSERT_EQ(orb::platform::GetAttributes(path, &attributes), 0u);
  EXPECT_EQ(attributes & attribute::kDirectory, 0u);
  ASSERT_EQ(orb::platform::GetAttributes(dir.path().wstring(), &attributes), 0u);
  EXPECT_NE(attributes & attribute::kDirectory, 0u);
}

TEST(PlatformFiles, ListDirectory) {
  orb::test::TempDir dir;
  fs::create_directories(dir.path() / "sub");
  std::ofstream(dir.path() / "file") << "x";
  std::vector<orb::platform::DirectoryEntry> entries;
  ASSERT_EQ(orb::platform::ListDirectory(dir.path().wstring(), &entries), 0u);
  std::map<std::wstring, bool> got;
  for (const auto& e : entries) got[e.name] = e.isDirectory;
  EXPECT_EQ(got, (std::map<std::wstring, bool>{{L"file", false}, {L"sub", true}}));
}

TEST(PlatformDrives, MappedLettersComeFirst) {
  orb::test::TempDir dir;
  std::wstring root;
  orb::platform::MapDrive(L'm', dir.path().wstring());
  ASSERT_EQ(orb::platform::DriveRoot(L'M', &root), 0u);
  EXPECT_EQ(root.back(), orb::platform::kPathSeparator);
  EXPECT_EQ(fs::path(root), dir.path() / "");

  orb::platform::MapDrive(L'M', L"");
  EXPECT_EQ(orb::platform::DriveRoot(L'm', &root), we::kNotReady);
  orb::platform::UnmapDrive(L'M');

  EXPECT_EQ(orb::platform::DriveRoot(L'1', &root), we::kPathNotFound);
}

}  // namespace
