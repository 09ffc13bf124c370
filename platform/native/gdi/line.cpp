// LineTo: GDI's Bresenham line, the end pixel excluded, clipped to the bitmap.
//
// GDI walks the major axis one pixel per step and moves the minor axis when err + bias > 0,
// with err starting at 2*minor - major and bias 1 when a y-major line runs toward negative x or
// an x-major one toward negative y (octants 3, 6, 5 and 8, counting counter-clockwise from +x
// with +y; a tie of the axes is y-major). Unrolled, pixel j of the walk has the minor offset
//     n(j) = floor((2*j*minor + major + bias - 1) / (2*major)),
// which lets us clip exactly: the visible pixels are a contiguous range of j, found from the
// major-axis bounds directly and from the minor-axis bounds by inverting n(j). The arithmetic is
// done in 128 bits, so any pair of 32-bit end points gives the unclipped line's own pixels.
// The axes and the bias are selected without branches (the contour's short segments run in every
// direction), and a segment of one or two pixels on 32-bit pixels is stored by LineTo itself.
// Longer lines are written in runs, a run of pixels along the major axis per minor step (see
// WalkBytes): a branch on the error term per pixel mispredicted on random slopes, and a step
// selected by masks per pixel measured three times slower, its error term one long chain.
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

// The error-term walk of the visible pixels, from the first one.
struct Walk {
  std::int64_t err;
  int bias;
  std::int64_t twoMinor, twoMajor;
  std::int64_t count;
};

// a / b of a >= 0 and b > 0, in 32 bits where they fit: a line's set-up waits for its divisions,
// and the narrow one is the quicker.
std::int64_t Quotient(std::int64_t a, std::int64_t b) {
  if (((a | b) >> 32) == 0) return static_cast<std::uint32_t>(a) / static_cast<std::uint32_t>(b);
  return a / b;
}

// Lines this short are walked pixel by pixel: a run's set-up costs two divisions.
constexpr std::int64_t kShortestRuns = 8;

// Writes the walk's pixels from p, one major step apart, the minor step taken where err + bias
// turns positive. A line longer than a few pixels is written as runs: from a pixel whose error
// term is e, the walk steps the minor axis after floor((-e - bias) / twoMinor) + 2 pixels, and
// every run after the first has q or q + 1 pixels (q = twoMajor / twoMinor), which the remainder
// g of that division tells apart: g advances by twoMajor % twoMinor per run and a carry out of it
// adds the pixel. A run is written as its first q pixels and then its last one (written twice when
// it has q), so the stores' loop has the same count on every run. The carry stays a branch: once
// per run rather than per pixel, its pattern along a line is mostly predicted, and a carry
// selected by masks measured slower, the remainder's update then on the pointer's chain.
template <int kBytes>
void WalkRuns(const Walk& w, std::uint8_t* p, std::ptrdiff_t majorDelta, std::ptrdiff_t minorDelta,
              std::uint32_t value) {
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  const auto put = [&bytes](std::uint8_t* at) { std::memcpy(at, bytes, kBytes); };
  std::int64_t count = w.count;
  if (count < kShortestRuns || w.twoMinor == 0) {
    std::int64_t err = w.err;
    const bool straight = w.twoMinor == 0;
    for (std::int64_t k = 0; k < count; ++k) {
      put(p);
      if (!straight && err + w.bias > 0) {
        p += minorDelta;
        err -= w.twoMajor;
      }
      p += majorDelta;
      err += w.twoMinor;
    }
    return;
  }
  const std::int64_t d = w.twoMinor;
  const std::int64_t c = -w.err - w.bias;  // at least -twoMinor: the walk's error term is bounded
  const std::int64_t a = c >= 0 ? Quotient(c, d) : -1;
  std::int64_t g = c - a * d;
  const std::int64_t first = a + 2 < count ? a + 2 : count;
  for (std::int64_t k = 0; k < first; ++k) put(p + k * majorDelta);
  p += first * majorDelta + minorDelta;
  count -= first;
  const std::int64_t q = Quotient(w.twoMajor, d), m = w.twoMajor - q * d;
  // The pointer's step is one of two constants: a product on its chain would make every run wait.
  const std::ptrdiff_t shortStep = q * majorDelta + minorDelta, longStep = shortStep + majorDelta;
  const auto runs = [&](auto writeRun) {
    for (;;) {
      g += m;
      const bool carry = g >= d;
      g -= carry ? d : 0;
      const std::int64_t run = q + carry;
      if (run >= count) break;
      writeRun(p, carry);
      p += carry ? longStep : shortStep;
      count -= run;
    }
  };
  if (kBytes == 4 && q >= 4 && (majorDelta == 4 || majorDelta == -4)) {
    // Runs along a row: four pixels to a store, the run's last four stored last, overlapping.
    std::uint8_t quad[16];
    for (int i = 0; i < 16; ++i) quad[i] = bytes[i % 4];
    const std::ptrdiff_t back = majorDelta < 0 ? 4 : 0;  // a leftward run ends at its lowest address
    runs([&](std::uint8_t* start, bool carry) {
      std::uint8_t* low = start - back * (q - 1 + carry);
      for (std::int64_t k = 0; k + 4 <= q; k += 4) std::memcpy(low + 4 * k, quad, 16);
      std::memcpy(low + 4 * (q + carry) - 16, quad, 16);
    });
  } else if (q <= 3) {
    // Short runs (q is 2 or 3: a walk stepping its minor axis on more than half its pixels comes
    // as its complement, above) are stored without an inner loop: pixels 0 to q - 1, then the
    // run's last.
    const std::ptrdiff_t twice = 2 * majorDelta, thrice = 3 * majorDelta;
    if (q == 2) {
      runs([&](std::uint8_t* start, bool carry) {
        put(start);
        put(start + majorDelta);
        put(start + (carry ? twice : majorDelta));
      });
    } else {
      runs([&](std::uint8_t* start, bool carry) {
        put(start);
        put(start + majorDelta);
        put(start + twice);
        put(start + (carry ? thrice : twice));
      });
    }
  } else {
    // Four pixels a step, then the run's last one to three (the same number on every run of the
    // line, so the branches on it are foreseen), then its extra pixel.
    const std::ptrdiff_t lastDelta = (q - 1) * majorDelta;
    const std::int64_t steps = q / 4, remainder = q % 4;
    runs([&](std::uint8_t* start, bool carry) {
      std::uint8_t* at = start;
      for (std::int64_t k = 0; k < steps; ++k, at += 4 * majorDelta) {
        put(at);
        put(at + majorDelta);
        put(at + 2 * majorDelta);
        put(at + 3 * majorDelta);
      }
      if (remainder > 0) put(at);
      if (remainder > 1) put(at + majorDelta);
      if (remainder > 2) put(at + 2 * majorDelta);
      put(start + lastDelta + (carry ? majorDelta : 0));
    });
  }
  for (std::int64_t k = 0; k < count; ++k) put(p + k * majorDelta);
}

