// http_transport_bench.cpp - streams a large body from a loopback test server
// through the two HTTP transports the way the file downloader reads them
// (64 KiB reads), and with curl, from the same server in the same run;
// prints MB/s and CPU time of each.
//
//   http_transport_bench [MiB]     (default 1024)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "http_test_server.h"
#include "loopback_figures.h"
#include "net/network_util_http.h"
#include "net/network_util_http2.h"

namespace {

using orb::bench::CpuSeconds;
using orb::bench::Figures;
using orb::bench::Report;

// Open, then 64 KiB reads until the end, as CFileDownloader does. The CPU
// time is the whole process's (the server's sending included), so it is an
// upper bound of the transport's own.
Figures ThroughTransport(CNetworkUtilBase& transport, const std::wstring& url, std::uint64_t size) {
  Figures f;
  const auto start = std::chrono::steady_clock::now();
  const double cpu0 = CpuSeconds(RUSAGE_SELF);
  if (FAILED(transport.Open(url.c_str()))) return f;
  constexpr std::uint32_t kChunk = 65536;
  std::vector<char> buffer(kChunk);
  bool patternOk = true;
  for (;;) {
    std::uint32_t got = 0;
    if (FAILED(transport.Read(buffer.data(), kChunk, &got))) break;
    if (got > 0 && buffer[got - 1] != orb::test::HttpTestServer::PatternByte(f.bytes + got - 1)) patternOk = false;
    f.bytes += got;
    if (got == 0) {
      f.ok = patternOk && f.bytes == size;
      break;
    }
  }
  transport.Close();
  f.cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const std::uint64_t size = mib * 1024 * 1024;
  // Only the loopback server: no proxy of the environment.
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY", "all_proxy"}) {
    unsetenv(name);
  }
  orb::test::HttpTestServer server(orb::test::HttpTestServer::ServeBytes(size));
  if (!server.ok()) {
    std::fprintf(stderr, "no loopback listener\n");
    return 1;
  }
  const std::wstring url = server.Url(L"/file.bin");
  std::printf("body: %llu MiB from 127.0.0.1:%u\n", static_cast<unsigned long long>(mib), server.port());
  bool ok = true;
  {
    CNetworkUtilHTTP2 socket;
    const Figures f = ThroughTransport(socket, url, size);
    Report("socket transport (pre-flight + lmq)", f);
    ok = ok && f.ok;
  }
  {
    CNetworkUtilHTTP system;
    // The same URL in capitals goes to this transport in the program.
    const Figures f = ThroughTransport(system, url, size);
    Report("system-client transport (libcurl)", f);
    ok = ok && f.ok;
  }
  const Figures curl = orb::bench::ThroughCurl(url, size);
  Report("curl", curl);
  ok = ok && curl.ok;
  return ok ? 0 : 1;
}
