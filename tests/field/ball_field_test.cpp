#include "field/ball_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include "tests/support/ball_setup.h"

namespace {

using zantrel::test::BallSpec;
using zantrel::test::kAppScene;
using zantrel::test::Place;
using zantrel::test::Wrap;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr double kFloor = 1e-6;

// One ball's share at (x, y) from its definition: round balls r^2 over the squared scaled offset,
// square balls r over the larger truncated divided offset; distances under 2 (round) or 1
// (square) divide by the floor; square balls with a zero scale and other shapes give nothing.
double Reference(const BallSpec& b, std::int64_t x, std::int64_t y) {
  if (b.shape == BALL_ROUND) {
    const std::int64_t dx = Wrap(std::int64_t{Wrap(b.x - x)} * b.scaleX), dy = Wrap(std::int64_t{Wrap(b.y - y)} * b.scaleY);
    const double d2 = Wrap(std::int64_t{Wrap(dx * dx)} + Wrap(dy * dy));
    return static_cast<std::uint32_t>(std::uint64_t{b.radius} * b.radius) / (d2 < 2 ? kFloor : d2);
  }
  if (b.shape != BALL_SQUARE || b.scaleX == 0 || b.scaleY == 0) return 0;
  const auto axis = [](std::int64_t centre, std::int64_t p, std::int64_t scale) {
    const std::int64_t q = Wrap(Wrap(centre - p) / scale);
    return Wrap(q < 0 ? -q : q);
  };
  const double m = std::max(axis(b.x, x, b.scaleX), axis(b.y, y, b.scaleY));
  return b.radius / (m < 1 ? kFloor : m);
}

double ReferenceField(const std::vector<BallSpec>& balls, std::int32_t x, std::int32_t y,
                      std::int32_t threshold) {
  double sum = 0.0;
  for (const BallSpec& b : balls) sum = sum + Reference(b, x, y);
  return sum - threshold;
}

TEST(BallField, WorkedValues) {
  struct Case {
    BallSpec ball;
    std::int32_t x, y;
    double value;  // threshold 2
  };
  const Case cases[] = {
      {{BALL_ROUND, 80, 0, 0, 1, 1}, 0, 0, 6400 / kFloor - 2},   // d2 0 and 1: the floor
      {{BALL_ROUND, 80, 0, 0, 1, 1}, 1, 0, 6400 / kFloor - 2},
      {{BALL_ROUND, 80, 0, 0, 1, 1}, 1, 1, 3200 - 2},             // d2 2 divides
      {{BALL_ROUND, 80, 0, 0, 1, 1}, -8, 56, 0},                  // d2 3200: on the contour
      {{BALL_ROUND, 80, 0, 0, 2, 1}, 10, 0, 16 - 2},              // scaled offset 20
      {{BALL_ROUND, 80, 0, 0, 0, 0}, 123, -45, 6400 / kFloor - 2},
      {{BALL_SQUARE, 50, 0, 0, 2, 1}, -1, 0, 50 / kFloor - 2},    // -1 / 2 truncates to 0
      {{BALL_SQUARE, 50, 0, 0, 2, 1}, 2, 0, 50 - 2},
      {{BALL_SQUARE, 50, 0, 0, 2, 1}, 0, -1, 50 - 2},
      {{BALL_SQUARE, 50, 0, 0, 2, 1}, 7, 3, 50.0 / 3 - 2},        // max(|-7/2|, |-3|)
      {{BALL_SQUARE, 50, 0, 0, -1, 1}, kMin, 10, 5 - 2},          // |INT_MIN / -1| stays negative
      {{BALL_SQUARE, 50, 0, 0, -1, -1}, kMin, kMin, 50 / kFloor - 2},
      {{BALL_SQUARE, 50, 0, 0, 0, 1}, 0, 0, -2},                  // zero scale: inert
      {{BALL_SQUARE, 50, 0, 0, 1, 0}, 5, 5, -2},
      {{3, 80, 0, 0, 1, 1}, 0, 0, -2},                            // unknown shape: inert
  };
  for (const Case& c : cases) {
    BallField field;
    Place(field, c.ball);
    EXPECT_EQ(field.FieldValue(c.x, c.y, 2), c.value) << c.ball.shape << " at " << c.x << "," << c.y;
  }
  BallField empty;
  EXPECT_EQ(empty.FieldValue(kMin, kMax, -7), 7.0);
}

// Lone balls of the application's sizes: inside exactly on the disc and the rectangle worked out
// by hand (r^2 / d2 >= 2 means d2 <= 3200; 50 / m >= 2 means m <= 25).
TEST(BallField, LoneBallsAreInsideOnTheirWorkedShapes) {
  BallField round, square;
  Place(round, {BALL_ROUND, 80, 0, 0, 1, 1});
  Place(square, {BALL_SQUARE, 50, 0, 30, 2, 1});
  for (std::int32_t y = -100; y <= 110; ++y) {
    for (std::int32_t x = -120; x <= 120; ++x) {
      ASSERT_EQ(round.FieldValue(x, y, 2) >= 0, x * x + y * y <= 3200) << x << "," << y;
      ASSERT_EQ(square.FieldValue(x, y, 2) >= 0, x >= -51 && x <= 51 && y >= 5 && y <= 55) << x << "," << y;
    }
  }
}

// Random scenes, wrapping values included: the field is the reference sum, in list order.
TEST(BallField, FieldValueIsTheSumOfTheDefinedShares) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> any(kMin, kMax), near(-300, 300), pick(0, 9);
  const std::int32_t extremes[] = {kMin, kMin + 1, -65536, -46341, -1, 0, 1, 46341, 65536, kMax};
  auto value = [&] { return pick(random) < 3 ? extremes[pick(random)] : pick(random) < 6 ? near(random) : any(random); };
  for (int scene = 0; scene < 400; ++scene) {
    std::vector<BallSpec> balls;
    for (int i = 0; i < 1 + scene % 4; ++i) {
      balls.push_back({pick(random) % 4, static_cast<std::uint32_t>(value()), value(), value(),
                       pick(random) < 2 ? 0 : value() % 5, value()});
    }
    BallField field;
    for (const BallSpec& b : balls) Place(field, b);
    for (int point = 0; point < 20; ++point) {
      const std::int32_t x = value(), y = value(), threshold = value();
      ASSERT_EQ(field.FieldValue(x, y, threshold), ReferenceField(balls, x, y, threshold)) << scene;
    }
  }
}

