// BallField: the scene, a list of balls with the field function, picking and contour drawing.
//
// Field coordinates are signed 32-bit integers, origin at the centre of the drawing area, y up.
// All 32-bit integer steps wrap as on a two's-complement machine (never undefined behaviour).
#pragma once

#include <cstdint>

#include "ball.h"
#include "obj_list.h"

class Surface;

constexpr double kFieldFloor = 1e-6;          // stands in for a distance too small to divide by
constexpr std::uint32_t kPickStart = 1000000;  // initial best metric of PickBall
// Contributing balls InsideGrid bounds; with more, it evaluates every corner.
constexpr int kMaxBoundedBalls = 128;

class BallField : public ObjList<Ball> {
 public:
  // Allocates a ball of that shape and radius, appends it and returns it, so the caller can set
  // its centre and scales.
  Ball* AddBall(std::int32_t shape, std::uint32_t radius);

  // Sum of all balls' contributions at (x, y) minus threshold; >= 0.0 means inside the contour.
  double FieldValue(std::int32_t x, std::int32_t y, std::int32_t threshold) const;

  // inside[k] = 1 where FieldValue(k * dx + x0, y, threshold) >= 0.0, else 0, for k < count: the
  // very same sums, taken ball by ball over the row in lanes of the active field kernel
  // (field_kernels.h), with the list walked once per chunk of 256 points. The reference for
  // InsideGrid.
  void InsideRow(std::int32_t x0, std::int32_t dx, std::int32_t count, std::int32_t y,
                 std::int32_t threshold, std::uint8_t* inside) const;

  // flags[r * columns + c] = 1 where FieldValue(x0 + c * dx, y0 - r * dy, threshold) >= 0.0, else
  // 0, for r < rows and c < columns (coordinates wrapped to 32 bits): exactly InsideRow's flags
  // row by row, but blocks of corners whose bounds on the field decide them are filled without
  // evaluating their corners. Returns the number of corners evaluated. The contour tracer's
  // corner pass. Given firstSet and lastSet (rows entries each), it also tells where each row's
  // inside corners can be: every flag of row r before column firstSet[r] or after lastSet[r] is 0
  // (firstSet[r] > lastSet[r] for a row wholly outside), so a reader can skip the rest.
  std::int64_t InsideGrid(std::int32_t x0, std::int32_t dx, std::int32_t columns, std::int32_t y0,
                          std::int32_t dy, std::int32_t rows, std::int32_t threshold, std::uint8_t* flags,
                          std::int32_t* firstSet = nullptr, std::int32_t* lastSet = nullptr) const;

  // inside[k] = 1 where FieldValue(xs[k], ys[k], threshold) >= 0.0, else 0, for k < count, in
  // the same lanes. The contour tracer's edge midpoints, a row of cells at a time.
  void InsidePoints(const std::int32_t* xs, const std::int32_t* ys, std::int32_t count,
                    std::int32_t threshold, std::uint8_t* inside) const;

  // The ball whose influence area holds (x, y) with the smallest metric (earlier ball on ties),
  // or null. Round balls measure squared scaled distance, square balls Chebyshev distance in
  // divided units, against one shared running best.
  Ball* PickBall(std::int32_t x, std::int32_t y) const;

  // Marching-squares iso-contour of the field at threshold, drawn on surface with DrawLine.
  void DrawContour(std::int32_t cells, std::int32_t width, std::int32_t height,
                   std::int32_t threshold, Surface* surface) const;
};
