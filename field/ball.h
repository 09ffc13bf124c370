// Ball: one source of the scalar field, a plain record of seven 32-bit fields.
#pragma once

#include <cstdint>

constexpr std::int32_t BALL_ROUND = 1;   // inverse-square falloff, offsets multiplied by the scales
constexpr std::int32_t BALL_SQUARE = 2;  // inverse-Chebyshev falloff, offsets divided by the scales

struct Ball {
  Ball(std::int32_t shapeCode, std::uint32_t strength) : shape(shapeCode), radius(strength) {}

  std::int32_t shape;    // BALL_ROUND, BALL_SQUARE; anything else is inert
  std::uint32_t radius;  // round: its square is the numerator; square: the numerator itself
  std::int32_t centerX = 0;
  std::int32_t centerY = 0;
  std::int32_t scaleX = 0;  // the creator writes centre and scales right after AddBall
  std::int32_t scaleY = 0;
  std::int32_t useCount = 1;  // list entries holding this ball
};
