// version_check.cpp
#include "flow/version_check.h"

#include <climits>
#include <cwctype>
#include <string>
#include <vector>

#include "content/file_downloader.h"
#include "flow/dsf_reader.h"
#include "platform/machine_settings.h"
#include "platform/temp_file.h"

namespace {

// A C integer conversion of one part: leading blanks, a sign, digits up to
// the first non-digit. Saturates at the int range so that both platforms
// (whatever their long) read the same value.
std::uint32_t ConvertPart(const std::wstring& part) {
  std::size_t i = 0;
  while (i < part.size() && std::iswspace(static_cast<wint_t>(part[i]))) ++i;
  bool negative = false;
  if (i < part.size() && (part[i] == L'+' || part[i] == L'-')) {
    negative = part[i] == L'-';
    ++i;
  }
  long long value = 0;
  for (; i < part.size() && part[i] >= L'0' && part[i] <= L'9'; ++i) {
    value = value * 10 + (part[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

// A version key of the release file into *out; the text is cut to the
// longest version text first.
HRESULT ParseKey(const wchar_t* text, CVersionCheck::Version* out) {
  const std::wstring cut = std::wstring(text).substr(0, CVersionCheck::kMaxVersionChars);
  return CVersionCheck::ParseVersion(cut.c_str(), out);
}

}  // namespace

CVersionCheck::CVersionCheck() : url_(kBuiltInUrl) {
  std::wstring setting;
  if (orb::platform::ReadMachineSetting(orb::platform::kUpdateControlFileSetting, &setting)) url_ = setting;
  fetchResult_ = Fetch();
}

CVersionCheck::CVersionCheck(const std::wstring& url) : url_(url) { fetchResult_ = Fetch(); }

HRESULT CVersionCheck::Fetch() {
  std::wstring path;
  if (!orb::platform::CreateTempFile(kTempPrefix, &path)) return ORB_E_NO_TEMP_FILE;

  CFileDownloader downloader;
  HRESULT hr = downloader.DownloadToFile(url_.c_str(), path.c_str(), true);
  if (FAILED(hr)) {
    // The downloader removes a target it created; the empty file made above
    // may still be there.
    orb::platform::DeleteTempFile(path);
    return hr;
  }
  CDsfReader reader;
  hr = reader.Read(path.c_str());
  orb::platform::DeleteTempFile(path);
  if (FAILED(hr)) return hr;

  // In this order: a malformed key stops here, keys before it stay valid.
  if (const wchar_t* latest = reader.GetValue(CDsfReader::kLatestVersion)) {
    hr = ParseKey(latest, &latest_);
    if (FAILED(hr)) return hr;
  }
  if (const wchar_t* minimum = reader.GetValue(CDsfReader::kMinimumVersion)) {
    hr = ParseKey(minimum, &minimum_);
    if (FAILED(hr)) return hr;
  }
  if (const wchar_t* link = reader.GetValue(CDsfReader::kUpdateLink)) link_ = link;
  return S_OK;
}

HRESULT CVersionCheck::CheckVersion(const Version& program) const {
  if (!program.IsKnown()) return S_OK;
  if (minimum_.IsKnown() && CompareVersion(program, minimum_) < 0) return ORB_E_PROGRAM_TOO_OLD;
  if (latest_.IsKnown() && CompareVersion(program, latest_) < 0) return ORB_E_NEWER_RELEASE;
  return S_OK;
}

HRESULT CVersionCheck::ParseVersion(const wchar_t* text, Version* out) {
  if (text == nullptr || out == nullptr) return E_POINTER;
  std::vector<std::wstring> parts;
  const std::wstring all(text);
  std::size_t start = 0;
  while (start < all.size() && parts.size() < 4) {
    const std::size_t dot = all.find(L'.', start);
    const std::size_t end = dot == std::wstring::npos ? all.size() : dot;
    if (end > start) parts.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  if (parts.size() < 4) return E_FAIL;
  Version parsed;
  for (int i = 0; i < 4; ++i) parsed.part[i] = ConvertPart(parts[i]);
  *out = parsed;
  return S_OK;
}

int CVersionCheck::CompareVersion(const Version& a, const Version& b) {
  for (int i = 0; i < 4; ++i) {
    if (a.part[i] != b.part[i]) return a.part[i] < b.part[i] ? -1 : 1;
  }
  return 0;
}