// A walk that steps the minor axis after more than half its pixels (runs of one or two pixels,
// a run's bookkeeping per pixel) is walked as its complement: diagonal steps, with a step back
// along the minor axis where the walk itself takes none. With m(j) = j - n(j) those steps follow
// the same rule, for minor' = major - minor and bias' = 1 - bias, and the error term is -err; the
// complement's runs along the diagonal are at least two pixels long.
template <int kBytes>
void WalkBytes(const Walk& w, std::uint8_t* p, std::ptrdiff_t majorDelta, std::ptrdiff_t minorDelta,
               std::uint32_t value) {
  if (2 * w.twoMinor > w.twoMajor) {
    WalkRuns<kBytes>(Walk{-w.err, 1 - w.bias, w.twoMajor - w.twoMinor, w.twoMajor, w.count}, p,
                     majorDelta + minorDelta, -minorDelta, value);
  } else {
    WalkRuns<kBytes>(w, p, majorDelta, minorDelta, value);
  }
}

// A line with both ends on a bitmap of 32-bit pixels, the contour's short segments among them:
// every pixel of the walk is visible, starting at the first one with minor offset 0.
void DrawInside32(const Bitmap& b, std::uint32_t value, int x0, int y0, int x1, int y1) {
  const int dx = x1 - x0, dy = y1 - y0;  // both ends on the bitmap: no overflow
  const int absX = dx < 0 ? -dx : dx, absY = dy < 0 ? -dy : dy;
  const bool xMajor = absX > absY;
  const int bias = (xMajor ? dy : dx) < 0;
  const int major = xMajor ? absX : absY, minor = xMajor ? absY : absX;
  const std::ptrdiff_t stepX = dx < 0 ? -4 : 4, stepY = dy < 0 ? -b.stride : b.stride;
  const std::ptrdiff_t majorDelta = xMajor ? stepX : stepY, minorDelta = xMajor ? stepY : stepX;
  std::uint8_t* p = Row(b, y0) + std::ptrdiff_t{x0} * 4;
  if (major >= kShortestRuns) {
    WalkBytes<4>(Walk{2 * minor - major, bias, 2 * minor, 2 * major, major}, p, majorDelta, minorDelta, value);
    return;
  }
  int err = 2 * minor - major;
  for (int k = 0; k < major; ++k) {
    StorePixel32(p, value);
    const bool step = err + bias > 0;
    p += majorDelta + (step ? minorDelta : 0);
    err += 2 * minor - (step ? 2 * major : 0);
  }
}

