#include "lmq/http_parse.h"

#include <gtest/gtest.h>

namespace {

using orb::lmq::ParseChunkSize;
using orb::lmq::ParseContentLength;
using orb::lmq::ParseHead;
using orb::lmq::ResponseHead;

TEST(HttpParse, HeadStatusLineAndHeaders) {
  ResponseHead head;
  ParseHead(
      "HTTP/1.1  404   Not  Found \r\nContent-Type: text/a\r\ncontent-type:   text/b  \r\nX-Long: one\r\n"
      " \ttwo  \r\nEmpty:\r\n\r\n",
      &head);
  EXPECT_EQ(head.version, "HTTP/1.1");
  EXPECT_EQ(head.status, "404");
  EXPECT_EQ(head.reason, "Not  Found ");
  EXPECT_EQ(head.headers["CONTENT-TYPE"], "text/b");  // the last of a repeated name
  EXPECT_EQ(head.headers["X-LONG"], "one  \ttwo");
  EXPECT_EQ(head.headers.count("EMPTY"), 1u);
  EXPECT_EQ(head.headers.size(), 3u);
}

TEST(HttpParse, HeadEdgeCases) {
  struct Case {
    const char* text;
    const char* status;
    const char* reason;
    std::size_t headerCount;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\n\r\n", "200", "OK", 0},
      {"HTTP/1.1 200\r\nA: 1\r\n\r\n", "200", "", 1},
      // A space after the code makes the next line the reason phrase.
      {"HTTP/1.1 200 \r\nContent-Type: x\r\n\r\n", "200", "Content-Type: x", 0},
      {"HTTP/1.1 200 OK\r\nno colon here\r\nA: 1\r\n\r\n", "200", "OK", 0},
      {"HTTP/1.1 200 OK\r\nA: 1\r\n\r\nB: 2\r\n", "200", "OK", 1},
      {"\r\n\r\n", "", "", 0},
      {"", "", "", 0},
      {"garbage", "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ResponseHead head;
    head.headers["STALE"] = "x";
    ParseHead(c.text, &head);
    EXPECT_EQ(head.status, c.status);
    EXPECT_EQ(head.reason, c.reason);
    EXPECT_EQ(head.headers.size(), c.headerCount);
  }
}

TEST(HttpParse, ChunkSizeAndContentLength) {
  struct SizeCase {
    const char* line;
    bool ok;
    std::uint32_t size;
  } sizes[] = {
      {"4\r\n", true, 4},          {"1A\r\n", true, 26},        {"1a;name=v\r\n", true, 26},
      {"  ff\r\n", true, 255},     {"\r\n", true, 0},           {"zz\r\n", true, 0},
      {"FFFFFFFF\r\n", true, 0xFFFFFFFFu}, {"000000001\r\n", true, 1},
      // Must not wrap into a small size.
      {"100000000\r\n", false, 0}, {"10000000000000004\r\n", false, 0},
  };
  for (const SizeCase& c : sizes) {
    SCOPED_TRACE(c.line);
    std::uint32_t size = 12345;
    ASSERT_EQ(ParseChunkSize(c.line, &size), c.ok);
    if (c.ok) {
      EXPECT_EQ(size, c.size);
    }
  }

  struct LengthCase {
    const char* text;
    bool ok;
    std::uint32_t length;
  } lengths[] = {
      {"1000", true, 1000}, {"+7", true, 7},         {"12abc", true, 12},         {"abc", true, 0},
      {"-5", true, 0},      {"4294967294", true, 4294967294u},
      {"4294967295", false, 0}, {"4294967296", false, 0}, {"99999999999999999999999", false, 0},
  };
  for (const LengthCase& c : lengths) {
    SCOPED_TRACE(c.text);
    std::uint32_t length = 12345;
    ASSERT_EQ(ParseContentLength(c.text, &length), c.ok);
    if (c.ok) {
      EXPECT_EQ(length, c.length);
    }
  }
}

}  // namespace
