// lmq_critical_section.h - a re-entrant lock owned by an HTTP library object.
#pragma once

#include <mutex>

class LmqCriticalSection {
 public:
  LmqCriticalSection() = default;
  LmqCriticalSection(const LmqCriticalSection&) = delete;
  LmqCriticalSection& operator=(const LmqCriticalSection&) = delete;
  virtual ~LmqCriticalSection() = default;

  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }

 private:
  // Re-entrant like the system's critical sections, so a holder may call
  // another locked operation of the same object.
  std::recursive_mutex mutex_;
};
