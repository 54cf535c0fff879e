// status.h - every status code the program produces, each with one name.
//
// Results are 32-bit values in the COM result form: 0 success, 1 a success
// that means "no" or "not found" where an operation says so, negative a
// failure. The program's own failures use facility 4. Code outside this
// header refers to codes by name only.
#pragma once

#include <cstdint>

#include "platform/hresult.h"

namespace orb {

constexpr HRESULT MakeStatus(std::uint32_t value) {
  return static_cast<HRESULT>(value);
}

// Windows error numbers that portable code needs to name. Platform layers
// report failures with these numbers on every operating system, so callers
// and messages do not differ between platforms.
namespace win32_error {
constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kTooManyOpenFiles = 4;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kNotEnoughMemory = 8;
constexpr std::uint32_t kInvalidData = 13;
constexpr std::uint32_t kOutOfMemory = 14;
constexpr std::uint32_t kWriteProtect = 19;
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kWriteFault = 29;
constexpr std::uint32_t kReadFault = 30;
constexpr std::uint32_t kNotSameDevice = 17;
constexpr std::uint32_t kGenFailure = 31;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kHandleEof = 38;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kFileExists = 80;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kInsufficientBuffer = 122;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kDirNotEmpty = 145;
constexpr std::uint32_t kBusy = 170;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kFilenameExcedRange = 206;
constexpr std::uint32_t kFileTooLarge = 223;
constexpr std::uint32_t kNoMoreItems = 259;
constexpr std::uint32_t kDirectory = 267;
constexpr std::uint32_t kIoDevice = 1117;
constexpr std::uint32_t kNotFound = 1168;
constexpr std::uint32_t kCantResolveFilename = 1921;
// WinINet's errors (12001..12175). The Linux HTTP client reports the same
// numbers for the same causes.
constexpr std::uint32_t kInternetTimeout = 12002;
constexpr std::uint32_t kInternetInternalError = 12004;
constexpr std::uint32_t kInternetInvalidUrl = 12005;
constexpr std::uint32_t kInternetUnrecognizedScheme = 12006;
constexpr std::uint32_t kInternetNameNotResolved = 12007;
constexpr std::uint32_t kInternetCannotConnect = 12029;
constexpr std::uint32_t kInternetConnectionAborted = 12030;
constexpr std::uint32_t kInternetConnectionReset = 12031;
constexpr std::uint32_t kInternetSecCertDateInvalid = 12037;
constexpr std::uint32_t kInternetSecCertCnInvalid = 12038;
constexpr std::uint32_t kInternetInvalidCa = 12045;
constexpr std::uint32_t kHttpInvalidServerResponse = 12152;
constexpr std::uint32_t kHttpRedirectFailed = 12156;
constexpr std::uint32_t kInternetSecurityChannelError = 12157;
}  // namespace win32_error

// A Windows error number as a status code: 0 (and anything that already
// reads as negative) is passed through, any other e becomes
// 0x80070000 | (e & 0xFFFF).
constexpr HRESULT StatusFromWin32(std::uint32_t error) {
  return static_cast<std::int32_t>(error) <= 0
             ? static_cast<HRESULT>(error)
             : MakeStatus(0x80070000u | (error & 0xFFFFu));
}

}  // namespace orb

// --- Standard codes named by the program beyond those of the system headers.
constexpr HRESULT ORB_E_PATH_NOT_FOUND = orb::StatusFromWin32(orb::win32_error::kPathNotFound);  // 0x80070003
constexpr HRESULT ORB_E_FILE_NOT_FOUND = orb::StatusFromWin32(orb::win32_error::kFileNotFound);  // 0x80070002
constexpr HRESULT ORB_E_BUSY = orb::StatusFromWin32(orb::win32_error::kBusy);                    // 0x800700AA
constexpr HRESULT ORB_E_NOT_FOUND = orb::StatusFromWin32(orb::win32_error::kNotFound);           // 0x80070490

