// Marching squares over a regular grid, one bisection step per crossed cell edge.
//
// A template over the field (FieldValue(x, y, threshold) -> double) and the canvas
// (DrawLine(x0, y0, x1, y1)), so tests and tools can watch every evaluation and every line by
// passing recorders; BallField::DrawContour instantiates it with the scene and a Surface.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr std::int32_t kMaxCornerFlags = 500000;

struct ContourPoint {
  std::int32_t x;
  std::int32_t y;
};

// Grids the corner-flag buffer cannot hold, and empty grids, are not traced at all.
constexpr bool ContourGridFits(std::int32_t cells) {
  return cells >= 1 && cells <= 706 && (cells + 1) * (cells + 1) <= kMaxCornerFlags;
}

template <class Field, class Canvas>
void TraceContour(const Field& field, std::int32_t cells, std::int32_t width, std::int32_t height,
                  std::int32_t threshold, Canvas& canvas) {
  if (!ContourGridFits(cells)) return;
  const std::int32_t cw = width / cells;
  const std::int32_t ch = height / cells;
  const std::int32_t hw = width >> 1;
  const std::int32_t hh = height >> 1;
  const std::int32_t stride = cells + 1;
  auto inside = [&](ContourPoint p) { return field.FieldValue(p.x, p.y, threshold) >= 0.0; };

  // One byte per corner, lives for the call only; every entry read is written first.
  std::array<std::uint8_t, kMaxCornerFlags> flags;
  for (std::int32_t i = 0; i <= cells; ++i) {
    std::uint8_t* row = &flags[static_cast<std::size_t>(stride * i)];
    if constexpr (requires { field.InsideRow(0, 0, 0, 0, 0, row); }) {
      field.InsideRow(-hw, cw, stride, hh - i * ch, threshold, row);  // the same flags, faster
    } else {
      for (std::int32_t j = 0; j <= cells; ++j) row[j] = inside({j * cw - hw, hh - i * ch}) ? 1 : 0;
    }
  }

  for (std::int32_t i = 0; i < cells; ++i) {
    const std::uint8_t* upper = &flags[static_cast<std::size_t>(stride * i)];
    const std::uint8_t* lower = upper + stride;
    for (std::int32_t j = 0; j < cells; ++j) {
      // Most cells lie wholly inside or outside: no edge is crossed, nothing to evaluate.
      const int insideCorners = upper[j] + upper[j + 1] + lower[j] + lower[j + 1];
      if (insideCorners == 0 || insideCorners == 4) continue;
      const std::int32_t x0 = j * cw - hw;
      const std::int32_t y0 = hh - i * ch;
      // Corners clockwise on the surface: TL, TR, BR, BL; edge k runs from corner k to k + 1.
      const ContourPoint corner[4] = {{x0, y0}, {x0 + cw, y0}, {x0 + cw, y0 - ch}, {x0, y0 - ch}};
      const std::uint8_t flag[4] = {upper[j], upper[j + 1], lower[j + 1], lower[j]};
      ContourPoint crossing[4];
      int n = 0;
      for (int edge = 0; edge < 4; ++edge) {
        const int fa = flag[edge];
        const int fb = flag[(edge + 1) & 3];
        if (fa + fb != 1) continue;
        ContourPoint bracket[2] = {corner[edge], corner[(edge + 1) & 3]};
        // Sums in 64 bits: corners of a huge grid would overflow 32 bits; the quotient fits.
        const ContourPoint mid = {
            static_cast<std::int32_t>((std::int64_t{bracket[0].x} + bracket[1].x) / 2),
            static_cast<std::int32_t>((std::int64_t{bracket[0].y} + bracket[1].y) / 2)};
        const int t = inside(mid) ? 0 : 1;
        // The end whose inside flag equals the midpoint's is replaced, keeping the bracket
        // straddling the contour; the inside end (number fb) is the crossing.
        bracket[t * fa + (1 - t) * fb] = mid;
        crossing[n++] = {hw + bracket[fb].x, hh - bracket[fb].y};
      }
      if (n == 2) {
        canvas.DrawLine(crossing[0].x, crossing[0].y, crossing[1].x, crossing[1].y);
      } else if (n == 4) {
        // Saddle: each inside corner is cut off by its own segment; the centre is not consulted.
        if (flag[0]) {
          canvas.DrawLine(crossing[0].x, crossing[0].y, crossing[3].x, crossing[3].y);
          canvas.DrawLine(crossing[1].x, crossing[1].y, crossing[2].x, crossing[2].y);
        } else {
          canvas.DrawLine(crossing[0].x, crossing[0].y, crossing[1].x, crossing[1].y);
          canvas.DrawLine(crossing[2].x, crossing[2].y, crossing[3].x, crossing[3].y);
        }
      }
    }
  }
}
