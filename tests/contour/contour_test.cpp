#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "contour/contour_trace.h"
#include "field/ball_field.h"
#include "field/field_kernels.h"
#include "tests/support/ball_setup.h"

namespace {

constexpr auto Add = zantrel::test::AddBall;

struct Trace {
  std::vector<TracedSegment> segments;
  std::vector<ContourPoint> evaluations;
};

Trace TraceOf(const BallField& field, std::int32_t cells, std::int32_t w, std::int32_t h,
          std::int32_t threshold) {
  CountingField<BallField> counting{field, {}};
  RecordingCanvas canvas;
  TraceContour(counting, cells, w, h, threshold, canvas);
  return {canvas.segments, counting.evaluations};
}

TEST(Contour, ApplicationSceneCounts) {
  BallField field;
  Add(field, BALL_ROUND, 80, -50, 0, 2, 1);
  Add(field, BALL_ROUND, 80, 50, 0, 1, 1);
  Add(field, BALL_SQUARE, 50, 0, 30, 2, 1);
  const Trace t = TraceOf(field, 200, 400, 400, 2);
  EXPECT_EQ(t.segments.size(), 394u);
  EXPECT_EQ(t.evaluations.size(), 41189u);
  // Corner pass first, row by row from the top-left corner.
  ASSERT_GE(t.evaluations.size(), 40401u);
  EXPECT_EQ(t.evaluations[0].x, -200);
  EXPECT_EQ(t.evaluations[0].y, 200);
  EXPECT_EQ(t.evaluations[1].x, -198);
  EXPECT_EQ(t.evaluations[201].y, 198);
  EXPECT_EQ(t.evaluations[40400].x, 200);
  EXPECT_EQ(t.evaluations[40400].y, -200);
  // No saddle: every crossed cell gives one segment, so crossings = 2 * segments.
  EXPECT_EQ(t.evaluations.size() - 40401u, 2 * t.segments.size());
}

TEST(Contour, LoneBallCountsAndCrossingPoints) {
  BallField field;
  Add(field, BALL_ROUND, 80, 0, 0, 1, 1);
  const Trace t = TraceOf(field, 200, 400, 400, 2);
  EXPECT_EQ(t.segments.size(), 228u);
  EXPECT_EQ(t.evaluations.size(), 40857u);
  EXPECT_EQ(field.FieldValue(-8, 56, 2), 0.0);  // exactly zero counts as inside
  // Every segment end is a crossing point: the midpoint (-12, 55) when it is inside, and the
  // inside corner (-8, 56) itself when the midpoint (-8, 57) is outside.
  auto touches = [&](std::int32_t x, std::int32_t y) {
    for (const TracedSegment& s : t.segments)
      if ((s.x0 == x && s.y0 == y) || (s.x1 == x && s.y1 == y)) return true;
    return false;
  };
  EXPECT_TRUE(touches(188, 145));
  EXPECT_TRUE(touches(192, 144));
  EXPECT_FALSE(touches(192, 143));
}

TEST(Contour, EmptyOrFullSceneDrawsNothing) {
  BallField empty;
  for (std::int32_t threshold : {2, -1}) {
    const Trace t = TraceOf(empty, 200, 400, 400, threshold);
    EXPECT_TRUE(t.segments.empty());
    EXPECT_EQ(t.evaluations.size(), 40401u);
  }
}

TEST(Contour, SaddlesCutOffEachInsideCorner) {
  struct Case {
    std::int32_t ax, ay, bx, by;
    std::uint32_t radius;
    std::vector<TracedSegment> expected;
  };
  const Case cases[] = {
      {-50, 50, 50, -50, 70, {{50, 0, 0, 50}, {100, 50, 50, 100}}},
      {50, 50, -50, -50, 70, {{50, 0, 100, 50}, {50, 100, 0, 50}}},
      {-50, 50, 50, -50, 60, {{0, 0, 0, 0}, {100, 100, 100, 100}}},
  };
  for (const Case& c : cases) {
    BallField field;
    Add(field, BALL_ROUND, c.radius, c.ax, c.ay, 1, 1);
    Add(field, BALL_ROUND, c.radius, c.bx, c.by, 1, 1);
    const Trace t = TraceOf(field, 1, 100, 100, 2);
    EXPECT_EQ(t.segments, c.expected) << c.ax << "," << c.ay << " r" << c.radius;
    EXPECT_EQ(t.evaluations.size(), 4u + 4u);
  }
}

// Inside on the left of a vertical line: isolates the bisection arithmetic.
struct LeftOf {
  std::int32_t limit;
  double FieldValue(std::int32_t x, std::int32_t, std::int32_t) const { return x <= limit ? 1 : -1; }
};

TEST(Contour, MidpointsTruncateTowardZeroOnOddCells) {
  // 400 / 133 = 3: the first two corner columns lie at x = -200 and -197, whose midpoint
  // truncates to -198 (flooring would give -199). -198 is outside, so the crossing stays on the
  // inside corner column, pixel x 0.
  const LeftOf field{-200};
  CountingField<LeftOf> counting{field, {}};
  RecordingCanvas canvas;
  TraceContour(counting, 133, 400, 400, 0, canvas);
  ASSERT_EQ(counting.evaluations.size(), 134u * 134u + 2u * 133u);
  for (std::size_t k = 134u * 134u; k < counting.evaluations.size(); ++k) {
    EXPECT_EQ(counting.evaluations[k].x, -198);
  }
  ASSERT_EQ(canvas.segments.size(), 133u);
  EXPECT_EQ(canvas.segments[0], (TracedSegment{0, 0, 0, 3}));
  // Moved right by one, the midpoint is inside and becomes the crossing.
  const LeftOf wider{-198};
  RecordingCanvas second;
  TraceContour(wider, 133, 400, 400, 0, second);
  ASSERT_EQ(second.segments.size(), 133u);
  EXPECT_EQ(second.segments[0], (TracedSegment{2, 0, 2, 3}));
}

TEST(Contour, CoarseGridCoversOnlyItsCells) {
  BallField field;
  Add(field, BALL_ROUND, 80, 0, 0, 1, 1);
  const Trace t = TraceOf(field, 300, 400, 400, 2);
  EXPECT_EQ(t.evaluations.size() >= 301u * 301u, true);
  for (std::size_t k = 0; k < 301u * 301u; ++k) {
    EXPECT_GE(t.evaluations[k].x, -200);
    EXPECT_LE(t.evaluations[k].x, 100);
    EXPECT_LE(t.evaluations[k].y, 200);
    EXPECT_GE(t.evaluations[k].y, -100);
  }
}

TEST(Contour, GridsBeyondTheFlagBufferAreRefused) {
  BallField field;
  Add(field, BALL_ROUND, 80, 0, 0, 1, 1);
  for (std::int32_t cells : {0, -1, -200, 707, 100000, 2147483647}) {
    const Trace t = TraceOf(field, cells, 400, 400, 2);
    EXPECT_TRUE(t.evaluations.empty()) << cells;
    EXPECT_TRUE(t.segments.empty()) << cells;
  }
  EXPECT_EQ(TraceOf(field, 706, 706, 706, 2).evaluations.size() >= 707u * 707u, true);
}

// BallField's corner pass works a row at a time (InsideRow) and its edge midpoints a row of cells
// at a time (InsidePoints), in the lanes of whichever field kernel is chosen; the recorders take
// the point by point path. Every kernel the CPU runs must draw the same lines.
TEST(Contour, RowAndBatchPassesDrawWhatThePointByPointPassDraws) {
  BallField scene, apart, square, saddles;
  Add(scene, BALL_ROUND, 80, -50, 0, 2, 1);
  Add(scene, BALL_ROUND, 80, 50, 0, 1, 1);
  Add(scene, BALL_SQUARE, 50, 0, 30, 2, 1);
  Add(apart, BALL_ROUND, 60, -120, 80, 1, 2);
  Add(apart, BALL_ROUND, 40, 130, -90, 3, 1);
  Add(square, BALL_SQUARE, 90, 10, -20, 1, 3);
  Add(square, BALL_SQUARE, 30, -150, 150, -1, 1);
  // Unit balls on every other corner of the 9-cell grid over 41 x 41: each of its cells a saddle.
  for (int i = 0; i <= 9; ++i) {
    for (int j = i % 2; j <= 9; j += 2) Add(saddles, BALL_ROUND, 1, 4 * j - 20, 20 - 4 * i, 1, 1);
  }
  ASSERT_EQ(TraceOf(saddles, 9, 41, 41, 2).segments.size(), 2u * 81u);
  const BallField* fields[] = {&scene, &apart, &square};
  for (const FieldKernel* kernel : AvailableFieldKernels()) {
    ASSERT_TRUE(UseFieldKernel(kernel->set));
    for (const BallField* field : fields) {
      for (auto [cells, size] : {std::pair{200, 400}, {133, 400}, {7, 400}, {706, 706}}) {
        RecordingCanvas rows;
        TraceContour(*field, cells, size, size, 2, rows);
        const Trace points = TraceOf(*field, cells, size, size, 2);
        ASSERT_FALSE(points.segments.empty()) << cells;
        EXPECT_EQ(rows.segments, points.segments) << kernel->name << " " << cells;
      }
    }
    RecordingCanvas rows;
    TraceContour(saddles, 9, 41, 41, 2, rows);
    EXPECT_EQ(rows.segments, TraceOf(saddles, 9, 41, 41, 2).segments) << kernel->name;
  }
  UseFieldKernel(AvailableFieldKernels().back()->set);
}

}  // namespace