TEST(BallField, PicksTheSmallestMetricWithinReach) {
  struct Case {
    std::vector<BallSpec> balls;
    std::int32_t x, y;
    int picked;  // index into balls, -1 for none
  };
  const std::vector<BallSpec> pair = {{BALL_ROUND, 80, -10, 0, 1, 1}, {BALL_ROUND, 80, 10, 0, 1, 1}};
  const std::vector<BallSpec> app(std::begin(kAppScene), std::end(kAppScene));
  const Case cases[] = {
      {pair, 0, 0, 0},      // a tie goes to the earlier ball
      {pair, 1, 0, 1},
      {pair, -90, 0, 0},    // d2 6400 = r^2: on the edge, still inside
      {pair, -91, 0, -1},
      {{{BALL_ROUND, 80, 0, 0, 1, 1}, {BALL_SQUARE, 50, 5, 10, 1, 1}}, 5, 0, 1},  // 10 beats 25
      {{{BALL_ROUND, 1000, 0, 0, 1, 1}}, 999, 0, 0},
      {{{BALL_ROUND, 1000, 0, 0, 1, 1}}, 1000, 0, -1},  // d2 1000000 cannot beat the start value
      {{{BALL_SQUARE, 50, 0, 30, 2, 1}}, 101, 30, 0},   // |-101 / 2| = 50: the radius is the reach
      {{{BALL_SQUARE, 50, 0, 30, 2, 1}}, 102, 30, -1},
      {{{BALL_SQUARE, 50, 0, 30, 2, 1}}, 0, -21, -1},
      {{{BALL_SQUARE, 50, 0, 0, -1, 1}}, kMin, 10, 0},
      {{{BALL_SQUARE, 50, 0, 0, -1, -1}}, kMin, kMin, -1},  // metric INT_MIN is huge unsigned
      {{{BALL_SQUARE, 50, 0, 0, 0, 1}, {3, 80, 0, 0, 1, 1}, {0, 80, 0, 0, 1, 1}}, 0, 0, -1},
      {app, -50, 0, 0}, {app, 50, 0, 1}, {app, 0, 30, 2},
      {app, 0, 0, 2},       // right ball 2500, square 30, left out of reach
      {app, -200, 200, -1},
  };
  for (const Case& c : cases) {
    BallField field;
    std::vector<Ball*> balls;
    for (const BallSpec& b : c.balls) balls.push_back(Place(field, b));
    EXPECT_EQ(field.PickBall(c.x, c.y), c.picked < 0 ? nullptr : balls[static_cast<std::size_t>(c.picked)])
        << c.x << "," << c.y;
  }
}

