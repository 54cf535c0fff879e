// load.h - reading a description file from disk.
#pragma once

#include <filesystem>
#include <string>

#include "virtual_handheld/handheld_description.h"

namespace orb::virtual_handheld {

// Reads and parses the file; relative Root directories become absolute,
// taken from the file's own directory. False with a message naming the
// file on any error.
bool LoadDescriptionFile(const std::filesystem::path& file, HandheldDescription* description, std::string* error);

}  // namespace orb::virtual_handheld
