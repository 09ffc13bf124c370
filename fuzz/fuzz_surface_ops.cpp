// Arbitrary sequences of surface operations on three surfaces, with arguments anywhere in the
// 32-bit range: creation at any size and depth (including refused ones), release, pens, clears,
// lines, pixels, copies and masked copies between any two surfaces (itself included), fills,
// presents and failed loads. Every operation must be safe on an empty or half-made surface.
//
// One property is checked pixel for pixel: a line on a fresh 32-bit surface sets exactly the
// pixels of an unclipped step-by-step walk that fall on the picture (plus the end pixel), however
// far outside the picture it starts and ends.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/object_counts.h"
#include "surface/surface.h"

namespace {

constexpr std::int64_t kMaxFuzzPixels = 1 << 20;

HWND Window() {
  static HWND window = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "FUZZ";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "FUZZ", "fuzz", 0, 0, 0, 96, 80, nullptr, nullptr, nullptr, nullptr);
  }();
  return window;
}

std::int32_t Dimension(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: return in.ConsumeIntegral<std::int32_t>();
    case 1: return in.ConsumeIntegralInRange(-2, 1);
    default: return in.ConsumeIntegralInRange(1, 80);
  }
}

std::int32_t Depth(FuzzedDataProvider& in) {
  constexpr std::int32_t kDepths[] = {32, 24, 16, 32, 24, 16, 15, 8, 1, 0, -32, 64};
  return kDepths[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kDepths) - 1)];
}

// The native LineTo walk written out step by step: major axis one pixel per step, minor axis when
// err + bias > 0, the end pixel excluded; then the end pixel itself.
std::vector<std::uint32_t> ReferenceLine(std::int32_t w, std::int32_t h, std::int64_t x0,
                                         std::int64_t y0, std::int64_t x1, std::int64_t y1) {
  std::vector<std::uint32_t> picture(static_cast<std::size_t>(w) * h, 0);
  auto plot = [&](std::int64_t x, std::int64_t y) {
    if (x >= 0 && y >= 0 && x < w && y < h) picture[static_cast<std::size_t>(y * w + x)] = 0xFFFFFF;
  };
  const std::int64_t dx = x1 - x0, dy = y1 - y0;
  if (dx != 0 || dy != 0) {
    int octant;
    if (dy > 0) {
      octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    } else {
      octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    }
    const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    const bool xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
    const std::int64_t major = xMajor ? std::abs(dx) : std::abs(dy);
    const std::int64_t minor = xMajor ? std::abs(dy) : std::abs(dx);
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    std::int64_t a = xMajor ? x0 : y0, n = xMajor ? y0 : x0;
    std::int64_t err = 2 * minor - major;
    for (std::int64_t j = 0; j < major; ++j) {
      xMajor ? plot(a, n) : plot(n, a);
      if (err + bias > 0) {
        n += minorStep;
        err += 2 * minor - 2 * major;
      } else {
        err += 2 * minor;
      }
      a += majorStep;
    }
  }
  plot(x1, y1);
  return picture;
}