TEST(BallField, InsideRowGivesTheFieldsSignAtEveryPoint) {
  struct Row {
    std::int32_t x0, dx, count, y, threshold;
  };
  const Row rows[] = {{-200, 2, 201, 200, 2},      {-353, 1, 707, 56, 2},     {-400, 3, 300, 0, 2},
                      {kMin, 65536, 300, kMax, 0},
                      {kMax, -7, 257, kMin, -5},    {5, 0, 256, 30, 2},        {0, 3, 0, 0, 2},
                      {-100, 1, 255, 1, kMin},      {-3, 1, 7, 1, 2}};
  std::mt19937 random(11);
  std::uniform_int_distribution<std::int32_t> any(kMin, kMax), near(-300, 300);
  std::vector<std::vector<BallSpec>> scenes = {
      {std::begin(kAppScene), std::end(kAppScene)},
      {{BALL_SQUARE, 50, 0, 0, -1, 1}, {BALL_SQUARE, 70, 3, 4, 0, 2}, {7, 90, 0, 0, 1, 1},
       {BALL_ROUND, 0xFFFFFFFFu, kMax, kMin, 46341, -65536}, {BALL_SQUARE, 0xFFFFFFFFu, kMin, kMax, -3, kMin}},
      {{BALL_SQUARE, 1, 0, 0, 1, 1}}, {{BALL_ROUND, 1, 0, 0, 1, 1}},
      {{BALL_ROUND, 80, 0, 0, 1, 1}},  // the row y = 56 meets the contour exactly at x = -8
      {}, {}};
  for (int i = 0; i < 24; ++i) {
    scenes[5].push_back({i % 3 == 2 ? BALL_SQUARE : BALL_ROUND, static_cast<std::uint32_t>(near(random)) % 120,
                         near(random), near(random), near(random) % 4, 1 + i % 2});
    scenes[6].push_back({i % 4, static_cast<std::uint32_t>(any(random)), any(random), any(random), any(random), any(random)});
  }
  for (const auto& scene : scenes) {
    BallField field;
    for (const BallSpec& b : scene) Place(field, b);
    for (const Row& row : rows) {
      std::vector<std::uint8_t> inside(static_cast<std::size_t>(row.count) + 1, 0xAA);
      field.InsideRow(row.x0, row.dx, row.count, row.y, row.threshold, inside.data());
      for (std::int32_t k = 0; k < row.count; ++k) {
        const std::int32_t x = Wrap(std::int64_t{k} * row.dx + row.x0);
        ASSERT_EQ(inside[static_cast<std::size_t>(k)], ReferenceField(scene, x, row.y, row.threshold) >= 0 ? 1 : 0)
            << "x " << x << " y " << row.y;
      }
      EXPECT_EQ(inside.back(), 0xAA) << "written past the row";
    }
  }
}

}  // namespace
