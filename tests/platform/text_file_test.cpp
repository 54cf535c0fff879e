#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_dir.h"

namespace {

using orb::platform::TextFile;

std::vector<std::string> ReadAll(const std::filesystem::path& path, std::size_t piece) {
  TextFile file;
  EXPECT_TRUE(file.Open(path.string().c_str()));
  std::vector<std::string> lines;
  std::string line;
  while (file.ReadLine(piece, &line)) lines.push_back(line);
  return lines;
}

TEST(TextFile, TextModeTranslation) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> want;
  } cases[] = {
      {"CR LF is one line end", "a\r\nb\r\n", {"a\n", "b\n"}},
      {"lone CR is kept", "a\rb\n", {"a\rb\n"}},
      {"CR CR LF keeps the first CR", "a\r\r\n", {"a\r\n"}},
      {"CR at the very end", "a\r", {"a\r"}},
      {"Ctrl+Z ends the file", "a\nb\x1A" "c\nd\n", {"a\n", "b"}},
      {"Ctrl+Z first: empty file", "\x1A" "abc", {}},
      {"NUL bytes are data", std::string("a\0b\n", 4), {std::string("a\0b\n", 4)}},
      {"last line without line end", "a\nb", {"a\n", "b"}},
  };
  orb::test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAll(dir.Write("t.txt", c.bytes), 100), c.want);
  }
}

TEST(TextFile, LongLinesComeInPieces) {
  orb::test::TempDir dir;
  const auto path = dir.Write("long.txt", std::string(10, 'x') + "\r\nyy\n");
  EXPECT_EQ(ReadAll(path, 4), (std::vector<std::string>{"xxxx", "xxxx", "xx\n", "yy\n"}));
}

TEST(TextFile, OnlyExistingRegularFilesOpen) {
  orb::test::TempDir dir;
  TextFile file;
  EXPECT_FALSE(file.Open((dir.path() / "missing.txt").string().c_str()));
  EXPECT_FALSE(file.Open(dir.path().string().c_str()));  // a directory
  EXPECT_FALSE(file.Open(nullptr));
  std::string line;
  EXPECT_FALSE(file.ReadLine(10, &line));
}

}  // namespace
