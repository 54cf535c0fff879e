// download_url.h - the store's download URL: the content URL from the
// control file with a query that tells the store which handheld model
// receives the content and where the buyer is:
//   product=010A&country=JP
// The product part is the handheld's product code (two bytes, four
// upper-case hexadecimal digits), the country part the control file's
// country code as it stands; it is left out when the code is empty.
//
// Each content operation has its own rule for the product part; the three
// BuildDownloadUrl variants below are the operations' BuildDownloadUrl.
//
// A file:// content URL names a file on this computer: there is no store to
// tell anything, and a query would make it name a file that does not exist.
// It is used as it stands. A query that comes out empty leaves the URL as
// it stands too.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "net/network_util.h"

class IDeviceStorage;

namespace orb::content {

// Product part of a comic or video sent anywhere but a handheld drive.
constexpr wchar_t kDefaultProductQuery[] = L"product=0040";

// Whether the URL's scheme is "file" (any case): such content is copied.
bool IsLocalFileUrl(const std::wstring& url);

// "product=" and the handheld's product code, read from the handheld drive
// with this letter. The drive's failure (ORB_E_PRODUCT_CODE_UNREADABLE) is
// returned.
HRESULT ReadProductQuery(wchar_t letter, std::wstring* product);

// The product part (may be empty) and, when the country is not empty,
// "&country=" and the country.
std::wstring StoreQuery(const std::wstring& product, const std::wstring& country);

// The content URL with the query added (CUrlTrans). E_OUTOFMEMORY, and the
// failures of CUrlTrans.
HRESULT AddStoreQuery(const std::wstring& contentUrl, const std::wstring& query, std::wstring* url);

// Package download: the target must be a drive storage; the product code is
// always read from it. E_INVALIDARG for an empty content URL, no storage or
// a storage that is not a drive; ORB_E_PRODUCT_CODE_UNREADABLE.
HRESULT BuildPackageDownloadUrl(const std::wstring& contentUrl, IDeviceStorage* storage,
                                const std::wstring& country, std::wstring* url);

// Plain media: a product part only when the storage is a drive (its
// identifier one letter) of the handheld. E_INVALIDARG for an empty content
// URL or no storage; E_FAIL for a drive identifier that is not one
// character; the storage's and the drive's failures.
HRESULT BuildPlainMediaDownloadUrl(const std::wstring& contentUrl, IDeviceStorage* storage,
                                   const std::wstring& country, std::wstring* url);

// Comic and video: the product code of the storage's drive when the
// selection flags say a console drive was chosen (bit 0), otherwise
// kDefaultProductQuery. E_INVALIDARG for an empty content URL or no
// storage; ORB_E_PRODUCT_CODE_UNREADABLE.
HRESULT BuildComicVideoDownloadUrl(const std::wstring& contentUrl, IDeviceStorage* storage,
                                   std::uint32_t selectionFlags, const std::wstring& country, std::wstring* url);

// Asks the transport for the size of the resource at url: its length, or
// CDownloaderBase::kSizeUnknown (-1) when the server announces none.
// Other failures are returned.
HRESULT QueryContentSize(CNetworkUtil& transport, const std::wstring& url, std::int64_t* size);

}  // namespace orb::content
