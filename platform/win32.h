// The Win32 API as the system's code sees it.
//
// The Win32 build includes the real <windows.h> and links user32/gdi32. The native build gets
// our own declarations of exactly the subset the system calls, with the same names, types,
// constants and signatures (platform/native/windows.h), implemented in software.
// This is the only header outside platform/ that may know which build it is in.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// For tests that pin down where the real gdi32 (as Wine has it) and ours knowingly part.
inline constexpr bool kNativePlatform = false;
#else
#include "native/windows.h"
inline constexpr bool kNativePlatform = true;
#endif
