// Native-only window inspection, for tests and tools of the native build.
#pragma once

#include <cstdint>

#include "platform/native/windows.h"

namespace zantrel::user {

// Bottom-up B, G, R, x rows of the window's client area; null for an unknown window.
const std::uint8_t* ClientPixels(HWND window);

}  // namespace zantrel::user
