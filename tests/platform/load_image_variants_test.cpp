// LoadImageA on run-length files, odd colour tables and pixel offsets, cut-short pixel data,
// bit-field channels of any width, and alpha and unused bits. Built for both platforms: the
// expectations are worked out by hand or by a reference inside the test, and Wine checks them too.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/support/dib_section.h"
#include "tests/support/bmp_file.h"
#include "tests/support/rle_stream.h"

namespace {

using zantrel::test::BmpParts;
using zantrel::test::RleStream;

constexpr std::uint32_t kRle8 = 1, kRle4 = 2, kBitfields = 3;

// A loaded bitmap with its record, freed on scope exit.
class Loaded {
 public:
  explicit Loaded(const std::vector<std::uint8_t>& bytes) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::string("zantrel-variant-") + info->name() + ".bmp")).string();
    EXPECT_TRUE(zantrel::test::WriteBytes(path, bytes));
    bitmap_ = static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    std::filesystem::remove(path);
    if (bitmap_) GetObjectA(bitmap_, sizeof record_, &record_);
  }
  Loaded(const Loaded&) = delete;
  Loaded& operator=(const Loaded&) = delete;
  ~Loaded() {
    if (bitmap_) DeleteObject(bitmap_);
  }

  HBITMAP bitmap() const { return bitmap_; }
  const BITMAP& record() const { return record_; }
  // Bytes of row y (0 = top) of a bottom-up picture, padding included.
  const std::uint8_t* Row(int y) const {
    return static_cast<const std::uint8_t*>(record_.bmBits) +
           static_cast<std::size_t>(record_.bmHeight - 1 - y) * static_cast<std::size_t>(record_.bmWidthBytes);
  }
  // The palette index of pixel (x, y) of a 4 or 8 bpp picture.
  int Index(int x, int y) const {
    const std::uint8_t* row = Row(y);
    return record_.bmBitsPixel == 8 ? row[x] : (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
  }
  // Row y as one hexadecimal digit per pixel, to compare with pictures written out by hand.
  std::string Digits(int y) const {
    std::string digits;
    for (int x = 0; x < record_.bmWidth; ++x) digits += "0123456789abcdef"[Index(x, y) & 0xF];
    return digits;
  }

 private:
  HBITMAP bitmap_ = nullptr;
  BITMAP record_{};
};

std::vector<std::uint8_t> RleFile(int bpp, int width, int height, const std::vector<std::uint8_t>& stream,
                                  std::int64_t imageSize = -1) {
  BmpParts p;
  p.width = width;
  p.height = height;
  p.bitsPerPixel = static_cast<std::uint16_t>(bpp);
  p.compression = bpp == 8 ? kRle8 : kRle4;
  for (int i = 0; i < (1 << bpp); ++i) p.table.push_back(zantrel::test::PaletteColor(i));
  p.pixels = stream;
  p.imageSize = static_cast<std::uint32_t>(imageSize >= 0 ? imageSize : static_cast<std::int64_t>(stream.size()));
  return zantrel::test::AssembleBmp(p);
}

