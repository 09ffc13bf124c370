// BitBlt with SRCCOPY, SRCAND and SRCINVERT between any two bitmap formats.
//
// The copied rectangle is the destination rectangle clipped to the destination bitmap and,
// shifted by the source offset, to the source bitmap. Pixels of another format are converted
// through their colour first; the raster operation then combines the destination's own pixel
// values bit by bit.
#include <cstring>
#include <vector>

#include "platform/native/gdi/format.h"
#include "platform/native/gdi/objects.h"

using namespace zantrel::gdi;

namespace {

enum class Rop { kCopy, kAnd, kXor };

std::uint32_t Combine(Rop rop, std::uint32_t dst, std::uint32_t src) {
  switch (rop) {
    case Rop::kAnd: return dst & src;
    case Rop::kXor: return dst ^ src;
    default: return src;
  }
}

// Copy, AND or XOR of a run of bytes, eight at a time where it can. A copy may overlap (memmove).
void CombineBytes(Rop rop, std::uint8_t* out, const std::uint8_t* in, std::size_t bytes) {
  if (rop == Rop::kCopy) {
    std::memmove(out, in, bytes);
    return;
  }
  std::size_t i = 0;
  for (; i + 8 <= bytes; i += 8) {
    std::uint64_t a, b;
    std::memcpy(&a, out + i, 8);
    std::memcpy(&b, in + i, 8);
    a = rop == Rop::kAnd ? a & b : a ^ b;
    std::memcpy(out + i, &a, 8);
  }
  for (; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(rop == Rop::kAnd ? out[i] & in[i] : out[i] ^ in[i]);
}

}  // namespace

BOOL BitBlt(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int sourceX,
            int sourceY, DWORD code) {
  Dc* dest = As<Dc>(destHandle, Kind::kDc);
  Dc* source = As<Dc>(sourceHandle, Kind::kDc);
  if (!dest || !source) return FALSE;
  Rop rop;
  if (code == SRCCOPY) {
    rop = Rop::kCopy;
  } else if (code == SRCAND) {
    rop = Rop::kAnd;
  } else if (code == SRCINVERT) {
    rop = Rop::kXor;
  } else {
    return FALSE;
  }
  const Bitmap& d = *dest->bitmap;
  const Bitmap& s = *source->bitmap;
  // A negative extent names the rectangle that ends at the given corner, that corner's pixel
  // included: it spans x + width + 1 .. x, for destination and source alike.
  std::int64_t dx = x, dy = y, sx = sourceX, sy = sourceY, w = width, h = height;
  if (w < 0) dx += w + 1, sx += w + 1, w = -w;
  if (h < 0) dy += h + 1, sy += h + 1, h = -h;
  std::int64_t left = dx, top = dy, right = dx + w, bottom = dy + h;
  auto clip = [&](std::int64_t offsetX, std::int64_t offsetY, const Bitmap& b) {
    left = left > offsetX ? left : offsetX;
    top = top > offsetY ? top : offsetY;
    right = right < offsetX + b.width ? right : offsetX + b.width;
    bottom = bottom < offsetY + b.height ? bottom : offsetY + b.height;
  };
  clip(0, 0, d);
  clip(dx - sx, dy - sy, s);
  if (left >= right || top >= bottom) return TRUE;

  const int cols = static_cast<int>(right - left);
  const bool raw = SameDirectLayout(d, s);
  // The same bitmap may be both ends: copy rows in the order that reads before it overwrites.
  const bool upward = &d == &s && top > top - dy + sy;
  // Same layout and whole bytes per pixel: the operation runs on the bytes themselves, unless
  // source and destination share rows, where AND and XOR must read a row before changing it.
  const bool sharedRows = &d == &s && sy == dy;
  if (raw && d.bitsPerPixel % 8 == 0 && (rop == Rop::kCopy || !sharedRows)) {
    const std::size_t pixelBytes = static_cast<std::size_t>(d.bitsPerPixel / 8);
    const std::size_t bytes = static_cast<std::size_t>(cols) * pixelBytes;
    const std::int64_t rows = bottom - top;
    // Whole rows without padding, laid out the same way up in both: the rows are one run of
    // memory at each end, and one call moves them all (overlap included, for a copy).
    if (bytes == static_cast<std::size_t>(d.pitch) && d.pitch == s.pitch && d.stride == s.stride &&
        (rop == Rop::kCopy || &d != &s)) {
      const int rowShift = static_cast<int>(sy - dy);
      const int first = static_cast<int>(top), end = static_cast<int>(bottom);
      CombineBytes(rop, FirstRowInMemory(d, first, end),
                   FirstRowInMemory(s, first + rowShift, end + rowShift),
                   bytes * static_cast<std::size_t>(rows));
      return TRUE;
    }
    for (std::int64_t i = 0; i < rows; ++i) {
      const int row = static_cast<int>(upward ? bottom - 1 - i : top + i);
      std::uint8_t* out = Row(d, row) + static_cast<std::size_t>(left) * pixelBytes;
      const std::uint8_t* in = Row(s, static_cast<int>(row - dy + sy)) +
                               static_cast<std::size_t>(left - dx + sx) * pixelBytes;
      CombineBytes(rop, out, in, bytes);
    }
    return TRUE;
  }

  std::vector<std::uint32_t> converted(static_cast<std::size_t>(cols));
  for (std::int64_t i = 0; i < bottom - top; ++i) {
    const int row = static_cast<int>(upward ? bottom - 1 - i : top + i);
    const int srcRow = static_cast<int>(row - dy + sy);
    const int srcCol = static_cast<int>(left - dx + sx);
    const std::uint8_t* in = Row(s, srcRow);
    for (int c = 0; c < cols; ++c) {
      const std::uint32_t p = s.format->get(in, srcCol + c);
      converted[c] = raw ? p : d.format->fromColor(d, s.format->toColor(s, p));
    }
    std::uint8_t* out = Row(d, row);
    const int dstCol = static_cast<int>(left);
    for (int c = 0; c < cols; ++c) {
      const std::uint32_t old = rop == Rop::kCopy ? 0 : d.format->get(out, dstCol + c);
      d.format->put(out, dstCol + c, Combine(rop, old, converted[c]));
    }
  }
  return TRUE;
}
