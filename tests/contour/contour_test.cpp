#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "contour/contour_trace.h"
#include "field/field_kernels.h"
#include "surface/surface.h"
#include "tests/support/ball_setup.h"

namespace {

using zantrel::test::BallSpec;
using zantrel::test::Place;

// Marching squares cell by cell: each crossed edge, clockwise from the top, crosses at its
// midpoint (rounded toward zero) when that is inside, else at its inside corner; a saddle cuts
// off each inside corner with a segment of its own.
template <class Field>
std::vector<TracedSegment> PlainMarchingSquares(const Field& field, std::int32_t cells, std::int32_t w,
                                                std::int32_t h) {
  auto inside = [&](ContourPoint p) { return field.FieldValue(p.x, p.y, 2) >= 0; };
  const std::int32_t cw = w / cells, ch = h / cells;
  std::vector<TracedSegment> lines;
  for (std::int32_t y = h / 2; y > h / 2 - cells * ch; y -= ch) {
    for (std::int32_t x = -w / 2; x < cells * cw - w / 2; x += cw) {
      const ContourPoint c[4] = {{x, y}, {x + cw, y}, {x + cw, y - ch}, {x, y - ch}};
      std::vector<ContourPoint> p;
      for (int e = 0; e < 4; ++e) {
        const ContourPoint a = c[e], b = c[(e + 1) % 4], mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        if (inside(a) == inside(b)) continue;
        const ContourPoint q = inside(mid) ? mid : inside(a) ? a : b;
        p.push_back({w / 2 + q.x, h / 2 - q.y});
      }
      if (p.size() == 4 && inside(c[0])) std::rotate(p.begin() + 1, p.begin() + 3, p.end());
      for (std::size_t k = 0; k < p.size(); k += 2) lines.push_back({p[k].x, p[k].y, p[k + 1].x, p[k + 1].y});
    }
  }
  return lines;
}

// Inside left of a vertical line: isolates the grid and the bisection arithmetic.
struct LeftOf {
  std::int32_t limit;
  double FieldValue(std::int32_t x, std::int32_t, std::int32_t) const { return x <= limit ? 1 : -1; }
};

template <class Field>
std::vector<TracedSegment> Traced(const Field& field, std::int32_t cells, std::int32_t w, std::int32_t h) {
  RecordingCanvas canvas;
  TraceContour(field, cells, w, h, 2, canvas);
  return canvas.segments;
}

TEST(Contour, WorkedSaddlesMidpointsAndGridLimits) {
  // One 100 x 100 cell, balls on opposite corners: each inside corner is cut off on its own.
  const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::vector<TracedSegment>> saddles[] = {
      {70, -50, 50, {{50, 0, 0, 50}, {100, 50, 50, 100}}},
      {70, 50, 50, {{50, 0, 100, 50}, {50, 100, 0, 50}}},
      {60, -50, 50, {{0, 0, 0, 0}, {100, 100, 100, 100}}}};  // midpoints outside: the corners
  for (const auto& [radius, x, y, expected] : saddles) {
    BallField field;
    Place(field, {BALL_ROUND, static_cast<std::uint32_t>(radius), x, y, 1, 1});
    Place(field, {BALL_ROUND, static_cast<std::uint32_t>(radius), -x, -y, 1, 1});
    EXPECT_EQ(Traced(field, 1, 100, 100), expected) << x << "," << y;
  }
  // Corner columns at x = -4 and -1 of a 9-wide grid: midpoint -2, where flooring would give -3.
  for (auto [limit, x] : {std::pair{-3, 0}, std::pair{-2, 2}}) {
    EXPECT_EQ(Traced(LeftOf{limit}, 3, 9, 9), (std::vector<TracedSegment>{{x, 0, x, 3}, {x, 3, x, 6}, {x, 6, x, 9}}));
  }
  for (std::int32_t cells : {0, -1, 707, 2147483647, 706}) {  // the corner flags must fit
    EXPECT_EQ(Traced(LeftOf{0}, cells, 706, 706).size(), cells == 706 ? 706u : 0u) << cells;
  }
}

// The recorders go point by point; BallField's corner rows and edge midpoints go in the lanes of
// each kernel; DrawContour puts the same lines on a surface.
TEST(Contour, EveryPathDrawsPlainMarchingSquares) {
  std::vector<std::vector<BallSpec>> scenes = {
      {std::begin(zantrel::test::kAppScene), std::end(zantrel::test::kAppScene)},
      {{BALL_ROUND, 60, -120, 80, 1, 2}, {BALL_ROUND, 40, 130, -90, 3, 1}},
      {{BALL_SQUARE, 90, 10, -20, 1, 3}, {BALL_SQUARE, 30, -150, 150, -1, 1}}, {}};
  // Unit balls on every other corner of the 9-cell grid over 41 x 41: each of its cells a saddle.
  for (int i = 0; i <= 9; ++i) {
    for (int j = i % 2; j <= 9; j += 2) scenes.back().push_back({BALL_ROUND, 1, 4 * j - 20, 20 - 4 * i, 1, 1});
  }
  for (const auto& scene : scenes) {
    BallField field;
    for (const BallSpec& b : scene) Place(field, b);
    for (auto [cells, w, h] : {std::tuple{200, 400, 400}, {133, 400, 300}, {7, 400, 400}, {9, 41, 41}}) {
      const std::vector<TracedSegment> expected = PlainMarchingSquares(field, cells, w, h);
      CountingField<BallField> counting{field, {}};
      EXPECT_EQ(Traced(counting, cells, w, h), expected) << cells;
      // Every corner once, then one bisection per crossed edge: two per segment, saddles too.
      EXPECT_EQ(counting.evaluations.size(), (cells + 1) * (cells + 1) + 2 * expected.size());
      for (const FieldKernel* kernel : AvailableFieldKernels()) {
        ASSERT_TRUE(UseFieldKernel(kernel->set));
        EXPECT_EQ(Traced(field, cells, w, h), expected) << kernel->name << " " << cells;
      }
    }
    Surface surface;
    ASSERT_TRUE(surface.Create(400, 300, 32));
    surface.SetPenColor(0x00FFFFFF);
    field.DrawContour(100, 400, 300, 2, &surface);
    field.DrawContour(100, 400, 300, 2, nullptr);  // no surface: nothing to draw on
    for (const TracedSegment& s : PlainMarchingSquares(field, 100, 400, 300)) {
      EXPECT_TRUE(s.x1 >= 400 || s.y1 >= 300 || GetPixel(surface.dc, s.x1, s.y1) == 0x00FFFFFF);
    }
  }
  UseFieldKernel(AvailableFieldKernels().back()->set);
}

}  // namespace
