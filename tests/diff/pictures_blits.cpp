// Block transfers: every raster operation between every pair of depths at overlapping and
// off-picture offsets, copies within one bitmap, Surface::Blit and masked sprites; pixels set,
// read back and out of range; FillRect.
#include <cstdio>
#include <string>

#include "surface/surface.h"
#include "tests/diff/catalogue.h"
#include "tests/diff/dib.h"

namespace {

using zantrel::diff::AddPicture;
using zantrel::diff::Capture;
using zantrel::diff::Dib;

constexpr int kDepths[] = {16, 24, 32};

// An "F" in one colour on a background of another: flips and channel swaps show at once.
void DrawF(HDC dc, int width, int height, COLORREF ink, COLORREF paper) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool stem = x >= 2 && x <= 4 && y >= 1 && y < height - 1;
      const bool top = y >= 1 && y <= 2 && x >= 2 && x < width - 2;
      const bool middle = y >= height / 2 - 1 && y <= height / 2 && x >= 2 && x < width - 4;
      SetPixel(dc, x, y, stem || top || middle ? ink : paper);
    }
  }
}

// A background that differs at every pixel, so a blit's footprint is visible under AND and XOR.
void DrawGradient(HDC dc, int width, int height) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      SetPixel(dc, x, y, RGB(x * 9 + 3, y * 11 + 5, (x * y * 7) & 0xFF));
    }
  }
}

struct Rop {
  const char* name;
  DWORD code;
};
constexpr Rop kRops[] = {{"copy", SRCCOPY}, {"and", SRCAND}, {"invert", SRCINVERT}};

struct Offset {
  const char* name;
  int x, y, sourceX, sourceY;
};
constexpr Offset kOffsets[] = {
    {"inside", 5, 4, 0, 0},
    {"left-top", -6, -3, 0, 0},
    {"right-bottom", 19, 14, 0, 0},
    {"source-shifted", 3, 2, 4, -3},
    {"outside", 40, 2, 0, 0},
};

constexpr int kDestW = 28, kDestH = 22, kSourceW = 13, kSourceH = 11;

void AddRasterOps() {
  for (const Rop& rop : kRops) {
    for (int from : kDepths) {
      for (int to : kDepths) {
        for (const Offset& o : kOffsets) {
          char name[80];
          std::snprintf(name, sizeof name, "blit-%s-%d-to-%d-%s", rop.name, from, to, o.name);
          AddPicture(name, [&rop, from, to, &o] {
            Dib source(kSourceW, kSourceH, from);
            Dib dest(kDestW, kDestH, to);
            DrawF(source.dc(), kSourceW, kSourceH, RGB(250, 40, 90), RGB(20, 200, 120));
            DrawGradient(dest.dc(), kDestW, kDestH);
            BitBlt(dest.dc(), o.x, o.y, kSourceW, kSourceH, source.dc(), o.sourceX, o.sourceY,
                   rop.code);
            return dest.Capture();
          });
        }
      }
    }
  }
}

// Source and destination in one bitmap: the copy must read before it overwrites.
void AddOverlaps() {
  // static: the pictures are drawn after this function returns.
  static constexpr struct {
    const char* name;
    int dx, dy;
  } kShifts[] = {{"right-down", 3, 2}, {"left-up", -3, -2}, {"right-up", 4, -1}, {"down", 0, 5}};
  for (const Rop& rop : kRops) {
    for (int depth : kDepths) {
      for (const auto& shift : kShifts) {
        char name[80];
        std::snprintf(name, sizeof name, "blit-self-%s-%dbpp-%s", rop.name, depth, shift.name);
        AddPicture(name, [&rop, depth, &shift] {
          Dib dib(kDestW, kDestH, depth);
          DrawGradient(dib.dc(), kDestW, kDestH);
          DrawF(dib.dc(), kSourceW, kSourceH, RGB(0, 0, 255), RGB(255, 255, 0));
          BitBlt(dib.dc(), 6 + shift.dx, 5 + shift.dy, 18, 14, dib.dc(), 6, 5, rop.code);
          return dib.Capture();
        });
      }
    }
  }
}

// Whole rows, no padding: the rows are one run of memory at both ends. Vertical shifts take
// rows off either edge; within one bitmap the run overlaps itself.
void AddWholeRows() {
  static constexpr int kShiftsY[] = {0, 3, -4, 30};
  for (const Rop& rop : kRops) {
    for (int depth : kDepths) {
      for (int dy : kShiftsY) {
        char name[80];
        std::snprintf(name, sizeof name, "blit-rows-%s-%dbpp-dy%d", rop.name, depth, dy);
        AddPicture(name, [&rop, depth, dy] {
          Dib source(kDestW, kDestH, depth);
          Dib dest(kDestW, kDestH, depth);
          DrawF(source.dc(), kDestW, kDestH, RGB(250, 40, 90), RGB(20, 200, 120));
          DrawGradient(dest.dc(), kDestW, kDestH);
          BitBlt(dest.dc(), 0, dy, kDestW, kDestH, source.dc(), 0, 0, rop.code);
          return dest.Capture();
        });
        std::snprintf(name, sizeof name, "blit-rows-self-%s-%dbpp-dy%d", rop.name, depth, dy);
        AddPicture(name, [&rop, depth, dy] {
          Dib dib(kDestW, kDestH, depth);
          DrawGradient(dib.dc(), kDestW, kDestH);
          DrawF(dib.dc(), kSourceW, kSourceH, RGB(0, 0, 255), RGB(255, 255, 0));
          BitBlt(dib.dc(), 0, dy, kDestW, kDestH, dib.dc(), 0, 0, rop.code);
          return dib.Capture();
        });
      }
    }
  }
}

