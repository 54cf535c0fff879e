// media_type.h - where a plain media file goes on the handheld: its folder
// and file type, decided by the extension of the file name in its URL or,
// failing that, by the MIME type the server announces; and the file name
// the handheld gets.
#pragma once

#include <string>
#include <string_view>

namespace orb::content {

struct MediaType {
  const wchar_t* folder;     // below the storage's root
  const wchar_t* subfolder;  // below the folder; empty for none
  const wchar_t* fileType;   // the stored file's extension, upper case
};

// ".mp4", ".mp3", ".wav", ".jpg", ".png", ".kxm", in any case; the dot is
// part of the extension. Null for anything else (".jpeg" too).
const MediaType* MediaTypeForExtension(std::wstring_view extension);
// "application/mp4", "audio/mpeg", "audio/x-wav", "image/jpeg", "image/png",
// "application/x-kvx-theme", in any case and as a whole value: a parameter
// ("audio/mpeg; charset=x") matches nothing. Null for anything else.
const MediaType* MediaTypeForMime(std::wstring_view mime);

// The last part of a path split into file name and extension (from the
// last "." on, the dot included), the way the C runtime's path splitter
// does it: "/" and "\" both end a folder, "C:" before them is a drive. Each
// part of the path (drive, folder, name, extension) holds at most 255
// characters; a path whose parts do not fit gives false, with no name and
// no extension.
bool SplitFileName(std::wstring_view path, std::wstring* name, std::wstring* extension);

// Whether "name.TYPE" is a file of its own in its folder on every system
// the handheld's storage meets: no folder separator, no character that
// Windows or the card's file system refuses in a name (control characters,
// < > : " | ? *; ":" would open a stream of another file on NTFS), and not a
// device name of Windows (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or
// without an extension), which would be written to the device, not a file.
// An empty name is safe: it stands for the default name.
bool IsSafeFileName(std::wstring_view name);

}  // namespace orb::content
