// An https server on 127.0.0.1 whose certificate nobody trusts (made by the
// test with OpenSSL): the system-client transport must refuse it rather
// than send the request. (Linux: the Windows build has no TLS server; there
// the transport tests see the handshake begin on the URL's port.)
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "http_test_server.h"
#include "net/network_util.h"
#include "support/environment.h"

namespace {

using orb::test::HttpTestServer;
using orb::test::ServerConnection;

struct SelfSigned {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, EVP_PKEY_free};
  std::unique_ptr<X509, decltype(&X509_free)> certificate{nullptr, X509_free};
};

// A P-256 key and a certificate for 127.0.0.1, signed by itself.
SelfSigned MakeSelfSigned() {
  SelfSigned made;
  made.key.reset(EVP_EC_gen("P-256"));
  made.certificate.reset(X509_new());
  X509* x = made.certificate.get();
  if (made.key == nullptr || x == nullptr) return made;
  X509_set_version(x, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
  X509_gmtime_adj(X509_getm_notBefore(x), -3600);
  X509_gmtime_adj(X509_getm_notAfter(x), 3600);
  X509_set_pubkey(x, made.key.get());
  X509_NAME* name = X509_get_subject_name(x);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1,
                             0);
  X509_set_issuer_name(x, name);
  X509_sign(x, made.key.get(), EVP_sha256());
  return made;
}

TEST(HttpsCertificate, AnUntrustedServerIsRefused) {
  const orb::test::ScopedEnvironmentVariable noProxy("https_proxy");
  const orb::test::ScopedEnvironmentVariable noUpperProxy("HTTPS_PROXY");
  const SelfSigned identity = MakeSelfSigned();
  ASSERT_NE(identity.certificate, nullptr);
  std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
  ASSERT_NE(context, nullptr);
  ASSERT_EQ(SSL_CTX_use_certificate(context.get(), identity.certificate.get()), 1);
  ASSERT_EQ(SSL_CTX_use_PrivateKey(context.get(), identity.key.get()), 1);

  std::atomic<int> requests{0};
  HttpTestServer server([&](ServerConnection& c) {
    std::unique_ptr<SSL, decltype(&SSL_free)> tls(SSL_new(context.get()), SSL_free);
    SSL_set_fd(tls.get(), static_cast<int>(c.handle()));
    if (SSL_accept(tls.get()) != 1) return;
    char buffer[1024];
    if (SSL_read(tls.get(), buffer, sizeof buffer) > 0) {
      ++requests;
      const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nsecret";
      SSL_write(tls.get(), answer.data(), static_cast<int>(answer.size()));
    }
    SSL_shutdown(tls.get());
  });

  CNetworkUtil front;
  const std::wstring url = L"https://127.0.0.1:" + std::to_wstring(server.port()) + L"/x";
  EXPECT_EQ(front.Open(url.c_str()), orb::StatusFromInternetError(orb::win32_error::kInternetInvalidCa));
  EXPECT_FALSE(front.IsOpen());
  EXPECT_TRUE(server.WaitScriptsDone(1));
  EXPECT_EQ(requests.load(), 0) << "no request may reach a server that proved nothing";
}

}  // namespace
