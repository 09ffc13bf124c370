// Marching squares over a regular grid, one bisection step per crossed cell edge.
//
// A template over the field (FieldValue(x, y, threshold) -> double) and the canvas
// (DrawLine(x0, y0, x1, y1)), so tests and tools can watch every evaluation and every line by
// passing recorders; BallField::DrawContour instantiates it with the scene and a Surface.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr std::int32_t kMaxCornerFlags = 500000;
constexpr std::int32_t kMaxContourCells = 706;  // the largest grid whose corner flags fit

struct ContourPoint {
  std::int32_t x;
  std::int32_t y;
};

// Grids the corner-flag buffer cannot hold, and empty grids, are not traced at all.
constexpr bool ContourGridFits(std::int32_t cells) {
  return cells >= 1 && cells <= kMaxContourCells && (cells + 1) * (cells + 1) <= kMaxCornerFlags;
}

// Whether a cell's corners lie on both sides of the contour (only those cells are crossed).
inline bool CellCrossed(const std::uint8_t* upper, const std::uint8_t* lower, std::int32_t j) {
  const int insideCorners = upper[j] + upper[j + 1] + lower[j] + lower[j + 1];
  return insideCorners != 0 && insideCorners != 4;
}

// Whether none of the eight cells from j on is crossed: all 18 corner flags agree. Eight bytes
// are compared at a time, since most cells lie wholly inside or outside. Reads flags j to j + 8.
inline bool EightCellsUncrossed(const std::uint8_t* upper, const std::uint8_t* lower, std::int32_t j) {
  std::uint64_t a, b, c, d;
  std::memcpy(&a, upper + j, 8);
  std::memcpy(&b, upper + j + 1, 8);
  std::memcpy(&c, lower + j, 8);
  std::memcpy(&d, lower + j + 1, 8);
  return ((a ^ b) | (a ^ c) | (a ^ d)) == 0;
}

