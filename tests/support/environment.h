// environment.h - an environment variable of this process, set for one
// scope and restored afterwards.
#pragma once

#include <string>

namespace orb::test {

class ScopedEnvironmentVariable {
 public:
  // Sets `name` to `value` (UTF-8).
  ScopedEnvironmentVariable(std::string name, const std::string& value);
  // Removes `name` for the scope.
  explicit ScopedEnvironmentVariable(std::string name);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::string name_;
  bool hadValue_ = false;
  std::string oldValue_;
};

}  // namespace orb::test
