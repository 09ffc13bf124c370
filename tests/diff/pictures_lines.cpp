// Lines: every direction of a full fan, long and clipped lines, far-outside end points up to the
// 32-bit limits, zero-length lines, pen colours on each depth, and MoveToEx/LineTo chains.
#include <cstdio>
#include <string>

#include "surface/surface.h"
#include "tests/diff/catalogue.h"
#include "tests/diff/dib.h"

namespace {

using zantrel::diff::AddPicture;
using zantrel::diff::Capture;
using zantrel::diff::Dib;
using zantrel::diff::ScopedPen;

constexpr int kDepths[] = {16, 24, 32};
constexpr int kRing = 12;  // end points on the square ring of this radius around the centre

// The k-th of the 8 * kRing points of the ring, counter-clockwise from (kRing, 0).
void RingPoint(int k, int& dx, int& dy) {
  const int side = k / (2 * kRing), step = k % (2 * kRing) - kRing;
  switch (side) {
    case 0: dx = kRing, dy = step; break;
    case 1: dx = -step, dy = kRing; break;
    case 2: dx = -kRing, dy = -step; break;
    default: dx = step, dy = -kRing; break;
  }
}

std::string Name(const char* format, int a, int b = 0, int c = 0) {
  char name[64];
  std::snprintf(name, sizeof name, format, a, b, c);
  return name;
}

void AddFan() {
  // One picture per direction through raw GDI: LineTo alone, the last pixel left out.
  for (int k = 0; k < 8 * kRing; ++k) {
    int dx = 0, dy = 0;
    RingPoint(k, dx, dy);
    AddPicture(Name("line-fan-%02d", k), [dx, dy] {
      Dib dib(29, 27, 32);
      ScopedPen pen(dib.dc(), 0x00FFFFFF);
      MoveToEx(dib.dc(), 14, 13, nullptr);
      LineTo(dib.dc(), 14 + dx, 13 + dy);
      return dib.Capture();
    });
  }
  // The whole fan on every depth through the surface, both end pixels drawn, two ring sizes
  // so the steep and shallow octants get long error-term runs too.
  for (int depth : kDepths) {
    for (int scale : {1, 9}) {
      AddPicture(Name("line-fan-surface-%dbpp-x%d", depth, scale), [depth, scale] {
        const int centre = kRing * scale + 2;
        Surface s;
        s.Create(2 * centre + 1, 2 * centre + 1, depth);
        for (int k = 0; k < 8 * kRing; ++k) {
          int dx = 0, dy = 0;
          RingPoint(k, dx, dy);
          s.SetPenColor(0x00102030u * static_cast<Color>(k % 7 + 1));
          s.DrawLine(centre, centre, centre + dx * scale, centre + dy * scale);
        }
        return Capture(s);
      });
    }
  }
}

struct Segment {
  const char* name;
  int x0, y0, x1, y1;
};

constexpr int kBig = 1 << 30;
constexpr int kMax = 2147483647;
constexpr int kMin = -2147483647 - 1;

constexpr Segment kSegments[] = {
    {"long-shallow", 1, 2, 62, 17},
    {"long-steep", 3, 1, 20, 46},
    {"long-diagonal", 0, 0, 47, 47},
    {"long-reverse", 62, 46, 0, 1},
    {"horizontal-full", -5, 20, 80, 20},
    {"vertical-full", 30, -5, 30, 70},
    {"clip-left", -20, 5, 30, 40},
    {"clip-right", 40, 3, 90, 30},
    {"clip-top", 10, -30, 50, 20},
    {"clip-bottom", 5, 20, 25, 90},
    {"clip-corner", -10, -10, 70, 60},
    {"clip-through", -40, 60, 100, -10},
    {"outside-miss", -30, -5, -1, -40},
    {"outside-above", 0, -1, 63, -1},
    {"edge-last-row", 0, 47, 63, 47},
    {"edge-last-column", 63, 0, 63, 47},
    {"far-left", -kBig, 10, 40, 20},
    {"far-right", 20, 30, kBig, 33},
    {"far-up", 30, -kBig, 31, 40},
    {"far-down", 31, 5, 27, kBig},
    // One end far outside; the other inside or near. Lines with both ends that far out on
    // opposite sides are left out: Wine's gdi32 overflows on them (see tests/platform).
    {"far-miss", kBig, kBig, kBig - 5, -kBig},
    {"far-corner", -kBig, 3 * (kBig / 4), 40, -kBig / 2},
    {"far-steep-in", 17, -kBig, 19, 30},
    {"far-shallow-out", -5, 23, kBig, 25},
    {"limit-top-left", 0, 0, kMax, kMax},
    {"limit-bottom-right", kMin + 64, kMin + 48, 63, 47},
    {"limit-row", kMin + 100, 12, 60, 12},
    {"limit-column", 9, 10, 9, kMax},
    {"limit-shallow", kMax, 0, 10, 40},
    {"limit-steep", 5, kMin + 1, 50, 30},
    {"zero-length-inside", 20, 20, 20, 20},
    {"zero-length-outside", -3, 20, -3, 20},
    {"one-step", 20, 20, 21, 20},
    {"knight", 20, 20, 22, 21},
};

void AddSegments() {
  for (const Segment& s : kSegments) {
    AddPicture(std::string("line-") + s.name, [&s] {
      Dib dib(64, 48, 32);
      ScopedPen pen(dib.dc(), 0x0000FF00);
      MoveToEx(dib.dc(), s.x0, s.y0, nullptr);
      LineTo(dib.dc(), s.x1, s.y1);
      return dib.Capture();
    });
    for (int depth : {16, 24}) {
      AddPicture(std::string("line-") + s.name + "-surface-" + std::to_string(depth) + "bpp",
                 [&s, depth] {
                   Surface surface;
                   surface.Create(64, 48, depth);
                   surface.SetPenColor(0x00C08040);
                   surface.DrawLine(s.x0, s.y0, s.x1, s.y1);
                   return Capture(surface);
                 });
    }
  }
}

// Colours at and between the rounding steps of 5- and 8-bit channels.
constexpr COLORREF kPenColors[] = {0x00000000, 0x00FFFFFF, 0x000000FF, 0x0000FF00, 0x00FF0000,
                                   0x00070707, 0x00080808, 0x00F7F3EF, 0x00123456, 0x01ABCDEF};

void AddColours() {
  for (int depth : kDepths) {
    for (COLORREF color : kPenColors) {
      AddPicture(Name("line-colour-%dbpp-%08x", depth, static_cast<int>(color)), [depth, color] {
        Dib dib(16, 6, depth);
        ScopedPen pen(dib.dc(), color);
        MoveToEx(dib.dc(), 0, 1, nullptr);
        LineTo(dib.dc(), 16, 1);
        SetPixel(dib.dc(), 3, 3, color);
        return dib.Capture();
      });
    }
  }
}

void AddChains() {
  for (int depth : kDepths) {
    AddPicture(Name("line-chain-%dbpp", depth), [depth] {
      Dib dib(40, 40, depth);
      ScopedPen pen(dib.dc(), 0x0033CCFF);
      POINT previous{};
      MoveToEx(dib.dc(), 5, 5, &previous);
      // A closed star: each LineTo starts where the last one ended.
      const int points[][2] = {{35, 12}, {8, 33}, {20, 2}, {31, 34}, {3, 14}, {5, 5}};
      for (const auto& p : points) LineTo(dib.dc(), p[0], p[1]);
      MoveToEx(dib.dc(), -50, 20, &previous);
      LineTo(dib.dc(), 20, 20);
      LineTo(dib.dc(), 20, 90);
      return dib.Capture();
    });
  }
}

const bool kRegistered = [] {
  AddFan();
  AddSegments();
  AddColours();
  AddChains();
  return true;
}();

}  // namespace
