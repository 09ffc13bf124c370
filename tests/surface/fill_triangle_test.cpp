// Triangle fill spans, read back from a real surface and checked against a closed-form walk of
// the three edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "surface/surface.h"
#include "tests/support/surface_pixels.h"

namespace {

struct Span {
  int left = -1, right = -1;  // lit x range of a row; -1, -1 for none
  bool operator==(const Span&) const = default;
};

constexpr int kSize = 64;

// The row spans of the fill of one triangle on a fresh surface; each row must be one run.
std::vector<Span> Fill(int x0, int y0, int x1, int y1, int x2, int y2) {
  Surface s;
  EXPECT_TRUE(s.Create(kSize, kSize, 32));
  s.SetPenColor(0x00FFFFFF);
  s.FillTriangle(x0, y0, x1, y1, x2, y2);
  std::vector<Span> rows(kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (!zantrel::test::StoredPixel32(s, x, y)) continue;
      EXPECT_TRUE(rows[y].right < 0 || rows[y].right == x - 1) << "row " << y << " broken at " << x;
      if (rows[y].left < 0) rows[y].left = x;
      rows[y].right = x;
    }
  }
  return rows;
}

// Each edge visits its start pixel and every pixel up to, not including, its end: along the
// longer axis one pixel per step, the other coordinate advancing by floor(k * minor / major).
std::vector<Span> Reference(const int (&x)[3], const int (&y)[3]) {
  std::vector<Span> rows(kSize);
  for (int e = 0; e < 3; ++e) {
    const int ax = x[e], ay = y[e], dx = x[(e + 1) % 3] - ax, dy = y[(e + 1) % 3] - ay;
    const int major = std::max(std::abs(dx), std::abs(dy));
    for (int k = 0; k < major; ++k) {
      const bool wide = std::abs(dx) >= std::abs(dy);
      const int along = k, across = k * (wide ? std::abs(dy) : std::abs(dx)) / major;
      const int px = ax + (dx < 0 ? -1 : 1) * (wide ? along : across);
      const int py = ay + (dy < 0 ? -1 : 1) * (wide ? across : along);
      Span& row = rows[static_cast<std::size_t>(py)];
      row.left = row.left < 0 ? px : std::min(row.left, px);
      row.right = std::max(row.right, px);
    }
  }
  return rows;
}

TEST(FillTriangle, SpansAreTheEdgesExtremesAndRotationKeepsThem) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> coordinate(0, kSize - 1), small(24, 40);
  int reversalsDiffering = 0;
  for (int i = 0; i < 300; ++i) {
    auto pick = [&] { return i % 3 ? coordinate(random) : small(random); };
    const int x[3] = {pick(), pick(), pick()}, y[3] = {pick(), pick(), pick()};
    const std::vector<Span> spans = Fill(x[0], y[0], x[1], y[1], x[2], y[2]);
    ASSERT_EQ(spans, Reference(x, y)) << x[0] << "," << y[0] << " " << x[1] << "," << y[1] << " " << x[2] << "," << y[2];
    ASSERT_EQ(Fill(x[1], y[1], x[2], y[2], x[0], y[0]), spans);
    ASSERT_EQ(Fill(x[2], y[2], x[0], y[0], x[1], y[1]), spans);
    reversalsDiffering += Fill(x[2], y[2], x[1], y[1], x[0], y[0]) != spans;
  }
  EXPECT_GT(reversalsDiffering, 100);  // the walk is not symmetric: reversing moves pixels
}

TEST(FillTriangle, WorkedSpans) {
  struct Case {
    int x0, y0, x1, y1, x2, y2;
    int top;
    std::vector<Span> rows;
  };
  const Case cases[] = {
      {20, 20, 30, 20, 25, 25, 20, {{20, 30}, {21, 29}, {22, 28}, {23, 27}, {24, 26}, {25, 25}}},
      {20, 20, 23, 27, 29, 22, 20, {{20, 20}, {20, 24}, {20, 29}, {21, 28}, {21, 27}, {22, 26}, {22, 25}, {23, 24}}},
      {20, 23, 28, 23, 24, 23, 23, {{20, 28}}},
      {22, 21, 22, 26, 22, 24, 21, {{22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22}}},
  };
  for (const Case& c : cases) {
    std::vector<Span> expected(kSize);
    std::copy(c.rows.begin(), c.rows.end(), expected.begin() + c.top);
    EXPECT_EQ(Fill(c.x0, c.y0, c.x1, c.y1, c.x2, c.y2), expected) << c.x0 << "," << c.y0;
  }
}

TEST(FillTriangle, DrawsNothingForAPointOrARefusedTriangle) {
  const int refused[][6] = {
      {5, 5, 5, 5, 5, 5},                       // a point has no edge to walk
      {5, 0, 6, 300, 7, 10},                    // 301 rows: more than the table
      {5, 10, 6, 0, 7, 300},
      {5, -2000000000, 6, 2000000000, 7, 0},
      {5000, 0, 6, 5, 7, 1}, {5, 0, -5000, 5, 7, 1},  // x at a sentinel
  };
  for (const auto& t : refused) {
    EXPECT_EQ(Fill(t[0], t[1], t[2], t[3], t[4], t[5]), std::vector<Span>(kSize)) << t[1] << " " << t[2];
  }
}

TEST(FillTriangle, UsesAllThreeHundredRowsAndClipsNegativeCoordinates) {
  Surface s;
  ASSERT_TRUE(s.Create(4, 320, 32));
  s.SetPenColor(0x00FFFFFF);
  s.FillTriangle(-3, 10, 1, 10 + 299, 1, 10);  // 300 rows: exactly the table
  for (int y = 0; y < s.height; ++y) {
    const bool lit = zantrel::test::StoredPixel32(s, 0, y) || zantrel::test::StoredPixel32(s, 1, y);
    EXPECT_EQ(lit, y >= 10 && y <= 309) << "row " << y;
  }
}

}  // namespace
