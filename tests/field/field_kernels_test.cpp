#include "field/field_kernels.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "field/ball_field.h"
#include "tests/support/ball_setup.h"

namespace {

using zantrel::test::Wrap;
constexpr auto Add = zantrel::test::AddBall;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Every test leaves the default kernel in place again.
class FieldKernels : public ::testing::Test {
 protected:
  void TearDown() override { UseFieldKernel(AvailableFieldKernels().back()->set); }
};

bool Contributes(const Ball& ball) {
  return ball.shape == BALL_ROUND || (ball.shape == BALL_SQUARE && ball.scaleX != 0 && ball.scaleY != 0);
}

// The kernel's sums ball by ball in list order; with threshold 0 FieldValue returns the very same
// sum, computed point by point with integer divisions.
std::vector<double> RowSums(const FieldKernel& kernel, const BallField& field, std::int32_t x0,
                            std::int32_t dx, std::int32_t count, std::int32_t y) {
  std::vector<double> sums(static_cast<std::size_t>(count + kMaxFieldLanes), 0.0);
  for (const ListNode<Ball>* node = field.Head(); !node->isTail;) {
    node = node->next;
    if (Contributes(*node->item)) kernel.addRow(*node->item, x0, dx, count, y, sums.data());
  }
  sums.resize(static_cast<std::size_t>(count));
  return sums;
}

std::vector<double> PointSums(const FieldKernel& kernel, const BallField& field,
                              std::vector<std::int32_t> xs, std::vector<std::int32_t> ys) {
  const std::size_t count = xs.size();
  xs.resize(count + kMaxFieldLanes, 0);
  ys.resize(count + kMaxFieldLanes, 0);
  std::vector<double> sums(count + kMaxFieldLanes, 0.0);
  for (const ListNode<Ball>* node = field.Head(); !node->isTail;) {
    node = node->next;
    if (Contributes(*node->item)) {
      kernel.addPoints(*node->item, xs.data(), ys.data(), static_cast<std::int32_t>(count), sums.data());
    }
  }
  sums.resize(count);
  return sums;
}

// Offsets and scales where a truncated quotient could go wrong if it were not exact (INT_MIN / -1,
// INT_MIN / 1, odd divisors near the 32-bit limits).
constexpr std::int32_t kEdges[] = {kMin, kMin + 1, -46341, -65536, -49, -7, -2, -1, 0,
                                   1,    2,        3,      49,     46341, kMax - 1, kMax};

// Scenes that reach every branch of the arithmetic: the application's, wrapping offsets and
// products, square scales that are powers of two (INT_MIN among them) and ones that are not,
// INT_MIN / -1, negative and zero scales, unknown shapes, radii whose square wraps.
using SceneSet = std::array<BallField, 6>;
void BuildScenes(SceneSet& scenes) {
  Add(scenes[0], BALL_ROUND, 80, -50, 0, 2, 1);
  Add(scenes[0], BALL_ROUND, 80, 50, 0, 1, 1);
  Add(scenes[0], BALL_SQUARE, 50, 0, 30, 2, 1);
  Add(scenes[1], BALL_SQUARE, 50, 0, 0, -1, 1);
  Add(scenes[1], BALL_SQUARE, 70, 3, 4, 0, 2);
  Add(scenes[1], 7, 90, 0, 0, 1, 1);
  Add(scenes[1], BALL_ROUND, 0xFFFFFFFFu, kMax, kMin, 46341, -65536);
  Add(scenes[1], BALL_SQUARE, 0xFFFFFFFFu, kMin, kMax, -3, kMin);
  Add(scenes[2], BALL_SQUARE, 1000, 0, 0, kMin, 1);
  Add(scenes[2], BALL_SQUARE, 900, -7, 11, 3, -7);
  Add(scenes[2], BALL_SQUARE, 800, 5, -5, kMax, 46341);
  Add(scenes[2], BALL_SQUARE, 700, 0, 0, 1, -2);
  Add(scenes[3], BALL_ROUND, 1, 0, 0, 1, 1);  // the floor at d2 = 0 and 1
  Add(scenes[3], BALL_SQUARE, 1, 0, 0, 1, 1);
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> any(kMin, kMax), near(-300, 300);
  for (int i = 0; i < 12; ++i) {
    Add(scenes[4], 1 + i % 2, static_cast<std::uint32_t>(any(random)), near(random), any(random),
        i % 3 ? near(random) % 9 : any(random), i % 4 ? near(random) % 5 : any(random));
  }
  // Every edge value as a square ball's scale, centred so that the offsets reach the edges too.
  for (std::int32_t scale : kEdges) {
    if (scale != 0) Add(scenes[5], BALL_SQUARE, 1u << 20, 0, kMin, scale, Wrap(-std::int64_t{scale}));
  }
}

TEST_F(FieldKernels, ScalarFirstFastestByDefaultAndOnlyTheCpusOnesChosen) {
  const auto kernels = AvailableFieldKernels();
  ASSERT_FALSE(kernels.empty());
  EXPECT_EQ(kernels.front()->set, InstructionSet::kScalar);
  EXPECT_EQ(&ActiveFieldKernel(), kernels.back());
  for (InstructionSet set : {InstructionSet::kScalar, InstructionSet::kSse2, InstructionSet::kAvx2,
                             InstructionSet::kAvx512, InstructionSet::kSimd128}) {
    bool listed = false;
    for (const FieldKernel* kernel : kernels) listed = listed || kernel->set == set;
    const FieldKernel* before = &ActiveFieldKernel();
    EXPECT_EQ(UseFieldKernel(set), listed);
    if (listed) {
      EXPECT_EQ(ActiveFieldKernel().set, set);
    } else {
      EXPECT_EQ(&ActiveFieldKernel(), before);
    }
  }
  for (const FieldKernel* kernel : kernels) {
    EXPECT_LE(kernel->lanes, kMaxFieldLanes);
    EXPECT_GE(kernel->lanes, 1);
  }
}

TEST_F(FieldKernels, RowSumsEqualFieldValueBitForBit) {
  struct Row {
    std::int32_t x0, dx, count, y;
  };
  // Counts below, at and past whole lane groups; wrapping x steps; the floor rows.
  const Row rows[] = {{-200, 2, 201, 200}, {-200, 2, 201, 30}, {-3, 1, 7, 1},   {-3, 1, 7, 0},
                      {kMin, 65536, 67, kMax}, {kMax, -7, 33, kMin}, {5, 0, 9, 30}, {0, 3, 1, 0},
                      {-20, 1, 41, -1},   {kMin, 1, 17, 0}, {kMax - 8, 1, 17, 5}};
  SceneSet scenes;
  BuildScenes(scenes);
  for (const FieldKernel* kernel : AvailableFieldKernels()) {
    for (std::size_t s = 0; s < scenes.size(); ++s) {
      for (const Row& row : rows) {
        const std::vector<double> sums = RowSums(*kernel, scenes[s], row.x0, row.dx, row.count, row.y);
        for (std::int32_t k = 0; k < row.count; ++k) {
          const std::int32_t x = Wrap(std::int64_t{k} * row.dx + row.x0);
          ASSERT_EQ(sums[static_cast<std::size_t>(k)], scenes[s].FieldValue(x, row.y, 0))
              << kernel->name << " scene " << s << " x " << x << " y " << row.y;
        }
      }
    }
  }
}

TEST_F(FieldKernels, PointSumsEqualFieldValueBitForBit) {
  std::vector<std::int32_t> xs, ys;
  for (std::int32_t x : kEdges) {
    for (std::int32_t y : kEdges) xs.push_back(x), ys.push_back(y);
  }
  // Exact multiples of the scales: 49 * fl(1/49) is not 1, so only a true division truncates
  // them right.
  for (std::int32_t scale : kEdges) {
    for (std::int64_t m = -60; m <= 60; ++m) {
      const std::int64_t x = m * scale;
      if (scale != 0 && x >= kMin && x <= kMax) xs.push_back(static_cast<std::int32_t>(x)), ys.push_back(kMin);
    }
  }
  std::mt19937 random(3);
  std::uniform_int_distribution<std::int32_t> any(kMin, kMax), near(-400, 400);
  for (int i = 0; i < 3000; ++i) {
    xs.push_back(i % 2 ? any(random) : near(random));
    ys.push_back(i % 3 ? near(random) : any(random));
  }
  SceneSet scenes;
  BuildScenes(scenes);
  for (const FieldKernel* kernel : AvailableFieldKernels()) {
    for (std::size_t s = 0; s < scenes.size(); ++s) {
      for (std::size_t count : {xs.size(), std::size_t{0}, std::size_t{1}, std::size_t{5}}) {
        const std::vector<std::int32_t> x(xs.begin(), xs.begin() + static_cast<std::ptrdiff_t>(count));
        const std::vector<std::int32_t> y(ys.begin(), ys.begin() + static_cast<std::ptrdiff_t>(count));
        const std::vector<double> sums = PointSums(*kernel, scenes[s], x, y);
        for (std::size_t k = 0; k < count; ++k) {
          ASSERT_EQ(sums[k], scenes[s].FieldValue(x[k], y[k], 0))
              << kernel->name << " scene " << s << " at " << x[k] << "," << y[k];
        }
      }
    }
  }
}

TEST_F(FieldKernels, InsideFlagsCountZeroAsInsideAndWriteExactlyCount) {
  const double below = std::nextafter(2.0, 0.0), above = std::nextafter(2.0, 4.0);
  std::vector<double> sums;
  for (int i = 0; i < 37; ++i) sums.push_back(i % 3 == 0 ? 2.0 : i % 3 == 1 ? below : above);
  for (const FieldKernel* kernel : AvailableFieldKernels()) {
    for (std::int32_t count = 0; count <= 37; ++count) {
      std::vector<std::uint8_t> inside(static_cast<std::size_t>(count) + 1, 0xAA);
      kernel->insideFlags(sums.data(), count, 2, inside.data());
      for (std::int32_t k = 0; k < count; ++k) {
        ASSERT_EQ(inside[static_cast<std::size_t>(k)], k % 3 == 1 ? 0 : 1) << kernel->name << " " << k;
      }
      ASSERT_EQ(inside.back(), 0xAA) << kernel->name << " wrote past " << count;
    }
  }
}

// BallField's own passes under every kernel: the same flags as FieldValue's sign, any count.
TEST_F(FieldKernels, InsideRowAndInsidePointsFollowTheChosenKernel) {
  SceneSet scenes;
  BuildScenes(scenes);
  for (const FieldKernel* kernel : AvailableFieldKernels()) {
    ASSERT_TRUE(UseFieldKernel(kernel->set));
    for (const BallField& field : scenes) {
      for (std::int32_t count : {0, 1, 255, 256, 257, 707}) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(count) + 1, 0xAA), points = row;
        std::vector<std::int32_t> xs, ys;
        for (std::int32_t k = 0; k < count; ++k) xs.push_back(k - 353), ys.push_back(3 * k - 600);
        field.InsideRow(-353, 1, count, 7, 2, row.data());
        field.InsidePoints(xs.data(), ys.data(), count, 2, points.data());
        for (std::int32_t k = 0; k < count; ++k) {
          const auto i = static_cast<std::size_t>(k);
          ASSERT_EQ(row[i], field.FieldValue(k - 353, 7, 2) >= 0.0 ? 1 : 0) << kernel->name << " " << k;
          ASSERT_EQ(points[i], field.FieldValue(xs[i], ys[i], 2) >= 0.0 ? 1 : 0) << kernel->name << " " << k;
        }
        EXPECT_EQ(row.back(), 0xAA);
        EXPECT_EQ(points.back(), 0xAA);
      }
    }
  }
}

}  // namespace
