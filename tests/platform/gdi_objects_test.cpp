// GDI object semantics in both builds: under Wine the real gdi32 proves each expectation, natively
// our layer must give the same. The catalogue compares the pixels of drawing and copying.
#include "tests/platform/picture.h"

namespace {

using zantrel::test::MakeDib;
using zantrel::test::Picture;

std::uint32_t Pixel32(const Picture& p, int x, int y) { return reinterpret_cast<const std::uint32_t*>(p.Row(y))[x]; }

TEST(GdiObjects, SelectionHandsBackThePreviousAndDeletionSparesWhatIsInUse) {
  Picture dib(MakeDib(4, 1, 32));
  BITMAP record{};
  ASSERT_EQ(GetObjectA(dib.original, sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(record.bmWidth * record.bmHeight * record.bmBitsPixel, 1);  // a 1 x 1 monochrome start
  for (int index = 0; index <= 9; ++index) {
    HGDIOBJ stock = GetStockObject(index);
    EXPECT_EQ(stock == nullptr, index == 9) << index;
    EXPECT_EQ(DeleteObject(stock), index != 9) << index;  // stock objects ignore it
    EXPECT_EQ(GetStockObject(index), stock) << index;
  }
  for (auto [made, initial] : {std::pair<HGDIOBJ, int>{CreatePen(PS_SOLID, 1, 0xFF), BLACK_PEN},
                               std::pair<HGDIOBJ, int>{CreateSolidBrush(0xFF), WHITE_BRUSH}}) {
    EXPECT_EQ(SelectObject(dib.dc, made), GetStockObject(initial));
    EXPECT_EQ(SelectObject(dib.dc, GetStockObject(initial)), made);
    EXPECT_TRUE(DeleteObject(made));
    EXPECT_FALSE(DeleteObject(made));
  }
  // A new DC's position is the origin; a line leaves out its last pixel, clipped or not.
  SelectObject(dib.dc, GetStockObject(WHITE_PEN));
  POINT previous{};
  EXPECT_TRUE(LineTo(dib.dc, 2, 0));
  EXPECT_TRUE(MoveToEx(dib.dc, 9, 0, &previous));
  EXPECT_TRUE(LineTo(dib.dc, 2, 0));
  EXPECT_EQ(previous.x, 2);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel32(dib, x, 0), x == 2 ? 0 : 0xFFFFFFu) << x;
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, dib.bitmap), nullptr);  // one DC at a time
  EXPECT_TRUE(DeleteObject(dib.bitmap));                // selected: freed when its DC lets go
  EXPECT_EQ(GetObjectA(dib.bitmap, sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(SelectObject(dib.dc, dib.original), dib.bitmap);
  EXPECT_EQ(GetObjectA(dib.bitmap, sizeof record, &record), 0);
  EXPECT_TRUE(DeleteDC(other));
}

TEST(GdiObjects, PixelsKeepWhatTheirFormatHoldsAndCopyAsThatColour) {
  struct Case {
    int bpp;
    std::array<std::uint32_t, 3> masks;  // none: BI_RGB
    COLORREF in, stored;
  };
  const Case cases[] = {
      {24, {}, 0xABCDEF, 0xABCDEF}, {16, {}, 0xFFFFFF, 0xFFFFFF}, {16, {}, 0x070707, 0}, {16, {}, 0x123456, 0x103152},
      {32, {}, 0x01000001, 0x000080}, {32, {}, 0x01000014, 0},  // entries of the default palette, and past them
      {32, {}, 0x02123456, 0x123456},                           // palette-relative: a plain colour here
      {16, {0xF800, 0x07E0, 0x001F}, 0x123456, 0x103452},
      // Channels of 2, 10 and 1 bits: the top eight bits at most, repeated once below themselves.
      {32, {0xC0000000, 0x3FF00000, 0x00080000}, 0xFF40C0, 0xC040F0},
  };
  for (const Case& c : cases) {
    const Picture dib(MakeDib(2, 1, c.bpp, c.masks)), copy(MakeDib(2, 1, 32));
    EXPECT_EQ(SetPixel(dib.dc, 1, 0, c.in), c.stored) << c.bpp << " " << std::hex << c.in;
    EXPECT_EQ(SetPixel(dib.dc, 2, 0, c.in), c.stored);  // outside: reported, not drawn
    EXPECT_EQ(GetPixel(dib.dc, 1, 0), c.stored) << c.bpp << " " << std::hex << c.in;
    EXPECT_EQ(GetPixel(dib.dc, 2, 0), CLR_INVALID);
    EXPECT_TRUE(BitBlt(copy.dc, 0, 0, 2, 1, dib.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(Pixel32(copy, 1, 0), (c.stored & 0xFF) << 16 | (c.stored & 0xFF00) | c.stored >> 16) << c.bpp;
  }
}

TEST(GdiObjects, BadArgumentsAndEmptyAreasChangeNothing) {
  EXPECT_EQ(GetObjectA(nullptr, sizeof(BITMAP), nullptr), 0);
  EXPECT_FALSE(DeleteDC(nullptr));
  EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_EQ(MakeDib(0, 4, 32), nullptr);
  EXPECT_EQ(MakeDib(4, 4, 7), nullptr);
  EXPECT_EQ(MakeDib(4, 4, 16, {0xF800, 0, 0x1F}), nullptr);  // a channel without bits
  const Picture dib(MakeDib(6, 4, 16));
  EXPECT_FALSE(BitBlt(dib.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  // Found by fuzzing: a rectangle with rows to fill but none inside the bitmap wrote outside it.
  HBRUSH brush = CreateSolidBrush(0x123456);
  for (const RECT& r : {RECT{0, 4, 6, 9}, RECT{0, -9, 6, 0}, RECT{1, 10, 3, 20}, RECT{0, -3, 6, -1},
                        RECT{6, 0, 9, 4}, RECT{2, 2, 2, 3}, RECT{0, 2147483600, 6, 2147483647}}) {
    EXPECT_TRUE(FillRect(dib.dc, &r, brush));
  }
  DeleteObject(brush);
  for (int i = 0; i < 4 * 12; ++i) EXPECT_EQ(dib.Row(3)[i], 0) << i;  // all rows from the bottom one on
  HDC deleted = CreateCompatibleDC(nullptr);  // refused at once, even right after its last use
  EXPECT_TRUE(LineTo(deleted, 2, 2));         // across its 1 x 1 bitmap
  ASSERT_TRUE(DeleteDC(deleted));
  EXPECT_FALSE(MoveToEx(deleted, 2, 2, nullptr));
  EXPECT_FALSE(LineTo(deleted, 3, 3));
  EXPECT_EQ(SetPixel(deleted, 0, 0, 0), CLR_INVALID);
}

// Wine's gdi32 overflows on end points 2^31 apart or at INT_MAX; ours draws the exact clipped line.
TEST(GdiObjects, FarApartEndPointsClipToTheExactLine) {
  if (!kNativePlatform) GTEST_SKIP() << "the real gdi32 overflows on these";
  const Picture dib(MakeDib(64, 48, 32));
  SelectObject(dib.dc, GetStockObject(WHITE_PEN));
  MoveToEx(dib.dc, -(1 << 30), 23, nullptr);
  LineTo(dib.dc, (1 << 30) - 1, 25);  // crosses the picture at y = 24
  MoveToEx(dib.dc, 9, 2147483647, nullptr);
  LineTo(dib.dc, 9, 10);  // column 9 from the bottom row up to, not including, row 10
  for (int i = 0; i < 64 * 48; ++i) EXPECT_EQ(Pixel32(dib, i % 64, i / 64) != 0, i / 64 == 24 || (i % 64 == 9 && i / 64 > 10)) << i;
}

}  // namespace
