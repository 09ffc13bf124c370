#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "field/ball_field.h"
#include "field/field_kernels.h"
#include "field/obj_list.h"
#include "tests/support/ball_setup.h"

namespace {

using namespace zantrel::test;

// Clear deletes an item from the entry that finds its count at 1, and otherwise lowers the count.
TEST(ObjList, KeepsOrderFindsTheFirstEntryAndClearsByUseCount) {
  struct Counted {  // counts its own destructions; its useCount makes a list own it
    int* deaths;
    int useCount;
    ~Counted() { ++*deaths; }
  };
  int deaths = 0;
  Counted *shared = new Counted{&deaths, 3}, *once = new Counted{&deaths, 1};
  ObjList<Counted> list;
  for (Counted* item : {shared, once, shared}) list.Append(item);
  const ListNode<Counted>* last = list.next->next->next;
  EXPECT_TRUE(last->isTail);
  EXPECT_EQ(last->item, shared);
  EXPECT_EQ(last->prev->prev->prev, list.Head());
  EXPECT_EQ(list.Find(shared), list.next);
  EXPECT_EQ(list.Find(once), list.next->next);
  EXPECT_EQ(list.Find(nullptr), nullptr);
  list.Clear();
  EXPECT_TRUE(list.isTail);
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(shared->useCount, 1);
  list.Clear();         // an empty list frees nothing more
  list.Append(shared);  // and is reusable; its destructor deletes the item now held once
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(BallField, WorkedValuesAndPicks) {
  struct Case {
    std::vector<BallSpec> scene;
    std::int32_t x, y;
    double value;  // the field at (x, y) for threshold 2
    int picked;    // the ball picking finds there; -1: none
  };
  const BallSpec left = {BALL_ROUND, 80, -10, 0, 1, 1}, right = {BALL_ROUND, 80, 10, 0, 1, 1};
  const Case cases[] = {
      {{{BALL_ROUND, 80, 0, 0, 2, 1}}, -40, 0, 1 - 2, 0},          // d2 = r^2 is within reach
      {{{BALL_ROUND, 65536, 0, 0, 65536, 1}}, 1, 0, -2, 0},  // 65536^2 wraps to 0: 0 / floor
      {{{BALL_ROUND, 1000, 0, 0, 1, 1}}, 1000, 0, 1 - 2, -1},      // pick's limit d2 1000000
      {{{BALL_SQUARE, 50, 0, 0, 2, 1}}, 101, 0, 1 - 2, 0},         // the radius is the reach
      {{{BALL_SQUARE, 50, 0, 0, 2, 1}}, 102, 0, 50.0 / 51 - 2, -1},
      {{{BALL_SQUARE, 50, 0, 0, -1, -1}}, kMin, 10, 5 - 2, 0},  // |INT_MIN / -1| stays negative
      {{{BALL_SQUARE, 50, 0, 0, 1, 0}, {3, 80, 0, 0, 1, 1}}, 5, 5, -2, -1},  // zero scale, shape 3
      {{left, right}, 0, 0, 64 + 64 - 2, 0},  // a tie goes to the earlier ball
      {{{BALL_ROUND, 80, 0, 0, 1, 1}, {BALL_SQUARE, 50, 5, 10, 1, 1}}, 5, 0, 256 + 5 - 2, 1},
  };
  for (const auto& [scene, x, y, value, picked] : cases) {
    BallField field;
    std::vector<Ball*> balls;
    for (const BallSpec& b : scene) balls.push_back(Place(field, b));
    EXPECT_EQ(field.FieldValue(x, y, 2), value) << x << "," << y;
    EXPECT_EQ(field.PickBall(x, y), picked < 0 ? nullptr : balls[picked]) << x << "," << y;
  }
}

// Where wrapping or truncation could go wrong; only a true division makes -49 / 49 exactly -1.
constexpr std::int32_t kEdges[] = {kMin, kMin + 1, -65536, -46341, -49, -7, -2, -1, 0,
                                   1,    2,        3,      49,     46341, kMax - 1, kMax};

std::int64_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

// The field at (x, y) in 64 bits, reduced to 32 wherever a 32-bit machine wraps.
double Reference(const std::vector<BallSpec>& scene, std::int64_t x, std::int64_t y) {
  auto axis = [](std::int64_t offset, std::int64_t s) { return Wrap(std::abs(Wrap(Wrap(offset) / s))); };
  double sum = 0.0;
  for (const BallSpec& b : scene) {
    if (b.shape == BALL_ROUND) {
      const std::int64_t dx = Wrap(Wrap(b.x - x) * b.scaleX), dy = Wrap(Wrap(b.y - y) * b.scaleY);
      const double d2 = Wrap(Wrap(dx * dx) + Wrap(dy * dy));
      sum += static_cast<std::uint32_t>(std::uint64_t{b.radius} * b.radius) / (d2 < 2 ? 1e-6 : d2);
    } else if (b.shape == BALL_SQUARE && b.scaleX != 0 && b.scaleY != 0) {
      const double m = std::max(axis(b.x - x, b.scaleX), axis(b.y - y, b.scaleY));
      sum += b.radius / (m < 1 ? 1e-6 : m);  // |INT_MIN| stays negative: the floor
    }
  }
  return sum;
}

// FieldValue, every kernel's sums (bit for bit) and BallField's flags under each: the reference's.
TEST(BallField, EveryPathComputesTheReferenceField) {
  const auto kernels = AvailableFieldKernels();
  using enum InstructionSet;
  EXPECT_EQ(kernels.front()->set, kScalar);
  EXPECT_EQ(&ActiveFieldKernel(), kernels.back());  // the fastest
  std::size_t usable = 1;  // the listed sets are each used below, so the others must be refused
  for (auto set : {kSse2, kAvx2, kAvx512, kSimd128}) usable += UseFieldKernel(set);
  EXPECT_EQ(usable, kernels.size());
  std::vector<std::vector<BallSpec>> scenes = {
      {{BALL_ROUND, 80, 0, 0, 1, 1}},  // the row y = 56 meets its contour at x = -8 exactly
      {{BALL_SQUARE, 50, 0, 0, -1, 1}, {BALL_SQUARE, 70, 3, 4, 0, 2}, {BALL_SQUARE, 70, 3, 4, 2, 0},
       {7, 90, 0, 0, 1, 1}, {BALL_ROUND, 0xFFFFFFFFu, kMax, kMin, 46341, -65536},
       {BALL_SQUARE, 0xFFFFFFFFu, kMin, kMax, -3, kMin}, {BALL_SQUARE, 1000, 0, 0, kMin, 1},
       {BALL_SQUARE, 900, -7, 11, 3, -7}, {BALL_SQUARE, 800, 5, -5, kMax, 46341}},
      {}};
  std::vector<std::array<std::int32_t, 5>> rows = {  // x0, dx, count, y, threshold; past chunks too
      {-353, 1, 707, 56, 2}, {-200, 3, 300, 0, 2}, {kMax, -7, 257, kMin, -5}, {0, 3, 0, 0, 2}};
  for (std::int32_t a : kEdges) {
    if (a != 0) scenes.back().push_back({BALL_SQUARE, 1u << 20, 0, 0, a, a});
    rows.push_back({-3, 1, 7, a, a}), rows.push_back({kMax - 2, 1, 5, a, 2});  // and wrapping
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> any(kMin, kMax), pick(0, 15);
  auto value = [&] { return pick(random) < 6 ? kEdges[pick(random)] : any(random) >> pick(random) * 2; };
  for (int i = 0; i < 99; ++i) rows.push_back({value(), value(), 1 + i % 9, value(), value()});
  for (const std::vector<BallSpec>& scene : scenes) {
    BallField field;
    for (const BallSpec& b : scene) Place(field, b);
    for (const auto [x0, dx, count, y, threshold] : rows) {
      const auto size = static_cast<std::size_t>(count);
      std::vector<std::int32_t> xs(size + kMaxFieldLanes), ys(xs.size(), y);
      std::vector<double> expected(size);
      std::vector<std::uint8_t> want(size + 1, 0xAA);  // nothing written past the row
      for (std::size_t k = 0; k < size; ++k) {
        xs[k] = static_cast<std::int32_t>(Wrap(static_cast<std::int64_t>(k) * dx + x0));
        expected[k] = Reference(scene, xs[k], y);
        want[k] = expected[k] - threshold >= 0.0;
        ASSERT_EQ(field.FieldValue(xs[k], y, threshold), expected[k] - threshold) << xs[k] << "," << y;
      }
      for (const FieldKernel* kernel : kernels) {
        ASSERT_TRUE(UseFieldKernel(kernel->set));
        ASSERT_EQ(&ActiveFieldKernel(), kernel);
        std::vector<double> rowSums(xs.size()), pointSums(xs.size());
        for (const ListNode<Ball>* node = field.Head(); !node->isTail; node = node->next) {
          const Ball& b = *node->next->item;
          if (b.shape != BALL_ROUND && (b.shape != BALL_SQUARE || !b.scaleX || !b.scaleY)) continue;
          kernel->addRow(b, x0, dx, count, y, rowSums.data());
          kernel->addPoints(b, xs.data(), ys.data(), count, pointSums.data());
        }
        rowSums.resize(size), pointSums.resize(size);
        std::vector<std::uint8_t> rowFlags(size + 1, 0xAA), pointFlags = rowFlags;
        field.InsideRow(x0, dx, count, y, threshold, rowFlags.data());
        field.InsidePoints(xs.data(), ys.data(), count, threshold, pointFlags.data());
        EXPECT_EQ(rowSums, expected) << kernel->name << " y " << y;
        EXPECT_EQ(pointSums, expected) << kernel->name << " y " << y;
        EXPECT_EQ(rowFlags, want) << kernel->name << " y " << y;
        EXPECT_EQ(pointFlags, want) << kernel->name << " y " << y;
      }
    }
  }
}

// The bounded corner pass gives InsideRow's flags on grids and scenes built to break its bounds.
TEST(BallField, GridFlagsAreEveryCornersFlags) {
  struct Grid {
    std::int32_t x0, dx, columns, y0, dy, rows, threshold;
  };
  struct Case {
    std::vector<BallSpec> scene;
    std::vector<Grid> grids;
    double mostEvaluated;  // share of the corners evaluated one by one, on the first grid
    bool everyCorner = false;  // evaluated one by one
  };
  const Grid demo = {-200, 2, 201, 200, 2, 201, 2};
  std::vector<Case> cases = {
      // The demo: most corners decided by bounds; d2 = 3200 lands on the threshold exactly.
      {{{BALL_ROUND, 80, -50, 0, 2, 1}, {BALL_ROUND, 80, 50, 0, 1, 1}, {BALL_SQUARE, 50, 0, 30, 2, 1}},
       {demo, {-200, 1, 401, 200, 1, 401, 2}}, 0.15},
      // Square plateaus whose bounds equal the threshold (m = 25 and 50 give 2 exactly).
      {{{BALL_ROUND, 80, 0, 0, 1, 1}, {BALL_SQUARE, 50, 3, -9, 1, 1}, {BALL_SQUARE, 100, 0, 0, -2, 1}},
       {demo, {-120, 3, 90, 130, 5, 60, 2}, {-60, 1, 150, 60, 1, 150, 4}}, 0.15},
      {{{BALL_SQUARE, 50, 3, -9, 1, 1}}, {demo, {-60, 1, 150, 60, 1, 150, 2}}, 0.15},  // alone: 2 exactly
      // m of 0 and 1 in one leaf: 1e6 against 1, on either side of the threshold.
      {{{BALL_SQUARE, 1, 0, 0, 8, 8}}, {{-12, 1, 25, 12, 1, 25, 2}}, 1},
      {{{BALL_SQUARE, 1, 0, 0, 49, 49}}, {{-105, 7, 31, 105, 7, 31, 2}}, 1},  // 49 * (1 / 49) < 1
      // Squared sums past 32 bits far out: 40000^2 + 40000^2 wraps negative and takes the floor.
      {{{BALL_ROUND, 80, 0, 0, 1, 1}}, {{-40000, 1000, 81, 40000, 1000, 81, 2}}, 1},
      // Steps that wrap inside blocks: scaled offsets past 46340, offsets past 32 bits, INT_MIN.
      {{{BALL_ROUND, 300, 0, 0, 1000, 3}, {BALL_SQUARE, 90, kMax, kMin, 1, -1}, {BALL_ROUND, 65535, 7, 7, -46341, 1}},
       {demo, {-30000, 997, 70, 30000, 1003, 70, 2}, {kMax - 40, 1, 90, kMin + 40, 1, 90, 1}}, 1},
      // On the row y = 0 |INT_MIN / 1| stays negative: the x offset alone decides.
      {{{BALL_SQUARE, 90, 0, kMin, 1, 1}}, {demo}, 1},
      // Huge radii and scales, centres at the limits, grids whose coordinates wrap.
      {{{BALL_ROUND, 0xFFFFFFFFu, kMax, kMin, 1, 1}, {BALL_SQUARE, 0xFFFFFFFFu, kMin, kMax, kMin, 3},
        {BALL_SQUARE, 7, -5, 5, kMax, 1}},
       {{kMax - 100, 3, 120, kMin + 50, 2, 80, 2}, {-1000, 0x10000000, 40, 0, 0x20000000, 40, -2}}, 1},
  };
  std::mt19937 random(11);
  std::uniform_int_distribution<std::int32_t> offset(-150, 150), pick(0, 15);
  Case many = {{}, {demo, {-200, 2, 201, 200, 2, 201, 40}}, 1};
  for (int i = 0; i < kMaxBoundedBalls; ++i) {
    many.scene.push_back({i % 3 ? BALL_ROUND : BALL_SQUARE, 9u + pick(random), offset(random), offset(random), 1, 2});
  }
  cases.push_back(many);
  many.scene.push_back({BALL_ROUND, 1, 0, 0, 1, 1});  // one past the table
  many.everyCorner = true;
  cases.push_back(many);
  for (const Case& c : cases) {
    BallField field;
    for (const BallSpec& b : c.scene) Place(field, b);
    for (std::size_t n = 0; n < c.grids.size(); ++n) {
      const Grid& g = c.grids[n];
      const auto corners = std::int64_t{g.columns} * g.rows;
      std::vector<std::uint8_t> want(static_cast<std::size_t>(corners) + 1, 0xAA), got = want;  // not past it
      for (std::int32_t r = 0; r < g.rows; ++r) {
        const auto y = static_cast<std::int32_t>(Wrap(std::int64_t{g.y0} - std::int64_t{r} * g.dy));
        field.InsideRow(g.x0, g.dx, g.columns, y, g.threshold, want.data() + r * g.columns);
      }
      std::vector<std::int32_t> firstSet(static_cast<std::size_t>(g.rows)), lastSet(firstSet.size());
      const auto evaluated = field.InsideGrid(g.x0, g.dx, g.columns, g.y0, g.dy, g.rows, g.threshold, got.data(),
                                              firstSet.data(), lastSet.data());
      EXPECT_EQ(got, want) << c.scene.size() << " balls, grid at " << g.x0 << "," << g.y0;
      for (std::int32_t r = 0; r < g.rows; ++r) {  // no inside corner outside its row's span
        for (std::int32_t col = 0; col < g.columns; ++col) {
          if (got[static_cast<std::size_t>(r * g.columns + col)] == 0) continue;
          EXPECT_GE(col, firstSet[static_cast<std::size_t>(r)]) << "row " << r;
          EXPECT_LE(col, lastSet[static_cast<std::size_t>(r)]) << "row " << r;
        }
      }
      EXPECT_LE(evaluated, (n == 0 ? c.mostEvaluated : 1.0) * static_cast<double>(corners)) << c.scene.size();
      if (c.everyCorner) {
        EXPECT_EQ(evaluated, corners);
      }
    }
  }
}

}  // namespace
