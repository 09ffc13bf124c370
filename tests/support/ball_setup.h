// Building scenes in tests: a ball added with its centre and scales in one call, and the
// reference arithmetic of a 32-bit machine.
#pragma once

#include <cstdint>

#include "field/ball_field.h"

namespace zantrel::test {

inline Ball* AddBall(BallField& field, std::int32_t shape, std::uint32_t radius, std::int32_t cx,
                     std::int32_t cy, std::int32_t sx, std::int32_t sy) {
  Ball* ball = field.AddBall(shape, radius);
  ball->centerX = cx;
  ball->centerY = cy;
  ball->scaleX = sx;
  ball->scaleY = sy;
  return ball;
}

// A 64-bit value reduced to 32-bit two's complement, explicitly.
inline std::int32_t Wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

}  // namespace zantrel::test
