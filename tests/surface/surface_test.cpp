#include "surface/surface.h"
#include "tests/support/surface_pixels.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using zantrel::test::StoredPixel32;

TEST(Surface, CreateGivesBlackBottomUpPicture) {
  Surface s;
  ASSERT_TRUE(s.Create(400, 400, 32));
  EXPECT_EQ(s.width, 400);
  EXPECT_EQ(s.height, 400);
  EXPECT_EQ(s.bitmapRecord.bmWidthBytes, 1600);
  ASSERT_NE(s.pixels, nullptr);
  for (int i = 0; i < 640000; ++i) ASSERT_EQ(s.pixels[i], 0) << i;
  s.SetPenColor(0x0000FF);  // red
  s.DrawLine(0, 0, 0, 0);
  EXPECT_EQ(StoredPixel32(s, 0, 0), 0xFF0000u);  // top-left pixel lives in the last memory row
  EXPECT_EQ(s.pixels[399 * 1600 + 2], 0xFF);
}

TEST(Surface, RowPitchIsWholeWordsPerDepth) {
  struct Case {
    int bpp, width, pitch;
  };
  for (const Case c : {Case{16, 3, 8}, Case{24, 3, 12}, Case{24, 5, 16}, Case{32, 3, 12}}) {
    Surface s;
    ASSERT_TRUE(s.Create(c.width, 2, c.bpp));
    EXPECT_EQ(s.bitmapRecord.bmWidthBytes, c.pitch) << c.bpp << "x" << c.width;
    EXPECT_EQ(s.bitmapRecord.bmBitsPixel, c.bpp);
  }
}

TEST(Surface, RefusedCreateLeavesThePictureAlone) {
  Surface s;
  ASSERT_TRUE(s.Create(10, 10, 32));
  const HDC dc = s.dc;
  const HBITMAP bitmap = s.bitmap;
  for (auto [w, h, bpp] : {std::tuple{10, 10, 8}, std::tuple{10, 10, 15}, std::tuple{10, 10, 1},
                           std::tuple{0, 10, 32}, std::tuple{10, -1, 32}}) {
    EXPECT_FALSE(s.Create(w, h, bpp));
    EXPECT_EQ(s.dc, dc);
    EXPECT_EQ(s.bitmap, bitmap);
    EXPECT_EQ(s.width, 10);
  }
  EXPECT_TRUE(s.Create(20, 5, 16));
  EXPECT_EQ(s.width, 20);
  EXPECT_EQ(s.height, 5);
}

TEST(Surface, LinesIncludeBothEnds) {
  Surface s;
  ASSERT_TRUE(s.Create(32, 32, 32));
  s.SetPenColor(0xFFFFFF);
  s.DrawLine(10, 10, 20, 10);
  for (int x = 0; x < 32; ++x) EXPECT_EQ(StoredPixel32(s, x, 10), x >= 10 && x <= 20 ? 0xFFFFFFu : 0u) << x;
  s.Clear(0);
  s.DrawLine(20, 12, 10, 12);  // right to left: same pixels
  for (int x = 0; x < 32; ++x) EXPECT_EQ(StoredPixel32(s, x, 12), x >= 10 && x <= 20 ? 0xFFFFFFu : 0u) << x;
  s.DrawLine(5, 5, 5, 5);
  EXPECT_EQ(StoredPixel32(s, 5, 5), 0xFFFFFFu);
  EXPECT_EQ(StoredPixel32(s, 4, 5), 0u);
}

TEST(Surface, ClearCoversLastRowAndColumn) {
  Surface s;
  ASSERT_TRUE(s.Create(7, 5, 24));
  s.Clear(0x123456);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      const std::uint8_t* p = s.pixels + y * s.bitmapRecord.bmWidthBytes + 3 * x;
      EXPECT_EQ(p[0] | (p[1] << 8) | (p[2] << 16), 0x563412) << x << "," << y;
    }
  }
}

TEST(Surface, MaskedBlitKeepsBackgroundUnderWhiteMask) {
  Surface dst, sprite, mask;
  ASSERT_TRUE(dst.Create(4, 1, 32));
  ASSERT_TRUE(sprite.Create(2, 1, 32));
  ASSERT_TRUE(mask.Create(2, 1, 32));
  dst.Clear(0x00AA00);
  sprite.SetPenColor(0x0000FF);
  sprite.DrawLine(0, 0, 0, 0);  // sprite: red, black
  mask.SetPenColor(0xFFFFFF);
  mask.DrawLine(1, 0, 1, 0);  // mask: black, white
  dst.BlitMasked(sprite, mask, 1, 0);
  EXPECT_EQ(StoredPixel32(dst, 0, 0), 0x00AA00u);
  EXPECT_EQ(StoredPixel32(dst, 1, 0), 0xFF0000u);  // black mask: the sprite's pixel
  EXPECT_EQ(StoredPixel32(dst, 2, 0), 0x00AA00u);  // white mask, black sprite: unchanged
  EXPECT_EQ(StoredPixel32(dst, 3, 0), 0x00AA00u);
}

TEST(Surface, BlitConvertsDepthsAndClips) {
  Surface src, dst;
  ASSERT_TRUE(src.Create(3, 3, 16));
  ASSERT_TRUE(dst.Create(4, 4, 32));
  src.Clear(0xFF8040);  // 16 bpp keeps 5 bits per channel and replicates them back
  dst.Blit(src, 2, -1);
  EXPECT_EQ(StoredPixel32(dst, 1, 0), 0u);
  EXPECT_EQ(StoredPixel32(dst, 2, 0), 0x4284FFu);
  EXPECT_EQ(StoredPixel32(dst, 3, 1), 0x4284FFu);
  EXPECT_EQ(StoredPixel32(dst, 3, 2), 0u);
}

TEST(Surface, ReleaseAndEmptySurfacesAreHarmless) {
  Surface s;
  s.Clear(0xFFFFFF);
  s.DrawLine(0, 0, 10, 10);
  s.SetPenColor(0x00FF00);
  s.Present(nullptr, 0, 0);
  s.Blit(s, 0, 0);
  s.BlitMasked(s, s, 0, 0);
  s.FillTriangle(0, 0, 5, 0, 0, 5);
  s.LoadBitmapFile("/nonexistent/file.bmp");
  EXPECT_EQ(s.bitmap, nullptr);
  EXPECT_EQ(s.width, 0);
  ASSERT_TRUE(s.Create(8, 8, 32));
  s.Release();
  s.Release();
  EXPECT_EQ(s.dc, nullptr);
  EXPECT_EQ(s.pixels, nullptr);
  EXPECT_EQ(s.width, 8);
  EXPECT_EQ(s.penColor, 0x00FF00u);
  EXPECT_NE(s.pen, nullptr);
}

}  // namespace
