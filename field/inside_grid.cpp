// BallField::InsideGrid: the corner flags of a grid, deciding whole blocks of corners by bounds
// on the field and evaluating corner by corner only the blocks the bounds leave open.
//
// Why the bounds decide exactly what the corners would. Wherever a ball's integer steps cannot
// wrap over a block (below), its term at every corner of the block is a non-increasing function
// of a distance that is smallest at the block's nearest point and largest at its farthest (the
// floor substitutions keep that: the floor stands for the smallest distances and gives the
// largest term). The term is one correctly rounded division of a fixed numerator, and rounding is
// monotone, so the rounded term at every corner lies between the rounded terms at those two
// distances: low <= term <= high, with low, high and term all doubles. A corner's value is the
// running sum of its terms rounded after each addition in list order, and a rounded addition is
// monotone in both operands; summing the lows, and the highs, with the same additions in the same
// order therefore gives doubles that bound every corner's rounded sum, and the same subtraction of
// the threshold and the same comparison with 0.0 keep the order. No further margin is needed: the
// rounding of the corner sums is covered by rounding the bounds identically, not by widening
// them (the bounds only add and divide, so no contraction into a fused operation can change them;
// every build does double arithmetic in SSE2 or WebAssembly registers, never in x87's wider
// ones). Inert balls add +0.0 to a sum of non-negative terms, which changes nothing, so both the
// corners and the bounds skip them.
//
// No wrap over a block: for a round ball the offsets from the centre, their scaled values and the
// sum of their squares stay inside 32 bits at every point of the block; for a square ball the
// offsets do, INT_MIN excluded (|INT_MIN / -1| is the one quotient that wraps). The block's
// points are taken in 64 bits: a point whose 32-bit coordinate wrapped has the same offsets
// modulo 2^32, so an offset that fits is the one the 32-bit steps compute. Where a ball could wrap,
// the block is not decided; it is split, and what is left at the smallest size is evaluated.
#include <cstring>

#include "field/ball_field.h"

namespace {

constexpr std::int64_t kInt32Max = 0x7FFFFFFF;
// Blocks of at most this many corners a side are not split further: their undecided corners are
// evaluated (a lane kernel's points, a few lane groups per row).
constexpr std::int32_t kLeafSide = 8;
// Depth-first blocks waiting: each split replaces one block by at most four, and a grid of up to
// 2^31 corners a side is split at most 31 times, so 3 * 31 + 1 entries always suffice.
constexpr int kMaxPendingBlocks = 94;
// Undecided corners gathered before they are evaluated together; at least one leaf block's worth.
constexpr int kMaxGathered = 512;
static_assert(kMaxGathered >= kLeafSide * kLeafSide);

// A contributing ball, as its bounds need it: centre, scale magnitudes, numerator.
struct BoundedBall {
  bool round;
  std::int64_t centerX, centerY;
  std::int64_t scaleX, scaleY;  // |scale|, 2^31 for INT_MIN
  double inverseX, inverseY;    // 1 / |scale|, for a square ball's quotients
  double numerator;
};

// floor(a / divisor) for 0 <= a < 2^31 and 0 < divisor <= 2^31, without a division: the product
// with the rounded inverse is within one of the quotient, and the integer steps correct it.
std::int64_t Quotient(std::int64_t a, std::int64_t divisor, double inverse) {
  std::int64_t q = static_cast<std::int64_t>(static_cast<double>(a) * inverse);
  if (q * divisor > a) --q;
  if ((q + 1) * divisor <= a) ++q;
  return q;
}

std::int64_t Magnitude(std::int64_t v) { return v < 0 ? -v : v; }

// The nearest and farthest |v| for v in [low, high].
struct Reach {
  std::int64_t nearest, farthest;
};
Reach ReachOf(std::int64_t low, std::int64_t high) {
  const std::int64_t a = Magnitude(low), b = Magnitude(high);
  if (low <= 0 && high >= 0) return {0, a > b ? a : b};
  return a < b ? Reach{a, b} : Reach{b, a};
}

// A block of corners: rows [row, row + rows), columns [column, column + columns).
struct Block {
  std::int32_t row, column, rows, columns;
};

// The field points a block spans, in 64 bits.
struct Extent {
  std::int64_t lowX, highX, lowY, highY;
};

// The divisors of one ball's term at the extent's nearest and farthest points, floor substituted;
// false where a step could wrap there.
struct Divisors {
  double nearest, farthest;
};
bool DivisorsOver(const BoundedBall& b, const Extent& e, Divisors& divisors) {
  const Reach ox = ReachOf(b.centerX - e.highX, b.centerX - e.lowX);
  const Reach oy = ReachOf(b.centerY - e.highY, b.centerY - e.lowY);
  if (ox.farthest > kInt32Max || oy.farthest > kInt32Max) return false;
  if (b.round) {
    constexpr std::int64_t kLargestRoot = 46340;  // the largest square inside 32 bits is 46340^2
    const std::int64_t farX = ox.farthest * b.scaleX, farY = oy.farthest * b.scaleY;
    if (farX > kLargestRoot || farY > kLargestRoot) return false;
    const std::int64_t farthest = farX * farX + farY * farY;
    if (farthest > kInt32Max) return false;
    const std::int64_t nearX = ox.nearest * b.scaleX, nearY = oy.nearest * b.scaleY;
    const std::int64_t nearest = nearX * nearX + nearY * nearY;
    divisors = {nearest < 2 ? kFieldFloor : static_cast<double>(nearest),
                farthest < 2 ? kFieldFloor : static_cast<double>(farthest)};
    return true;
  }
  const std::int64_t nearX = Quotient(ox.nearest, b.scaleX, b.inverseX);
  const std::int64_t nearY = Quotient(oy.nearest, b.scaleY, b.inverseY);
  const std::int64_t farX = Quotient(ox.farthest, b.scaleX, b.inverseX);
  const std::int64_t farY = Quotient(oy.farthest, b.scaleY, b.inverseY);
  const std::int64_t nearest = nearX > nearY ? nearX : nearY;
  const std::int64_t farthest = farX > farY ? farX : farY;
  divisors = {nearest < 1 ? kFieldFloor : static_cast<double>(nearest),
              farthest < 1 ? kFieldFloor : static_cast<double>(farthest)};
  return true;
}

// count inside flags from flags on: short runs, the most common, in two overlapping stores.
void FillInside(std::uint8_t* flags, std::int32_t count) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  if (count >= 8 && count <= 16) {
    std::memcpy(flags, &kOnes, 8);
    std::memcpy(flags + count - 8, &kOnes, 8);
  } else {
    std::memset(flags, 1, static_cast<std::size_t>(count));
  }
}

