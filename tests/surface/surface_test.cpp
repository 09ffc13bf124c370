#include "surface/surface.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/surface_pixels.h"

namespace {

using zantrel::test::StoredPixel32;

TEST(Surface, CreateGivesABlackBottomUpPictureOrLeavesTheOldOne) {
  Surface s;
  ASSERT_TRUE(s.Create(400, 300, 32));
  EXPECT_EQ(s.width, 400);
  EXPECT_EQ(s.height, 300);
  for (int i = 0; i < 1600 * 300; ++i) ASSERT_EQ(s.pixels[i], 0) << i;
  s.SetPenColor(0x0000FF);  // red
  s.DrawLine(0, 0, 0, 0);
  EXPECT_EQ(s.pixels[299 * 1600 + 2], 0xFF);  // the top-left pixel lives in the last memory row
  const HDC dc = s.dc;
  for (auto [w, h, bpp] : {std::tuple{10, 10, 8}, {10, 10, 15}, {10, 10, 1}, {0, 10, 32}, {10, -1, 32}}) {
    EXPECT_FALSE(s.Create(w, h, bpp));
    EXPECT_EQ(s.dc, dc);
    EXPECT_EQ(s.width, 400);
  }
  for (auto [bpp, width, pitch] : {std::tuple{16, 3, 8}, {24, 3, 12}, {24, 5, 16}, {32, 3, 12}}) {
    ASSERT_TRUE(s.Create(width, 2, bpp));
    EXPECT_EQ(s.bitmapRecord.bmWidthBytes, pitch) << bpp << "x" << width;
    EXPECT_EQ(s.width, width);
  }
}

TEST(Surface, LinesIncludeBothEndsAndClearCoversEveryPixel) {
  Surface s;
  ASSERT_TRUE(s.Create(32, 32, 32));
  s.SetPenColor(0xFFFFFF);
  s.DrawLine(10, 10, 20, 10);
  s.DrawLine(20, 12, 10, 12);  // right to left: the same pixels
  s.DrawLine(5, 5, 5, 5);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool lit = ((y == 10 || y == 12) && x >= 10 && x <= 20) || (x == 5 && y == 5);
      ASSERT_EQ(StoredPixel32(s, x, y), lit ? 0xFFFFFFu : 0u) << x << "," << y;
    }
  }
  Surface odd;
  ASSERT_TRUE(odd.Create(7, 5, 24));
  odd.Clear(0x123456);
  for (int i = 0; i < 5 * odd.bitmapRecord.bmWidthBytes; ++i) {
    const int x = (i % odd.bitmapRecord.bmWidthBytes) / 3;
    const std::uint8_t expected = x >= 7 ? 0 : (0x123456 >> (8 * (2 - i % odd.bitmapRecord.bmWidthBytes % 3))) & 0xFF;
    ASSERT_EQ(odd.pixels[i], expected) << i;  // B, G, R per pixel; row padding untouched
  }
}

// A 2 x 3 source copied at (2, -1): exactly the overlap is replaced, converted from 16 bpp.
TEST(Surface, BlitCopiesTheWholeSourceAtTheOffset) {
  Surface src, dst;
  ASSERT_TRUE(src.Create(2, 3, 16));
  ASSERT_TRUE(dst.Create(6, 4, 32));
  src.Clear(0xFF8040);  // 16 bpp keeps 5 bits per channel and replicates them back
  dst.Blit(src, 2, -1);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(StoredPixel32(dst, x, y), x >= 2 && x <= 3 && y <= 1 ? 0x4284FFu : 0u) << x << "," << y;
    }
  }
}

// AND with the mask, then XOR with the sprite, each the size of its own source.
TEST(Surface, MaskedBlitAndsTheMaskThenXorsTheSprite) {
  Surface dst, sprite, mask;
  ASSERT_TRUE(dst.Create(5, 1, 32));
  ASSERT_TRUE(sprite.Create(3, 1, 32));
  ASSERT_TRUE(mask.Create(2, 1, 32));
  dst.Clear(0x00AA00);
  sprite.SetPenColor(0x0000FF);
  sprite.DrawLine(0, 0, 0, 0);
  sprite.SetPenColor(0xFF0000);
  sprite.DrawLine(2, 0, 2, 0);  // sprite: red, black, blue
  mask.SetPenColor(0xFFFFFF);
  mask.DrawLine(1, 0, 1, 0);  // mask: black, white
  dst.BlitMasked(sprite, mask, 1, 0);
  const std::uint32_t expected[] = {0x00AA00, 0xFF0000, 0x00AA00, 0x00AAFF, 0x00AA00};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(StoredPixel32(dst, x, 0), expected[x]) << x;
}

}  // namespace
