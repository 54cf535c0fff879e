// windows_api.h - the one way Windows implementation files include
// <windows.h>.
//
// The system headers turn many plain names into macros (CreateDirectory ->
// CreateDirectoryW). Our interfaces use several of those names for methods,
// so a file that saw the macros would declare differently named methods than
// the rest of the program. Implementation files call the explicit ...W
// functions instead.
#pragma once

#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef CreateFile
#undef DeleteFile
#undef GetFreeSpace
#undef GetMessage
#undef GetObject
#undef LoadString
#undef MessageBox
#undef MoveFile
#undef PostMessage
#undef RemoveDirectory
#undef SendMessage
#undef SetCurrentDirectory
#undef GetCurrentDirectory
#undef GetTempPath
#undef GetUserName
#undef GetComputerName
#undef FindResource
#undef UpdateResource
#undef StartService
#undef ReportEvent
