// LineTo: GDI's Bresenham line, the end pixel excluded, clipped to the bitmap.
//
// GDI walks the major axis one pixel per step and moves the minor axis when err + bias > 0,
// with err starting at 2*minor - major and bias 1 in octants 3, 5, 6 and 8 (those running toward
// negative x with y-major, or toward negative y). Unrolled, pixel j of the walk has the minor
// offset
//     n(j) = floor((2*j*minor + major + bias - 1) / (2*major)),
// which lets us clip exactly: the visible pixels are a contiguous range of j, found from the
// major-axis bounds directly and from the minor-axis bounds by inverting n(j). The arithmetic is
// done in 128 bits, so any pair of 32-bit end points gives the unclipped line's own pixels.
#include <cstring>

#include "platform/native/gdi/format.h"
#include "platform/native/gdi/objects.h"

using namespace zantrel::gdi;

namespace {

__extension__ typedef __int128 Wide;

bool Fits64(Wide v) { return v == static_cast<std::int64_t>(v); }

Wide FloorDiv(Wide a, Wide b) {  // b > 0
  // Every line on a picture of sane size stays within 64 bits; the 128-bit division is slow.
  if (Fits64(a) && Fits64(b)) {
    const auto a64 = static_cast<std::int64_t>(a), b64 = static_cast<std::int64_t>(b);
    std::int64_t q = a64 / b64;
    if ((a64 % b64 != 0) && (a64 < 0)) --q;
    return q;
  }
  Wide q = a / b;
  if ((a % b != 0) && (a < 0)) --q;
  return q;
}
Wide CeilDiv(Wide a, Wide b) { return -FloorDiv(-a, b); }

// Octant numbering as GDI's: 1 = +x major with +y, counter-clockwise in steps of 45 degrees.
int Octant(std::int64_t dx, std::int64_t dy) {
  if (dy > 0) {
    if (dx > 0) return dx > dy ? 1 : 2;
    return -dx > dy ? 4 : 3;
  }
  if (dx < 0) return -dx > -dy ? 5 : 6;
  return dx > -dy ? 8 : 7;
}

// The error-term walk of the visible pixels, from the first one.
struct Walk {
  std::int64_t err;
  int bias;
  std::int64_t twoMinor, twoMajor;
  std::int64_t count;
};

// The walk's terms are copied into locals: the pixel stores could otherwise alias them, and
// every step would read them again.
template <int kBytes>
void WalkBytes(Walk w, std::uint8_t* p, std::ptrdiff_t majorDelta, std::ptrdiff_t minorDelta,
               std::uint32_t value) {
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  const std::int64_t bias = w.bias, twoMinor = w.twoMinor, twoMajor = w.twoMajor, count = w.count;
  std::int64_t err = w.err;
  for (std::int64_t k = 0; k < count; ++k) {
    std::memcpy(p, bytes, kBytes);
    if (err + bias > 0) {
      p += minorDelta;
      err += twoMinor - twoMajor;
    } else {
      err += twoMinor;
    }
    p += majorDelta;
  }
}

// A line in GDI's terms: the major axis walked one pixel per step, the minor one by the error.
struct Line {
  bool xMajor;
  int bias;
  std::int64_t major, minor;
  int majorStep, minorStep;
  std::int64_t majorStart, minorStart;
};

Line LineFrom(POINT from, POINT to) {
  const std::int64_t dx = std::int64_t{to.x} - from.x;
  const std::int64_t dy = std::int64_t{to.y} - from.y;
  const int octant = Octant(dx, dy);
  Line l;
  l.bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  l.xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
  l.major = l.xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
  l.minor = l.xMajor ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
  l.majorStep = (l.xMajor ? dx : dy) < 0 ? -1 : 1;
  l.minorStep = (l.xMajor ? dy : dx) < 0 ? -1 : 1;
  l.majorStart = l.xMajor ? from.x : from.y;
  l.minorStart = l.xMajor ? from.y : from.x;
  return l;
}

// Narrows the walk to the pixels on the bitmap and moves its start to the first of them: j in
// [lo, hi] of the unclipped walk's steps [0, major). False when no pixel is visible.
bool Clip(const Bitmap& b, const Line& l, Walk& walk, std::int64_t& majorAt, std::int64_t& minorAt) {
  const std::int64_t majorLimit = l.xMajor ? b.width : b.height;
  const std::int64_t minorLimit = l.xMajor ? b.height : b.width;
  // Major axis: 0 <= majorStart + majorStep*j < limit.
  Wide lo = 0, hi = l.major - 1;
  if (l.majorStep > 0) {
    lo = lo > -l.majorStart ? lo : Wide{-l.majorStart};
    hi = hi < majorLimit - 1 - l.majorStart ? hi : Wide{majorLimit - 1 - l.majorStart};
  } else {
    lo = lo > l.majorStart - (majorLimit - 1) ? lo : Wide{l.majorStart - (majorLimit - 1)};
    hi = hi < l.majorStart ? hi : Wide{l.majorStart};
  }
  // Minor axis: offsets n(j) in [nLo, nHi], where minorStart + minorStep*n must be on the bitmap.
  const std::int64_t nLo = l.minorStep > 0 ? -l.minorStart : l.minorStart - (minorLimit - 1);
  const std::int64_t nHi = l.minorStep > 0 ? minorLimit - 1 - l.minorStart : l.minorStart;
  const Wide twoMajor = Wide{2} * l.major, twoMinor = Wide{2} * l.minor;
  const Wide base = Wide{l.major} + l.bias - 1;
  if (l.minor == 0) {
    if (nLo > 0 || nHi < 0) return false;
  } else {
    // Smallest j with n(j) >= nLo, largest j with n(j) <= nHi.
    const Wide first = CeilDiv(twoMajor * nLo - base, twoMinor);
    const Wide last = CeilDiv(twoMajor * (Wide{nHi} + 1) - base, twoMinor) - 1;
    lo = lo > first ? lo : first;
    hi = hi < last ? hi : last;
  }
  if (lo > hi) return false;
  // Step from the first visible pixel with the walk's own error term.
  const Wide startN = l.minor == 0 ? 0 : FloorDiv(twoMinor * lo + base, twoMajor);
  walk.err = static_cast<std::int64_t>(twoMinor - l.major + twoMinor * lo - twoMajor * startN);
  walk.count = static_cast<std::int64_t>(hi - lo) + 1;
  majorAt = l.majorStart + l.majorStep * static_cast<std::int64_t>(lo);
  minorAt = l.minorStart + l.minorStep * static_cast<std::int64_t>(startN);
  return true;
}

void DrawLine(const Bitmap& b, std::uint32_t value, POINT from, POINT to) {
  if (from.x == to.x && from.y == to.y) return;
  const Line l = LineFrom(from, to);
  // j in [0, major): the end pixel is excluded. With both ends on the bitmap (a contour's short
  // segments, most lines) every pixel of the walk is visible and nothing needs clipping.
  Walk walk{2 * l.minor - l.major, l.bias, 2 * l.minor, 2 * l.major, l.major};
  std::int64_t majorAt = l.majorStart, minorAt = l.minorStart;
  const bool inside = from.x >= 0 && from.y >= 0 && to.x >= 0 && to.y >= 0 && from.x < b.width &&
                      to.x < b.width && from.y < b.height && to.y < b.height;
  if (!inside && !Clip(b, l, walk, majorAt, minorAt)) return;

  int a = static_cast<int>(majorAt);
  int n = static_cast<int>(minorAt);
  const int x = l.xMajor ? a : n, y = l.xMajor ? n : a;
  if (b.bitsPerPixel % 8 == 0) {
    // Whole-byte pixels: walk a byte pointer, one stride per axis.
    const std::ptrdiff_t pixelBytes = b.bitsPerPixel / 8;
    std::uint8_t* p = Row(b, y) + x * pixelBytes;
    const std::ptrdiff_t majorDelta = l.majorStep * (l.xMajor ? pixelBytes : b.stride);
    const std::ptrdiff_t minorDelta = l.minorStep * (l.xMajor ? b.stride : pixelBytes);
    switch (pixelBytes) {
      case 4: WalkBytes<4>(walk, p, majorDelta, minorDelta, value); break;
      case 3: WalkBytes<3>(walk, p, majorDelta, minorDelta, value); break;
      case 2: WalkBytes<2>(walk, p, majorDelta, minorDelta, value); break;
      default: WalkBytes<1>(walk, p, majorDelta, minorDelta, value); break;
    }
    return;
  }
  std::int64_t e = walk.err;
  for (std::int64_t k = 0; k < walk.count; ++k) {
    if (l.xMajor) {
      b.format->put(Row(b, n), a, value);
    } else {
      b.format->put(Row(b, a), n, value);
    }
    if (e + walk.bias > 0) {
      n += l.minorStep;
      e += walk.twoMinor - walk.twoMajor;
    } else {
      e += walk.twoMinor;
    }
    a += l.majorStep;
  }
}

}  // namespace

BOOL LineTo(HDC handle, int x, int y) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  if (!dc) return FALSE;
  const POINT from = dc->position;
  dc->position = POINT{x, y};
  if (PenDraws(*dc)) {
    const Bitmap& b = *dc->bitmap;
    DrawLine(b, PixelValue(b, dc->pen->color), from, POINT{x, y});
  }
  return TRUE;
}