[[gnu::noinline]] void DrawClipped(const Bitmap& b, std::uint32_t value, int x0, int y0, int x1, int y1) {
  const POINT from{x0, y0}, to{x1, y1};
  const std::int64_t dx = std::int64_t{to.x} - from.x;
  const std::int64_t dy = std::int64_t{to.y} - from.y;
  if (dx == 0 && dy == 0) return;
  const std::int64_t absX = dx < 0 ? -dx : dx, absY = dy < 0 ? -dy : dy;
  const bool xMajor = absX > absY;
  // Where the minor axis does not move (dx or dy 0) the bias changes no step.
  const int bias = (xMajor ? dy : dx) < 0 ? 1 : 0;
  const std::int64_t major = xMajor ? absX : absY;
  const std::int64_t minor = xMajor ? absY : absX;
  const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const std::int64_t majorStart = xMajor ? from.x : from.y;
  const std::int64_t minorStart = xMajor ? from.y : from.x;
  const std::int64_t majorLimit = xMajor ? b.width : b.height;
  const std::int64_t minorLimit = xMajor ? b.height : b.width;

  // Both ends on the bitmap (a picture of another depth): every pixel of the walk is visible.
  const bool inside = from.x >= 0 && from.y >= 0 && to.x >= 0 && to.y >= 0 && from.x < b.width &&
                      to.x < b.width && from.y < b.height && to.y < b.height;
  // j in [0, major): the end pixel is excluded. Major axis: 0 <= majorStart + majorStep*j < limit.
  Wide lo = 0, hi = major - 1;
  if (!inside) {
    if (majorStep > 0) {
      lo = lo > -majorStart ? lo : Wide{-majorStart};
      hi = hi < majorLimit - 1 - majorStart ? hi : Wide{majorLimit - 1 - majorStart};
    } else {
      lo = lo > majorStart - (majorLimit - 1) ? lo : Wide{majorStart - (majorLimit - 1)};
      hi = hi < majorStart ? hi : Wide{majorStart};
    }
    // Minor axis: offsets n(j) in [nLo, nHi], where minorStart + minorStep*n must be on the bitmap.
    const std::int64_t nLo = minorStep > 0 ? -minorStart : minorStart - (minorLimit - 1);
    const std::int64_t nHi = minorStep > 0 ? minorLimit - 1 - minorStart : minorStart;
    if (minor == 0) {
      if (nLo > 0 || nHi < 0) return;
    } else if (nLo > 0 || nHi < minor) {  // the walk's offsets 0..minor are not all on the bitmap
      const Wide twoMajor = Wide{2} * major, twoMinor = Wide{2} * minor;
      const Wide base = Wide{major} + bias - 1;
      // Smallest j with n(j) >= nLo, largest j with n(j) <= nHi.
      const Wide first = CeilDiv(twoMajor * nLo - base, twoMinor);
      const Wide last = CeilDiv(twoMajor * (Wide{nHi} + 1) - base, twoMinor) - 1;
      lo = lo > first ? lo : first;
      hi = hi < last ? hi : last;
    }
    if (lo > hi) return;
  }

  // Step from the first visible pixel with the walk's own error term. A line with both ends on
  // the bitmap starts at its first pixel, where the minor offset is 0: no division.
  const Wide startN = inside || minor == 0 || lo == 0 ? 0 : FloorDiv(Wide{2} * lo * minor + major + bias - 1, Wide{2} * major);
  std::int64_t err = static_cast<std::int64_t>(Wide{2} * minor - major + Wide{2} * lo * minor -
                                                Wide{2} * startN * major);
  int a = static_cast<int>(majorStart + majorStep * static_cast<std::int64_t>(lo));
  int n = static_cast<int>(minorStart + minorStep * static_cast<std::int64_t>(startN));
  const std::int64_t count = static_cast<std::int64_t>(hi - lo) + 1;
  const Walk walk{err, bias, 2 * minor, 2 * major, count};
  const int x = xMajor ? a : n, y = xMajor ? n : a;
  if (b.bitsPerPixel % 8 == 0) {
    // Whole-byte pixels: walk a byte pointer, one stride per axis.
    const std::ptrdiff_t pixelBytes = b.bitsPerPixel / 8;
    std::uint8_t* p = Row(b, y) + x * pixelBytes;
    const std::ptrdiff_t majorDelta = majorStep * (xMajor ? pixelBytes : b.stride);
    const std::ptrdiff_t minorDelta = minorStep * (xMajor ? b.stride : pixelBytes);
    switch (pixelBytes) {
      case 4: WalkBytes<4>(walk, p, majorDelta, minorDelta, value); break;
      case 3: WalkBytes<3>(walk, p, majorDelta, minorDelta, value); break;
      case 2: WalkBytes<2>(walk, p, majorDelta, minorDelta, value); break;
      default: WalkBytes<1>(walk, p, majorDelta, minorDelta, value); break;
    }
    return;
  }
  std::int64_t e = err;
  for (std::int64_t k = 0; k < count; ++k) {
    if (xMajor) {
      b.format->put(Row(b, n), a, value);
    } else {
      b.format->put(Row(b, a), n, value);
    }
    if (e + bias > 0) {
      n += minorStep;
      e += walk.twoMinor - walk.twoMajor;
    } else {
      e += walk.twoMinor;
    }
    a += majorStep;
  }
}

