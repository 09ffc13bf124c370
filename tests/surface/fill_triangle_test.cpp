// Triangle fill spans, read back from the pixels of a real surface.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "surface/surface.h"
#include "tests/support/surface_pixels.h"

namespace {

using Span = std::pair<int, int>;  // first and last lit x of a row

constexpr int kSize = 40;
constexpr int kOffset = 10;  // triangles are drawn away from the edges

bool Lit(const Surface& s, int x, int y) { return zantrel::test::StoredPixel32(s, x, y) != 0; }

// Spans of rows top..top+count-1; a row must be one unbroken run (or empty: {-1, -1}).
std::vector<Span> Spans(const Surface& s, int top, int count) {
  std::vector<Span> spans;
  for (int y = top; y < top + count; ++y) {
    Span span{-1, -1};
    for (int x = 0; x < s.width; ++x) {
      if (!Lit(s, x, y)) continue;
      if (span.first < 0) span.first = x;
      EXPECT_TRUE(span.second < 0 || span.second == x - 1) << "row " << y << " is broken at " << x;
      span.second = x;
    }
    spans.push_back({span.first < 0 ? -1 : span.first - kOffset,
                     span.second < 0 ? -1 : span.second - kOffset});
  }
  return spans;
}

struct FillCase {
  const char* name;
  int x0, y0, x1, y1, x2, y2;
  int firstRow;
  std::vector<Span> rows;  // rows firstRow.. and one empty row after
};

TEST(FillTriangle, SpansPerRow) {
  const FillCase cases[] = {
      {"isosceles", 0, 0, 10, 0, 5, 5, 0, {{0, 10}, {1, 9}, {2, 8}, {3, 7}, {4, 6}, {5, 5}}},
      {"scalene", 0, 0, 3, 7, 9, 2, 0,
       {{0, 0}, {0, 4}, {0, 9}, {1, 8}, {1, 7}, {2, 6}, {2, 5}, {3, 4}}},
      {"scalene reordered", 0, 0, 9, 2, 3, 7, 0,
       {{0, 4}, {1, 8}, {1, 9}, {2, 7}, {2, 6}, {3, 5}, {3, 4}, {3, 3}}},
      {"flat", 0, 3, 8, 3, 4, 3, 3, {{0, 8}}},
      {"vertical", 2, 1, 2, 6, 2, 4, 1, {{2, 2}, {2, 2}, {2, 2}, {2, 2}, {2, 2}, {2, 2}}},
  };
  for (const FillCase& c : cases) {
    Surface s;
    ASSERT_TRUE(s.Create(kSize, kSize, 32));
    s.SetPenColor(0x00FFFFFF);
    s.FillTriangle(c.x0 + kOffset, c.y0 + kOffset, c.x1 + kOffset, c.y1 + kOffset,
                   c.x2 + kOffset, c.y2 + kOffset);
    std::vector<Span> expected = c.rows;
    expected.insert(expected.begin(), Span{-1, -1});
    expected.push_back({-1, -1});
    EXPECT_EQ(Spans(s, kOffset + c.firstRow - 1, static_cast<int>(expected.size())), expected)
        << c.name;
  }
}

int LitCount(const Surface& s) {
  int count = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) count += Lit(s, x, y);
  }
  return count;
}

TEST(FillTriangle, DrawsNothingForAPointOrARefusedTriangle) {
  struct Refused {
    const char* name;
    int x0, y0, x1, y1, x2, y2;
  };
  const Refused cases[] = {
      {"three equal vertices", 5, 5, 5, 5, 5, 5},
      {"300 rows tall", 5, 0, 6, 300, 7, 10},
      {"far taller than the table", 5, -2000000000, 6, 2000000000, 7, 0},
      {"x at the left sentinel", 5000, 0, 6, 5, 7, 1},
      {"x at the right sentinel", 5, 0, -5000, 5, 7, 1},
  };
  for (const Refused& c : cases) {
    Surface s;
    ASSERT_TRUE(s.Create(kSize, kSize, 32));
    s.SetPenColor(0x00FFFFFF);
    s.FillTriangle(c.x0, c.y0, c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(LitCount(s), 0) << c.name;
  }
}

TEST(FillTriangle, UsesAllThreeHundredRowsAndClipsNegativeCoordinates) {
  Surface s;
  ASSERT_TRUE(s.Create(4, 320, 32));
  s.SetPenColor(0x00FFFFFF);
  s.FillTriangle(-3, 10, 1, 10 + 299, 1, 10);  // 299 rows apart: exactly the table
  for (int y = 0; y < s.height; ++y) {
    const bool inside = y >= 10 && y <= 309;
    EXPECT_EQ(Lit(s, 0, y) || Lit(s, 1, y), inside) << "row " << y;
  }
}

}  // namespace
