// GDI object semantics, asserted in both builds: the Win32 build proves each expectation against
// the real gdi32 (under Wine), the native build proves our layer gives the same.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32.h"
#include "tests/diff/dib.h"

namespace {

HBITMAP MakeDib(int width, int height, int bpp, void** bits = nullptr) {
  void* ignored = nullptr;
  return zantrel::diff::MakeDibSection(width, height, bpp, bits ? bits : &ignored);
}

TEST(GdiObjects, MemoryDcStartsWithDefaultPenAndOneByOneMonochromeBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  HBITMAP dib = MakeDib(4, 4, 32);
  HGDIOBJ original = SelectObject(dc, dib);
  ASSERT_NE(original, nullptr);
  BITMAP record{};
  ASSERT_EQ(GetObjectA(original, sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(record.bmWidth, 1);
  EXPECT_EQ(record.bmHeight, 1);
  EXPECT_EQ(record.bmBitsPixel, 1);
  EXPECT_EQ(record.bmBits, nullptr);
  // The default bitmap is a stock object: deleting it changes nothing.
  EXPECT_TRUE(DeleteObject(original));
  EXPECT_EQ(GetObjectA(original, sizeof record, &record), static_cast<int>(sizeof record));

  HPEN pen = CreatePen(PS_SOLID, 1, 0x00112233);
  HGDIOBJ defaultPen = SelectObject(dc, pen);
  EXPECT_EQ(defaultPen, GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, defaultPen), pen);  // SelectObject hands back the previous object
  EXPECT_EQ(SelectObject(dc, original), dib);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(dib));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, StockObjectsAreSharedAndSurviveDeletion) {
  for (int index : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN, BLACK_PEN, NULL_PEN}) {
    HGDIOBJ stock = GetStockObject(index);
    ASSERT_NE(stock, nullptr) << index;
    EXPECT_EQ(GetStockObject(index), stock) << index;
    EXPECT_TRUE(DeleteObject(stock)) << index;
    EXPECT_EQ(GetStockObject(index), stock) << index;
  }
  // A stock pen still draws after the attempt to delete it.
  void* bits = nullptr;
  HBITMAP dib = MakeDib(4, 1, 32, &bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, dib);
  SelectObject(dc, GetStockObject(WHITE_PEN));
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 4, 0);
  EXPECT_EQ(static_cast<std::uint32_t*>(bits)[3], 0x00FFFFFFu);
  SelectObject(dc, original);
  DeleteObject(dib);
  DeleteDC(dc);
}

TEST(GdiObjects, DibSectionsAreZeroedBottomUpWithWordAlignedRows) {
  struct Case {
    int bpp, width, pitch;
  };
  for (const Case& c : {Case{16, 3, 8}, Case{24, 3, 12}, Case{24, 5, 16}, Case{32, 3, 12}}) {
    void* bits = nullptr;
    HBITMAP dib = MakeDib(c.width, 2, c.bpp, &bits);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    BITMAP record{};
    ASSERT_EQ(GetObjectA(dib, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.bmWidth, c.width);
    EXPECT_EQ(record.bmHeight, 2);
    EXPECT_EQ(record.bmWidthBytes, c.pitch) << c.bpp;
    EXPECT_EQ(record.bmBitsPixel, c.bpp);
    EXPECT_EQ(record.bmBits, bits);
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < 2 * c.pitch; ++i) ASSERT_EQ(bytes[i], 0) << c.bpp;
    // Pixel (0, 0) is the top-left one: it lives in the last row in memory.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, dib);
    SetPixel(dc, 0, 0, 0x00FFFFFF);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_NE(bytes[c.pitch], 0);
    SelectObject(dc, original);
    DeleteDC(dc);
    DeleteObject(dib);
  }
}

TEST(GdiObjects, SetPixelMapsColoursAsEachDepthStoresThem) {
  struct Case {
    int bpp;
    COLORREF in, stored;
  };
  const Case cases[] = {
      {32, 0x00123456, 0x00123456}, {24, 0x00ABCDEF, 0x00ABCDEF},
      {16, 0x00FFFFFF, 0x00FFFFFF}, {16, 0x00070707, 0x00000000},
      {16, 0x00080808, 0x00080808}, {16, 0x00123456, 0x00103152},
      {32, 0x01000001, 0x00000080},  // an index into the default palette
      {32, 0x01000014, 0x00000000},  // past its 20 entries
      {32, 0x02123456, 0x00123456},  // a palette-relative colour is a plain one here
  };
  for (const Case& c : cases) {
    HBITMAP dib = MakeDib(2, 2, c.bpp);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, dib);
    EXPECT_EQ(SetPixel(dc, 1, 1, c.in), c.stored) << c.bpp << " " << std::hex << c.in;
    EXPECT_EQ(GetPixel(dc, 1, 1), c.stored) << c.bpp << " " << std::hex << c.in;
    // Outside: nothing drawn, yet SetPixel reports the colour it would have stored.
    EXPECT_EQ(SetPixel(dc, 2, 0, c.in), c.stored);
    EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);
    SelectObject(dc, original);
    DeleteDC(dc);
    DeleteObject(dib);
  }
}

