// lmq_lock.h - holds a critical section for the life of a scope.
#pragma once

#include "lmq/lmq_critical_section.h"

class LmqLock {
 public:
  explicit LmqLock(LmqCriticalSection& section) : section_(section) { section_.Enter(); }
  LmqLock(const LmqLock&) = delete;
  LmqLock& operator=(const LmqLock&) = delete;
  ~LmqLock() { section_.Leave(); }

 private:
  LmqCriticalSection& section_;
};
