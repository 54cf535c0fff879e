// environment_posix.cpp
#include <stdlib.h>

#include <utility>

#include "support/environment.h"

namespace orb::test {

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)) {
  if (const char* old = getenv(name_.c_str())) {
    hadValue_ = true;
    oldValue_ = old;
  }
  setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name) : name_(std::move(name)) {
  if (const char* old = getenv(name_.c_str())) {
    hadValue_ = true;
    oldValue_ = old;
  }
  unsetenv(name_.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  if (hadValue_) {
    setenv(name_.c_str(), oldValue_.c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

}  // namespace orb::test
