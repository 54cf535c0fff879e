// lmq_sync.h - base of HTTP library objects that owners may lock.
#pragma once

#include "lmq/lmq_critical_section.h"

class LmqSync {
 public:
  LmqSync() = default;
  LmqSync(const LmqSync&) = delete;
  LmqSync& operator=(const LmqSync&) = delete;
  virtual ~LmqSync() = default;

  virtual void Lock() { section_.Enter(); }
  virtual void Unlock() { section_.Leave(); }

 private:
  LmqCriticalSection section_;
};
