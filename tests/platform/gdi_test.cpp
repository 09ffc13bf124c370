// The gdi32 subset in both builds (under Wine the real one): object lifetimes, bad arguments and
// bitmap files. Where we knowingly differ from Wine (README) a case runs natively only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/bmp_file.h"

namespace {

using namespace zantrel::test;

HBITMAP MakeDib(int width, int height, int bpp) {
  const BITMAPINFO info{DibHeader(width, height, bpp, BI_RGB), {}};
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
}

TEST(GdiObjects, SelectionHandsBackThePreviousAndDeletionSparesWhatIsInUse) {
  const SelectedBitmap dib(MakeDib(4, 1, 32));
  BITMAP record{};
  ASSERT_EQ(GetObjectA(dib.original, sizeof record, &record), int(sizeof record));
  EXPECT_EQ(record.bmWidth * record.bmHeight * record.bmBitsPixel, 1);  // 1 x 1 monochrome
  for (int index = WHITE_BRUSH; index <= NULL_PEN; ++index) {  // stock objects outlive deletion
    HGDIOBJ stock = GetStockObject(index);
    EXPECT_TRUE(DeleteObject(stock)) << index;
    EXPECT_EQ(GetStockObject(index), stock) << index;
  }
  EXPECT_FALSE(DeleteObject(GetStockObject(NULL_PEN + 1)));  // names none
  HPEN pen = CreatePen(PS_SOLID, 1, 0xFF);
  EXPECT_EQ(SelectObject(dib.dc, pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dib.dc, GetStockObject(BLACK_PEN)), pen);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));
  HPEN held = CreatePen(PS_SOLID, 1, 0xFF);
  SelectObject(dib.dc, held);
  EXPECT_TRUE(DeleteObject(held));  // selected: it lives until its DC lets go of it,
  HPEN next = CreatePen(PS_SOLID, 1, 0xFF00);
  EXPECT_NE(next, held);  // so no new pen takes its place meanwhile
  EXPECT_EQ(SelectObject(dib.dc, next), held);
  EXPECT_FALSE(DeleteObject(held));
  EXPECT_TRUE(DeleteObject(next));  // freed with the DC
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, dib.bitmap), nullptr);  // one DC at a time
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_TRUE(DeleteObject(dib.bitmap));  // selected: freed when its DC lets go of it
  EXPECT_EQ(GetObjectA(dib.bitmap, sizeof record, &record), int(sizeof record));
  EXPECT_EQ(SelectObject(dib.dc, dib.original), dib.bitmap);
  EXPECT_EQ(GetObjectA(dib.bitmap, sizeof record, &record), 0);
}

