// The run-length pixel streams of bitmap files (BI_RLE8 and BI_RLE4), drawn into a DIB section.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/native/gdi/objects.h"

namespace zantrel::gdi {

// The bytes of a file from some offset on. Past the file's end they read as zero, as they do in a
// mapping of the file, which is where the platform's loader reads them from.
struct FileTail {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::uint8_t At(std::uint64_t i) const { return i < size ? data[i] : 0; }
};

// Draws a stream of `length` bytes into a zeroed bottom-up 8 bpp (BI_RLE8) or 4 bpp (BI_RLE4)
// bitmap. Pixels a delta or an early end of line skips stay zero, runs are cut at the right edge,
// and the pixels drawn since the last escape are dropped when the stream stops without one.
void DrawRunLength(Bitmap& bitmap, const FileTail& stream, std::uint32_t length);

}  // namespace zantrel::gdi
