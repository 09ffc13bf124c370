#include "field/field_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include "tests/support/ball_setup.h"

namespace {

using zantrel::test::BallSpec;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
// Offsets and scales where wrapping or a truncated quotient could go wrong (INT_MIN / -1 among them).
constexpr std::int32_t kEdges[] = {kMin, kMin + 1, -65536, -46341, -49, -7, -2, -1, 0,
                                   1,    2,        3,      49,     46341, kMax - 1, kMax};

std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

// One ball's share at (x, y) worked out in 64 bits, reduced to 32 where the 32-bit machine wraps:
// round balls r^2 over the squared scaled offset, square balls r over the larger truncated divided
// offset (|INT_MIN| stays negative); distances under 2 (round) or 1 (square) divide by the floor.
// Square balls with a zero scale and other shapes give nothing.
double Share(const BallSpec& b, std::int32_t x, std::int32_t y) {
  if (b.shape == BALL_ROUND) {
    const std::int64_t dx = Wrap(std::int64_t{Wrap(std::int64_t{b.x} - x)} * b.scaleX);
    const std::int64_t dy = Wrap(std::int64_t{Wrap(std::int64_t{b.y} - y)} * b.scaleY);
    const double d2 = Wrap(std::int64_t{Wrap(dx * dx)} + Wrap(dy * dy));
    return static_cast<std::uint32_t>(std::uint64_t{b.radius} * b.radius) / (d2 < 2 ? 1e-6 : d2);
  }
  if (b.shape != BALL_SQUARE || b.scaleX == 0 || b.scaleY == 0) return 0;
  const auto axis = [](std::int64_t offset, std::int64_t scale) {
    const std::int64_t q = Wrap(Wrap(offset) / scale);
    return Wrap(q < 0 ? -q : q);
  };
  const double m = std::max(axis(std::int64_t{b.x} - x, b.scaleX), axis(std::int64_t{b.y} - y, b.scaleY));
  return b.radius / (m < 1 ? 1e-6 : m);
}

// Scenes reaching every branch of the arithmetic, then random ones with wrapping values.
std::vector<std::vector<BallSpec>> Scenes() {
  std::vector<std::vector<BallSpec>> scenes = {
      {std::begin(zantrel::test::kAppScene), std::end(zantrel::test::kAppScene)},
      {{BALL_ROUND, 80, 0, 0, 1, 1}},  // the row y = 56 meets its contour at x = -8 exactly
      {{BALL_ROUND, 1, 0, 0, 1, 1}, {BALL_SQUARE, 1, 0, 0, 1, 1}},  // the floors
      {{BALL_SQUARE, 50, 0, 0, -1, 1}, {BALL_SQUARE, 70, 3, 4, 0, 2}, {BALL_SQUARE, 70, 3, 4, 2, 0},
       {7, 90, 0, 0, 1, 1}, {BALL_ROUND, 0xFFFFFFFFu, kMax, kMin, 46341, -65536},
       {BALL_SQUARE, 0xFFFFFFFFu, kMin, kMax, -3, kMin}},
      {{BALL_SQUARE, 1000, 0, 0, kMin, 1}, {BALL_SQUARE, 900, -7, 11, 3, -7},
       {BALL_SQUARE, 800, 5, -5, kMax, 46341}, {BALL_SQUARE, 700, 0, 0, 1, -2}},
      {}};
  for (std::int32_t scale : kEdges) {
    if (scale != 0) scenes.back().push_back({BALL_SQUARE, 1u << 20, 0, 0, scale, scale});
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> any(kMin, kMax), near(-300, 300), pick(0, 15);
  auto value = [&] { return pick(random) < 5 ? kEdges[pick(random)] : pick(random) < 10 ? near(random) : any(random); };
  for (int s = 0; s < 60; ++s) {
    scenes.emplace_back();
    for (int i = 0; i <= s % 4; ++i) {
      scenes.back().push_back({pick(random) % 4, static_cast<std::uint32_t>(value()), value(), value(),
                               pick(random) < 3 ? 0 : value() % 5, value()});
    }
  }
  return scenes;
}

// The kernel's sums over the scene's contributing balls in list order, and BallField's flags from
// the same sums: both as the reference has them, the flags written for the given points only.
template <class Add, class Inside>
void ExpectPasses(const BallField& field, const std::vector<double>& expected, std::int32_t threshold,
                  Add addBall, Inside insideFlags) {
  std::vector<double> sums(expected.size() + kMaxFieldLanes, 0.0);
  for (const ListNode<Ball>* node = field.Head(); !node->isTail;) {
    node = node->next;
    const Ball& b = *node->item;
    if (b.shape == BALL_ROUND || (b.shape == BALL_SQUARE && b.scaleX != 0 && b.scaleY != 0)) addBall(b, sums.data());
  }
  std::vector<std::uint8_t> flags(expected.size() + 1, 0xAA);
  insideFlags(flags.data());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(sums[k], expected[k]) << k;
    ASSERT_EQ(flags[k], expected[k] - threshold >= 0.0 ? 1 : 0) << k;
  }
  EXPECT_EQ(flags.back(), 0xAA) << "written past the points";
}

TEST(FieldKernels, ScalarFirstFastestByDefaultAndOnlyTheCpusOnesChosen) {
  const auto kernels = AvailableFieldKernels();
  ASSERT_EQ(kernels.front()->set, InstructionSet::kScalar);
  EXPECT_EQ(&ActiveFieldKernel(), kernels.back());
  for (InstructionSet set : {InstructionSet::kScalar, InstructionSet::kSse2, InstructionSet::kAvx2,
                             InstructionSet::kAvx512, InstructionSet::kSimd128}) {
    const bool listed = std::ranges::any_of(kernels, [&](const FieldKernel* k) { return k->set == set; });
    const InstructionSet before = ActiveFieldKernel().set;
    EXPECT_EQ(UseFieldKernel(set), listed);
    EXPECT_EQ(ActiveFieldKernel().set, listed ? set : before);
  }
  UseFieldKernel(kernels.back()->set);
}

// FieldValue, every kernel's point and row sums bit for bit, and BallField's flags under every
// kernel: all the reference's, on edge and random points, rows past whole lane groups and chunks.
TEST(FieldKernels, EveryPathComputesTheReferenceField) {
  std::vector<std::int32_t> xs, ys;
  for (std::int32_t x : kEdges) {
    for (std::int32_t y : kEdges) xs.push_back(x), ys.push_back(y);
  }
  // Multiples of the scales: only a true division truncates 49m / 49 to m (49 * fl(1/49) != 1).
  for (std::int32_t scale : kEdges) {
    for (std::int64_t m = -60; m <= 60; ++m) {
      if (scale != 0 && m * scale == Wrap(m * scale)) xs.push_back(Wrap(m * scale)), ys.push_back(0);
    }
  }
  std::mt19937 random(3);
  std::uniform_int_distribution<std::int32_t> any(kMin, kMax), near(-400, 400);
  for (int i = 0; i < 999; ++i) xs.push_back(i % 2 ? any(random) : near(random)), ys.push_back(i % 3 ? near(random) : any(random));
  const auto n = static_cast<std::int32_t>(xs.size());
  xs.resize(xs.size() + kMaxFieldLanes), ys.resize(xs.size());  // whole lane groups are read
  struct Row {
    std::int32_t x0, dx, count, y, threshold;
  };
  const Row rows[] = {{-353, 1, 707, 56, 2}, {-200, 3, 300, 0, 2}, {kMin, 65536, 300, kMax, 0}, {kMax, -7, 257, kMin, -5},
                      {5, 0, 9, 30, 2},     {0, 3, 0, 0, 2},      {-3, 1, 7, 1, 2},           {-100, 1, 255, 1, kMin}};
  for (const std::vector<BallSpec>& scene : Scenes()) {
    BallField field;
    for (const BallSpec& b : scene) zantrel::test::Place(field, b);
    auto reference = [&](std::int32_t x, std::int32_t y) {
      double sum = 0.0;
      for (const BallSpec& b : scene) sum = sum + Share(b, x, y);
      return sum;
    };
    std::vector<double> atPoints;
    for (std::int32_t k = 0; k < n; ++k) {
      atPoints.push_back(reference(xs[k], ys[k]));
      const std::int32_t threshold = kEdges[k % 16];
      ASSERT_EQ(field.FieldValue(xs[k], ys[k], threshold), atPoints.back() - threshold) << xs[k] << "," << ys[k];
    }
    for (const FieldKernel* kernel : AvailableFieldKernels()) {
      SCOPED_TRACE(kernel->name);
      ASSERT_TRUE(UseFieldKernel(kernel->set));
      ExpectPasses(
          field, atPoints, 2, [&](const Ball& b, double* s) { kernel->addPoints(b, xs.data(), ys.data(), n, s); },
          [&](std::uint8_t* flags) { field.InsidePoints(xs.data(), ys.data(), n, 2, flags); });
      for (const Row& r : rows) {
        std::vector<double> atRow;
        for (std::int64_t k = 0; k < r.count; ++k) atRow.push_back(reference(Wrap(k * r.dx + r.x0), r.y));
        ExpectPasses(
            field, atRow, r.threshold, [&](const Ball& b, double* s) { kernel->addRow(b, r.x0, r.dx, r.count, r.y, s); },
            [&](std::uint8_t* flags) { field.InsideRow(r.x0, r.dx, r.count, r.y, r.threshold, flags); });
      }
    }
  }
  UseFieldKernel(AvailableFieldKernels().back()->set);
}

}  // namespace
