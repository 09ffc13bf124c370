// BitBlt with SRCCOPY, SRCAND and SRCINVERT between any two bitmap formats.
//
// The copied rectangle is the destination rectangle clipped to the destination bitmap and,
// shifted by the source offset, to the source bitmap. Pixels of another format are converted
// through their colour first; the raster operation then combines the destination's own pixel
// values bit by bit.
#include <cstring>
#include <optional>
#include <vector>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

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

// A blit after clipping: the destination rectangle clipped to the destination bitmap and, shifted
// to the source, to the source bitmap; never empty.
struct Blit {
  const Bitmap& d;
  const Bitmap& s;
  Rop rop;
  std::int64_t left, top, right, bottom;  // in the destination
  std::int64_t shiftX, shiftY;            // from a destination pixel to its source pixel
  // The same bitmap may be both ends: rows go in the order that reads before it overwrites.
  bool upward;

  int NthRow(std::int64_t i) const { return static_cast<int>(upward ? bottom - 1 - i : top + i); }
  int SourceRow(int row) const { return static_cast<int>(row + shiftY); }
  int SourceColumn(std::int64_t column) const { return static_cast<int>(column + shiftX); }
};

// The blit that BitBlt's arguments describe, or nothing when clipping leaves no pixel. A negative
// extent names the rectangle that ends at the given corner, that corner's pixel included: it spans
// x + width + 1 .. x, for destination and source alike.
std::optional<Blit> Clip(const Bitmap& d, const Bitmap& s, Rop rop, int x, int y, int width,
                         int height, int sourceX, int sourceY) {
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
  if (left >= right || top >= bottom) return std::nullopt;
  return Blit{d, s, rop, left, top, right, bottom, sx - dx, sy - dy, &d == &s && sy < dy};
}

// Given the same layout and whole bytes per pixel: rows without padding, the same way up at both
// ends, are one run of memory at each end, and one call moves them all (overlap included, for a
// copy).
bool IsOneRun(const Blit& b, std::size_t rowBytes) {
  return rowBytes == static_cast<std::size_t>(b.d.pitch) && b.d.pitch == b.s.pitch &&
         b.d.stride == b.s.stride && (b.rop == Rop::kCopy || &b.d != &b.s);
}

void CombineOneRun(const Blit& b, std::size_t rowBytes) {
  const int first = static_cast<int>(b.top), end = static_cast<int>(b.bottom);
  CombineBytes(b.rop, FirstRowInMemory(b.d, first, end),
               FirstRowInMemory(b.s, b.SourceRow(first), b.SourceRow(end)),
               rowBytes * static_cast<std::size_t>(b.bottom - b.top));
}

// Same layout and whole bytes per pixel: the operation runs on each row's bytes.
void CombineRowBytes(const Blit& b, std::size_t pixelBytes) {
  const std::size_t bytes = static_cast<std::size_t>(b.right - b.left) * pixelBytes;
  for (std::int64_t i = 0; i < b.bottom - b.top; ++i) {
    const int row = b.NthRow(i);
    std::uint8_t* out = Row(b.d, row) + static_cast<std::size_t>(b.left) * pixelBytes;
    const std::uint8_t* in =
        Row(b.s, b.SourceRow(row)) + static_cast<std::size_t>(b.SourceColumn(b.left)) * pixelBytes;
    CombineBytes(b.rop, out, in, bytes);
  }
}

// Any formats, pixel by pixel: each source row is read whole (converted through its colour unless
// the layouts agree) before the destination row is combined with it.
void CombineConvertedPixels(const Blit& b, bool sameLayout) {
  const int cols = static_cast<int>(b.right - b.left);
  std::vector<std::uint32_t> converted(static_cast<std::size_t>(cols));
  for (std::int64_t i = 0; i < b.bottom - b.top; ++i) {
    const int row = b.NthRow(i);
    const int srcCol = b.SourceColumn(b.left);
    const std::uint8_t* in = Row(b.s, b.SourceRow(row));
    for (int c = 0; c < cols; ++c) {
      const std::uint32_t p = b.s.format->get(in, srcCol + c);
      converted[c] = sameLayout ? p : b.d.format->fromColor(b.d, b.s.format->toColor(b.s, p));
    }
    std::uint8_t* out = Row(b.d, row);
    const int dstCol = static_cast<int>(b.left);
    for (int c = 0; c < cols; ++c) {
      const std::uint32_t old = b.rop == Rop::kCopy ? 0 : b.d.format->get(out, dstCol + c);
      b.d.format->put(out, dstCol + c, Combine(b.rop, old, converted[c]));
    }
  }
}

