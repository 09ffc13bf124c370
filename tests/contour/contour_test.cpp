#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "contour/contour_trace.h"
#include "surface/surface.h"
#include "tests/support/ball_setup.h"

namespace {

using Lines = std::vector<TracedSegment>;

// Marching squares: a crossed cell edge (clockwise from the top) crosses at its midpoint, rounded
// toward zero, when inside, else at its inside corner; saddles cut off each inside corner alone.
Lines PlainMarchingSquares(const BallField& field, int cells, int w, int h) {
  auto inside = [&](ContourPoint p) { return field.FieldValue(p.x, p.y, 2) >= 0; };
  const std::int32_t cw = w / cells, ch = h / cells;
  Lines lines;
  for (std::int32_t i = 0; i < cells * cells; ++i) {
    const std::int32_t x = i % cells * cw - w / 2, y = h / 2 - i / cells * ch;
    const ContourPoint c[5] = {{x, y}, {x + cw, y}, {x + cw, y - ch}, {x, y - ch}, {x, y}};
    std::vector<ContourPoint> p;
    for (int e = 0; e < 4; ++e) {
      const ContourPoint mid{(c[e].x + c[e + 1].x) / 2, (c[e].y + c[e + 1].y) / 2};
      const ContourPoint q = inside(mid) ? mid : inside(c[e]) ? c[e] : c[e + 1];
      if (inside(c[e]) != inside(c[e + 1])) p.push_back({w / 2 + q.x, h / 2 - q.y});
    }
    if (p.size() == 4 && inside(c[0])) std::rotate(p.begin() + 1, p.begin() + 3, p.end());
    for (auto k = 0u; k < p.size(); k += 2) lines.push_back({p[k].x, p[k].y, p[k + 1].x, p[k + 1].y});
  }
  return lines;
}

// Scenes: the application's, scaled balls, one inside the left edge only, all saddles on the
// 9-cell grid, a worked saddle, none.
TEST(Contour, EveryPathDrawsPlainMarchingSquares) {
  auto recorded = [](const auto& field, std::int32_t cells, std::int32_t w, std::int32_t h) {
    RecordingCanvas canvas;
    TraceContour(field, cells, w, h, 2, canvas);
    return canvas.segments;
  };
  using zantrel::test::BallSpec;
  const std::vector<BallSpec> workedSaddle = {{BALL_ROUND, 70, -50, 50, 1, 1}, {BALL_ROUND, 70, 50, -50, 1, 1}};
  std::vector<std::vector<BallSpec>> scenes = {
      {{BALL_ROUND, 80, -50, 0, 2, 1}, {BALL_ROUND, 80, 50, 0, 1, 1}, {BALL_SQUARE, 50, 0, 30, 2, 1}},
      {{BALL_ROUND, 60, -120, 80, 1, 2}, {BALL_ROUND, 40, 130, -90, 3, 1}},
      {{BALL_SQUARE, 90, 10, -20, 1, 3}, {BALL_SQUARE, 30, -150, 150, -1, 1}, {BALL_SQUARE, 300, -200, 0, 1, 1}}, {},
      workedSaddle, {}};
  for (int i = 0; i <= 9; ++i) {
    for (int j = i % 2; j <= 9; j += 2) scenes[3].push_back({BALL_ROUND, 1, 4 * j - 20, 20 - 4 * i, 1, 1});
  }
  for (const auto& scene : scenes) {
    BallField field;
    for (const auto& b : scene) zantrel::test::Place(field, b);
    struct Grid {
      std::int32_t cells, w, h;
    };
    for (auto [cells, w, h] : {Grid{200, 400, 400}, {133, 400, 300}, {7, 400, 400}, {9, 41, 41}, {1, 100, 100}}) {
      const Lines expected = PlainMarchingSquares(field, cells, w, h);
      if (cells == 1 && scene == workedSaddle) {
        EXPECT_EQ(expected, (Lines{{50, 0, 0, 50}, {100, 50, 50, 100}}));
      }
      CountingField<BallField> counting{field, {}};
      EXPECT_EQ(recorded(counting, cells, w, h), expected) << cells;  // point by point
      EXPECT_EQ(recorded(field, cells, w, h), expected) << cells;     // corners decided by bounds
      EXPECT_EQ(recorded(EveryCornerField<BallField>{field}, cells, w, h), expected) << cells;
      // Every corner once, then one bisection per crossed edge: two per segment, saddles too.
      EXPECT_EQ(counting.evaluations.size(), (cells + 1) * (cells + 1) + 2 * expected.size());
      Surface drawn, traced;  // DrawContour, the batched path, draws the same lines
      ASSERT_TRUE(drawn.Create(w, h, 32));
      ASSERT_TRUE(traced.Create(w, h, 32));
      drawn.SetPenColor(0x00FFFFFF), traced.SetPenColor(0x00FFFFFF);
      field.DrawContour(cells, w, h, 2, &drawn);
      field.DrawContour(cells, w, h, 2, nullptr);  // no surface: nothing to draw on
      TraceContour(counting, cells, w, h, 2, traced);
      EXPECT_EQ(std::memcmp(drawn.pixels, traced.pixels, drawn.bitmapRecord.bmWidthBytes * h), 0);
    }
    for (std::int32_t cells : {0, -1, 707, 2147483647, 706}) {  // the corner flags must fit
      EXPECT_EQ(recorded(field, cells, 1412, 1412).empty(), cells != 706 || scene.empty()) << cells;
    }
  }
}

}  // namespace
