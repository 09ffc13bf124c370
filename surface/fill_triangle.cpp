// Triangle scan fill: the three edges are stepped with an integer error term, each row's leftmost
// and rightmost x are collected, and every row is drawn as one span.
#include <array>

#include "surface/surface.h"

namespace {

constexpr int kFillRows = 300;
constexpr std::int32_t kLeftSentinel = 5000;
constexpr std::int32_t kRightSentinel = -5000;

struct Bounds {
  std::array<std::int32_t, kFillRows> left;
  std::array<std::int32_t, kFillRows> right;
};

// Walks one edge from its start vertex towards its end vertex, recording every visited pixel
// but the end one. `store` writes x as both bounds of a row no earlier edge has touched.
void WalkEdge(Bounds& b, std::int32_t x, std::int32_t row, std::int32_t endX, std::int32_t endRow,
              bool store) {
  std::int32_t dx = endX - x, dy = endRow - row;
  const std::int32_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  dx = dx < 0 ? -dx : dx;
  dy = dy < 0 ? -dy : dy;
  std::int32_t err = 0;
  auto widen = [&](std::int32_t px, std::int32_t r) {
    if (px < b.left[r]) b.left[r] = px;
    if (px > b.right[r]) b.right[r] = px;
  };
  if (dx >= dy) {
    for (std::int32_t k = 0; k < dx; ++k) {
      widen(x, row);
      err += dy;
      if (err >= dx) err -= dx, row += sy;
      x += sx;
    }
  } else {
    for (std::int32_t k = 0; k < dy; ++k) {
      if (store) {
        b.left[row] = x;
        b.right[row] = x;
      } else {
        widen(x, row);
      }
      err += dx;
      if (err >= dy) err -= dy, x += sx;
      row += sy;
    }
  }
}

bool InsideSentinels(std::int32_t x) { return x > kRightSentinel && x < kLeftSentinel; }

}  // namespace

void Surface::FillTriangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                           std::int32_t x2, std::int32_t y2) {
  // The row tables hold 300 rows and the sentinels bound x: a triangle beyond either limit is
  // refused outright rather than indexed past the tables or mistaken for recorded bounds.
  if (!InsideSentinels(x0) || !InsideSentinels(x1) || !InsideSentinels(x2)) return;
  std::int32_t top = y0 < y1 ? y0 : y1;
  if (top > y2) top = y2;
  const std::int32_t bottom = y0 > y1 ? (y0 > y2 ? y0 : y2) : (y1 > y2 ? y1 : y2);
  if (std::int64_t{bottom} - top >= kFillRows) return;
  Bounds b;
  b.left.fill(kLeftSentinel);
  b.right.fill(kRightSentinel);
  const std::int32_t r0 = y0 - top, r1 = y1 - top, r2 = y2 - top;
  const bool middle = (r0 < r1 && r1 < r2) || (r0 > r1 && r1 > r2);
  WalkEdge(b, x0, r0, x1, r1, true);
  WalkEdge(b, x1, r1, x2, r2, middle);
  WalkEdge(b, x2, r2, x0, r0, false);
  for (int r = 0; r < kFillRows && b.left[r] != kLeftSentinel; ++r) {
    DrawLine(b.left[r], top + r, b.right[r], top + r);
  }
}
