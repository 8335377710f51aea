#pragma once

#include <windows.h>

// Win32 error codes that the mingw-w64 headers do not define yet.
#ifndef ERROR_DIRECTORY_NOT_SUPPORTED
#define ERROR_DIRECTORY_NOT_SUPPORTED 336L  // "An operation is not supported on a directory."
#endif