TEST(RunLengthFiles, EscapesAndRunsDrawWhatTheyDescribe) {
  struct Case {
    const char* name;
    int bpp;
    RleStream stream;
    std::vector<std::string> rows;  // top row first, one digit per pixel
    std::int64_t imageSize = -1;
  };
  const Case cases[] = {
      {"runs and ends of line", 8, RleStream(8).Run(2, 3).Run(4, 7).EndOfLine().Run(6, 1).EndOfLine().Run(1, 9)
                                       .EndOfPicture(),
       {"900000", "111111", "337777"}},
      {"absolute runs, odd ones padded", 8,
       RleStream(8).Absolute({1, 2, 3}).Absolute({4, 5, 6}).EndOfLine().Run(1, 8).Absolute({9, 10, 11, 12})
           .EndOfPicture(),
       {"000000", "89abc0", "123456"}},
      {"delta skips right and up", 8, RleStream(8).Run(1, 5).Delta(2, 1).Run(2, 6).Delta(1, 1).Run(1, 7).EndOfPicture(),
       {"000000700", "000660000", "500000000"}},
      {"runs stop at the right edge", 8, RleStream(8).Run(9, 2).Run(3, 4).EndOfLine().Absolute({1, 2, 3, 4, 5, 6, 7, 8})
                                            .EndOfPicture(),
       {"000000", "123456", "222222"}},
      {"rows past the top are ignored", 8,
       RleStream(8).Run(6, 1).EndOfLine().Run(6, 2).EndOfLine().Run(6, 3).EndOfLine().Run(6, 4).EndOfPicture(),
       {"222222", "111111"}},
      {"pixels after the last escape are dropped", 8, RleStream(8).Run(6, 1).EndOfLine().Run(2, 2).Delta(1, 0).Run(2, 3),
       {"000000", "220000", "111111"}},
      {"an absolute run cut by the stream's end", 8, RleStream(8).Run(6, 1).EndOfLine().Run(2, 2).Bytes({0, 5, 9}),
       {"000000", "000000", "111111"}},
      {"no stream at all", 8, RleStream(8).Run(6, 1).EndOfPicture(), {"000000", "000000", "000000"}, 0},
      {"a stream longer than the file reads zeros", 8, RleStream(8).Run(6, 1).EndOfLine().Run(2, 2).Run(1, 3),
       {"000000", "223000", "111111"}, 100000},
      {"4 bpp runs alternate nibbles from their start", 4,
       RleStream(4).Run(3, 0x12).Run(4, 0x34).EndOfLine().Run(1, 0x56).Absolute({7, 8, 9}).Run(2, 0xAB).EndOfPicture(),
       {"0000000", "5789ab0", "1213434"}},
  };
  for (const Case& c : cases) {
    const int width = static_cast<int>(c.rows[0].size());
    const int height = static_cast<int>(c.rows.size());
    Loaded loaded(RleFile(c.bpp, width, height, c.stream.bytes(), c.imageSize));
    ASSERT_NE(loaded.bitmap(), nullptr) << c.name;
    EXPECT_EQ(loaded.record().bmBitsPixel, c.bpp) << c.name;
    for (int y = 0; y < height; ++y) EXPECT_EQ(loaded.Digits(y), c.rows[static_cast<std::size_t>(y)]) << c.name << ", row " << y;
  }
}

// A reference encoder: repeats of three or more become runs, other stretches absolute runs of
// 3..254 pixels (singles and pairs become runs of their own), a row of zeros after its last
// non-zero pixel is skipped by an end of line.
RleStream Encode(int bpp, const std::vector<std::vector<int>>& rows) {
  RleStream s(bpp);
  const auto runValue = [bpp](int index) { return static_cast<std::uint8_t>(bpp == 8 ? index : index * 0x11); };
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    std::size_t end = row->size();
    while (end > 0 && (*row)[end - 1] == 0) --end;
    std::size_t x = 0;
    while (x < end) {
      std::size_t same = 1;
      while (x + same < end && same < 255 && (*row)[x + same] == (*row)[x]) ++same;
      if (same >= 3) {
        s.Run(static_cast<int>(same), runValue((*row)[x]));
        x += same;
        continue;
      }
      std::size_t n = 0;
      while (x + n < end && n < 254) {
        const std::size_t k = x + n;
        if (k + 2 < end && (*row)[k] == (*row)[k + 1] && (*row)[k] == (*row)[k + 2]) break;
        ++n;
      }
      if (n < 3) {
        for (std::size_t k = 0; k < n; ++k) s.Run(1, runValue((*row)[x + k]));
      } else {
        std::vector<std::uint8_t> pixels;
        for (std::size_t k = 0; k < n; ++k) pixels.push_back(static_cast<std::uint8_t>((*row)[x + k]));
        s.Absolute(pixels);
      }
      x += n;
    }
    s.EndOfLine();
  }
  s.EndOfPicture();
  return s;
}

