// file_url.h - the file:// URL of a local path, as a user would write it:
// file:///C:/dir/a%20b.bin on Windows, file:///tmp/a%20b.bin on Linux.
#pragma once

#include <filesystem>
#include <string>

namespace orb::test {

std::wstring FileUrl(const std::filesystem::path& path);

}  // namespace orb::test
