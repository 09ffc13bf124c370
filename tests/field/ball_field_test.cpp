#include "field/ball_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "tests/support/ball_setup.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

using zantrel::test::Wrap;
constexpr auto Add = zantrel::test::AddBall;

// Reference arithmetic of a 32-bit machine, computed in 64 bits and reduced explicitly.
double RoundReference(std::int64_t cx, std::int64_t cy, std::int64_t sx, std::int64_t sy,
                      std::uint32_t r, std::int64_t x, std::int64_t y) {
  const std::int64_t dx = Wrap(Wrap(cx - x) * sx);
  const std::int64_t dy = Wrap(Wrap(cy - y) * sy);
  const double d2 = Wrap(std::int64_t{Wrap(dx * dx)} + Wrap(dy * dy));
  const auto num = static_cast<std::uint32_t>(std::uint64_t{r} * r);
  return num / (d2 < 2.0 ? 1e-6 : d2);
}

TEST(BallField, AddBallAppendsInOrderWithUseCountOne) {
  BallField field;
  Ball* a = field.AddBall(BALL_ROUND, 80);
  Ball* b = field.AddBall(BALL_SQUARE, 50);
  EXPECT_EQ(a->shape, BALL_ROUND);
  EXPECT_EQ(a->radius, 80u);
  EXPECT_EQ(a->useCount, 1);
  EXPECT_EQ(b->shape, BALL_SQUARE);
  EXPECT_EQ(field.next->item, a);
  EXPECT_EQ(field.next->next->item, b);
  EXPECT_TRUE(field.next->next->isTail);
}

TEST(BallField, EmptyFieldIsMinusThresholdAndPicksNothing) {
  BallField field;
  EXPECT_EQ(field.FieldValue(0, 0, 2), -2.0);
  EXPECT_EQ(field.FieldValue(kMin, kMax, -7), 7.0);
  EXPECT_EQ(field.PickBall(0, 0), nullptr);
  EXPECT_EQ(field.PickBall(0, 0), field.Head()->item);
}

TEST(BallField, RoundBallNearItsCentreUsesTheFloor) {
  BallField field;
  Add(field, BALL_ROUND, 80, 0, 0, 1, 1);
  struct Case {
    std::int32_t x, y;
    double expected;
  };
  const Case cases[] = {
      {0, 0, 6400 / 1e-6}, {1, 0, 6400 / 1e-6}, {0, -1, 6400 / 1e-6},
      {1, 1, 3200.0},      {2, 0, 1600.0},      {40, 40, 2.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(field.FieldValue(c.x, c.y, 0), c.expected) << c.x << "," << c.y;
  }
  EXPECT_DOUBLE_EQ(field.FieldValue(0, 0, 0), 6.4e9);
}

TEST(BallField, RoundScalesMultiplyOffsetsAndSignSquaresAway) {
  BallField narrow, negative;
  Add(narrow, BALL_ROUND, 80, 0, 0, 2, 1);
  Add(negative, BALL_ROUND, 80, 0, 0, -2, -1);
  for (std::int32_t x = -60; x <= 60; x += 3) {
    for (std::int32_t y = -60; y <= 60; y += 3) {
      const double expected = RoundReference(0, 0, 2, 1, 80, x, y);
      EXPECT_EQ(narrow.FieldValue(x, y, 0), expected);
      EXPECT_EQ(negative.FieldValue(x, y, 0), expected);
    }
  }
  EXPECT_EQ(narrow.FieldValue(10, 0, 0), 6400.0 / 400.0);
}

TEST(BallField, SquarePlateauTruncatesTowardZero) {
  BallField field;
  Add(field, BALL_SQUARE, 50, 0, 0, 2, 1);
  const double plateau = 50 / 1e-6;
  for (std::int32_t x : {-1, 0, 1}) EXPECT_EQ(field.FieldValue(x, 0, 0), plateau) << x;
  EXPECT_EQ(field.FieldValue(2, 0, 0), 50.0);
  EXPECT_EQ(field.FieldValue(-2, 0, 0), 50.0);
  EXPECT_EQ(field.FieldValue(0, 1, 0), 50.0);
  EXPECT_EQ(field.FieldValue(0, -1, 0), 50.0);
  EXPECT_EQ(field.FieldValue(7, 3, 0), 50.0 / 3.0);  // max(|-7/2|, |-3|) = 3
}

TEST(BallField, NegativeSquareScaleActsLikeItsMagnitude) {
  BallField positive, negative;
  Add(positive, BALL_SQUARE, 50, 3, -4, 2, 3);
  Add(negative, BALL_SQUARE, 50, 3, -4, -2, -3);
  for (std::int32_t x = -30; x <= 30; ++x) {
    for (std::int32_t y = -30; y <= 30; y += 7) {
      EXPECT_EQ(positive.FieldValue(x, y, 2), negative.FieldValue(x, y, 2));
      EXPECT_EQ(positive.PickBall(x, y) != nullptr, negative.PickBall(x, y) != nullptr);
    }
  }
}

TEST(BallField, UnknownShapesAreInert) {
  BallField field;
  Add(field, 3, 80, 0, 0, 1, 1);
  Add(field, 0, 80, 0, 0, 1, 1);
  EXPECT_EQ(field.FieldValue(0, 0, 2), -2.0);
  EXPECT_EQ(field.PickBall(0, 0), nullptr);
  Ball* round = Add(field, BALL_ROUND, 80, 100, 0, 1, 1);
  BallField alone;
  Add(alone, BALL_ROUND, 80, 100, 0, 1, 1);
  for (std::int32_t x = -20; x <= 220; x += 10) {
    EXPECT_EQ(field.FieldValue(x, 3, 2), alone.FieldValue(x, 3, 2));
  }
  EXPECT_EQ(field.PickBall(0, 0), nullptr);
  EXPECT_EQ(field.PickBall(100, 0), round);
}

TEST(BallField, ZeroScaleSquareBallIsInertInsteadOfDividingByZero) {
  for (auto [sx, sy] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{0, 0}}) {
    BallField field;
    Add(field, BALL_SQUARE, 50, 0, 0, sx, sy);
    EXPECT_EQ(field.FieldValue(0, 0, 2), -2.0);
    EXPECT_EQ(field.FieldValue(kMin, kMin, 0), 0.0);
    EXPECT_EQ(field.PickBall(0, 0), nullptr);
  }
  // A zero-scale round ball is well defined: every offset multiplies to 0.
  BallField round;
  Add(round, BALL_ROUND, 80, 0, 0, 0, 0);
  EXPECT_EQ(round.FieldValue(123, -45, 0), 6400 / 1e-6);
}