// Whether n bytes differ (n a multiple of 16): sixteen at a time, as vectors where the compiler
// has them, tested once.
template <std::size_t n>
bool Differ(const std::uint8_t* a, const std::uint8_t* b) {
  using Bytes [[gnu::vector_size(16)]] = std::uint8_t;
  Bytes d{};
  for (std::size_t i = 0; i < n; i += 16) {
    Bytes x, y;
    std::memcpy(&x, a + i, sizeof x);
    std::memcpy(&y, b + i, sizeof y);
    d |= x ^ y;
  }
#ifdef __wasm_simd128__
  v128_t any;
  std::memcpy(&any, &d, sizeof any);
  return wasm_v128_any_true(any);  // one instruction there
#else
  std::uint64_t halves[2];
  std::memcpy(halves, &d, sizeof halves);
  return (halves[0] | halves[1]) != 0;
#endif
}

// A copy into pixels that note their changes (a window's whose backend shows only what changed):
// each row is compared from both ends, 64 bytes a step and then 16, and only the bytes between
// the first and the last sixteen that differ are copied and noted (a few equal ones among them).
// Rows go in memory order, which reads fastest.
void CopyNotingChanges(const Blit& b, std::size_t pixelBytes) {
  const std::size_t bytes = static_cast<std::size_t>(b.right - b.left) * pixelBytes;
  const std::int64_t rows = b.bottom - b.top;
  for (std::int64_t i = 0; i < rows; ++i) {
    const int row = static_cast<int>(b.d.stride > 0 ? b.top + i : b.bottom - 1 - i);
    std::uint8_t* out = Row(b.d, row) + static_cast<std::size_t>(b.left) * pixelBytes;
    const std::uint8_t* in =
        Row(b.s, b.SourceRow(row)) + static_cast<std::size_t>(b.SourceColumn(b.left)) * pixelBytes;
    std::size_t first = 0, end = bytes;
    while (first + 64 <= bytes && !Differ<64>(out + first, in + first)) first += 64;
    while (first + 16 <= bytes && !Differ<16>(out + first, in + first)) first += 16;
    if (first + 16 > bytes) {  // the row's last bytes, fewer than sixteen
      while (first < bytes && out[first] == in[first]) ++first;
      if (first == bytes) continue;  // the same row
    }
    while (end >= first + 64 && !Differ<64>(out + end - 64, in + end - 64)) end -= 64;
    while (end >= first + 16 && !Differ<16>(out + end - 16, in + end - 16)) end -= 16;
    std::memcpy(out + first, in + first, end - first);
    NoteChanged(b.d, b.left + static_cast<std::int64_t>(first / pixelBytes), row,
                b.left + static_cast<std::int64_t>((end + pixelBytes - 1) / pixelBytes), std::int64_t{row} + 1);
  }
}

std::optional<Rop> RopFor(DWORD code) {
  if (code == SRCCOPY) return Rop::kCopy;
  if (code == SRCAND) return Rop::kAnd;
  if (code == SRCINVERT) return Rop::kXor;
  return std::nullopt;
}

}  // namespace

BOOL BitBlt(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int sourceX,
            int sourceY, DWORD code) {
  Dc* dest = As<Dc>(destHandle, Kind::kDc);
  Dc* source = As<Dc>(sourceHandle, Kind::kDc);
  const std::optional<Rop> rop = RopFor(code);
  if (!dest || !source || !rop) return FALSE;
  const std::optional<Blit> blit =
      Clip(*dest->bitmap, *source->bitmap, *rop, x, y, width, height, sourceX, sourceY);
  if (!blit) return TRUE;  // nothing left after clipping
  const bool sameLayout = SameDirectLayout(blit->d, blit->s);
  // Bytes are combined as they are unless source and destination share rows, where AND and XOR
  // must read a row before changing it.
  const bool sharedRows = &blit->d == &blit->s && blit->shiftY == 0;
  const bool wholeBytes = blit->d.bitsPerPixel % 8 == 0;
  const std::size_t pixelBytes = static_cast<std::size_t>(blit->d.bitsPerPixel / 8);
  if (blit->d.changed && sameLayout && wholeBytes && *rop == Rop::kCopy && &blit->d != &blit->s) {
    CopyNotingChanges(*blit, pixelBytes);
    return TRUE;
  }
  NoteChanged(blit->d, blit->left, blit->top, blit->right, blit->bottom);
  if (sameLayout && wholeBytes && (*rop == Rop::kCopy || !sharedRows)) {
    const std::size_t rowBytes = static_cast<std::size_t>(blit->right - blit->left) * pixelBytes;
    if (IsOneRun(*blit, rowBytes)) {
      CombineOneRun(*blit, rowBytes);
    } else {
      CombineRowBytes(*blit, pixelBytes);
    }
  } else {
    CombineConvertedPixels(*blit, sameLayout);
  }
  return TRUE;
}
