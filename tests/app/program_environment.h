// program_environment.h - the environment of the real orbdl in end-to-end
// tests: the scripted user interface on standard output, English, a lock
// of its own (tests run at the same time) and a release-version file that
// is never the maker's server.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/wide_text.h"
#include "support/child_process.h"
#include "support/file_url.h"
#include "support/temp_dir.h"

namespace orb::test {

using Environment = std::vector<std::pair<std::string, std::string>>;

// `release`: the release-version file's content, or "" for an address that
// does not exist (the check then passes). Linux reads it through the
// settings file; the Wine prefix's registry carries a missing address of its
// own, so there the release file is always missing.
inline Environment ProgramEnvironment(const TempDir& dir, const std::string& release = "") {
  const auto releaseFile = release.empty() ? dir.path() / "no-release-file.xpd" : dir.Write("ORBDversion.xpd", release);
  const auto settings = dir.Write("orbdl.conf", "UpdateControlFile=" + WideToUtf8(FileUrl(releaseFile)) + "\n");
  // The program reaches only the test's own servers on 127.0.0.1: no proxy
  // setting of the machine's environment comes along (a test that wants a
  // proxy sets one of its own).
  Environment env;
  for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                           "no_proxy", "NO_PROXY"}) {
    env.emplace_back(name, kRemoveVariable);
  }
  // The lock name stays last: tests take it from there.
  env.insert(env.end(), {{"ORBDL_UI_SCRIPT", "-"},
                         {"ORBDL_UI_ANSWERS", ""},
                         {"LC_ALL", "C"},
                         {"LANG", "C"},
                         {"ORBDL_SETTINGS_FILE", settings.string()},
                         {"ORBDL_LOCK_NAME", "orbdl-program-test-" + dir.path().filename().string()}});
  return env;
}

// Sets one variable of an environment.
inline void Set(Environment* env, const std::string& name, const std::string& value) {
  for (auto& [n, v] : *env) {
    if (n == name) {
      v = value;
      return;
    }
  }
  env->emplace_back(name, value);
}

}  // namespace orb::test
