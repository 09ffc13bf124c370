// DIB sections for tests: bottom-up, BI_RGB or BI_BITFIELDS with red, green and blue masks.
#pragma once

#include <array>
#include <cstdint>

#include "platform/win32.h"

namespace zantrel::test {

inline BITMAPINFOHEADER DibHeader(std::int32_t width, std::int32_t height, int bpp,
                                  DWORD compression) {
  return {sizeof(BITMAPINFOHEADER), width, height, 1, WORD(bpp), compression, 0, 0, 0, 0, 0};
}

inline HBITMAP MakeBitfieldDib(std::int32_t width, std::int32_t height, int bpp,
                               const std::array<std::uint32_t, 3>& masks, void** bits) {
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{DibHeader(width, height, bpp, BI_BITFIELDS), {masks[0], masks[1], masks[2]}};
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits,
                          nullptr, 0);
}

}  // namespace zantrel::test