void CheckLine(FuzzedDataProvider& in) {
  const std::int32_t w = in.ConsumeIntegralInRange(1, 48), h = in.ConsumeIntegralInRange(1, 48);
  // End points up to 50000 pixels off the picture keep the reference walk short.
  auto coordinate = [&](std::int32_t extent) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(-50000, 50000)
                            : in.ConsumeIntegralInRange(-4, extent + 4);
  };
  const std::int32_t x0 = coordinate(w), y0 = coordinate(h), x1 = coordinate(w), y1 = coordinate(h);
  Surface s;
  Require(s.Create(w, h, 32), "create a small 32-bit surface");
  s.SetPenColor(0x00FFFFFF);
  s.DrawLine(x0, y0, x1, y1);
  const std::vector<std::uint32_t> expected = ReferenceLine(w, h, x0, y0, x1, y1);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      std::uint32_t got;
      std::memcpy(&got, s.pixels + static_cast<std::size_t>(h - 1 - y) * s.bitmapRecord.bmWidthBytes +
                            4 * static_cast<std::size_t>(x), 4);
      Require((got & 0xFFFFFF) == expected[static_cast<std::size_t>(y) * w + x],
              "clipped line equals the step-by-step walk");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ZANTREL_BACKEND", "headless", 1);
  Window();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto before = LiveObjects();
  {
    Surface surfaces[3];
    for (int op = 0; op < 48 && in.remaining_bytes() > 0; ++op) {
      Surface& s = surfaces[in.ConsumeIntegralInRange(0, 2)];
      Surface& other = surfaces[in.ConsumeIntegralInRange(0, 2)];
      Surface& third = surfaces[in.ConsumeIntegralInRange(0, 2)];
      const std::int32_t extent = s.width > 0 ? s.width : 64;
      switch (in.ConsumeIntegralInRange(0, 15)) {
        case 0: {
          const std::int32_t w = Dimension(in), h = Dimension(in), bpp = Depth(in);
          // Pictures beyond a megapixel only cost time here; refusal of huge ones is unit tested.
          if (std::int64_t{w} * h > kMaxFuzzPixels && w > 0 && h > 0) break;
          const bool made = s.Create(w, h, bpp);
          Require(made == (w > 0 && h > 0 && (bpp == 16 || bpp == 24 || bpp == 32)),
                  "Create succeeds exactly for a positive size and a supported depth");
          if (made) Require(s.width == w && s.height == h && s.dc && s.pixels, "created picture");
          break;
        }
        case 1: s.Release(); break;
        case 2: s.SetPenColor(in.ConsumeIntegral<std::uint32_t>()); break;
        case 3:
        case 4: {
          const std::int32_t x0 = FuzzCoordinate(in, extent), y0 = FuzzCoordinate(in, extent);
          s.DrawLine(x0, y0, FuzzCoordinate(in, extent), FuzzCoordinate(in, extent));
          break;
        }
        case 5: s.Clear(in.ConsumeIntegral<std::uint32_t>()); break;
        case 6: s.Blit(other, FuzzCoordinate(in, extent), FuzzCoordinate(in, extent)); break;
        case 7: s.BlitMasked(other, third, FuzzCoordinate(in, extent), FuzzCoordinate(in, extent)); break;
        case 8: {
          std::int32_t c[6];
          for (std::int32_t& v : c) v = FuzzCoordinate(in, extent);
          s.FillTriangle(c[0], c[1], c[2], c[3], c[4], c[5]);
          break;
        }
        case 9: {
          const std::int32_t x = FuzzCoordinate(in, extent), y = FuzzCoordinate(in, extent);
          const COLORREF set = SetPixel(s.dc, x, y, in.ConsumeIntegral<std::uint32_t>());
          const bool on = s.dc && x >= 0 && y >= 0 && x < s.width && y < s.height;
          // As GDI does, SetPixel reports the colour it would store even off the picture; only
          // a missing DC fails it. GetPixel reads exactly the picture.
          Require((set != CLR_INVALID) == (s.dc != nullptr) &&
                      (GetPixel(s.dc, x, y) != CLR_INVALID) == on,
                  "SetPixel and GetPixel address exactly the picture");
          break;
        }
        case 10: {
          constexpr DWORD kCodes[] = {SRCCOPY, SRCAND, SRCINVERT, 0};
          const std::int32_t x = FuzzCoordinate(in, extent), y = FuzzCoordinate(in, extent);
          const std::int32_t w = FuzzCoordinate(in, extent), h = FuzzCoordinate(in, extent);
          const std::int32_t sx = FuzzCoordinate(in, extent), sy = FuzzCoordinate(in, extent);
          BitBlt(s.dc, x, y, w, h, other.dc, sx, sy, kCodes[in.ConsumeIntegralInRange(0, 3)]);
          break;
        }
        case 11: {
          const RECT rect{FuzzCoordinate(in, extent), FuzzCoordinate(in, extent),
                          FuzzCoordinate(in, extent), FuzzCoordinate(in, extent)};
          HBRUSH brush = CreateSolidBrush(in.ConsumeIntegral<std::uint32_t>());
          FillRect(s.dc, &rect, brush);
          DeleteObject(brush);
          break;
        }
        case 12:
          s.Present(in.ConsumeBool() ? Window() : nullptr, FuzzCoordinate(in, 96),
                    FuzzCoordinate(in, 80));
          break;
        case 13:
          s.LoadBitmapFile("/nonexistent/picture.bmp");
          Require(!s.dc && !s.bitmap, "a failed load leaves the surface empty");
          break;
        case 14: MoveToEx(s.dc, FuzzCoordinate(in, extent), FuzzCoordinate(in, extent), nullptr);
                 LineTo(s.dc, FuzzCoordinate(in, extent), FuzzCoordinate(in, extent));
                 break;
        default: CheckLine(in); break;
      }
    }
  }
  Require(LiveObjects() == before, "no platform object outlives its surface");
  return 0;
}
