// Building scenes in tests: balls placed in one call, and the application's scene.
#pragma once

#include <cstdint>

#include "field/ball_field.h"

namespace zantrel::test {

struct BallSpec {
  std::int32_t shape;
  std::uint32_t radius;
  std::int32_t x, y, scaleX, scaleY;
};

inline Ball* Place(BallField& field, const BallSpec& b) {
  Ball* ball = field.AddBall(b.shape, b.radius);
  ball->centerX = b.x, ball->centerY = b.y, ball->scaleX = b.scaleX, ball->scaleY = b.scaleY;
  return ball;
}

// The application's scene: two round balls and a square one.
constexpr BallSpec kAppScene[] = {
    {BALL_ROUND, 80, -50, 0, 2, 1}, {BALL_ROUND, 80, 50, 0, 1, 1}, {BALL_SQUARE, 50, 0, 30, 2, 1}};

}  // namespace zantrel::test