TEST(GdiObjects, LineToLeavesOutItsLastPixelAndMovesThePosition) {
  void* bits = nullptr;
  HBITMAP dib = MakeDib(8, 1, 32, &bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, dib);
  HPEN pen = CreatePen(PS_SOLID, 1, 0x000000FF);
  HGDIOBJ defaultPen = SelectObject(dc, pen);
  POINT previous{-7, -7};
  EXPECT_TRUE(MoveToEx(dc, 1, 0, &previous));
  EXPECT_EQ(previous.x, 0);  // a new DC's position is the origin
  EXPECT_TRUE(LineTo(dc, 4, 0));
  EXPECT_TRUE(LineTo(dc, 6, 0));  // continues from (4, 0)
  const auto* px = static_cast<const std::uint32_t*>(bits);
  const std::uint32_t expected[8] = {0, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(px[x], expected[x]) << x;
  MoveToEx(dc, 0, 0, &previous);
  EXPECT_EQ(previous.x, 6);
  SelectObject(dc, defaultPen);
  SelectObject(dc, original);
  DeleteObject(pen);
  DeleteDC(dc);
  DeleteObject(dib);
}

TEST(GdiObjects, BadArgumentsFailWithoutSideEffects) {
  EXPECT_EQ(GetObjectA(nullptr, sizeof(BITMAP), nullptr), 0);
  EXPECT_FALSE(DeleteDC(nullptr));
  EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_EQ(MakeDib(0, 4, 32), nullptr);
  EXPECT_EQ(MakeDib(4, 4, 7), nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  DeleteDC(dc);
}

// Drawing looks the same device context up call after call; once deleted it is refused at once,
// even when it was the one used last.
TEST(GdiObjects, ADeletedDcIsRefusedRightAfterItsLastUse) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(MoveToEx(dc, 1, 1, nullptr));
  EXPECT_TRUE(LineTo(dc, 2, 2));
  ASSERT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(MoveToEx(dc, 2, 2, nullptr));
  EXPECT_FALSE(LineTo(dc, 3, 3));
  EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
}

}  // namespace

namespace {

// End points more than 2^31 apart, or a line starting at INT_MAX: Wine's gdi32 overflows and
// draws elsewhere or nothing; ours keeps the exact pixels of the clipped line.
TEST(GdiObjects, FarApartEndPointsClipToTheExactLine) {
  if (!kNativePlatform) GTEST_SKIP() << "the real gdi32 overflows on these";
  void* bits = nullptr;
  HBITMAP dib = MakeDib(64, 48, 32, &bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, dib);
  SelectObject(dc, GetStockObject(WHITE_PEN));
  const auto lit = [bits](int x, int y) {
    return static_cast<const std::uint32_t*>(bits)[(47 - y) * 64 + x] != 0;
  };
  MoveToEx(dc, -(1 << 30), 23, nullptr);
  LineTo(dc, (1 << 30) - 1, 25);  // crosses the picture at y = 24
  MoveToEx(dc, 9, 2147483647, nullptr);
  LineTo(dc, 9, 10);  // column 9 from the bottom row up to, not including, row 10
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      EXPECT_EQ(lit(x, y), y == 24 || (x == 9 && y > 10)) << x << "," << y;
    }
  }
  SelectObject(dc, original);
  DeleteDC(dc);
  DeleteObject(dib);
}

}  // namespace

namespace {

// Found by fuzzing: a rectangle left with rows to fill but none inside the bitmap wrote a row
// outside it. Every rectangle clipped to nothing must leave every byte alone.
TEST(GdiObjects, RectanglesClippedToNothingTouchNoPixel) {
  void* bits = nullptr;
  HBITMAP dib = MakeDib(6, 4, 16, &bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, dib);
  HBRUSH brush = CreateSolidBrush(0x00123456);
  const RECT rects[] = {{0, 4, 6, 9}, {0, -9, 6, 0}, {1, 10, 3, 20}, {0, -3, 6, -1}, {6, 0, 9, 4},
                        {2, 2, 2, 3}, {0, 2147483600, 6, 2147483647}};
  for (const RECT& r : rects) EXPECT_TRUE(FillRect(dc, &r, brush));
  const auto* bytes = static_cast<const std::uint8_t*>(bits);
  for (int i = 0; i < 4 * 12; ++i) EXPECT_EQ(bytes[i], 0) << i;
  DeleteObject(brush);
  SelectObject(dc, original);
  DeleteDC(dc);
  DeleteObject(dib);
}

}  // namespace
