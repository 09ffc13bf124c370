// The application's three-ball scene and the worked values around lone balls.
#include <gtest/gtest.h>

#include "field/ball_field.h"
#include "tests/support/ball_setup.h"

namespace {

constexpr auto Add = zantrel::test::AddBall;

struct Scene {
  Scene() {
    left = Add(field, BALL_ROUND, 80, -50, 0, 2, 1);
    right = Add(field, BALL_ROUND, 80, 50, 0, 1, 1);
    square = Add(field, BALL_SQUARE, 50, 0, 30, 2, 1);
  }
  BallField field;
  Ball* left;
  Ball* right;
  Ball* square;
};

TEST(Scene, CharacteristicPoints) {
  Scene scene;
  BallField& f = scene.field;
  // At a round centre the floor dominates; the other balls add their ordinary share.
  // Summed in list order, as the field does, so the doubles must agree exactly.
  EXPECT_EQ(f.FieldValue(50, 0, 2), 6400.0 / 40000.0 + 6400.0 / 1e-6 + 50.0 / 30.0 - 2.0);
  EXPECT_EQ(f.FieldValue(0, 30, 2), 6400.0 / 10900.0 + 6400.0 / 3400.0 + 50.0 / 1e-6 - 2.0);
  // Between the balls the field is well above the threshold; far away it is below.
  EXPECT_GT(f.FieldValue(0, 0, 2), 0.0);
  for (auto [x, y] : {std::pair{-200, 200}, std::pair{200, -200}, std::pair{0, -150},
                      std::pair{-200, 0}, std::pair{200, 0}}) {
    EXPECT_LT(f.FieldValue(x, y, 2), 0.0) << x << "," << y;
  }
  EXPECT_EQ(f.PickBall(-50, 0), scene.left);
  EXPECT_EQ(f.PickBall(50, 0), scene.right);
  EXPECT_EQ(f.PickBall(0, 30), scene.square);  // metric 0 beats the right ball's 3400
  // At the origin: left is out of reach (d2 10000), right has 2500, the square 30, which wins.
  EXPECT_EQ(f.PickBall(0, 0), scene.square);
  EXPECT_EQ(f.PickBall(-200, 200), nullptr);
}

TEST(Scene, LoneRoundBallIsInsideExactlyWithinD2Of3200) {
  BallField field;
  Add(field, BALL_ROUND, 80, 0, 0, 1, 1);
  for (std::int32_t y = -100; y <= 100; ++y) {
    for (std::int32_t x = -100; x <= 100; ++x) {
      const bool inside = x * x + y * y <= 3200;
      ASSERT_EQ(field.FieldValue(x, y, 2) >= 0.0, inside) << x << "," << y;
    }
  }
  EXPECT_EQ(field.FieldValue(-8, 56, 2), 0.0);  // d2 = 3200 exactly: inside
}

TEST(Scene, LoneSquareBallIsInsideExactlyOnItsRectangle) {
  BallField field;
  Add(field, BALL_SQUARE, 50, 0, 30, 2, 1);
  for (std::int32_t y = -50; y <= 110; ++y) {
    for (std::int32_t x = -120; x <= 120; ++x) {
      const bool inside = x >= -51 && x <= 51 && y >= 5 && y <= 55;
      ASSERT_EQ(field.FieldValue(x, y, 2) >= 0.0, inside) << x << "," << y;
    }
  }
}

}  // namespace