std::int32_t Wrapped(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

}  // namespace

std::int64_t BallField::InsideGrid(std::int32_t x0, std::int32_t dx, std::int32_t columns, std::int32_t y0,
                                   std::int32_t dy, std::int32_t rows, std::int32_t threshold,
                                   std::uint8_t* flags, std::int32_t* firstSet, std::int32_t* lastSet) const {
  if (columns <= 0 || rows <= 0) return 0;
  // Rows start with nothing set; a fill or an evaluation widens its rows' spans.
  auto mayBeSet = [&](std::int32_t row, std::int32_t column, std::int32_t count) {
    if (!firstSet || !lastSet) return;
    if (column < firstSet[row]) firstSet[row] = column;
    if (column + count - 1 > lastSet[row]) lastSet[row] = column + count - 1;
  };
  if (firstSet && lastSet) {
    for (std::int32_t r = 0; r < rows; ++r) firstSet[r] = columns, lastSet[r] = -1;
  }
  const auto stride = static_cast<std::size_t>(columns);
  BoundedBall balls[kMaxBoundedBalls];
  int ballCount = 0;
  for (const ListNode<Ball>* node = Head(); !node->isTail;) {
    node = node->next;
    const Ball& ball = *node->item;
    const bool round = ball.shape == BALL_ROUND;
    if (!round && (ball.shape != BALL_SQUARE || ball.scaleX == 0 || ball.scaleY == 0)) continue;
    if (ballCount == kMaxBoundedBalls) {  // more balls than the bounds cover: every corner exactly
      for (std::int32_t r = 0; r < rows; ++r) {
        mayBeSet(r, 0, columns);
        InsideRow(x0, dx, columns, Wrapped(std::int64_t{y0} - std::int64_t{r} * dy), threshold,
                  flags + stride * static_cast<std::size_t>(r));
      }
      return std::int64_t{rows} * columns;
    }
    const std::int64_t scaleX = Magnitude(ball.scaleX), scaleY = Magnitude(ball.scaleY);
    balls[ballCount++] = {round, ball.centerX, ball.centerY, scaleX, scaleY,
                          1.0 / static_cast<double>(scaleX), 1.0 / static_cast<double>(scaleY),
                          round ? static_cast<double>(ball.radius * ball.radius) : static_cast<double>(ball.radius)};
  }

  const double limit = static_cast<double>(threshold);
  std::int64_t evaluated = 0;
  // Gathered corners, a block's row after another; each row's flags go back in one copy.
  std::int32_t xs[kMaxGathered], ys[kMaxGathered];
  std::uint8_t inside[kMaxGathered];
  struct GatheredRow {
    std::size_t at;  // the row's first flag
    std::int32_t columns;
  };
  GatheredRow rowsGathered[kMaxGathered];  // a row has a corner at least
  int gathered = 0, gatheredRows = 0;
  auto evaluateGathered = [&] {
    InsidePoints(xs, ys, gathered, threshold, inside);
    const std::uint8_t* from = inside;
    for (int k = 0; k < gatheredRows; ++k) {
      std::memcpy(flags + rowsGathered[k].at, from, static_cast<std::size_t>(rowsGathered[k].columns));
      from += rowsGathered[k].columns;
    }
    evaluated += gathered;
    gathered = gatheredRows = 0;
  };

  // Every flag starts outside; blocks decided inside and evaluated corners overwrite theirs.
  std::memset(flags, 0, stride * static_cast<std::size_t>(rows));
  Divisors divisors[kMaxBoundedBalls];
  Block pending[kMaxPendingBlocks];
  int pendingCount = 0;
  pending[pendingCount++] = {0, 0, rows, columns};
  while (pendingCount > 0) {
    const Block block = pending[--pendingCount];
    const std::int64_t xa = x0 + std::int64_t{block.column} * dx;
    const std::int64_t xb = x0 + std::int64_t{block.column + block.columns - 1} * dx;
    const std::int64_t ya = y0 - std::int64_t{block.row} * dy;
    const std::int64_t yb = y0 - std::int64_t{block.row + block.rows - 1} * dy;
    const Extent extent{xa < xb ? xa : xb, xa < xb ? xb : xa, ya < yb ? ya : yb, ya < yb ? yb : ya};
    bool bounded = true;
    for (int b = 0; b < ballCount && bounded; ++b) bounded = DivisorsOver(balls[b], extent, divisors[b]);
    if (bounded) {
      // The high sum first: most blocks decided are outside, and need no low sum.
      double high = 0.0;
      for (int b = 0; b < ballCount; ++b) high = high + balls[b].numerator / divisors[b].nearest;
      if (high - limit < 0.0) continue;  // all outside: left at 0
      double low = 0.0;
      for (int b = 0; b < ballCount; ++b) low = low + balls[b].numerator / divisors[b].farthest;
      if (low - limit >= 0.0) {
        for (std::int32_t r = block.row; r < block.row + block.rows; ++r) {
          mayBeSet(r, block.column, block.columns);
          FillInside(flags + stride * static_cast<std::size_t>(r) + static_cast<std::size_t>(block.column),
                     block.columns);
        }
        continue;
      }
    }
    if (block.rows <= kLeafSide && block.columns <= kLeafSide) {
      if (gathered + block.rows * block.columns > kMaxGathered) evaluateGathered();
      for (std::int32_t r = block.row; r < block.row + block.rows; ++r) {
        const std::int32_t y = Wrapped(std::int64_t{y0} - std::int64_t{r} * dy);
        mayBeSet(r, block.column, block.columns);
        rowsGathered[gatheredRows++] = {stride * static_cast<std::size_t>(r) + static_cast<std::size_t>(block.column),
                                        block.columns};
        for (std::int32_t c = block.column; c < block.column + block.columns; ++c, ++gathered) {
          xs[gathered] = Wrapped(x0 + std::int64_t{c} * dx);
          ys[gathered] = y;
        }
      }
      continue;
    }
    // Split the longer sides in halves; the top-left part goes last, so it is taken next.
    const std::int32_t topRows = block.rows > kLeafSide ? block.rows / 2 : block.rows;
    const std::int32_t leftColumns = block.columns > kLeafSide ? block.columns / 2 : block.columns;
    for (int part = 3; part >= 0; --part) {
      const bool lower = part & 2, right = part & 1;
      const std::int32_t partRows = lower ? block.rows - topRows : topRows;
      const std::int32_t partColumns = right ? block.columns - leftColumns : leftColumns;
      if (partRows == 0 || partColumns == 0) continue;
      pending[pendingCount++] = {lower ? block.row + topRows : block.row,
                                 right ? block.column + leftColumns : block.column, partRows, partColumns};
    }
  }
  if (gathered > 0) evaluateGathered();
  return evaluated;
}