// SetPixel reports what the picture keeps, drawn or not: a top byte of 1 names a default palette
// entry (black past its 20); bit fields keep each channel's top bits, read back repeated below.
TEST(GdiObjects, PixelsKeepWhatTheirFormatHoldsAndBadArgumentsChangeNothing) {
  EXPECT_EQ(MakeDib(0, 4, 32), nullptr);
  EXPECT_EQ(MakeDib(4, 4, 7), nullptr);
  const SelectedBitmap dib(MakeDib(1, 1, 32));
  const SelectedBitmap fields(
      MakeBitfieldDib(1, 1, 32, {0xC0000000, 0x3FF00000, 0x80000}, nullptr));
  EXPECT_FALSE(BitBlt(dib.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  const std::tuple<HDC, COLORREF, COLORREF> cases[] = {
      {dib.dc, 0x01000001, 0x80}, {dib.dc, 0x01000014, 0}, {fields.dc, 0xFF40C0, 0xC040F0}};
  for (auto [dc, in, kept] : cases) {
    EXPECT_EQ(SetPixel(dc, 0, 0, in), kept) << std::hex << in;
    EXPECT_EQ(SetPixel(dc, 1, 0, in), kept) << std::hex << in;  // outside
    EXPECT_EQ(GetPixel(dc, 0, 0), kept) << std::hex << in;
    EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
  }
  HDC deleted = CreateCompatibleDC(nullptr);  // refused at once, even right after its last use
  POINT previous{};
  EXPECT_TRUE(LineTo(deleted, 2, 2));  // from the origin, across its 1 x 1 bitmap
  EXPECT_TRUE(MoveToEx(deleted, 0, 0, &previous));
  EXPECT_EQ(previous.x + previous.y, 4);
  ASSERT_TRUE(DeleteDC(deleted));
  EXPECT_FALSE(MoveToEx(deleted, 2, 2, nullptr));
  EXPECT_FALSE(LineTo(deleted, 3, 3));
  EXPECT_EQ(SetPixel(deleted, 0, 0, 0), CLR_INVALID);
}

// Wine's gdi32 overflows on end points 2^31 apart or at INT_MAX; ours draws the exact clipped line.
TEST(GdiObjects, FarApartEndPointsClipToTheExactLine) {
  if (!kNativePlatform) GTEST_SKIP() << "the real gdi32 overflows on these";
  const SelectedBitmap dib(MakeDib(64, 48, 32));
  SelectObject(dib.dc, GetStockObject(WHITE_PEN));
  MoveToEx(dib.dc, -(1 << 30), 23, nullptr);
  LineTo(dib.dc, (1 << 30) - 1, 25);  // crosses the picture at y = 24
  MoveToEx(dib.dc, 9, 2147483647, nullptr);
  LineTo(dib.dc, 9, 10);  // column 9 from the bottom row up to, not including, row 10
  for (int i = 0; i < 64 * 48; ++i) {
    const int x = i % 64, y = i / 64;
    EXPECT_EQ(GetPixel(dib.dc, x, y) != 0, y == 24 || (x == 9 && y > 10)) << x << "," << y;
  }
}

// Lines of every slope and direction, whole and clipped, against GDI's walk pixel by pixel:
// err starts at 2*minor - major, the minor axis steps when err + bias > 0, the end pixel is left.
TEST(GdiObjects, LinesTakeTheWalksPixels) {
  constexpr int kWidth = 64, kHeight = 48;
  const SelectedBitmap dib(MakeDib(kWidth, kHeight, 32));
  SelectObject(dib.dc, GetStockObject(WHITE_PEN));
  const int offsets[] = {-61, -23, -9, -5, -2, 0, 3, 7, 40};
  const POINT starts[] = {{2, 3}, {60, 44}, {-5, 30}, {30, -8}};
  for (POINT from : starts) for (int dx : offsets) for (int dy : offsets) {
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(dib.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    MoveToEx(dib.dc, from.x, from.y, nullptr);
    LineTo(dib.dc, from.x + dx, from.y + dy);
    std::vector<bool> expected(kWidth * kHeight);
    const bool xMajor = std::abs(dx) > std::abs(dy);
    const int major = xMajor ? std::abs(dx) : std::abs(dy), minor = xMajor ? std::abs(dy) : std::abs(dx);
    const int bias = (xMajor ? dy : dx) < 0, sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    int x = from.x, y = from.y;
    int& along = xMajor ? x : y;
    int& across = xMajor ? y : x;
    const int alongStep = xMajor ? sx : sy, acrossStep = xMajor ? sy : sx;
    for (int k = 0, err = 2 * minor - major; k < major; ++k) {
      if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) expected[y * kWidth + x] = true;
      if (err + bias > 0) {
        across += acrossStep;
        err -= 2 * major;
      }
      along += alongStep;
      err += 2 * minor;
    }
    for (int i = 0; i < kWidth * kHeight; ++i) {
      ASSERT_EQ(GetPixel(dib.dc, i % kWidth, i / kWidth) != 0, expected[i])
          << from.x << "," << from.y << " by " << dx << "," << dy << " at " << i % kWidth << "," << i / kWidth;
    }
  }
}

// A run-length stream: count and value; 0 0 ends a line, 0 1 the picture, 0 2 dx dy moves right
// and up, 0 n starts n pixels as they are, padded to 16 bits. Past the stream's length all is 0.
BmpParts Rle(std::vector<std::uint8_t> stream, std::uint16_t bpp = 8, std::uint32_t length = 0) {
  return {.bitsPerPixel = bpp, .compression = bpp == 8 ? 1u : 2u,
          .imageSize = length ? length : std::uint32_t(stream.size()), .pixels = stream};
}

TEST(BitmapFiles, FilesGiveThePixelsTheyDescribeOrNothing) {
  std::vector<std::uint8_t> longRun = {0, 255};  // 255 pixels of 5 as they are, padded; 2 of 9
  longRun.resize(257, 5);
  longRun.insert(longRun.end(), {0, 2, 9});
  struct Case {
    const char* name;
    bool wineDiffers;  // refused files: Wine reads past the file or makes a picture anyway
    BmpParts parts;  // its palette and size filled in, pixels 1 2 3 (bottom row) 4 5 6 if none
    std::vector<std::string> rows;  // top row first, a PaletteColor digit per pixel; none: refused
    std::vector<std::pair<BmpField, std::uint32_t>> writes = {};  // over the assembled file
    std::size_t keep = 9999;  // bytes kept; the headers and table end at 1078
  } const cases[] = {
      {"pixels the file lacks are 0", false, {.pixels = {1, 2}}, {"000", "120"}},
      {"offset 14, 300 colours", false, {.colorsUsed = 300, .pixelOffset = 14}, {"456", "123"}},
      {"a table of 3 colours", false, {.colorsUsed = 3, .pixels = {1, 2, 0, 0}}, {"120"}},
      {"runs cut", false, Rle({2, 3, 9, 7, 0, 0, 6, 1, 0, 0, 1, 9}, 8, 99), {"900", "111", "337"}},
      {"deltas stop at the right and past the top", false,
       Rle({1, 5, 0, 2, 1, 1, 2, 6, 0, 2, 9, 0, 0, 0, 1, 1, 0, 2, 0, 9}), {"100", "006", "500"}},
      {"unended: drawn since the last escape dropped", false,
       Rle({6, 1, 0, 0, 2, 2, 0, 2, 1, 0, 2, 3}), {"0000", "2200", "1111"}},
      {"an absolute run cut short", false, Rle({6, 1, 0, 0, 2, 2, 0, 5, 9}), {"000", "000", "111"}},
      {"a delta cut short", false, Rle({6, 1, 0, 0, 2, 4, 0, 2, 1}), {"000", "440", "111"}},
      {"4 bpp: nibbles alternate, absolute runs padded, all clipped", false,
       Rle({3, 0x12, 9, 0x34, 0, 0, 1, 0x56, 0, 3, 0x78, 0x90, 0, 5, 0xAB, 0xCD, 0xE0, 0, 0, 1}, 4),
       {"0000000", "5789abc", "1213434"}},
      // Wine takes the padded length, 256, for none and reads the pixels as commands.
      {"an absolute run of 255", true, Rle(longRun, 8, 999), {std::string(255, '5') + "99"}},
      {"file header cut", false, {}, {}, {}, 13}, {"info header cut", true, {}, {}, {}, 30},
      {"cut before the pixels", true, {}, {}, {}, 1077},
      {"not BM", false, {}, {}, {{kMagicField, 'M' | 'B' << 8}}},
      {"pixels at 4 GiB", true, {}, {}, {{kPixelOffsetField, ~15u}}},
      {"header of 13", false, {}, {}, {{kHeaderSizeField, 13}}},
      {"header past the end", false, {}, {}, {{kHeaderSizeField, 1 << 30}}},
      {"0 wide", false, {}, {}, {{kWidthField, 0}}}, {"0 high", false, {}, {}, {{kHeightField, 0}}},
      {"too wide", false, {}, {}, {{kWidthField, 0x7FFFFFFF}}},
      {"-2^31 high", false, {}, {}, {{kHeightField, 1u << 31}}},
      {"huge", false, {}, {}, {{kHeightField, 1 << 30}}},
      {"2 planes", true, {}, {}, {{kPlanesAndDepthField, PlanesAndDepth(2, 8)}}},
      {"7 bpp", false, {}, {}, {{kPlanesAndDepthField, PlanesAndDepth(1, 7)}}},
      {"compression 9", true, {}, {}, {{kCompressionField, 9}}},
      {"bit fields, 8 bpp", true, {}, {}, {{kCompressionField, BI_BITFIELDS}}},
      {"RLE4, 8 bpp", true, {}, {}, {{kCompressionField, BI_RLE4}}},
      {"top-down RLE", true, {}, {}, {{kCompressionField, BI_RLE8}, {kHeightField, -7u}}},
      {"RLE8, 24 bpp", true, {}, {},
       {{kCompressionField, BI_RLE8}, {kPlanesAndDepthField, PlanesAndDepth(1, 24)}}},
      // Wine's loader leaves top-down pictures blank and misreads core colour tables.
      {"top-down", true, {}, {"123", "456"}, {{kHeightField, -2u}}},
      {"core colours, offset 0", true, {.headerSize = 12, .pixelOffset = 0}, {"456", "123"}},
      {"1 bpp, V5 header", false,
       {.headerSize = 124, .bitsPerPixel = 1, .pixels = {0b1011'0011, 0b1000'0000}}, {"101100111"}},
      // Deeper pixels hold colours, packed here by hand: 1 is 0xF02810, 0 is 0x0000FF.
      {"24 bpp, core header", false,
       {.headerSize = 12, .bitsPerPixel = 24, .pixels = {0x10, 0x28, 0xF0, 0xFF, 0, 0}}, {"10"}},
      {"16 bpp", false, {.bitsPerPixel = 16, .pixels = {0xA2, 0x78, 0x1F, 0}}, {"10"}},
      {"5-6-5 fields", false, {.bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x7E0, 0x1F},
       .pixels = {0x42, 0xF1}}, {"1"}},
      {"32 bpp", false, {.bitsPerPixel = 32, .pixels = {0x10, 0x28, 0xF0, 0}}, {"1"}},
      {"10-10-10 fields, V4", false, {.headerSize = 108, .bitsPerPixel = 32, .compression = 3,
       .masks = {0x3FF00000, 0xFFC00, 0x3FF}, .pixels = {0x40, 0x80, 0x02, 0x3C}}, {"1"}},
  };
  for (const Case& c : cases) {
    if (!kNativePlatform && c.wineDiffers) continue;
    SCOPED_TRACE(c.name);
    BmpParts parts = c.parts;
    const int width = parts.width = c.rows.empty() ? 3 : std::int32_t(c.rows[0].size());
    const int height = parts.height = c.rows.empty() ? 2 : std::int32_t(c.rows.size());
    if (parts.pixels.empty()) parts.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    for (int i = 0; i < 256; ++i) parts.table.push_back(PaletteColor(i));
    std::vector<std::uint8_t> bytes = AssembleBmp(parts);
    bytes.resize(std::min(c.keep, bytes.size()));
    for (const auto& [at, value] : c.writes) Set32(bytes, at, value);
    const SelectedBitmap loaded(LoadBmp(bytes)), copy(MakeDib(width, height, 32));
    ASSERT_EQ(loaded.bitmap == nullptr, c.rows.empty());
    if (!loaded.bitmap) continue;
    EXPECT_TRUE(BitBlt(copy.dc, 0, 0, width, height, loaded.dc, 0, 0, SRCCOPY));
    for (int i = 0; i < width * height; ++i) {
      const int x = i % width, y = i / width;
      const int index = std::stoi(c.rows[std::size_t(y)].substr(std::size_t(x), 1), nullptr, 16);
      std::uint32_t rgb = PaletteColor(index);  // 16 bpp keeps 5 bits per channel
      if (parts.bitsPerPixel == 16) rgb = (rgb & 0xF8F8F8) | (rgb & 0xE0E0E0) >> 5;
      const COLORREF colour = RGB(rgb >> 16, rgb >> 8, rgb);
      EXPECT_EQ(GetPixel(loaded.dc, x, y), colour) << x << "," << y;
      EXPECT_EQ(GetPixel(copy.dc, x, y), colour) << "copied, " << x << "," << y;
      EXPECT_EQ(SetPixel(loaded.dc, x, y, colour), colour) << "stored as it is";
    }
  }
  for (const char* path : {"no-such-file.bmp", ".", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  }
}

}  // namespace
