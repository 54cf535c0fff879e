// Plain media over HTTP end to end: the real orbdl runs a "pnv#" control
// file whose URL names a loopback server, against a virtual handheld,
// through the scripted user interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program_environment.h"
#include "app/program_handheld.h"
#include "app/program_run.h"
#include "base/wide_text.h"
#include "http_test_server.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using orb::test::FinalMessage;
using orb::test::HttpTestServer;
using Request = HttpTestServer::Request;

// The path of a request without its query, also when a proxy passed on its
// absolute URI.
std::string PathOf(const Request& r) {
  std::string target = r.target;
  if (target.compare(0, 7, "http://") == 0) {
    const std::size_t slash = target.find('/', 7);
    target = slash == std::string::npos ? "/" : target.substr(slash);
  }
  return target.substr(0, target.find('?'));
}

std::string RequestLine(const std::string& head) { return head.substr(0, head.find("\r\n")); }

TEST(OrbdlHttpMediaTest, MediaFromALoopbackServerOntoTheCard) {
  std::string clip(300000, '\0');
  for (std::size_t i = 0; i < clip.size(); ++i) clip[i] = HttpTestServer::PatternByte(i);
  const std::string png = "\x89PNG\r\n\x1a\n picture";
  HttpTestServer server(HttpTestServer::Serve([&](const Request& r) -> std::string {
    const std::string path = PathOf(r);
    if (path == "/media/Clip.mp4") {
      return "HTTP/1.1 200 OK\r\nContent-Type: video/mp4\r\nContent-Length: " + std::to_string(clip.size()) +
             "\r\n\r\n" + clip;
    }
    if (path == "/media/track") {
      return "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " + std::to_string(png.size()) +
             "\r\n\r\n" + png;
    }
    return "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 9\r\n\r\nnot here.";
  }));
  orb::test::TunnelProxy proxy;
  const std::string host = orb::WideToUtf8(server.HostPort());
  const std::string query = "?product=010A&country=JP";

  const struct Case {
    const char* what;
    std::string url;
    std::string proxy;  // http_proxy of the program's environment
    std::string file;   // on the card afterwards, "" for none
    std::string bytes;
    std::string message;
    // Request lines the server (directly or through the proxy) saw.
    std::vector<std::string> requests;
  } cases[] = {
      {"a clip over the socket transport", "http://" + host + "/media/Clip.mp4", "", "VIDEO/Clip.MP4", clip,
       FinalMessage("Download completed.", "information"),
       {"HEAD /media/Clip.mp4" + query + " HTTP/1.1", "GET /media/Clip.mp4" + query + " HTTP/1.1"}},
      {"no extension: the server's content type decides", "http://" + host + "/media/track", "",
       "PICTURE/track.PNG", png, FinalMessage("Download completed.", "information"),
       {"HEAD /media/track" + query + " HTTP/1.1", "GET /media/track" + query + " HTTP/1.1"}},
      {"through the proxy of the environment", "http://" + host + "/media/Clip.mp4",
       orb::WideToUtf8(proxy.HostPort()), "VIDEO/Clip.MP4", clip, FinalMessage("Download completed.", "information"),
       {"HEAD http://" + host + "/media/Clip.mp4" + query + " HTTP/1.1",
        "GET http://" + host + "/media/Clip.mp4" + query + " HTTP/1.1"}},
      {"the scheme in capitals: the system's HTTP client", "HTTP://" + host + "/media/Clip.mp4", "",
       "VIDEO/Clip.MP4", clip, FinalMessage("Download completed.", "information"),
       // The size question opens and closes the resource; the download opens it again.
       {"GET /media/Clip.mp4" + query + " HTTP/1.1", "GET /media/Clip.mp4" + query + " HTTP/1.1"}},
      {"a missing clip", "http://" + host + "/media/Gone.mp4", "", "", "",
       FinalMessage("A connection error has occurred. \\r\\n(0x80048105)", "none"),
       {"HEAD /media/Gone.mp4" + query + " HTTP/1.1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    orb::test::TempDir dir;
    const orb::test::ProgramHandheld handheld(dir, "", orb::test::ProgramHandheld::kSecondWineCardLetter);
    const auto control =
        dir.Write("media.dsf", "[Info]\r\nEID=pnv#\r\nDesc=Sample\r\nCC=JP\r\n[File]\r\nC=" + c.url + "\r\n");
    auto env = orb::test::ProgramEnvironment(dir);
    orb::test::Set(&env, "ORBDL_VIRTUAL_HANDHELD", handheld.Description().u8string());
    if (!c.proxy.empty()) orb::test::Set(&env, "http_proxy", c.proxy);
    const std::size_t serverBefore = server.Requests().size();
    const std::size_t proxyBefore = proxy.Requests().size();

    std::vector<std::string> lines;
    orb::test::RunWithOneMessage(control, env, c.message, &lines);

    std::vector<std::string> seen;
    const auto& source = c.proxy.empty() ? server.Requests() : proxy.Requests();
    for (std::size_t i = c.proxy.empty() ? serverBefore : proxyBefore; i < source.size(); ++i) {
      seen.push_back(RequestLine(source[i]));
    }
    EXPECT_EQ(seen, c.requests);

    if (c.file.empty()) {
      EXPECT_TRUE(orb::test::CardContents(handheld.Card()).empty()) << "nothing is written for a failed download";
    } else {
      EXPECT_NE(std::find(lines.begin(), lines.end(), "[UI] progress status=\"Downloading...\""), lines.end());
      EXPECT_TRUE(orb::test::ReadFileBytes(handheld.Card() / fs::u8path(c.file)) == c.bytes)
          << c.file << " differs";
    }
  }
}

}  // namespace
