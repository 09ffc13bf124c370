#include "field/ball_field.h"

#include <cstring>

#include "field/field_kernels.h"
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

namespace {

// Points per pass of the lane kernel: the sums of one chunk stay in the first-level cache.
constexpr std::int32_t kChunk = 256;

std::int32_t RoundedUp(std::int32_t count) {
  return (count + kMaxFieldLanes - 1) / kMaxFieldLanes * kMaxFieldLanes;
}

// Adds every contributing ball's terms to the chunk's sums, in list order. Inert balls are
// skipped: they would add +0.0, which changes no sum (each is +0.0 plus non-negative terms).
// The kernels work in whole lane groups, so the sums of the last group's spare lanes are set too.
template <class AddBall>
void SumBalls(const BallField& field, std::int32_t count, double* sums, AddBall addBall) {
  std::memset(sums, 0, sizeof(double) * static_cast<std::size_t>(RoundedUp(count)));  // +0.0
  for (const ListNode<Ball>* node = field.Head(); !node->isTail;) {
    node = node->next;
    const Ball& ball = *node->item;
    if (ball.shape == BALL_ROUND || (ball.shape == BALL_SQUARE && SquareUsable(ball))) addBall(ball);
  }
}

std::int32_t ChunkSize(std::int32_t first, std::int32_t count) {
  return count - first < kChunk ? count - first : kChunk;
}

}  // namespace

void BallField::InsideRow(std::int32_t x0, std::int32_t dx, std::int32_t count, std::int32_t y,
                          std::int32_t threshold, std::uint8_t* inside) const {
  const FieldKernel& kernel = ActiveFieldKernel();
  double sums[kChunk];
  for (std::int32_t first = 0; first < count; first += kChunk) {
    const std::int32_t n = ChunkSize(first, count);
    const std::int32_t start = wrap32::Add(wrap32::Mul(first, dx), x0);
    SumBalls(*this, n, sums, [&](const Ball& ball) { kernel.addRow(ball, start, dx, n, y, sums); });
    kernel.insideFlags(sums, n, threshold, inside + first);
  }
}

void BallField::InsidePoints(const std::int32_t* xs, const std::int32_t* ys, std::int32_t count,
                             std::int32_t threshold, std::uint8_t* inside) const {
  const FieldKernel& kernel = ActiveFieldKernel();
  double sums[kChunk];
  for (std::int32_t first = 0; first < count; first += kChunk) {
    const std::int32_t n = ChunkSize(first, count);
    // The kernel reads whole lane groups: it takes the whole ones where they lie, and the last,
    // partial one from a copy padded with defined points.
    const std::int32_t whole = n / kMaxFieldLanes * kMaxFieldLanes;
    std::int32_t x[kMaxFieldLanes] = {}, y[kMaxFieldLanes] = {};
    std::memcpy(x, xs + first + whole, sizeof(std::int32_t) * static_cast<std::size_t>(n - whole));
    std::memcpy(y, ys + first + whole, sizeof(std::int32_t) * static_cast<std::size_t>(n - whole));
    SumBalls(*this, n, sums, [&](const Ball& ball) {
      kernel.addPoints(ball, xs + first, ys + first, whole, sums);
      if (whole < n) kernel.addPoints(ball, x, y, n - whole, sums + whole);
    });
    kernel.insideFlags(sums, n, threshold, inside + first);
  }
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
