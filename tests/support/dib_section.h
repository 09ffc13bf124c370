// DIB sections for tests: bottom-up, BI_RGB or BI_BITFIELDS with red, green and blue masks.
#pragma once

#include <array>
#include <cstdint>

#include "platform/win32.h"

namespace zantrel::test {

// The header of a bottom-up DIB section.
inline BITMAPINFOHEADER DibHeader(std::int32_t width, std::int32_t height, int bitsPerPixel, DWORD compression) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bitsPerPixel);
  header.biCompression = compression;
  return header;
}

inline HBITMAP MakeBitfieldDib(std::int32_t width, std::int32_t height, int bitsPerPixel,
                               const std::array<std::uint32_t, 3>& masks, void** bits) {
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{DibHeader(width, height, bitsPerPixel, BI_BITFIELDS), {masks[0], masks[1], masks[2]}};
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace zantrel::test
