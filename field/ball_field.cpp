#include "field/ball_field.h"

#include "field/wrap32.h"

namespace {

// Squared scaled distance of a round ball, as a wrapped 32-bit integer.
std::int32_t RoundDistance2(const Ball& ball, std::int32_t x, std::int32_t y) {
  const std::int32_t dx = wrap32::Mul(wrap32::Sub(ball.centerX, x), ball.scaleX);
  const std::int32_t dy = wrap32::Mul(wrap32::Sub(ball.centerY, y), ball.scaleY);
  return wrap32::Add(wrap32::Mul(dx, dx), wrap32::Mul(dy, dy));
}

// A square ball with a zero scale would divide by zero; it is inert instead (no contribution,
// never picked).
bool SquareUsable(const Ball& ball) { return ball.scaleX != 0 && ball.scaleY != 0; }

// Chebyshev distance of a square ball in divided units; |.| after the truncating division.
std::int32_t SquareDistance(const Ball& ball, std::int32_t x, std::int32_t y) {
  const std::int32_t ax = wrap32::Abs(wrap32::Div(wrap32::Sub(ball.centerX, x), ball.scaleX));
  const std::int32_t ay = wrap32::Abs(wrap32::Div(wrap32::Sub(ball.centerY, y), ball.scaleY));
  return ax > ay ? ax : ay;
}

double Contribution(const Ball& ball, std::int32_t x, std::int32_t y) {
  if (ball.shape == BALL_ROUND) {
    const double d2 = RoundDistance2(ball, x, y);
    const double divisor = d2 < 2.0 ? kFieldFloor : d2;
    return static_cast<double>(ball.radius * ball.radius) / divisor;
  }
  if (ball.shape == BALL_SQUARE && SquareUsable(ball)) {
    const double m = SquareDistance(ball, x, y);
    const double divisor = m < 1.0 ? kFieldFloor : m;
    return static_cast<double>(ball.radius) / divisor;
  }
  return 0.0;
}

}  // namespace

Ball* BallField::AddBall(std::int32_t shape, std::uint32_t radius) {
  auto* ball = new Ball(shape, radius);
  Append(ball);
  return ball;
}

double BallField::FieldValue(std::int32_t x, std::int32_t y, std::int32_t threshold) const {
  double sum = 0.0;
  for (const ListNode<Ball>* node = Head(); !node->isTail;) {
    node = node->next;
    sum = sum + Contribution(*node->item, x, y);
  }
  return sum - static_cast<double>(threshold);
}

Ball* BallField::PickBall(std::int32_t x, std::int32_t y) const {
  Ball* result = nullptr;
  std::uint32_t best = kPickStart;
  for (const ListNode<Ball>* node = Head(); !node->isTail;) {
    node = node->next;
    Ball* ball = node->item;
    std::uint32_t metric = 0;
    std::uint32_t reach = 0;
    if (ball->shape == BALL_ROUND) {
      metric = static_cast<std::uint32_t>(RoundDistance2(*ball, x, y));
      reach = ball->radius * ball->radius;
    } else if (ball->shape == BALL_SQUARE && SquareUsable(*ball)) {
      metric = static_cast<std::uint32_t>(SquareDistance(*ball, x, y));
      reach = ball->radius;
    } else {
      continue;
    }
    if (metric <= reach && metric < best) {
      result = ball;
      best = metric;
    }
  }
  return result;
}
