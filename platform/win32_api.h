// <windows.h> as the Win32 backend's files include it: without the min and
// max macros, and without the parts of the API the game never uses.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
