#include "device/msc_storage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "support/scoped_drive.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kLetter = L'K';

// A drive K on a fresh directory; the directory's parent is the test's own,
// so a path that climbs out of the drive would show there.
class MscStorageTest : public ::testing::Test {
 protected:
  MscStorageTest() : root_(tmp_.path() / "drive"), drive_(kLetter, root_), storage_(kLetter) {}

  void MakeTree(const std::vector<std::string>& dirs, const std::vector<std::string>& files) {
    for (const auto& d : dirs) fs::create_directories(root_ / d);
    for (const auto& f : files) std::ofstream(root_ / f, std::ios::binary) << "data of " << f;
  }

  orb::test::TempDir tmp_;
  fs::path root_;
  orb::test::ScopedDrive drive_;
  CMSCStorage storage_;
};

TEST_F(MscStorageTest, IdentityAndReservedSlots) {
  using Getter = HRESULT (CMSCStorage::*)(bool*);
  const struct {
    const char* name;
    Getter get;
    bool want;
  } cases[] = {
      {"IsDriveStorage", &CMSCStorage::IsDriveStorage, true},
      {"IsPortableDeviceStorage", &CMSCStorage::IsPortableDeviceStorage, false},
      {"IsZelkDevice", &CMSCStorage::IsZelkDevice, false},
      {"IsStorageFunction", &CMSCStorage::IsStorageFunction, false},
      {"IsMediaPresent", &CMSCStorage::IsMediaPresent, true},
      {"IsWriteProtected", &CMSCStorage::IsWriteProtected, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bool value = !c.want;
    EXPECT_EQ((storage_.*c.get)(&value), S_OK);
    EXPECT_EQ(value, c.want);
    EXPECT_EQ((storage_.*c.get)(nullptr), E_POINTER);
  }
  EXPECT_EQ(storage_.QueryReserved(nullptr), E_NOTIMPL);
  EXPECT_EQ(storage_.GetStorageId(), L"K");
  EXPECT_EQ(CMSCStorage(L'k').GetStorageId(), L"K");
  EXPECT_EQ(storage_.GetDeviceId(), L"");
  EXPECT_EQ(storage_.GetStorageObjectId(), L"");
  EXPECT_EQ(storage_.DirectoryExists(L"\\x", nullptr), E_POINTER);
  EXPECT_EQ(storage_.FileExists(L"\\x", nullptr), E_POINTER);
  EXPECT_EQ(storage_.OpenFile(L"\\x", storage_open::kWrite, 0, nullptr), E_POINTER);
  EXPECT_EQ(storage_.GetCapacity(nullptr), E_POINTER);
}

TEST_F(MscStorageTest, SpaceOfTheVolume) {
  std::uint64_t capacity = 0;
  std::uint64_t free = 0;
  ASSERT_EQ(storage_.GetCapacity(&capacity), S_OK);
  ASSERT_EQ(storage_.GetFreeSpace(&free), S_OK);
  EXPECT_GT(capacity, 0u);
  EXPECT_GT(free, 0u);
  EXPECT_LE(free, capacity);
}

TEST(MscStorageDrive, MissingMediumAndMissingDrive) {
  orb::test::ScopedDrive empty(L'L');
  CMSCStorage noMedium(L'L');
  bool present = true;
  EXPECT_EQ(noMedium.IsMediaPresent(&present), S_OK);
  EXPECT_FALSE(present);
  bool exists = true;
  EXPECT_EQ(noMedium.FileExists(L"\\a", &exists), orb::StatusFromWin32(orb::win32_error::kNotReady));
  std::uint64_t free = 0;
  EXPECT_EQ(noMedium.GetFreeSpace(&free), orb::StatusFromWin32(orb::win32_error::kNotReady));

  // No drive at all has the letter: path not found, as Windows says of an
  // unused letter.
  CMSCStorage none(L'Q');
  EXPECT_EQ(none.IsMediaPresent(&present), ORB_E_PATH_NOT_FOUND);
  EXPECT_EQ(none.DirectoryExists(L"\\a", &exists), S_OK);
  EXPECT_FALSE(exists);
}

TEST_F(MscStorageTest, CreateDirectoryWalk) {
  const struct {
    const wchar_t* path;
    std::vector<std::string> want;  // directories below the root afterwards
  } cases[] = {
      {L"", {}},
      {L"\\", {}},
      {L"\\A\\B", {"A", "A/B"}},
      {L"\\A\\B\\", {"A", "A/B"}},
      {L"\\A\\B\\\\", {"A", "A/B"}},
      {L"A\\B", {"A", "A/B"}},
      {L"\\VIDEO", {"VIDEO"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
    fs::remove_all(root_);
    fs::create_directories(root_);
    ASSERT_EQ(storage_.CreateDirectory(c.path), S_OK);
    ASSERT_EQ(storage_.CreateDirectory(c.path), S_OK) << "again, everything exists";
    std::vector<std::string> got;
    for (const auto& e : fs::recursive_directory_iterator(root_)) {
      got.push_back(fs::relative(e.path(), root_).generic_string());
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, c.want);
  }
}

TEST_F(MscStorageTest, CreateDirectoryBlockedByAFile) {
  MakeTree({}, {"A"});
  EXPECT_TRUE(FAILED(storage_.CreateDirectory(L"\\A\\B")));
  EXPECT_TRUE(fs::is_regular_file(root_ / "A"));
}

TEST_F(MscStorageTest, ExistenceQueries) {
  MakeTree({"DIR"}, {"DIR/file.bin"});
  const struct {
    const wchar_t* path;
    HRESULT dirResult;
    bool dirExists;
    HRESULT fileResult;
    bool fileExists;
  } cases[] = {
      {L"\\DIR", S_OK, true, S_OK, true},  // a file test is true for a directory
      {L"\\DIR\\", S_OK, true, S_OK, true},
      {L"\\DIR\\file.bin", S_OK, false, S_OK, true},
      {L"\\DIR\\missing", S_OK, false, S_OK, false},
      {L"\\missing\\x", S_OK, false, ORB_E_PATH_NOT_FOUND, false},  // parent missing
      {L"\\DIR\\file.bin\\x", S_OK, false, ORB_E_PATH_NOT_FOUND, false},
      {L"", S_OK, true, S_OK, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
    bool exists = !c.dirExists;
    EXPECT_EQ(storage_.DirectoryExists(c.path, &exists), c.dirResult);
    EXPECT_EQ(exists, c.dirExists);
    exists = !c.fileExists;
    EXPECT_EQ(storage_.FileExists(c.path, &exists), c.fileResult);
    EXPECT_EQ(exists, c.fileExists);
  }
}

TEST_F(MscStorageTest, DeleteFileCodes) {
  MakeTree({"D"}, {"D/f"});
  EXPECT_EQ(storage_.DeleteFile(L"\\D\\f"), S_OK);
  EXPECT_FALSE(fs::exists(root_ / "D" / "f"));
  EXPECT_EQ(storage_.DeleteFile(L"\\D\\f"), ORB_E_FILE_NOT_FOUND);
  EXPECT_EQ(storage_.DeleteFile(L"\\missing\\f"), ORB_E_PATH_NOT_FOUND);
  EXPECT_EQ(storage_.DeleteFile(L"\\D"), E_ACCESSDENIED);
}

TEST_F(MscStorageTest, RemoveDirectory) {
  MakeTree({"T/sub/deeper", "T/empty"}, {"T/a", "T/sub/b", "T/sub/deeper/c"});
  // Not recursive: the files go, the subdirectories stay, so the directory
  // itself cannot be removed.
  EXPECT_EQ(storage_.RemoveDirectory(L"\\T", false), orb::StatusFromWin32(orb::win32_error::kDirNotEmpty));
  EXPECT_FALSE(fs::exists(root_ / "T" / "a"));
  EXPECT_TRUE(fs::exists(root_ / "T" / "sub" / "b"));

  EXPECT_EQ(storage_.RemoveDirectory(L"\\T\\", true), S_OK);
  EXPECT_FALSE(fs::exists(root_ / "T"));
  EXPECT_EQ(storage_.RemoveDirectory(L"\\T", true), S_OK) << "a missing directory is no failure";
}

TEST_F(MscStorageTest, OpenFileModes) {
  MakeTree({"D"}, {"D/old"});
  std::unique_ptr<IDeviceStorageFile> file;

  // Write mode opens an existing file without shortening it.
  ASSERT_EQ(storage_.OpenFile(L"\\D\\old", storage_open::kWrite, 3, &file), S_OK);
  std::uint32_t n = 0;
  ASSERT_EQ(file->Write("NEW", 3, &n), S_OK);
  EXPECT_EQ(n, 3u);
  file.reset();
  EXPECT_EQ(orb::test::ReadFileBytes(root_ / "D" / "old"), "NEWa of D/old");

  // Write mode creates a missing file; read mode does not.
  EXPECT_EQ(storage_.OpenFile(L"\\D\\missing", storage_open::kRead, 0, &file), ORB_E_FILE_NOT_FOUND);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(storage_.OpenFile(L"\\D\\new", storage_open::kWrite, kStorageSizeUnknown, &file), S_OK);
  file.reset();
  EXPECT_TRUE(fs::exists(root_ / "D" / "new"));
  EXPECT_EQ(storage_.OpenFile(L"\\nodir\\new", storage_open::kWrite, 0, &file), ORB_E_PATH_NOT_FOUND);

  // Mode 0 is refused by the system with its own code.
  EXPECT_EQ(storage_.OpenFile(L"\\D\\old", 0, 0, &file), orb::StatusFromWin32(orb::win32_error::kInvalidParameter));
  EXPECT_EQ(file, nullptr);

  // Read and write at once.
  ASSERT_EQ(storage_.OpenFile(L"\\D\\old", storage_open::kRead | storage_open::kWrite, 0, &file), S_OK);
  char buf[16] = {};
  ASSERT_EQ(file->Read(buf, sizeof buf, &n), S_OK);
  EXPECT_EQ(std::string(buf, n), "NEWa of D/old");
}

TEST_F(MscStorageTest, OpenFilePathLimitCountsTheDriveForm) {
  // "K:\" + 257 characters is 260: accepted; one more is refused before the
  // system is asked, whatever directory the drive is on.
  const std::wstring dirs = L"\\" + std::wstring(120, L'd') + L"\\" + std::wstring(120, L'e');
  ASSERT_EQ(storage_.CreateDirectory(dirs), S_OK);
  const std::wstring fits = dirs + L"\\" + std::wstring(257 - dirs.size(), L'f');
  ASSERT_EQ(3 + fits.size() - 1, 260u);
  std::unique_ptr<IDeviceStorageFile> file;
  EXPECT_EQ(storage_.OpenFile(fits, storage_open::kWrite, 0, &file), S_OK);
  file.reset();
  EXPECT_EQ(storage_.OpenFile(fits + L"g", storage_open::kWrite, 0, &file), E_INVALIDARG);
  EXPECT_EQ(file, nullptr);
}

TEST_F(MscStorageTest, PathsNeverLeaveTheDrive) {
  MakeTree({"A"}, {});
  const wchar_t* paths[] = {L"\\..\\escape", L"\\A\\..\\..\\..\\escape", L"..\\escape", L"\\A/../../escape"};
  for (const wchar_t* path : paths) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(path)));
    std::unique_ptr<IDeviceStorageFile> file;
    ASSERT_EQ(storage_.OpenFile(path, storage_open::kWrite, 0, &file), S_OK);
    file.reset();
    EXPECT_FALSE(fs::exists(tmp_.path() / "escape"));
    EXPECT_TRUE(fs::exists(root_ / "escape"));
    fs::remove(root_ / "escape");
  }
  EXPECT_EQ(storage_.CreateDirectory(L"\\..\\..\\up"), S_OK);
  EXPECT_TRUE(fs::is_directory(root_ / "up"));
  EXPECT_FALSE(fs::exists(tmp_.path() / "up"));
}

TEST_F(MscStorageTest, StorageFileOperations) {
  ASSERT_EQ(storage_.CreateDirectory(L"\\D"), S_OK);
  std::unique_ptr<IDeviceStorageFile> file;
  ASSERT_EQ(storage_.OpenFile(L"\\D\\f.bin", storage_open::kRead | storage_open::kWrite, 10, &file), S_OK);

  std::uint32_t n = 0;
  ASSERT_EQ(file->Write("0123456789", 10, &n), S_OK);
  std::int32_t pos = -1;
  ASSERT_EQ(file->GetPosition(&pos), S_OK);
  EXPECT_EQ(pos, 10);
  ASSERT_EQ(file->SetPosition(4), S_OK);
  char buf[8] = {};
  ASSERT_EQ(file->Read(buf, 3, &n), S_OK);
  EXPECT_EQ(std::string(buf, n), "456");
  bool readOnly = true;
  ASSERT_EQ(file->IsReadOnly(&readOnly), S_OK);
  EXPECT_FALSE(readOnly);
  std::wstring path;
  ASSERT_EQ(file->GetPath(&path), S_OK);
  EXPECT_EQ(fs::path(path), root_ / "D" / "f.bin");
  EXPECT_EQ(file->ReservedFileOp(nullptr), E_ACCESSDENIED);

  EXPECT_EQ(file->Close(), S_OK);
  EXPECT_EQ(file->Close(), S_OK) << "closing twice does nothing";
  EXPECT_EQ(file->GetPath(&path), E_HANDLE);
  EXPECT_EQ(file->ReservedFileOp(nullptr), E_HANDLE);
  EXPECT_EQ(file->Write("x", 1, &n), E_HANDLE);
  EXPECT_EQ(orb::test::ReadFileBytes(root_ / "D" / "f.bin"), "0123456789");
}

// Records every progress call and answers from a script; after the script
// it answers the last entry again.
class ScriptedCallback : public IDeviceStorageCallback {
 public:
  explicit ScriptedCallback(std::vector<int> answers) : answers_(std::move(answers)) {}
  int OnProgress(std::uint64_t total, std::uint64_t done, void* context) override {
    calls.push_back({total, done});
    contexts.push_back(context);
    const std::size_t i = calls.size() - 1;
    return i < answers_.size() ? answers_[i] : answers_.back();
  }
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  std::vector<void*> contexts;

 private:
  std::vector<int> answers_;
};

using Calls = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

TEST_F(MscStorageTest, CopyAsksBeforeEveryChunkAndAtTheEnd) {
  const struct {
    const char* name;
    std::size_t size;
    Calls want;
  } cases[] = {
      {"empty", 0, {{0, 0}}},
      {"one chunk", 65536, {{65536, 0}, {65536, 65536}}},
      {"a chunk and a byte", 65537, {{65537, 0}, {65537, 65536}, {65537, 65537}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data(c.size, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    const fs::path source = tmp_.Write("source.bin", data);
    ScriptedCallback callback({storage_progress::kContinue});
    int context = 0;
    ASSERT_EQ(storage_.CopyFileToStorage(L"\\copy.bin", source.wstring(), &callback, &context), S_OK);
    EXPECT_EQ(callback.calls, c.want);
    EXPECT_EQ(callback.contexts.front(), &context);
    EXPECT_EQ(orb::test::ReadFileBytes(root_ / "copy.bin"), data);
  }
}

TEST_F(MscStorageTest, CopyCallbackAnswers) {
  const std::string data(65536 + 100, 'x');
  const fs::path source = tmp_.Write("source.bin", data);
  const std::uint64_t n = data.size();
  const struct {
    const char* name;
    std::vector<int> answers;
    Calls want;
    std::size_t copied;
  } cases[] = {
      {"stop at once: success and an empty target", {storage_progress::kStop}, {{n, 0}}, 0},
      {"stop after one chunk", {0, storage_progress::kStop}, {{n, 0}, {n, 65536}}, 65536},
      {"not now waits without copying until go on",
       {2, 2, 2, 0},
       {{n, 0}, {n, 0}, {n, 0}, {n, 0}, {n, 65536}, {n, n}},
       data.size()},
      {"an unknown answer does not end a wait", {2, 7, 0}, {{n, 0}, {n, 0}, {n, 0}, {n, 65536}, {n, n}}, data.size()},
      {"an unknown answer otherwise goes on", {7}, {{n, 0}, {n, 65536}, {n, n}}, data.size()},
      {"quiet: no more calls", {storage_progress::kQuiet}, {{n, 0}}, data.size()},
      {"quiet ends a wait", {2, storage_progress::kQuiet}, {{n, 0}, {n, 0}}, data.size()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedCallback callback(c.answers);
    ASSERT_EQ(storage_.CopyFileToStorage(L"\\copy.bin", source.wstring(), &callback, nullptr), S_OK);
    EXPECT_EQ(callback.calls, c.want);
    EXPECT_EQ(orb::test::ReadFileBytes(root_ / "copy.bin"), data.substr(0, c.copied));
  }
}

TEST_F(MscStorageTest, CopyBothWaysAndFailures) {
  const std::string data = "content of the file";
  const fs::path source = tmp_.Write("in.bin", data);
  ASSERT_EQ(storage_.CopyFileToStorage(L"\\in.bin", source.wstring(), nullptr, nullptr), S_OK);
  const fs::path back = tmp_.path() / "back.bin";
  ASSERT_EQ(storage_.CopyFileFromStorage(L"\\in.bin", back.wstring(), nullptr, nullptr), S_OK);
  EXPECT_EQ(orb::test::ReadFileBytes(back), data);

  EXPECT_EQ(storage_.CopyFileToStorage(L"\\x.bin", (tmp_.path() / "missing").wstring(), nullptr, nullptr),
            ORB_E_FILE_NOT_FOUND);
  EXPECT_FALSE(fs::exists(root_ / "x.bin"));
  EXPECT_EQ(storage_.CopyFileToStorage(L"\\nodir\\x.bin", source.wstring(), nullptr, nullptr),
            ORB_E_PATH_NOT_FOUND);
  EXPECT_EQ(storage_.CopyFileFromStorage(L"\\missing.bin", (tmp_.path() / "m").wstring(), nullptr, nullptr),
            ORB_E_FILE_NOT_FOUND);
  EXPECT_FALSE(fs::exists(tmp_.path() / "m"));
}

}  // namespace