// --- Operation flow, 0x80046xxx.
constexpr HRESULT ORB_E_CANCELLED = orb::MakeStatus(0x80046002u);             // user cancelled (silent)
constexpr HRESULT ORB_E_ANOTHER_OPERATION = orb::MakeStatus(0x80046003u);     // the machine-wide lock is taken
constexpr HRESULT ORB_E_PROGRAM_TOO_OLD = orb::MakeStatus(0x80046006u);       // older than the minimum release (silent)
constexpr HRESULT ORB_E_NEWER_RELEASE = orb::MakeStatus(0x80046007u);         // older than the latest release
constexpr HRESULT ORB_E_NO_MEDIUM = orb::MakeStatus(0x80046008u);             // no medium in the drive
constexpr HRESULT ORB_E_SYSTEM_SOFTWARE_TOO_OLD = orb::MakeStatus(0x80046009u);
constexpr HRESULT ORB_E_NO_OPERATION = orb::MakeStatus(0x80046101u);          // control file unreadable or no code
constexpr HRESULT ORB_E_UNSUPPORTED_OPERATION = orb::MakeStatus(0x80046103u);

// --- Operations, transfers, storages, devices, transports, 0x80048xxx.
constexpr HRESULT ORB_E_UNEXPECTED = orb::MakeStatus(0x80048001u);            // worker not started; unexpected failure
constexpr HRESULT ORB_E_NO_TEMP_FILE = orb::MakeStatus(0x80048006u);          // no temporary folder or file
constexpr HRESULT ORB_E_LOCAL_DISK_FULL = orb::MakeStatus(0x80048007u);       // not enough space on the computer's disk

constexpr HRESULT ORB_E_INTERNET = orb::MakeStatus(0x80048101u);              // WinINet error outside 12001..12175
constexpr HRESULT ORB_E_REQUEST_FAILED = orb::MakeStatus(0x80048102u);        // request not created or not carried out
constexpr HRESULT ORB_E_STATUS_UNREADABLE = orb::MakeStatus(0x80048103u);     // HTTP status not readable
constexpr HRESULT ORB_E_HTTP_STATUS = orb::MakeStatus(0x80048104u);           // HTTP status other than 200/404/500
constexpr HRESULT ORB_E_HTTP_NOT_FOUND = orb::MakeStatus(0x80048105u);        // HTTP 404
constexpr HRESULT ORB_E_HTTP_SERVER_ERROR = orb::MakeStatus(0x80048106u);     // HTTP 500
constexpr HRESULT ORB_E_NO_CONTENT_LENGTH = orb::MakeStatus(0x80048107u);     // no usable Content-Length
constexpr HRESULT ORB_E_TRANSFER_CANCELLED = orb::MakeStatus(0x80048108u);    // cancel flag seen during a transfer
constexpr HRESULT ORB_E_NO_CONTENT_TYPE = orb::MakeStatus(0x80048109u);       // type undecidable / no content type
constexpr HRESULT ORB_E_NO_INSTALL_FOLDER = orb::MakeStatus(0x8004810Au);     // content type has no install folder
constexpr HRESULT ORB_E_READ_BODY = orb::MakeStatus(0x8004810Bu);             // reading the body failed or it was short
constexpr HRESULT ORB_E_TOO_LARGE = orb::MakeStatus(0x8004810Cu);             // larger than the allowed maximum

