// version_check.h - CVersionCheck: is this program recent enough?
//
// The maker's download server keeps a small release-version file (the
// control-file form, section ORBPCDL: LV the latest release, MV the oldest
// release that may still be used, Info the address of the download page).
// The constructor fetches it once through a temporary "orb" file; a fetch
// that fails for any reason leaves the versions unknown, and an unknown
// version never fails the check, so a machine without network still works.
//
// Where the file comes from: the machine setting "UpdateControlFile"
// (platform/machine_settings.h: the registry on Windows, /etc/orbdl.conf on
// Linux) when it is set, else kBuiltInUrl.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"

class CVersionCheck {
 public:
  // Four numbers: major, minor, build, revision. All 0 = unknown.
  struct Version {
    std::uint32_t part[4] = {0, 0, 0, 0};
    bool IsKnown() const { return (part[0] | part[1] | part[2] | part[3]) != 0; }
  };

  // The release-version file on the maker's download server. The .example
  // name can never resolve, so a build that nobody configured stays
  // offline rather than talking to a stranger's server.
  static constexpr wchar_t kBuiltInUrl[] = L"http://download.vora.example/module/ORBDversion.xpd";
  // The name prefix of the temporary file the release file is fetched into.
  static constexpr wchar_t kTempPrefix[] = L"orb";
  // Longest version text read; longer text is cut.
  static constexpr std::size_t kMaxVersionChars = 1023;

  // Fetches from the machine setting's address, or the built-in one.
  CVersionCheck();
  // Fetches from `url` (tests, and callers that know better).
  explicit CVersionCheck(const std::wstring& url);
  virtual ~CVersionCheck() = default;

  // S_OK; ORB_E_PROGRAM_TOO_OLD when the program is older than the minimum
  // release; ORB_E_NEWER_RELEASE when it is older than the latest. A program
  // version of 0.0.0.0 (unknown) always passes.
  HRESULT CheckVersion(const Version& program) const;
  // The download page of the newer release; may be empty.
  const std::wstring& GetUpdateUrl() const { return link_; }

  // "2.5.0.1024" -> {2, 5, 0, 1024}. Dots separate; runs of dots count as
  // one and dots at either end make no empty part. Each of the first four
  // parts converts like a C integer (leading blanks and a sign allowed, up
  // to the first non-digit, no digits = 0; beyond the int range it stops at
  // the range's end) and is kept as its 32-bit pattern; further parts are
  // ignored. E_POINTER for null text, E_FAIL for fewer than four parts
  // (*out is then untouched).
  static HRESULT ParseVersion(const wchar_t* text, Version* out);
  // -1, 0 or +1: the first position where they differ decides, compared as
  // unsigned numbers.
  static int CompareVersion(const Version& a, const Version& b);

  // What the fetch did (S_OK when the file was read and its keys parsed),
  // and from where.
  HRESULT FetchResult() const { return fetchResult_; }
  const std::wstring& Url() const { return url_; }
  const Version& Latest() const { return latest_; }
  const Version& Minimum() const { return minimum_; }

 private:
  HRESULT Fetch();

  std::wstring url_;
  Version minimum_;
  Version latest_;
  std::wstring link_;
  HRESULT fetchResult_ = S_OK;
};
