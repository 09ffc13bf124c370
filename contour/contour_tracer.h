// Marching squares over a regular grid, one bisection step per crossed cell edge.
//
// A template over the field (FieldValue(x, y, threshold) -> double) and the canvas
// (DrawLine(x0, y0, x1, y1)), so tests and tools can watch every evaluation and every line by
// passing recorders; BallField::DrawContour instantiates it with the scene and a Surface.
#pragma once

#include <array>
#include <bit>
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

// Cells the scan takes at a time, and the bytes after the grid's last corner that it reads (and
// finds zero).
constexpr std::int32_t kScanCells = 16;
constexpr std::int32_t kCornerFlagSlack = kScanCells;

// The crossed cells among the sixteen from j on, one bit per cell at bit 8k for cell j + k of the
// first word, j + 8 + k of the second: cells whose four corner flags are not all alike. Reads
// flags j to j + 16 of both rows, as vectors where the compiler has them, so rows far from the
// contour cost a few instructions per sixteen cells.
struct CrossedCells {
  std::uint64_t first, second;
};
inline CrossedCells SixteenCellsCrossed(const std::uint8_t* upper, const std::uint8_t* lower, std::int32_t j) {
  static_assert(std::endian::native == std::endian::little);
  using Flags [[gnu::vector_size(kScanCells)]] = std::uint8_t;
  Flags a, b, c, d;
  std::memcpy(&a, upper + j, sizeof a);
  std::memcpy(&b, upper + j + 1, sizeof b);
  std::memcpy(&c, lower + j, sizeof c);
  std::memcpy(&d, lower + j + 1, sizeof d);
  const Flags differs = (a ^ b) | (a ^ c) | (a ^ d);
  CrossedCells cells;
  std::memcpy(&cells, &differs, sizeof cells);
  return cells;
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
  // A field that evaluates many points at once gets the edge midpoints of many rows in one batch;
  // any other field is asked point by point, in the order the cells are drawn.
  constexpr bool kBatches = requires(const std::int32_t* v, std::uint8_t* out) {
    field.InsidePoints(v, v, 0, 0, out);
  };

  // One byte per corner, lives for the call only; every entry read is written first. A field
  // that decides blocks of corners at once, or takes whole rows, gives the same flags faster.
  std::array<std::uint8_t, kMaxCornerFlags + kCornerFlagSlack> flags;
  // Where each row's inside corners can be, when the field says; else anywhere.
  std::array<std::int32_t, kMaxContourCells + 1> firstSet, lastSet;
  bool rowSpans = false;
  if constexpr (requires { field.InsideGrid(0, 0, 0, 0, 0, 0, 0, flags.data(), firstSet.data(), lastSet.data()); }) {
    field.InsideGrid(-hw, cw, stride, hh, ch, stride, threshold, flags.data(), firstSet.data(), lastSet.data());
    rowSpans = true;
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
  std::memset(&flags[static_cast<std::size_t>(stride * stride)], 0, kCornerFlagSlack);

  // Crossed cells of consecutive rows, each crossed edge's midpoint and inside corner, drawn when
  // the next row might not fit (a row adds at most four edges a cell).
  constexpr std::size_t kMaxEdges = 4 * kMaxContourCells;
  struct CrossedCell {
    std::int32_t crossings;  // 2, or 4 for a saddle
    bool topLeftInside;
  };
  std::array<CrossedCell, kMaxEdges / 2> crossed;
  std::array<ContourPoint, kMaxEdges> insideCorner;
  std::array<std::int32_t, kMaxEdges> midX, midY;
  std::array<std::uint8_t, kMaxEdges> midInside;
  std::size_t cellCount = 0, edgeCount = 0;

  auto drawCells = [&] {
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
        // One bisection step: the crossing is the midpoint when it is inside, else the inside
        // corner, the bracket end that the step keeps.
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
    cellCount = edgeCount = 0;
  };

  for (std::int32_t i = 0; i < cells; ++i) {
    const std::uint8_t* upper = &flags[static_cast<std::size_t>(stride * i)];
    const std::uint8_t* lower = upper + stride;
    // Cells with a corner where a flag may be set: no other cell is crossed.
    std::int32_t from = 0, to = cells - 1;
    if (rowSpans) {
      const std::int32_t first = firstSet[i] < firstSet[i + 1] ? firstSet[i] : firstSet[i + 1];
      const std::int32_t last = lastSet[i] > lastSet[i + 1] ? lastSet[i] : lastSet[i + 1];
      if (first > last) continue;  // both rows wholly outside
      from = first > 0 ? first - 1 : 0;
      to = last < cells ? last : cells - 1;
    }
    if (edgeCount + 4 * static_cast<std::size_t>(cells) > kMaxEdges) drawCells();
    // Midpoints are summed in 64 bits: corners of a huge grid would overflow 32 bits; the
    // quotient fits.
    const std::int32_t yTop = hh - i * ch, yBottom = yTop - ch;
    const auto yMid = static_cast<std::int32_t>((std::int64_t{yTop} + yBottom) / 2);
    // Edges clockwise on the surface from the top: each is written, and kept when it is crossed.
    auto addEdge = [&](bool isCrossed, std::int32_t x, std::int32_t y, ContourPoint insideEnd) {
      midX[edgeCount] = x;
      midY[edgeCount] = y;
      insideCorner[edgeCount] = insideEnd;
      edgeCount += isCrossed;
    };
    for (std::int32_t j16 = from; j16 <= to; j16 += kScanCells) {
      const CrossedCells found = SixteenCellsCrossed(upper, lower, j16);
      if ((found.first | found.second) == 0) continue;
      // Each half: bit 8k for cell j0 + k; cells past the grid's last are dropped.
      for (const std::int32_t j0 : {j16, j16 + 8}) {
        std::uint64_t crossedCells = j0 == j16 ? found.first : found.second;
        if (cells - j0 < 8) crossedCells &= cells > j0 ? (std::uint64_t{1} << 8 * (cells - j0)) - 1 : 0;
        for (; crossedCells != 0; crossedCells &= crossedCells - 1) {
          const std::int32_t j = j0 + std::countr_zero(crossedCells) / 8;
          const std::int32_t xLeft = j * cw - hw, xRight = xLeft + cw;
          const auto xMid = static_cast<std::int32_t>((std::int64_t{xLeft} + xRight) / 2);
          const std::uint8_t tl = upper[j], tr = upper[j + 1], br = lower[j + 1], bl = lower[j];
          const std::size_t firstEdge = edgeCount;
          addEdge(tl != tr, xMid, yTop, tl ? ContourPoint{xLeft, yTop} : ContourPoint{xRight, yTop});
          addEdge(tr != br, xRight, yMid, tr ? ContourPoint{xRight, yTop} : ContourPoint{xRight, yBottom});
          addEdge(br != bl, xMid, yBottom, br ? ContourPoint{xRight, yBottom} : ContourPoint{xLeft, yBottom});
          addEdge(bl != tl, xLeft, yMid, bl ? ContourPoint{xLeft, yBottom} : ContourPoint{xLeft, yTop});
          crossed[cellCount++] = {static_cast<std::int32_t>(edgeCount - firstEdge), tl != 0};
        }
      }
    }
  }
  drawCells();
}