constexpr HRESULT ORB_E_NOT_ENOUGH_SPACE = orb::MakeStatus(0x80048201u);      // target storage too full
constexpr HRESULT ORB_E_PATH_TOO_LONG = orb::MakeStatus(0x80048202u);         // storage path over 260 characters
constexpr HRESULT ORB_E_MEDIUM_LOCKED = orb::MakeStatus(0x80048205u);
constexpr HRESULT ORB_E_STORAGE_NOT_ACCESSIBLE = orb::MakeStatus(0x80048206u);
constexpr HRESULT ORB_E_TARGET_NOT_CREATED = orb::MakeStatus(0x80048209u);    // target could not be created/replaced/opened
constexpr HRESULT ORB_E_WRITE_FAILED = orb::MakeStatus(0x8004820Bu);          // write failed or was short
constexpr HRESULT ORB_E_PRESIZE_FAILED = orb::MakeStatus(0x8004820Cu);        // local target could not be pre-sized
constexpr HRESULT ORB_E_WRONG_MODEL = orb::MakeStatus(0x8004820Fu);           // content only for the system storage model
constexpr HRESULT ORB_E_NO_DEVICE = orb::MakeStatus(0x80048210u);
constexpr HRESULT ORB_E_SEVERAL_DEVICES = orb::MakeStatus(0x80048211u);
constexpr HRESULT ORB_E_DEVICE_TOO_OLD = orb::MakeStatus(0x80048212u);        // handheld's system software below 6.50
// A success-range answer of the console-drive selection: the one console
// drive found belongs to the single-drive model, which counts as no device.
constexpr HRESULT ORB_S_SINGLE_DRIVE_MODEL = orb::MakeStatus(142u);

constexpr HRESULT ORB_E_NAME_TOO_LONG = orb::MakeStatus(0x8004830Du);         // content name over 48 characters

constexpr HRESULT ORB_E_INQUIRY_FAILED = orb::MakeStatus(0x80048501u);
constexpr HRESULT ORB_E_MODE_SENSE_FAILED = orb::MakeStatus(0x80048502u);
constexpr HRESULT ORB_E_SYSTEM_VERSION_UNREADABLE = orb::MakeStatus(0x8004850Cu);
constexpr HRESULT ORB_E_PRODUCT_CODE_UNREADABLE = orb::MakeStatus(0x8004851Au);

constexpr HRESULT ORB_E_RUNNING = orb::MakeStatus(0x80048701u);               // changed or started while running
constexpr HRESULT ORB_E_URL_NOT_SUPPORTED = orb::MakeStatus(0x80048702u);     // no transport for the URL / bad URL
constexpr HRESULT ORB_E_NOT_RUNNING = orb::MakeStatus(0x80048703u);           // Stop while not running
constexpr HRESULT ORB_E_LOCAL_FILE_OPEN = orb::MakeStatus(0x80048704u);       // file:// source not opened
constexpr HRESULT ORB_E_LOCAL_FILE_READ = orb::MakeStatus(0x80048705u);       // file:// source size or read failed

// WinINet error e (12001..12175) travels as 0x80048B00 + (e - 12000).
constexpr HRESULT ORB_E_WININET_BASE = orb::MakeStatus(0x80048B00u);
constexpr HRESULT ORB_E_WININET_FIRST = orb::MakeStatus(0x80048B01u);
constexpr HRESULT ORB_E_WININET_LAST = orb::MakeStatus(0x80048BAFu);

