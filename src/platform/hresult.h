// hresult.h - the 32-bit result type and the standard codes of the system.
//
// Windows builds take HRESULT and the standard codes from the system headers;
// other builds define the same names with the same values, so portable code
// reads the same on both.
#pragma once

#ifdef _WIN32
// Only the type and code headers: <windows.h> would turn names such as
// CreateDirectory or DeleteFile into macros in every file that includes us.
#include <windef.h>
#include <winerror.h>
#else
#include <cstdint>

typedef std::int32_t HRESULT;

#define ORB_HRESULT_VALUE(v) (static_cast<HRESULT>(static_cast<std::uint32_t>(v)))

#define S_OK ORB_HRESULT_VALUE(0x00000000u)
#define S_FALSE ORB_HRESULT_VALUE(0x00000001u)
#define E_NOTIMPL ORB_HRESULT_VALUE(0x80004001u)
#define E_NOINTERFACE ORB_HRESULT_VALUE(0x80004002u)
#define E_POINTER ORB_HRESULT_VALUE(0x80004003u)
#define E_ABORT ORB_HRESULT_VALUE(0x80004004u)
#define E_FAIL ORB_HRESULT_VALUE(0x80004005u)
#define E_UNEXPECTED ORB_HRESULT_VALUE(0x8000FFFFu)
#define E_ACCESSDENIED ORB_HRESULT_VALUE(0x80070005u)
#define E_HANDLE ORB_HRESULT_VALUE(0x80070006u)
#define E_OUTOFMEMORY ORB_HRESULT_VALUE(0x8007000Eu)
#define E_INVALIDARG ORB_HRESULT_VALUE(0x80070057u)

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#endif
