// LoadImageA on bitmap files: every layout, the files it refuses, run-length streams, offsets and
// cut-short pixels. Where we knowingly differ from Wine's loader (README, "Known differences from
// Wine") a case runs natively only; the catalogue compares the pixels of the files Wine reads right.
#include "tests/platform/picture.h"
#include "tests/support/rle_stream.h"

namespace {

using namespace zantrel::test;

// The colour GetPixel reports for a file colour 0x00RRGGBB: 16 bpp keeps 5 bits per channel.
COLORREF Reported(std::uint32_t rgb, int bpp) {
  if (bpp == 16) rgb = (rgb & 0xF8F8F8) | (rgb & 0xE0E0E0) >> 5;
  return (rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

TEST(LoadImage, EveryLayoutLoadsWithItsPixels) {
  for (std::uint32_t header : {12u, 40u, 108u, 124u}) {
    for (std::uint16_t bpp : {1, 4, 8, 16, 24, 32}) {
      for (int variant = 0; variant < 3; ++variant) {  // bottom-up, top-down, bit fields
        const BmpLayout bmp{header, bpp, variant == 2, variant == 1, 11, 7,
                            bpp == 16 ? std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}
                                      : std::array<std::uint32_t, 3>{0x0000FF, 0x00FF00, 0xFF0000}};
        if ((header == 12 && variant) || (bmp.bitfields && bpp % 16)) continue;
        if (!kNativePlatform && (bmp.topDown || (header == 12 && bpp <= 8))) continue;  // Wine differs
        const std::string what = std::to_string(header) + "/" + std::to_string(bpp) + "/" + std::to_string(variant);
        const Picture loaded(LoadFile(MakeBmp(bmp)));
        ASSERT_NE(loaded.bitmap, nullptr) << what;
        EXPECT_EQ(loaded.record.bmWidth * 100 + loaded.record.bmHeight, 1107) << what;
        EXPECT_EQ(loaded.record.bmBitsPixel, bpp) << what;
        for (int i = 0; i < 77; ++i) {
          const std::uint32_t rgb = bpp > 8 ? TestColor(i % 11, i / 11, 7)
                                            : PaletteColor(static_cast<int>(TestIndex(i % 11, i / 11, 7, 1 << bpp)));
          ASSERT_EQ(GetPixel(loaded.dc, i % 11, i / 11), Reported(rgb, bpp)) << what << " at " << i;
        }
        // A colour the picture holds is stored as it is.
        EXPECT_EQ(SetPixel(loaded.dc, 0, 0, GetPixel(loaded.dc, 2, 3)), GetPixel(loaded.dc, 2, 3)) << what;
        EXPECT_EQ(GetPixel(loaded.dc, 0, 0), GetPixel(loaded.dc, 2, 3)) << what;
      }
    }
  }
}

TEST(LoadImage, BrokenAndHostileFilesGiveNull) {
  constexpr std::size_t kWhole = ~std::size_t{0};
  struct Case {
    const char* name;
    bool wineLoadsIt;  // Wine reads past the file or makes a picture anyway
    std::size_t keep;  // bytes kept of the 8 bpp test picture, the table ending at 1078
    std::vector<std::pair<std::size_t, std::uint32_t>> writes;  // 32-bit values; planes and bpp at 26
  };
  const Case cases[] = {
      {"empty", false, 0, {}}, {"cut in the file header", false, 13, {}}, {"no info header", false, 14, {}},
      {"cut in the info header", true, 30, {}}, {"cut before the table", true, 53, {}},
      {"cut before the pixels", true, 1077, {}}, {"pixels at 4 GiB", true, kWhole, {{10, 0xFFFFFFF0}}},
      {"not BM", false, kWhole, {{0, 0x4D42 << 16 | 0x424D}}}, {"header size 0", false, kWhole, {{14, 0}}},
      {"header size 13", false, kWhole, {{14, 13}}}, {"header size 64", false, kWhole, {{14, 64}}},
      {"header past the file", false, kWhole, {{14, 0x7FFFFFF0}}}, {"zero width", false, kWhole, {{18, 0}}},
      {"negative width", false, kWhole, {{18, 0xFFFFFFF5}}}, {"absurd width", false, kWhole, {{18, 0x7FFFFFFF}}},
      {"zero height", false, kWhole, {{22, 0}}}, {"most negative height", false, kWhole, {{22, 0x80000000}}},
      {"absurd size", false, kWhole, {{18, 1 << 30}, {22, 1 << 30}}}, {"two planes", true, kWhole, {{26, 2 | 8 << 16}}},
      {"0 bpp", false, kWhole, {{26, 1}}}, {"7 bpp", false, kWhole, {{26, 1 | 7 << 16}}},
      {"64 bpp", false, kWhole, {{26, 1 | 64 << 16}}}, {"unknown compression", true, kWhole, {{30, 9}}},
      {"bit fields on 8 bpp", true, kWhole, {{30, 3}}}, {"BI_RLE4 on 8 bpp", true, kWhole, {{30, 2}}},
      {"BI_RLE8 on 4 bpp", true, kWhole, {{30, 1}, {26, 1 | 4 << 16}}},
      {"BI_RLE8 on 24 bpp", true, kWhole, {{30, 1}, {26, 1 | 24 << 16}}},
      {"top-down BI_RLE8", true, kWhole, {{30, 1}, {22, 0xFFFFFFF9}}},
  };
  for (const Case& c : cases) {
    if (!kNativePlatform && c.wineLoadsIt) continue;
    BmpLayout layout;
    layout.bitsPerPixel = 8;
    std::vector<std::uint8_t> bytes = MakeBmp(layout);
    bytes.resize(std::min(c.keep, bytes.size()));
    for (const auto& [at, value] : c.writes) Set32(bytes, at, value);
    EXPECT_EQ(Picture(LoadFile(bytes)).bitmap, nullptr) << c.name;
  }
  for (const char* path : {"no-such-file.bmp", ".", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION), nullptr);
  }
}

// A bottom-up picture with the first `colours` entries of the test palette; run-length with a stream.
BmpParts Indexed(int bpp, int width, int height, std::vector<std::uint8_t> pixels, std::uint32_t colours,
                 std::uint32_t compression = 0, std::int64_t pixelOffset = -1) {
  BmpParts p{40, width, height, static_cast<std::uint16_t>(bpp), compression, 0, colours, {}, {}, std::move(pixels),
             pixelOffset};
  p.imageSize = static_cast<std::uint32_t>(p.pixels.size());
  for (std::uint32_t i = 0; i < colours; ++i) p.table.push_back(PaletteColor(static_cast<int>(i)));
  return p;
}
BmpParts Rle(int bpp, int width, int height, const RleStream& stream, std::int64_t imageSize = -1) {
  BmpParts p = Indexed(bpp, width, height, stream.bytes(), 1u << bpp, bpp == 8 ? 1 : 2);
  if (imageSize >= 0) p.imageSize = static_cast<std::uint32_t>(imageSize);
  return p;
}

TEST(LoadImage, IndexedFilesGiveTheIndicesTheyDescribe) {
  const std::vector<std::uint8_t> rows123456 = {1, 2, 3, 0, 4, 5, 6, 0};  // bottom row first
  const auto at = [&](std::int64_t offset, std::size_t keep = 8, std::uint32_t colours = 3) {
    return Indexed(8, 3, 2, {rows123456.begin(), rows123456.begin() + keep}, colours, 0, offset);
  };
  RleStream s(8);
  struct Case {
    const char* name;
    BmpParts parts;
    std::vector<std::string> rows;  // top row first, one digit per pixel
    bool wineDiffers = false;
  } const cases[] = {
      {"offset 0: after the table", at(0), {"456", "123"}},
      {"offset 14: after the table", at(14), {"456", "123"}},
      {"other offsets count from the file's start", at(14 + 40 + 12 - 1), {"045", "012"}},
      {"pixels the file lacks are 0", at(-1, 2), {"000", "120"}},
      {"a table of 300 colours", at(-1, 8, 300), {"456", "123"}},
      {"runs, ends of line, clipped at the right", Rle(8, 6, 3, RleStream(s).Run(2, 3).Run(9, 7).EndOfLine()
           .Run(6, 1).EndOfLine().Run(1, 9).EndOfLine().Run(6, 2).EndOfPicture()), {"900000", "111111", "337777"}},
      {"absolute runs, padded, clipped at the right", Rle(8, 6, 3, RleStream(s).Absolute({1, 2, 3})
           .Absolute({4, 5, 6, 7}).EndOfLine().Run(1, 8).Absolute({9, 10, 11}).EndOfPicture()),
       {"000000", "89ab00", "123456"}},
      {"deltas stop at the right and past the top", Rle(8, 6, 3, RleStream(s).Run(1, 5).Delta(2, 1).Run(2, 6)
           .Delta(9, 0).Run(1, 7).EndOfLine().Run(1, 1).Delta(0, 9).Run(1, 3)), {"100000", "000660", "500000"}},
      {"pixels after the last escape are dropped", Rle(8, 6, 3, RleStream(s).Run(6, 1).EndOfLine().Run(2, 2)
           .Delta(1, 0).Run(2, 3)), {"000000", "220000", "111111"}},
      {"an absolute run cut by the stream's end", Rle(8, 6, 3, RleStream(s).Run(6, 1).EndOfLine().Run(2, 2)
           .Bytes({0, 5, 9})), {"000000", "000000", "111111"}},
      {"a delta cut by the stream's end", Rle(8, 6, 3, RleStream(s).Run(6, 1).EndOfLine().Run(2, 4)
           .Bytes({0, 2, 1})), {"000000", "440000", "111111"}},
      {"no stream", Rle(8, 6, 2, RleStream(s).Run(6, 1).EndOfPicture(), 0), {"000000", "000000"}},
      {"a stream longer than the file reads zeros", Rle(8, 6, 3, RleStream(s).Run(6, 1).EndOfLine().Run(2, 2)
           .Run(1, 3), 100000), {"000000", "223000", "111111"}},
      {"4 bpp runs alternate nibbles from their start", Rle(4, 7, 3, RleStream(4).Run(3, 0x12).Run(4, 0x34)
           .EndOfLine().Run(1, 0x56).Absolute({7, 8, 9}).Run(2, 0xAB).EndOfPicture()), {"0000000", "5789ab0", "1213434"}},
      // Wine counts the padded length, 256, in a byte, takes it for none and reads pixels as commands.
      {"an absolute run of 255", Rle(8, 257, 1, RleStream(s).Absolute(std::vector<std::uint8_t>(255, 5))
           .Run(2, 9).EndOfPicture()), {std::string(255, '5') + "99"}, true},
  };
  for (const Case& c : cases) {
    if (!kNativePlatform && c.wineDiffers) continue;
    const Picture loaded(LoadFile(AssembleBmp(c.parts)));
    ASSERT_NE(loaded.bitmap, nullptr) << c.name;
    ASSERT_EQ(loaded.record.bmHeight, std::ssize(c.rows)) << c.name;
    const std::size_t entries = std::min<std::size_t>(c.parts.table.size(), 1u << c.parts.bitsPerPixel);
    for (int y = 0; y < loaded.record.bmHeight; ++y) {
      std::string digits;
      for (int x = 0; x < loaded.record.bmWidth; ++x) {
        const std::size_t index = c.parts.bitsPerPixel == 8 ? loaded.Row(y)[x] : loaded.Row(y)[x / 2] >> (x % 2 ? 0 : 4) & 0xF;
        digits += "0123456789abcdef"[index];
        EXPECT_EQ(GetPixel(loaded.dc, x, y), index < entries ? Reported(c.parts.table[index], 8) : 0) << c.name;
      }
      EXPECT_EQ(digits, c.rows[static_cast<std::size_t>(y)]) << c.name << ", row " << y;
    }
  }
}

}  // namespace
