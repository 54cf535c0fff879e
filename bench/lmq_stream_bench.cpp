// lmq_stream_bench.cpp - streams a large body from a loopback test server
// through LmqHTTPStream and, in the same run and from the same server, with
// curl; prints MB/s and CPU time of each.
//
//   lmq_stream_bench [MiB]     (default 1024)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "http_test_server.h"
#include "loopback_figures.h"
#include "lmq/lmq_http_stream.h"

namespace {

const char kHeaderBlock[] =
    "User-Agent: ORBContentDownloaderLib/1.1\r\nCache-Control: no-cache\r\nConnection: Keep-Alive\r\n\r\n";

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

using orb::bench::Figures;
using orb::bench::Report;

// What the socket transport does: connect, 1,024-byte receive buffer (or
// another size), GET with its header block, ReadBody until 0 bytes.
Figures ThroughLmq(orb::test::HttpTestServer& server, std::uint64_t size, std::uint32_t receiveBuffer,
                   std::uint32_t readSize) {
  Figures f;
  const auto start = std::chrono::steady_clock::now();
  const double cpu0 = ThreadCpuSeconds();
  LmqTCPConnection connection;
  LmqHTTPStream stream;
  LmqURL url;
  url.Parse(server.Url(L"/file.bin").c_str(), false);
  const LmqTimeout connectTimeout{10, 0};
  if (connection.Connect(server.HostPort().c_str(), &connectTimeout) != LMQ_OK) return f;
  connection.SetReceiveBufferSize(receiveBuffer);
  stream.SetRequest("GET", "HTTP/1.1", &url, kHeaderBlock, nullptr, 0);
  stream.SetTimeout(30, 0);
  int status = 0;
  if (stream.Execute(&status, &connection) != LMQ_OK || status != 200) return f;
  std::vector<char> buffer(readSize);
  bool patternOk = true;
  for (;;) {
    std::uint32_t got = 0;
    const LmqResult result = stream.ReadBody(buffer.data(), readSize, &got);
    // Spot-check the content: one byte per read.
    if (got > 0 && buffer[got - 1] != orb::test::HttpTestServer::PatternByte(f.bytes + got - 1)) patternOk = false;
    f.bytes += got;
    if (got == 0 || (result != LMQ_OK && result != LMQ_E_NOT_CONNECTED)) break;
  }
  stream.CloseConnection();
  f.cpu = ThreadCpuSeconds() - cpu0;
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.ok = patternOk && f.bytes == size;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const std::uint64_t size = mib * 1024 * 1024;
  orb::test::HttpTestServer server(orb::test::HttpTestServer::ServeBytes(size));
  if (!server.ok()) {
    std::fprintf(stderr, "no loopback listener\n");
    return 1;
  }
  std::printf("body: %llu MiB from 127.0.0.1:%u\n", static_cast<unsigned long long>(mib), server.port());
  bool ok = true;
  const struct {
    const char* name;
    std::uint32_t receiveBuffer;
    std::uint32_t readSize;
  } runs[] = {
      {"LmqHTTPStream, 1 KiB buffer, 64 KiB reads", 1024, 65536},
      {"LmqHTTPStream, 64 KiB buffer, 64 KiB reads", 65535, 65536},
  };
  for (const auto& run : runs) {
    const Figures f = ThroughLmq(server, size, run.receiveBuffer, run.readSize);
    Report(run.name, f);
    ok = ok && f.ok;
  }
  const Figures curl = orb::bench::ThroughCurl(server.Url(L"/file.bin"), size);
  Report("curl", curl);
  ok = ok && curl.ok;
  return ok ? 0 : 1;
}
