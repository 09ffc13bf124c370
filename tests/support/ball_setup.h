// Building scenes in tests: balls placed in one call, the application's scene, and the reference
// arithmetic of a 32-bit machine.
#pragma once

#include <cstdint>
#include <initializer_list>

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

inline void Place(BallField& field, std::initializer_list<BallSpec> balls) {
  for (const BallSpec& b : balls) Place(field, b);
}

inline Ball* AddBall(BallField& field, std::int32_t shape, std::uint32_t radius, std::int32_t cx,
                     std::int32_t cy, std::int32_t sx, std::int32_t sy) {
  return Place(field, {shape, radius, cx, cy, sx, sy});
}

// The application's scene: two round balls and a square one.
constexpr BallSpec kAppScene[] = {
    {BALL_ROUND, 80, -50, 0, 2, 1}, {BALL_ROUND, 80, 50, 0, 1, 1}, {BALL_SQUARE, 50, 0, 30, 2, 1}};

// A 64-bit value reduced to 32-bit two's complement, explicitly.
inline std::int32_t Wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

}  // namespace zantrel::test