// Failures of the in-house HTTP library as reported by the socket transport.
constexpr HRESULT ORB_E_SOCKET_BASE = orb::MakeStatus(0x80048C00u);
constexpr HRESULT ORB_E_SOCKET_OTHER = orb::MakeStatus(0x80048C01u);
constexpr HRESULT ORB_E_SOCKET_ADDRESS = orb::MakeStatus(0x80048C02u);        // address not parsed or resolved
constexpr HRESULT ORB_E_SOCKET_CREATE = orb::MakeStatus(0x80048C03u);
constexpr HRESULT ORB_E_SOCKET_BIND = orb::MakeStatus(0x80048C04u);
constexpr HRESULT ORB_E_SOCKET_RESERVED_2 = orb::MakeStatus(0x80048C05u);
constexpr HRESULT ORB_E_SOCKET_RESERVED_192 = orb::MakeStatus(0x80048C06u);
constexpr HRESULT ORB_E_SOCKET_RESERVED_17 = orb::MakeStatus(0x80048C07u);
constexpr HRESULT ORB_E_SOCKET_CONNECT = orb::MakeStatus(0x80048C08u);        // refused or failed
constexpr HRESULT ORB_E_SOCKET_CONNECT_WAIT = orb::MakeStatus(0x80048C09u);
constexpr HRESULT ORB_E_SOCKET_CONNECT_TIMEOUT = orb::MakeStatus(0x80048C0Au);
constexpr HRESULT ORB_E_SOCKET_LOCAL_ADDRESS = orb::MakeStatus(0x80048C0Bu);
constexpr HRESULT ORB_E_SOCKET_PROXY_403 = orb::MakeStatus(0x80048C0Cu);
constexpr HRESULT ORB_E_SOCKET_PROXY_405 = orb::MakeStatus(0x80048C0Du);
constexpr HRESULT ORB_E_SOCKET_PROXY_407 = orb::MakeStatus(0x80048C0Eu);
constexpr HRESULT ORB_E_SOCKET_RESERVED_202 = orb::MakeStatus(0x80048C0Fu);
constexpr HRESULT ORB_E_SOCKET_PROXY_REFUSED = orb::MakeStatus(0x80048C10u);
constexpr HRESULT ORB_E_SOCKET_RESERVED_203 = orb::MakeStatus(0x80048C11u);
constexpr HRESULT ORB_E_SOCKET_RESERVED_262 = orb::MakeStatus(0x80048C12u);
constexpr HRESULT ORB_E_SOCKET_RESERVED_190 = orb::MakeStatus(0x80048C13u);

// --- Package reader, 0x80029561..0x80029567.
constexpr HRESULT ORB_E_PKG_READ_SIZE = orb::MakeStatus(0x80029561u);         // read size not a multiple of 16
constexpr HRESULT ORB_E_PKG_IO = orb::MakeStatus(0x80029562u);                // file, cursor or entry state
constexpr HRESULT ORB_E_PKG_HEADER = orb::MakeStatus(0x80029563u);            // a header breaks a rule
constexpr HRESULT ORB_E_PKG_DIGEST = orb::MakeStatus(0x80029564u);            // data area digest differs
constexpr HRESULT ORB_E_PKG_ENTRY = orb::MakeStatus(0x80029566u);             // extension or entry breaks a rule
constexpr HRESULT ORB_E_PKG_CONTENT = orb::MakeStatus(0x80029567u);           // type word or content unusable
// Success answers of the reader's entry walk (S_OK: no further entry).
constexpr HRESULT ORB_S_PKG_FILE = orb::MakeStatus(1u);
constexpr HRESULT ORB_S_PKG_DIRECTORY = orb::MakeStatus(2u);

// --- Operation states: positive, published by a running operation.
constexpr HRESULT ORB_STATE_TRANSFERRING = orb::MakeStatus(0x00048001u);
constexpr HRESULT ORB_STATE_FINISHED = orb::MakeStatus(0x00048002u);          // also idle after Reset
constexpr HRESULT ORB_STATE_PREPARING_2 = orb::MakeStatus(0x00048003u);
constexpr HRESULT ORB_STATE_PREPARING_1 = orb::MakeStatus(0x00048004u);
constexpr HRESULT ORB_STATE_STARTING = orb::MakeStatus(0x00048006u);
constexpr HRESULT ORB_STATE_INSTALLING = orb::MakeStatus(0x00048007u);

namespace orb {

// WinINet error number (12001..12175) as a status code; anything outside that
// range is ORB_E_INTERNET.
constexpr HRESULT StatusFromInternetError(std::uint32_t error) {
  return (error >= 12001u && error <= 12175u)
             ? MakeStatus(0x80048B00u + (error - 12000u))
             : ORB_E_INTERNET;
}

}  // namespace orb
