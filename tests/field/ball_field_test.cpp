#include "field/ball_field.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "tests/support/ball_setup.h"

namespace {

using zantrel::test::BallSpec;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(BallField, WorkedValues) {
  struct Case {
    BallSpec ball;
    std::int32_t x, y;
    double value;  // threshold 2
  };
  const Case cases[] = {
      {{BALL_ROUND, 80, 0, 0, 1, 1}, 1, 0, 6400 / 1e-6 - 2},  // d2 1: the floor
      {{BALL_ROUND, 80, 0, 0, 1, 1}, 1, 1, 3200 - 2},         // d2 2 divides
      {{BALL_ROUND, 80, 0, 0, 1, 1}, -8, 56, 0},              // d2 3200: on the contour
      {{BALL_ROUND, 80, 0, 0, 2, 1}, 10, 0, 16 - 2},          // scaled offset 20
      {{BALL_ROUND, 80, 0, 0, 65536, 1}, 1, 0, 6400 / 1e-6 - 2},  // 65536^2 wraps to 0
      {{BALL_ROUND, 65536, 0, 0, 1, 1}, 0, 10, -2},           // so does 65536^2 as numerator
      {{BALL_SQUARE, 50, 0, 0, 2, 1}, -1, 0, 50 / 1e-6 - 2},  // -1 / 2 truncates to 0
      {{BALL_SQUARE, 50, 0, 0, 2, 1}, 0, -1, 50 - 2},         // m 1 divides
      {{BALL_SQUARE, 50, 0, 0, 2, 1}, 7, 3, 50.0 / 3 - 2},    // max(|-7 / 2|, |-3|)
      {{BALL_SQUARE, 50, 0, 0, -1, 1}, kMin, 10, 5 - 2},      // |INT_MIN / -1| stays negative
      {{BALL_SQUARE, 50, 0, 0, 1, 0}, 5, 5, -2},              // a zero scale: inert
      {{3, 80, 0, 0, 1, 1}, 0, 0, -2},                        // other shapes: inert
  };
  for (const Case& c : cases) {
    BallField field;
    zantrel::test::Place(field, c.ball);
    EXPECT_EQ(field.FieldValue(c.x, c.y, 2), c.value) << c.ball.shape << " at " << c.x << "," << c.y;
  }
}

TEST(BallField, PicksTheSmallestMetricWithinReach) {
  struct Case {
    std::vector<BallSpec> balls;
    std::int32_t x, y;
    int picked;  // index into balls, -1 for none
  };
  const std::vector<BallSpec> pair = {{BALL_ROUND, 80, -10, 0, 1, 1}, {BALL_ROUND, 80, 10, 0, 1, 1}};
  const std::vector<BallSpec> app(std::begin(zantrel::test::kAppScene), std::end(zantrel::test::kAppScene));
  const Case cases[] = {
      {pair, 0, 0, 0},  // a tie goes to the earlier ball
      {pair, 1, 0, 1},
      {pair, -90, 0, 0},  // d2 6400 = r^2: on the edge, still inside
      {pair, -91, 0, -1},
      {{{BALL_ROUND, 80, 0, 0, 1, 1}, {BALL_SQUARE, 50, 5, 10, 1, 1}}, 5, 0, 1},  // 10 beats 25
      {{{BALL_ROUND, 1000, 0, 0, 1, 1}}, 999, 0, 0},
      {{{BALL_ROUND, 1000, 0, 0, 1, 1}}, 1000, 0, -1},  // d2 1000000 cannot beat the start value
      {{{BALL_SQUARE, 50, 0, 30, 2, 1}}, 101, 30, 0},   // |-101 / 2| = 50: the radius is the reach
      {{{BALL_SQUARE, 50, 0, 30, 2, 1}}, 102, 30, -1},
      {{{BALL_SQUARE, 50, 0, 0, -1, 1}}, kMin, 10, 0},
      {{{BALL_SQUARE, 50, 0, 0, -1, -1}}, kMin, kMin, -1},  // metric INT_MIN is huge unsigned
      {{{BALL_SQUARE, 50, 0, 0, 0, 1}, {3, 80, 0, 0, 1, 1}, {0, 80, 0, 0, 1, 1}}, 0, 0, -1},
      {app, 0, 0, 2},  // right ball 2500, square 30, left out of reach
      {app, -200, 200, -1},
  };
  for (const Case& c : cases) {
    BallField field;
    std::vector<Ball*> balls;
    for (const BallSpec& b : c.balls) balls.push_back(zantrel::test::Place(field, b));
    EXPECT_EQ(field.PickBall(c.x, c.y), c.picked < 0 ? nullptr : balls[static_cast<std::size_t>(c.picked)])
        << c.x << "," << c.y;
  }
}

}  // namespace
