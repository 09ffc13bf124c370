// Hook between the native user32 half and the gdi32 half: a device context that draws into a
// window's client-area pixels, owned by the window backend.
#pragma once

#include <cstdint>

#include "platform/native/windows.h"

namespace zantrel::gdi {

// A DC drawing into caller-owned 32 bpp pixels (B, G, R, x bytes), bottom-up rows of
// width * 4 bytes. The pixels must outlive the DC. Deleted with DeleteDC. Given changed, drawing
// widens it by where it changes the pixels (which must outlive the DC too).
HDC CreateWindowDC(std::uint8_t* pixels, int width, int height, RECT* changed);

}  // namespace zantrel::gdi