void AddSurfaceCopies() {
  for (int depth : kDepths) {
    for (const Offset& o : kOffsets) {
      AddPicture("surface-blit-" + std::to_string(depth) + "bpp-" + o.name, [depth, &o] {
        Surface sprite, target;
        sprite.Create(kSourceW, kSourceH, 32);
        target.Create(kDestW, kDestH, depth);
        DrawF(sprite.dc, kSourceW, kSourceH, RGB(255, 128, 0), RGB(0, 64, 255));
        DrawGradient(target.dc, kDestW, kDestH);
        target.Blit(sprite, o.x, o.y);
        return Capture(target);
      });
      // The mask is white where the background shows and black under the sprite; the sprite
      // is black outside its shape, so AND then XOR leaves the background untouched there.
      AddPicture("surface-masked-" + std::to_string(depth) + "bpp-" + o.name, [depth, &o] {
        Surface sprite, mask, target;
        sprite.Create(kSourceW, kSourceH, depth);
        mask.Create(kSourceW, kSourceH, 24);
        target.Create(kDestW, kDestH, 32);
        DrawF(sprite.dc, kSourceW, kSourceH, RGB(255, 40, 200), RGB(0, 0, 0));
        DrawF(mask.dc, kSourceW, kSourceH, RGB(0, 0, 0), RGB(255, 255, 255));
        DrawGradient(target.dc, kDestW, kDestH);
        target.BlitMasked(sprite, mask, o.x, o.y);
        return Capture(target);
      });
    }
  }
}

void AddPixelsAndRects() {
  for (int depth : kDepths) {
    AddPicture("pixels-" + std::to_string(depth) + "bpp", [depth] {
      Dib dib(9, 7, depth);
      // In range, on every edge, and out of range (nothing is drawn and nothing faults).
      const int points[][2] = {{0, 0}, {8, 0}, {0, 6}, {8, 6}, {4, 3}, {-1, 3}, {9, 3},
                               {4, -1}, {4, 7}, {-2147483647 - 1, 0}, {0, 2147483647}};
      int k = 0;
      for (const auto& p : points) SetPixel(dib.dc(), p[0], p[1], RGB(40 * k, 255 - 20 * k, 7 * k)), ++k;
      // Each pixel read back and written one to the right: GetPixel reports what was stored.
      for (int x = 0; x < 8; ++x) SetPixel(dib.dc(), x + 1, 5, GetPixel(dib.dc(), x, 6) | 0x0F0F0F);
      return dib.Capture();
    });
    AddPicture("fillrect-" + std::to_string(depth) + "bpp", [depth] {
      Dib dib(20, 16, depth);
      const RECT rects[] = {{2, 2, 8, 6}, {-5, 10, 3, 30}, {15, -2, 40, 4}, {9, 9, 9, 12},
                            {12, 12, 10, 10}, {-2147483647 - 1, 7, 2147483647, 8}};
      int k = 0;
      for (const RECT& r : rects) {
        HBRUSH brush = CreateSolidBrush(RGB(200 - 30 * k, 60 * k, 255));
        FillRect(dib.dc(), &r, brush);
        DeleteObject(brush);
        ++k;
      }
      FillRect(dib.dc(), &rects[3], static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      const RECT white{16, 10, 19, 15};
      FillRect(dib.dc(), &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      return dib.Capture();
    });
  }
}

// Negative extents name the rectangle that ends at the given corner.
void AddNegativeExtents() {
  static constexpr int kSizes[][2] = {{-kSourceW, kSourceH}, {kSourceW, -kSourceH}, {-kSourceW, -kSourceH}};
  for (int k = 0; k < 3; ++k) {
    AddPicture("blit-negative-extent-" + std::to_string(k), [k] {
      Dib source(kSourceW, kSourceH, 32);
      Dib dest(kDestW, kDestH, 32);
      DrawF(source.dc(), kSourceW, kSourceH, RGB(250, 40, 90), RGB(20, 200, 120));
      DrawGradient(dest.dc(), kDestW, kDestH);
      BitBlt(dest.dc(), 20, 15, kSizes[k][0], kSizes[k][1], source.dc(), kSourceW - 1,
             kSourceH - 1, SRCCOPY);
      return dest.Capture();
    });
  }
}

const bool kRegistered = [] {
  AddRasterOps();
  AddOverlaps();
  AddWholeRows();
  AddNegativeExtents();
  AddSurfaceCopies();
  AddPixelsAndRects();
  return true;
}();

}  // namespace
