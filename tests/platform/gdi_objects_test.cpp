// GDI object semantics, asserted in both builds: the Win32 build proves each expectation against
// the real gdi32 (under Wine), the native build proves our layer gives the same. Pixels of
// drawing and copying are compared picture by picture in the differential catalogue.
#include <gtest/gtest.h>

#include "platform/win32.h"

namespace {

// A zeroed bottom-up DIB section selected into its own memory DC.
struct Dib {
  Dib(int w, int h, int bpp) : dc(CreateCompatibleDC(nullptr)), width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(bpp), BI_RGB, 0, 0, 0, 0, 0};
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    original = SelectObject(dc, bitmap);
  }
  ~Dib() {
    SelectObject(dc, original);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  std::uint32_t Pixel32(int x, int y) const { return static_cast<const std::uint32_t*>(bits)[(height - 1 - y) * width + x]; }
  HDC dc;
  int width, height;
  HBITMAP bitmap = nullptr;
  void* bits = nullptr;
  HGDIOBJ original = nullptr;
};

TEST(GdiObjects, MemoryDcStartsWithStockPenAndOneByOneMonochromeBitmap) {
  Dib dib(4, 4, 32);
  BITMAP record{};
  ASSERT_EQ(GetObjectA(dib.original, sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(record.bmWidth * record.bmHeight * record.bmBitsPixel, 1);
  EXPECT_EQ(record.bmBits, nullptr);
  EXPECT_TRUE(DeleteObject(dib.original));  // a stock object: deleting it changes nothing
  EXPECT_EQ(GetObjectA(dib.original, sizeof record, &record), static_cast<int>(sizeof record));
  HPEN pen = CreatePen(PS_SOLID, 1, 0x00112233);
  HGDIOBJ defaultPen = SelectObject(dib.dc, pen);
  EXPECT_EQ(defaultPen, GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dib.dc, defaultPen), pen);  // each selection hands back the previous object
  EXPECT_TRUE(DeleteObject(pen));
  for (int index : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN, BLACK_PEN, NULL_PEN}) {
    HGDIOBJ stock = GetStockObject(index);
    ASSERT_NE(stock, nullptr) << index;
    EXPECT_TRUE(DeleteObject(stock)) << index;
    EXPECT_EQ(GetStockObject(index), stock) << index;
  }
  SelectObject(dib.dc, GetStockObject(WHITE_PEN));  // still draws after the attempt to delete it
  MoveToEx(dib.dc, 0, 3, nullptr);
  LineTo(dib.dc, 4, 3);
  EXPECT_EQ(static_cast<std::uint32_t*>(dib.bits)[3], 0x00FFFFFFu);
}

TEST(GdiObjects, SetPixelMapsColoursAsEachDepthStoresThem) {
  struct Case {
    int bpp;
    COLORREF in, stored;
  };
  const Case cases[] = {
      {32, 0x00123456, 0x00123456}, {24, 0x00ABCDEF, 0x00ABCDEF}, {16, 0x00FFFFFF, 0x00FFFFFF},
      {16, 0x00070707, 0x00000000}, {16, 0x00080808, 0x00080808}, {16, 0x00123456, 0x00103152},
      {32, 0x01000001, 0x00000080},  // an index into the default palette
      {32, 0x01000014, 0x00000000},  // past its 20 entries
      {32, 0x02123456, 0x00123456},  // a palette-relative colour is a plain one here
  };
  for (const Case& c : cases) {
    Dib dib(2, 2, c.bpp);
    EXPECT_EQ(SetPixel(dib.dc, 1, 1, c.in), c.stored) << c.bpp << " " << std::hex << c.in;
    EXPECT_EQ(GetPixel(dib.dc, 1, 1), c.stored) << c.bpp << " " << std::hex << c.in;
    EXPECT_EQ(SetPixel(dib.dc, 2, 0, c.in), c.stored);  // outside: reported, not drawn
    EXPECT_EQ(GetPixel(dib.dc, -1, 0), CLR_INVALID);
  }
}