// The end points are read one coordinate at a time: MoveToEx stores them so, and a wider load of
// both would wait for those stores to retire instead of taking their values on the way.
void DrawLine(const Bitmap& b, std::uint32_t value, int x0, int y0, int x1, int y1) {
  const bool inside = x0 >= 0 && y0 >= 0 && x1 >= 0 && y1 >= 0 && x0 < b.width && x1 < b.width &&
                      y0 < b.height && y1 < b.height;
  if (inside && b.bitsPerPixel == 32) {
    DrawInside32(b, value, x0, y0, x1, y1);
  } else {
    DrawClipped(b, value, x0, y0, x1, y1);
  }
}

}  // namespace

namespace {

[[gnu::noinline]] BOOL LineToAnyhow(HDC handle, int x, int y) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  if (!dc) return FALSE;
  const int x0 = dc->position.x, y0 = dc->position.y;
  dc->position.x = x;
  dc->position.y = y;
  if (dc->penDraws) {
    DrawLine(*dc->bitmap, dc->penValue, x0, y0, x, y);
    // The line's bounding box, its end pixel included, as far as it is on the bitmap.
    const Bitmap& b = *dc->bitmap;
    const auto clamp = [](std::int64_t v, int limit) { return v < 0 ? 0 : v > limit ? limit : v; };
    NoteChanged(b, clamp(x0 < x ? x0 : x, b.width), clamp(y0 < y ? y0 : y, b.height),
                clamp(std::int64_t{x0 < x ? x : x0} + 1, b.width), clamp(std::int64_t{y0 < y ? y : y0} + 1, b.height));
  }
  return TRUE;
}

}  // namespace

// Most of the contour's segments: one or two pixels on a bitmap of 32-bit pixels, drawn on the
// DC last named, stored without a loop whose count would vary from segment to segment (a
// one-pixel line stores its pixel twice) and without a call, so without saving registers.
// Every other line goes the general way.
BOOL LineTo(HDC handle, int x, int y) {
  Dc* dc = LastDc(handle);
  if (!dc || !dc->penDraws || dc->bitmap->changed) return LineToAnyhow(handle, x, y);
  const Bitmap& b = *dc->bitmap;
  const int x0 = dc->position.x, y0 = dc->position.y;
  const auto on = [&b](int px, int py) {
    return static_cast<unsigned>(px) < static_cast<unsigned>(b.width) &&
           static_cast<unsigned>(py) < static_cast<unsigned>(b.height);
  };
  if (b.bitsPerPixel != 32 || !on(x0, y0) || !on(x, y)) return LineToAnyhow(handle, x, y);
  const int dx = x - x0, dy = y - y0;  // both ends on the bitmap: no overflow
  const int absX = dx < 0 ? -dx : dx, absY = dy < 0 ? -dy : dy;
  if (absX > 2 || absY > 2) return LineToAnyhow(handle, x, y);
  dc->position.x = x;
  dc->position.y = y;
  const bool xMajor = absX > absY;
  const int major = xMajor ? absX : absY, minor = xMajor ? absY : absX;
  if (major == 0) return TRUE;
  const int bias = (xMajor ? dy : dx) < 0;
  const bool step = 2 * minor - major + bias > 0;
  const std::ptrdiff_t stepX = dx < 0 ? -4 : 4, stepY = dy < 0 ? -b.stride : b.stride;
  const std::ptrdiff_t majorDelta = xMajor ? stepX : stepY, minorDelta = xMajor ? stepY : stepX;
  std::uint8_t* p = Row(b, y0) + std::ptrdiff_t{x0} * 4;
  std::uint8_t* second = major == 2 ? p + majorDelta + (step ? minorDelta : 0) : p;
  StorePixel32(p, dc->penValue);
  StorePixel32(second, dc->penValue);
  return TRUE;
}