TEST(BallField, PickingPrefersSmallestMetricAndEarlierOnTies) {
  BallField field;
  Ball* first = Add(field, BALL_ROUND, 80, -10, 0, 1, 1);
  Ball* second = Add(field, BALL_ROUND, 80, 10, 0, 1, 1);
  EXPECT_EQ(field.PickBall(0, 0), first);  // both at d2 = 100
  EXPECT_EQ(field.PickBall(1, 0), second);
  EXPECT_EQ(field.PickBall(-90, 0), first);  // d2 = 6400: on the edge, still inside
  EXPECT_EQ(field.PickBall(-91, 0), nullptr);

  BallField mixed;
  Add(mixed, BALL_ROUND, 80, 0, 0, 1, 1);
  Ball* square = Add(mixed, BALL_SQUARE, 50, 5, 10, 1, 1);
  // Round metric 25 (distance 5), square metric 10: the smaller number wins across shapes.
  EXPECT_EQ(mixed.PickBall(5, 0), square);
}

TEST(BallField, PickStartCapsLargeRoundBalls) {
  BallField field;
  Ball* big = Add(field, BALL_ROUND, 1000, 0, 0, 1, 1);
  EXPECT_EQ(field.PickBall(999, 0), big);  // d2 = 998001
  EXPECT_EQ(field.PickBall(1000, 0), nullptr);  // d2 = 1000000 cannot beat the start value
  BallField larger;
  Add(larger, BALL_ROUND, 2000, 0, 0, 1, 1);
  EXPECT_EQ(larger.PickBall(1500, 0), nullptr);  // within reach (4e6) but metric 2.25e6
}

TEST(BallField, SquarePickingUsesRadiusAsReach) {
  BallField field;
  Ball* square = Add(field, BALL_SQUARE, 50, 0, 30, 2, 1);
  EXPECT_EQ(field.PickBall(101, 30), square);  // |-101/2| = 50
  EXPECT_EQ(field.PickBall(102, 30), nullptr);
  EXPECT_EQ(field.PickBall(0, -20), square);
  EXPECT_EQ(field.PickBall(0, -21), nullptr);
}

TEST(BallField, HugeValuesWrapLikeA32BitMachine) {
  // Every step overflows; the results must be those of 32-bit two's complement, computed here
  // independently, and the sanitizer run must stay silent.
  const std::int32_t values[] = {kMin, kMin + 1, -65536, -46341, -1, 0, 1, 46341, 65536, kMax};
  const std::uint32_t radii[] = {0, 80, 65535, 65536, 0xFFFFFFFFu};
  for (std::int32_t c : values) {
    for (std::int32_t s : values) {
      for (std::uint32_t r : radii) {
        BallField field;
        Add(field, BALL_ROUND, r, c, Wrap(-std::int64_t{c}), s, s);
        Add(field, BALL_SQUARE, r, c, c, s, Wrap(-std::int64_t{s}));
        const double v = field.FieldValue(kMax, kMin, kMin);
        EXPECT_FALSE(std::isnan(v));
        BallField round;
        Add(round, BALL_ROUND, r, c, Wrap(-std::int64_t{c}), s, s);
        EXPECT_EQ(round.FieldValue(kMax, kMin, 0), RoundReference(c, Wrap(-std::int64_t{c}), s, s, r, kMax, kMin));
        (void)field.PickBall(kMin, kMax);
      }
    }
  }
}

TEST(BallField, MinIntOverMinusOneGivesTheWrappedQuotient) {
  BallField field;
  Ball* ball = Add(field, BALL_SQUARE, 50, 0, 0, -1, 1);
  // (0 - INT_MIN) wraps to INT_MIN; INT_MIN / -1 wraps to INT_MIN; |INT_MIN| stays INT_MIN, which
  // is negative, so the larger (signed) metric is the other axis.
  EXPECT_EQ(field.FieldValue(kMin, 10, 0), 5.0);
  EXPECT_EQ(field.PickBall(kMin, 10), ball);
  // Both axes INT_MIN: a negative metric takes the floor, and as an unsigned metric it is huge.
  ball->scaleY = -1;
  EXPECT_EQ(field.FieldValue(kMin, kMin, 0), 50 / 1e-6);
  EXPECT_EQ(field.PickBall(kMin, kMin), nullptr);
}

}  // namespace
