#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "contour/contour_trace.h"
#include "field/ball_field.h"
#include "field/field_kernels.h"
#include "surface/surface.h"
#include "tests/support/ball_setup.h"

namespace {

using zantrel::test::BallSpec;
using zantrel::test::Place;

struct Trace {
  std::vector<TracedSegment> segments;
  std::vector<ContourPoint> evaluations;
};

template <class Field>
Trace TraceOf(const Field& field, std::int32_t cells, std::int32_t w, std::int32_t h) {
  CountingField<Field> counting{field, {}};
  RecordingCanvas canvas;
  TraceContour(counting, cells, w, h, 2, canvas);
  return {canvas.segments, counting.evaluations};
}

// Corners first, row by row from the top left, on a grid of width / cells by height / cells.
TEST(Contour, CornerPassWalksTheGridRowByRow) {
  BallField field;
  Place(field, {BALL_ROUND, 80, 0, 0, 1, 1});
  const Trace t = TraceOf(field, 50, 400, 200);  // cells 8 wide, 4 high
  ASSERT_GE(t.evaluations.size(), 51u * 51u);
  for (std::size_t k = 0; k < 51u * 51u; ++k) {
    const auto i = static_cast<std::int32_t>(k / 51), j = static_cast<std::int32_t>(k % 51);
    ASSERT_EQ(t.evaluations[k].x, 8 * j - 200) << k;
    ASSERT_EQ(t.evaluations[k].y, 100 - 4 * i) << k;
  }
  // One bisection per crossed edge; a convex shape has no saddle, so two per segment.
  EXPECT_EQ(t.evaluations.size() - 51u * 51u, 2 * t.segments.size());
}

// A lone round ball's contour, checked against the field itself: one segment per cell whose
// corners disagree, every end shared by an even number of segments (closed loops), every end the inside
// point of its cell edge with the next pixel outward along that edge outside.
TEST(Contour, LoneBallGivesAClosedLoopOfCrossings) {
  BallField field;
  Place(field, {BALL_ROUND, 80, 7, -3, 1, 1});
  const Trace t = TraceOf(field, 200, 400, 400);
  auto inside = [&](std::int32_t x, std::int32_t y) { return field.FieldValue(x, y, 2) >= 0; };
  std::size_t mixedCells = 0;
  for (std::int32_t y = 200; y > -200; y -= 2) {
    for (std::int32_t x = -200; x < 200; x += 2) {
      const int n = inside(x, y) + inside(x + 2, y) + inside(x, y - 2) + inside(x + 2, y - 2);
      mixedCells += n > 0 && n < 4;
    }
  }
  EXPECT_EQ(t.segments.size(), mixedCells);
  std::map<std::pair<std::int32_t, std::int32_t>, int> ends;
  for (const TracedSegment& s : t.segments) ++ends[{s.x0, s.y0}], ++ends[{s.x1, s.y1}];
  for (const auto& [end, count] : ends) {
    EXPECT_EQ(count % 2, 0) << end.first << "," << end.second;
    const std::int32_t x = end.first - 200, y = 200 - end.second;
    EXPECT_TRUE(inside(x, y)) << x << "," << y;
    const bool onColumn = x % 2 == 0, onRow = y % 2 == 0;
    const bool outwardOut = (onColumn && !inside(x, y + (y > -3 ? 1 : -1))) ||
                            (onRow && !inside(x + (x > 7 ? 1 : -1), y));
    EXPECT_TRUE(outwardOut) << x << "," << y;
  }
}

TEST(Contour, SaddlesCutOffEachInsideCorner) {
  struct Case {
    BallSpec a, b;
    std::vector<TracedSegment> expected;
  };
  const Case cases[] = {
      {{BALL_ROUND, 70, -50, 50, 1, 1}, {BALL_ROUND, 70, 50, -50, 1, 1}, {{50, 0, 0, 50}, {100, 50, 50, 100}}},
      {{BALL_ROUND, 70, 50, 50, 1, 1}, {BALL_ROUND, 70, -50, -50, 1, 1}, {{50, 0, 100, 50}, {50, 100, 0, 50}}},
      {{BALL_ROUND, 60, -50, 50, 1, 1}, {BALL_ROUND, 60, 50, -50, 1, 1}, {{0, 0, 0, 0}, {100, 100, 100, 100}}},
  };
  for (const Case& c : cases) {
    BallField field;
    Place(field, {c.a, c.b});
    const Trace t = TraceOf(field, 1, 100, 100);
    EXPECT_EQ(t.segments, c.expected) << c.a.x << "," << c.a.y << " r" << c.a.radius;
    EXPECT_EQ(t.evaluations.size(), 4u + 4u);  // the centre is never consulted
  }
}

// Inside left of a vertical line: isolates the bisection arithmetic.
struct LeftOf {
  std::int32_t limit;
  double FieldValue(std::int32_t x, std::int32_t, std::int32_t) const { return x <= limit ? 1 : -1; }
};

TEST(Contour, MidpointsTruncateTowardZero) {
  // 400 / 133 = 3: corner columns at x = -200 and -197, midpoint -198 (flooring gives -199).
  // Outside, it leaves the crossing on the inside corner, pixel 0; one step wider it is inside.
  for (auto [limit, crossing] : {std::pair{-200, 0}, std::pair{-198, 2}}) {
    const Trace t = TraceOf(LeftOf{limit}, 133, 400, 400);
    ASSERT_EQ(t.evaluations.size(), 134u * 134u + 2u * 133u);
    EXPECT_EQ(t.evaluations.back().x, -198);
    ASSERT_EQ(t.segments.size(), 133u);
    EXPECT_EQ(t.segments[0], (TracedSegment{crossing, 0, crossing, 3}));
  }
}

TEST(Contour, GridsBeyondTheFlagBufferAreRefused) {
  const LeftOf field{0};
  for (std::int32_t cells : {0, -1, 707, 2147483647}) {
    const Trace t = TraceOf(field, cells, 400, 400);
    EXPECT_TRUE(t.evaluations.empty() && t.segments.empty()) << cells;
  }
  EXPECT_EQ(TraceOf(field, 706, 706, 706).segments.size(), 706u);
}

// BallField's corner pass works a row at a time (InsideRow) and its edge midpoints a row of cells
// at a time (InsidePoints), in the lanes of whichever field kernel is chosen; the recorders take
// the point by point path. Every kernel the CPU runs must draw the same lines, and DrawContour
// draws them on the surface.
TEST(Contour, RowAndBatchPassesAndTheSurfaceDrawTheSameLines) {
  std::vector<std::vector<BallSpec>> scenes = {
      {std::begin(zantrel::test::kAppScene), std::end(zantrel::test::kAppScene)},
      {{BALL_ROUND, 60, -120, 80, 1, 2}, {BALL_ROUND, 40, 130, -90, 3, 1}},
      {{BALL_SQUARE, 90, 10, -20, 1, 3}, {BALL_SQUARE, 30, -150, 150, -1, 1}}, {}};
  // Unit balls on every other corner of the 9-cell grid over 41 x 41: each of its cells a saddle.
  for (int i = 0; i <= 9; ++i) {
    for (int j = i % 2; j <= 9; j += 2) scenes.back().push_back({BALL_ROUND, 1, 4 * j - 20, 20 - 4 * i, 1, 1});
  }
  for (const FieldKernel* kernel : AvailableFieldKernels()) {
    ASSERT_TRUE(UseFieldKernel(kernel->set));
    for (const auto& scene : scenes) {
      BallField field;
      for (const BallSpec& b : scene) Place(field, b);
      const bool saddles = scene.size() > 3;
      for (auto [cells, w, h] : {std::tuple{200, 400, 400}, {133, 400, 300}, {7, 400, 400}, {706, 706, 706}, {9, 41, 41}}) {
        if (saddles != (cells == 9)) continue;
        RecordingCanvas rows;
        TraceContour(field, cells, w, h, 2, rows);
        const Trace points = TraceOf(field, cells, w, h);
        ASSERT_EQ(points.segments.size() == 2u * 81u, saddles) << cells;
        EXPECT_EQ(rows.segments, points.segments) << kernel->name << " " << cells;
      }
      Surface surface;
      ASSERT_TRUE(surface.Create(400, 300, 32));
      surface.SetPenColor(0x00FFFFFF);
      field.DrawContour(100, 400, 300, 2, &surface);
      field.DrawContour(100, 400, 300, 2, nullptr);  // no surface: nothing to draw on
      for (const TracedSegment& s : TraceOf(field, 100, 400, 300).segments) {
        const bool offPicture = s.x1 >= 400 || s.y1 >= 300;
        EXPECT_TRUE(offPicture || GetPixel(surface.dc, s.x1, s.y1) == 0x00FFFFFF) << s.x1 << "," << s.y1;
      }
    }
  }
  UseFieldKernel(AvailableFieldKernels().back()->set);
}

}  // namespace
