// loopback_figures.h - what the loopback HTTP benchmarks share: their
// figures, how they print them, and curl fetching the same body as the
// yardstick. Linux only (process clocks, popen).
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/wide_text.h"

namespace orb::bench {

struct Figures {
  std::uint64_t bytes = 0;
  double seconds = 0;
  double cpu = 0;
  bool ok = false;
};

inline void Report(const char* name, const Figures& f) {
  const double mb = static_cast<double>(f.bytes) / 1e6;
  std::printf("%-40s %s %10.1f MB  %7.3f s  %8.1f MB/s  CPU %6.3f s\n", name, f.ok ? "ok  " : "FAIL", mb, f.seconds,
              f.seconds > 0 ? mb / f.seconds : 0.0, f.cpu);
}

inline double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// `curl -o /dev/null` of the URL; CPU is the curl process's.
inline Figures ThroughCurl(const std::wstring& url, std::uint64_t size) {
  Figures f;
  const std::string command = "curl -s -o /dev/null -w '%{size_download}' '" + orb::WideToUtf8(url) + "'";
  const double cpu0 = CpuSeconds(RUSAGE_CHILDREN);
  const auto start = std::chrono::steady_clock::now();
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return f;
  char text[64] = {};
  const std::size_t n = std::fread(text, 1, sizeof text - 1, pipe);
  const int status = pclose(pipe);
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.cpu = CpuSeconds(RUSAGE_CHILDREN) - cpu0;
  text[n] = '\0';
  f.bytes = std::strtoull(text, nullptr, 10);
  f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && f.bytes == size;
  return f;
}

}  // namespace orb::bench
