// The surface's drawing and copying, and the triangle filler against a walk of its three edges.
#include "surface/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

// One letter per pixel of a 32 bpp surface, read straight from its bottom-up rows: black, white,
// green, red, orange, yellow, or ? for any other colour.
Rows Picture(const Surface& s) {
  constexpr Color kInks[] = {0, 0xFFFFFF, 0x00AA00, 0x0000FF, 0x4284FF, 0x00AAFF};
  Rows rows(s.height, std::string(s.width, ' '));
  for (int y = 0; y < s.height; ++y) {
    const std::uint8_t* p = s.pixels + (s.height - 1 - y) * s.bitmapRecord.bmWidthBytes;
    for (int x = 0; x < s.width; ++x, p += 4) {
      const Color stored = p[2] | p[1] << 8 | p[0] << 16;
      rows[y][x] = ".wgroy?"[std::find(std::begin(kInks), std::end(kInks), stored) - kInks];
    }
  }
  return rows;
}

TEST(Surface, DrawsAndCopiesWhereToldAndRefusesABadCreateUntouched) {
  Surface s, source, sprite, mask;
  ASSERT_TRUE(s.Create(8, 5, 32));
  s.Clear(0x00AA00);
  s.SetPenColor(0xFFFFFF);
  s.DrawLine(0, 0, 3, 0);
  s.DrawLine(3, 1, 0, 1);  // right to left: the same pixels
  s.DrawLine(7, 4, 7, 4);
  ASSERT_TRUE(source.Create(3, 4, 16));  // rows padded to 4 bytes
  source.Clear(0x4080FF);  // 16 bpp keeps 5 bits per channel and replicates them back
  source.DrawLine(0, 3, 2, 3);  // in the black pen a device context starts with
  s.Blit(source, 6, -1);
  ASSERT_TRUE(sprite.Create(3, 1, 32));
  ASSERT_TRUE(mask.Create(2, 1, 32));
  sprite.Clear(0x0000FF);
  mask.SetPenColor(0xFFFFFF);
  mask.DrawLine(1, 0, 1, 0);  // black, white
  s.BlitMasked(sprite, mask, 1, 3);  // AND the mask, then XOR the sprite, each its own size
  for (auto [w, h, bpp] : {std::tuple{8, 5, 8}, {8, 5, 15}, {0, 5, 32}, {8, 0, 32}, {8, -1, 32}}) {
    EXPECT_FALSE(s.Create(w, h, bpp)) << w << "x" << h << "x" << bpp;
  }
  EXPECT_EQ(Picture(s), (Rows{"wwwwggoo", "wwwwggoo", "gggggg..", "gryygggg", "gggggggw"}));
}

constexpr int kWidth = 64, kHeight = 320;  // room for the 300 rows a fill may have
using Triangle = std::array<int, 6>;       // x0, y0, x1, y1, x2, y2

Rows Fill(const Triangle& t) {
  Surface s;
  EXPECT_TRUE(s.Create(kWidth, kHeight, 32));
  s.SetPenColor(0xFFFFFF);
  s.FillTriangle(t[0], t[1], t[2], t[3], t[4], t[5]);
  return Picture(s);
}

// Each edge visits its start pixel and the ones before its end: after k of major = max(|dx|, |dy|)
// steps, each axis has moved floor(k * |d| / major). Rows are lit from their leftmost to their
// rightmost visited pixel. Refused, so unlit: over 300 rows (the filler's table), or |x| >= 5000.
Rows Reference(const Triangle& t) {
  Rows rows(kHeight, std::string(kWidth, '.'));
  const auto [top, bottom] = std::minmax({t[1], t[3], t[5]});
  const int widest = std::max({std::abs(t[0]), std::abs(t[2]), std::abs(t[4])});
  if (std::int64_t{bottom} - top >= 300 || widest >= 5000) return rows;
  for (int e = 0; e < 6; e += 2) {
    const int dx = t[(e + 2) % 6] - t[e], dy = t[(e + 3) % 6] - t[e + 1];
    const int major = std::max(std::abs(dx), std::abs(dy));
    auto along = [major](int d, int k) { return (d < 0 ? -1 : 1) * (k * std::abs(d) / major); };
    for (int k = 0; k < major; ++k) rows[t[e + 1] + along(dy, k)][t[e] + along(dx, k)] = 'w';
  }
  for (std::string& row : rows) {
    const auto left = row.find('w');
    if (left != std::string::npos) std::fill(&row[left], &row[row.rfind('w')], 'w');
  }
  return rows;
}

TEST(FillTriangle, SpansAreTheEdgeWalksExtremesWhateverTheStartingCorner) {
  const Triangle fixed[] = {{0, 10, 4, 309, 4, 10},  // 300 rows: the whole table
                            {5, 0, 6, 300, 7, 10}, {5, -2000000000, 6, 2000000000, 7, 0},
                            {5000, 0, 6, 5, 7, 1}, {5, 0, -5000, 5, 7, 1}, {5, 5, 5, 5, 5, 5},
                            {20, 23, 28, 23, 24, 23}, {22, 21, 22, 26, 22, 24}};  // flat
  std::mt19937 random(5);
  std::uniform_int_distribution<int> anywhere(0, kWidth - 1), crowded(24, 40);  // crowded: ties
  int reversalsDiffering = 0;
  for (int i = 0; i < 300; ++i) {
    Triangle t;
    for (int& c : t) c = i % 3 ? anywhere(random) : crowded(random);
    if (i < std::ssize(fixed)) t = fixed[i];
    const Rows filled = Fill(t);
    ASSERT_EQ(filled, Reference(t)) << ::testing::PrintToString(t);
    ASSERT_EQ(Fill({t[2], t[3], t[4], t[5], t[0], t[1]}), filled);
    ASSERT_EQ(Fill({t[4], t[5], t[0], t[1], t[2], t[3]}), filled);
    reversalsDiffering += Fill({t[4], t[5], t[2], t[3], t[0], t[1]}) != filled;
  }
  EXPECT_GT(reversalsDiffering, 100);  // the walk is not symmetric: reversing moves pixels
}

}  // namespace