TEST(GdiObjects, LineToLeavesOutItsLastPixelAndMovesThePosition) {
  Dib dib(8, 1, 32);
  HPEN pen = CreatePen(PS_SOLID, 1, 0x000000FF);
  HGDIOBJ defaultPen = SelectObject(dib.dc, pen);
  POINT previous{-7, -7};
  EXPECT_TRUE(MoveToEx(dib.dc, 1, 0, &previous));
  EXPECT_EQ(previous.x, 0);  // a new DC's position is the origin
  EXPECT_TRUE(LineTo(dib.dc, 4, 0));
  EXPECT_TRUE(LineTo(dib.dc, 6, 0));  // continues from (4, 0)
  for (int x = 0; x < 8; ++x) EXPECT_EQ(static_cast<std::uint32_t*>(dib.bits)[x], x >= 1 && x <= 5 ? 0xFF0000u : 0u) << x;
  MoveToEx(dib.dc, 0, 0, &previous);
  EXPECT_EQ(previous.x, 6);
  SelectObject(dib.dc, defaultPen);
  DeleteObject(pen);
}

TEST(GdiObjects, BadArgumentsFailWithoutSideEffects) {
  EXPECT_EQ(GetObjectA(nullptr, sizeof(BITMAP), nullptr), 0);
  EXPECT_FALSE(DeleteDC(nullptr));
  EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_EQ(Dib(0, 4, 32).bitmap, nullptr);
  EXPECT_EQ(Dib(4, 4, 7).bitmap, nullptr);
  Dib dib(1, 1, 32);
  EXPECT_FALSE(BitBlt(dib.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  HDC deleted = CreateCompatibleDC(nullptr);  // refused at once, even right after its last use
  EXPECT_TRUE(LineTo(deleted, 2, 2));
  ASSERT_TRUE(DeleteDC(deleted));
  EXPECT_FALSE(MoveToEx(deleted, 2, 2, nullptr));
  EXPECT_FALSE(LineTo(deleted, 3, 3));
  EXPECT_EQ(SetPixel(deleted, 0, 0, 0), CLR_INVALID);
}

// Found by fuzzing: a rectangle left with rows to fill but none inside the bitmap wrote a row
// outside it. Every rectangle clipped to nothing must leave every byte alone.
TEST(GdiObjects, RectanglesClippedToNothingTouchNoPixel) {
  Dib dib(6, 4, 16);
  HBRUSH brush = CreateSolidBrush(0x00123456);
  const RECT rects[] = {{0, 4, 6, 9}, {0, -9, 6, 0}, {1, 10, 3, 20}, {0, -3, 6, -1}, {6, 0, 9, 4},
                        {2, 2, 2, 3}, {0, 2147483600, 6, 2147483647}};
  for (const RECT& r : rects) EXPECT_TRUE(FillRect(dib.dc, &r, brush));
  for (int i = 0; i < 4 * 12; ++i) EXPECT_EQ(static_cast<const std::uint8_t*>(dib.bits)[i], 0) << i;
  DeleteObject(brush);
}

// End points more than 2^31 apart, or a line starting at INT_MAX: Wine's gdi32 overflows and
// draws elsewhere or nothing; ours keeps the exact pixels of the clipped line.
TEST(GdiObjects, FarApartEndPointsClipToTheExactLine) {
  if (!kNativePlatform) GTEST_SKIP() << "the real gdi32 overflows on these";
  Dib dib(64, 48, 32);
  SelectObject(dib.dc, GetStockObject(WHITE_PEN));
  MoveToEx(dib.dc, -(1 << 30), 23, nullptr);
  LineTo(dib.dc, (1 << 30) - 1, 25);  // crosses the picture at y = 24
  MoveToEx(dib.dc, 9, 2147483647, nullptr);
  LineTo(dib.dc, 9, 10);  // column 9 from the bottom row up to, not including, row 10
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) EXPECT_EQ(dib.Pixel32(x, y) != 0, y == 24 || (x == 9 && y > 10)) << x << "," << y;
  }
}

}  // namespace