// Whether no cell between two rows of corners is crossed: both rows wholly inside or wholly
// outside alike, as every row above and below the contour is.
inline bool RowsUncrossed(const std::uint8_t* upper, const std::uint8_t* lower, std::int32_t stride) {
  const auto length = static_cast<std::size_t>(stride);
  return std::memcmp(upper, lower, length) == 0 && std::memchr(upper, upper[0] ^ 1, length) == nullptr;
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
  // A field that evaluates many points at once gets each row's edge midpoints in one batch;
  // any other field is asked point by point, in the order the cells are drawn.
  constexpr bool kBatches = requires(const std::int32_t* v, std::uint8_t* out) {
    field.InsidePoints(v, v, 0, 0, out);
  };

  // One byte per corner, lives for the call only; every entry read is written first. A field
  // that decides blocks of corners at once, or takes whole rows, gives the same flags faster.
  std::array<std::uint8_t, kMaxCornerFlags> flags;
  if constexpr (requires { field.InsideGrid(0, 0, 0, 0, 0, 0, 0, flags.data()); }) {
    field.InsideGrid(-hw, cw, stride, hh, ch, stride, threshold, flags.data());
  } else {
    for (std::int32_t i = 0; i <= cells; ++i) {
      std::uint8_t* row = &flags[static_cast<std::size_t>(stride * i)];
      if constexpr (requires { field.InsideRow(0, 0, 0, 0, 0, row); }) {
        field.InsideRow(-hw, cw, stride, hh - i * ch, threshold, row);
      } else {
        for (std::int32_t j = 0; j <= cells; ++j) row[j] = inside({j * cw - hw, hh - i * ch}) ? 1 : 0;
      }
    }
  }

  // One row of cells at a time: its crossed cells, each crossed edge's midpoint and inside corner.
  constexpr std::size_t kMaxCells = kMaxContourCells;
  struct CrossedCell {
    std::int32_t crossings;  // 2, or 4 for a saddle
    bool topLeftInside;
  };
  std::array<CrossedCell, kMaxCells> crossed;
  std::array<ContourPoint, 4 * kMaxCells> insideCorner;
  std::array<std::int32_t, 4 * kMaxCells> midX, midY;
  std::array<std::uint8_t, 4 * kMaxCells> midInside;

  for (std::int32_t i = 0; i < cells; ++i) {
    const std::uint8_t* upper = &flags[static_cast<std::size_t>(stride * i)];
    const std::uint8_t* lower = upper + stride;
    if (RowsUncrossed(upper, lower, stride)) continue;
    const std::int32_t y0 = hh - i * ch;
    std::size_t cellCount = 0, edgeCount = 0;
    auto addCrossedCell = [&](std::int32_t j) {
      const std::int32_t x0 = j * cw - hw;
      // Corners clockwise on the surface: TL, TR, BR, BL; edge k runs from corner k to k + 1.
      const ContourPoint corner[4] = {{x0, y0}, {x0 + cw, y0}, {x0 + cw, y0 - ch}, {x0, y0 - ch}};
      const std::uint8_t flag[4] = {upper[j], upper[j + 1], lower[j + 1], lower[j]};
      std::int32_t n = 0;
      for (int edge = 0; edge < 4; ++edge) {
        const ContourPoint a = corner[edge], b = corner[(edge + 1) & 3];
        if (flag[edge] == flag[(edge + 1) & 3]) continue;
        // One bisection step: the crossing is the midpoint when it is inside, else the inside
        // corner, the bracket end that the step keeps. Sums in 64 bits: corners of a huge grid
        // would overflow 32 bits; the quotient fits.
        midX[edgeCount] = static_cast<std::int32_t>((std::int64_t{a.x} + b.x) / 2);
        midY[edgeCount] = static_cast<std::int32_t>((std::int64_t{a.y} + b.y) / 2);
        insideCorner[edgeCount] = flag[edge] ? a : b;
        ++edgeCount;
        ++n;
      }
      crossed[cellCount++] = {n, flag[0] != 0};
    };
    for (std::int32_t j = 0; j < cells;) {
      if (j + 8 <= cells && EightCellsUncrossed(upper, lower, j)) {
        j += 8;
        continue;
      }
      if (CellCrossed(upper, lower, j)) addCrossedCell(j);
      ++j;
    }
    if (cellCount == 0) continue;
    if constexpr (kBatches) {
      field.InsidePoints(midX.data(), midY.data(), static_cast<std::int32_t>(edgeCount), threshold,
                         midInside.data());
    }

    std::size_t edge = 0;
    for (std::size_t c = 0; c < cellCount; ++c) {
      ContourPoint crossing[4];
      for (std::int32_t k = 0; k < crossed[c].crossings; ++k, ++edge) {
        const ContourPoint mid = {midX[edge], midY[edge]};
        bool midIsInside;
        if constexpr (kBatches) {
          midIsInside = midInside[edge] != 0;
        } else {
          midIsInside = inside(mid);
        }
        const ContourPoint p = midIsInside ? mid : insideCorner[edge];
        crossing[k] = {hw + p.x, hh - p.y};
      }
      if (crossed[c].crossings == 2) {
        canvas.DrawLine(crossing[0].x, crossing[0].y, crossing[1].x, crossing[1].y);
      } else if (crossed[c].topLeftInside) {
        // Saddle: each inside corner is cut off by its own segment; the centre is not consulted.
        // Crossings 0 to 3 lie on the top, right, bottom and left edges.
        canvas.DrawLine(crossing[0].x, crossing[0].y, crossing[3].x, crossing[3].y);
        canvas.DrawLine(crossing[1].x, crossing[1].y, crossing[2].x, crossing[2].y);
      } else {
        canvas.DrawLine(crossing[0].x, crossing[0].y, crossing[1].x, crossing[1].y);
        canvas.DrawLine(crossing[2].x, crossing[2].y, crossing[3].x, crossing[3].y);
      }
    }
  }
}
