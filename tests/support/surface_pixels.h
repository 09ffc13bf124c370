// Reading a 32 bpp surface's pixels straight from its bottom-up DIB rows.
#pragma once

#include <cstdint>

#include "surface/surface.h"

namespace zantrel::test {

// Pixel (x, y), top-left origin, as the 0x00RRGGBB value the bitmap stores.
inline std::uint32_t StoredPixel32(const Surface& s, int x, int y) {
  const std::uint8_t* p = s.pixels + (s.height - 1 - y) * s.bitmapRecord.bmWidthBytes + 4 * x;
  return p[0] | (p[1] << 8) | (p[2] << 16);
}

}  // namespace zantrel::test
