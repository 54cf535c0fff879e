// temp_file.h - short-lived files in the user's temporary folder.
#pragma once

#include <string>

namespace orb::platform {

// Creates a new, empty file with a unique name that begins with `prefix`
// in the user's temporary folder (Windows: GetTempPathW, elsewhere TMPDIR or
// /tmp). False when there is no such folder or no file could be created.
// The user's temporary folder, ending in the path separator (Windows: at
// most MAX_PATH characters). False when there is none.
bool GetTempFolder(std::wstring* folder);

bool CreateTempFile(const wchar_t* prefix, std::wstring* path);

// Deletes a file; false when it could not be deleted.
bool DeleteTempFile(const std::wstring& path);

}  // namespace orb::platform