TEST(RunLengthFiles, EncodedPicturesComeBackUnchanged) {
  std::uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(range));
  };
  for (int bpp : {8, 4}) {
    for (int trial = 0; trial < 12; ++trial) {
      const int width = 1 + next(trial < 6 ? 40 : 600), height = 1 + next(12);
      std::vector<std::vector<int>> rows(static_cast<std::size_t>(height));
      for (auto& row : rows) {
        int value = 0;
        for (int x = 0; x < width; ++x) {
          if (next(4) == 0) value = next(next(3) == 0 ? 3 : 1 << bpp);  // long repeats and noise
          row.push_back(value);
        }
      }
      Loaded loaded(RleFile(bpp, width, height, Encode(bpp, rows).bytes()));
      ASSERT_NE(loaded.bitmap(), nullptr);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(loaded.Index(x, y), rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
              << bpp << " bpp, trial " << trial << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(RunLengthFiles, TheLongestAbsoluteRunKeepsItsPadding) {
  // 255 pixels and one pad byte, then a run. Wine's loader counts the padded length in a byte,
  // takes it for none and reads the pixels again as commands; ours reads the file as written.
  if (!kNativePlatform) GTEST_SKIP() << "Wine misreads the padding of 255-pixel absolute runs";
  std::vector<std::uint8_t> ramp;
  for (int i = 0; i < 255; ++i) ramp.push_back(static_cast<std::uint8_t>(i % 7 + 1));
  Loaded loaded(RleFile(8, 260, 1, RleStream(8).Absolute(ramp).Run(5, 9).EndOfPicture().bytes()));
  ASSERT_NE(loaded.bitmap(), nullptr);
  for (int x = 0; x < 255; ++x) ASSERT_EQ(loaded.Index(x, 0), x % 7 + 1) << x;
  for (int x = 255; x < 260; ++x) EXPECT_EQ(loaded.Index(x, 0), 9) << x;
}

TEST(BitmapFileColours, TablesHaveTheDepthsSize) {
  // Longer tables: the first entries serve. Shorter ones: the rest is black, and black drawn on
  // the picture takes the first black entry.
  struct Case {
    int bpp;
    std::uint32_t colorsUsed;
    int entriesInFile;
    int blackIndex;  // where SetPixel puts black
  };
  const Case cases[] = {{8, 300, 300, 2}, {4, 20, 20, 2}, {4, 3, 3, 3}, {1, 5, 5, 0}, {8, 2, 2, 2}};
  for (const Case& c : cases) {
    BmpParts p;
    p.width = 8;
    p.height = 1;
    p.bitsPerPixel = static_cast<std::uint16_t>(c.bpp);
    p.colorsUsed = c.colorsUsed;
    // Long tables have black at entry 2, short ones none.
    for (int i = 0; i < c.entriesInFile; ++i) {
      p.table.push_back(i == 2 && c.entriesInFile > 8 ? 0 : 0x102030u * static_cast<std::uint32_t>(i + 1));
    }
    p.pixels.assign(4, 0);
    Loaded loaded(zantrel::test::AssembleBmp(p));
    ASSERT_NE(loaded.bitmap(), nullptr) << c.colorsUsed;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, loaded.bitmap());
    SetPixel(dc, 0, 0, 0x000000);
    const int stored = c.bpp == 1 ? loaded.Row(0)[0] >> 7 : loaded.Index(0, 0);
    EXPECT_EQ(stored, c.blackIndex) << c.bpp << " bpp, " << c.colorsUsed << " colours";
    SelectObject(dc, original);
    DeleteDC(dc);
  }
}

TEST(BitmapFileColours, NarrowAndWideChannelsReadAsGdiReadsThem) {
  // A channel of w bits: its top eight (at most) at the top of a byte, repeated once below.
  struct Case {
    std::uint32_t mask;
    std::uint32_t field;
    int red;
  };
  const Case cases[] = {
      {0x8000, 1, 0xC0},       {0x4000, 0, 0x00},       {0xC000, 1, 0x50},      {0xC000, 2, 0xA0},
      {0xC000, 3, 0xF0},       {0xE000, 5, 0xB4},       {0x7000, 7, 0xFC},      {0xF000, 0xA, 0xAA},
      {0xF800, 0x11, 0x8C},    {0xFC00, 0x21, 0x86},    {0xFF80, 0x1FF, 0xFF},  {0xFF80, 0x100, 0x80},
      {0xFFC0, 0x2AA, 0xAA},   {0x0FFF, 0xABC, 0xAB},   {0xA000, 1, 0xC0},      {0xA000, 4, 0x00},
  };
  for (const Case& c : cases) {
    void* bits = nullptr;
    HBITMAP dib = zantrel::test::MakeBitfieldDib(1, 1, 32, {c.mask << 16, 0x1, 0x2}, &bits);
    ASSERT_NE(dib, nullptr);
    int shift = 0;
    while (!((c.mask >> shift) & 1)) ++shift;
    *static_cast<std::uint32_t*>(bits) = (c.field << shift) << 16;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, dib);
    EXPECT_EQ(GetPixel(dc, 0, 0), static_cast<COLORREF>(c.red)) << std::hex << c.mask << " holding " << c.field;
    SelectObject(dc, original);
    DeleteDC(dc);
    DeleteObject(dib);
  }
}

// The bytes of pixel x of row 0 after a copy into a bottom-up DIB section of the given depth.
std::uint32_t CopiedPixel(const Loaded& loaded, int bpp, int x) {
  BITMAPINFO info{};
  info.bmiHeader = zantrel::test::DibHeader(loaded.record().bmWidth, 1, bpp, BI_RGB);
  void* bits = nullptr;
  HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFrom = SelectObject(from, loaded.bitmap()), oldTo = SelectObject(to, target);
  BitBlt(to, 0, 0, loaded.record().bmWidth, 1, from, 0, 0, SRCCOPY);
  const auto* p = static_cast<const std::uint8_t*>(bits) + x * bpp / 8;
  const std::uint32_t value = bpp == 16 ? p[0] | p[1] << 8 : p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  DeleteObject(target);
  return value;
}

TEST(BitmapFileColours, UnusedBitsSurviveOnlyUnconverted) {
  // Pixels in the picture's own layout (5-5-5 at 16 bpp, 8-8-8 at 32) keep their top bits through
  // loading and a copy into a plain picture of the same depth; other masks are converted, and
  // conversion writes those bits as zero.
  struct Case {
    const char* name;
    int bpp;
    std::uint32_t headerSize, compression;
    std::array<std::uint32_t, 4> masks;
    std::uint32_t pixel, copied;
  };
  const Case cases[] = {
      {"16 bpp plain", 16, 40, 0, {}, 0xFC21, 0xFC21},
      {"5-5-5 fields", 16, 40, kBitfields, {0x7C00, 0x03E0, 0x001F, 0}, 0x8421, 0x8421},
      {"5-5-5-1 fields", 16, 124, kBitfields, {0x7C00, 0x03E0, 0x001F, 0x8000}, 0xFFFF, 0xFFFF},
      {"5-6-5 fields", 16, 40, kBitfields, {0xF800, 0x07E0, 0x001F, 0}, 0xFFFF, 0x7FFF},
      {"32 bpp plain", 32, 40, 0, {}, 0x80102030, 0x80102030},
      {"8-8-8-8 fields", 32, 108, kBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 0xC0A0B0D0, 0xC0A0B0D0},
      {"blue first", 32, 108, kBitfields, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, 0xC0A0B0D0, 0x00D0B0A0},
  };
  for (const Case& c : cases) {
    BmpParts p;
    p.headerSize = c.headerSize;
    p.width = 2;
    p.height = 1;
    p.bitsPerPixel = static_cast<std::uint16_t>(c.bpp);
    p.compression = c.compression;
    p.masks = c.masks;
    for (int i = 0; i < 2; ++i) {
      for (int b = 0; b < c.bpp / 8; ++b) p.pixels.push_back(static_cast<std::uint8_t>(c.pixel >> (8 * b)));
    }
    while (p.pixels.size() % 4) p.pixels.push_back(0);
    Loaded loaded(zantrel::test::AssembleBmp(p));
    ASSERT_NE(loaded.bitmap(), nullptr) << c.name;
    EXPECT_EQ(CopiedPixel(loaded, c.bpp, 1), c.copied) << c.name;
  }
}

TEST(BitmapFileLayout, PixelOffsetsAndCutShortData) {
  // 0 and 14 mean "after the table"; any other offset counts from the start of the file, even
  // into the headers. Pixel bytes the file lacks are zero.
  BmpParts p;
  p.width = 3;
  p.height = 2;
  p.bitsPerPixel = 8;
  p.colorsUsed = 2;
  p.table = {0x000000, 0xFFFFFF};
  p.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  struct Case {
    std::int64_t offset;
    std::size_t keep;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {0, 8, {"456", "123"}},  {14, 8, {"456", "123"}}, {-1, 8, {"456", "123"}},
      {-1, 6, {"450", "123"}}, {-1, 2, {"000", "120"}}, {-1, 0, {"000", "000"}},
      {0x36 + 2 * 4 + 1, 8, {"560", "230"}},
  };
  for (const Case& c : cases) {
    BmpParts cut = p;
    cut.pixelOffset = c.offset;
    cut.pixels.resize(c.keep);
    Loaded loaded(zantrel::test::AssembleBmp(cut));
    ASSERT_NE(loaded.bitmap(), nullptr) << c.offset << "/" << c.keep;
    for (int y = 0; y < 2; ++y) EXPECT_EQ(loaded.Digits(y), c.rows[static_cast<std::size_t>(y)]) << c.offset << "/" << c.keep;
  }
}

}  // namespace
