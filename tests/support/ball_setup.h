// Scenes in tests: a ball placed in one call.
#pragma once

#include "field/ball_field.h"

namespace zantrel::test {

struct BallSpec {
  std::int32_t shape;
  std::uint32_t radius;
  std::int32_t x, y, scaleX, scaleY;
  bool operator==(const BallSpec&) const = default;
};

inline Ball* Place(BallField& field, const BallSpec& b) {
  Ball* ball = field.AddBall(b.shape, b.radius);
  ball->centerX = b.x, ball->centerY = b.y, ball->scaleX = b.scaleX, ball->scaleY = b.scaleY;
  return ball;
}

}  // namespace zantrel::test
