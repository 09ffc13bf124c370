// Run-length compressed bitmap files (BI_RLE8, BI_RLE4): every escape, runs and absolute runs at
// every column parity, streams that end early, run past the picture or past the file, and
// command streams drawn at random.
#include <string>
#include <vector>

#include "tests/diff/loaded_file.h"
#include "tests/support/bmp_file.h"
#include "tests/support/rle_stream.h"

namespace {

using zantrel::diff::NamedFile;
using zantrel::test::BmpParts;
using zantrel::test::RleStream;

constexpr std::uint32_t kRle8 = 1, kRle4 = 2;

struct Variant {
  std::string name;
  RleStream stream;
  std::int32_t width = 13;
  std::int32_t height = 6;
  std::int64_t imageSize = -1;  // -1: the stream's length
  std::uint32_t headerSize = 40;
  std::uint32_t colorsUsed = 0;
  std::int64_t pixelOffset = -1;
};

std::vector<std::uint8_t> FileOf(const Variant& v, int bpp) {
  BmpParts p;
  p.headerSize = v.headerSize;
  p.width = v.width;
  p.height = v.height;
  p.bitsPerPixel = static_cast<std::uint16_t>(bpp);
  p.compression = bpp == 8 ? kRle8 : kRle4;
  p.colorsUsed = v.colorsUsed;
  const int entries = v.colorsUsed ? static_cast<int>(v.colorsUsed) : 1 << bpp;
  for (int i = 0; i < entries; ++i) p.table.push_back(zantrel::test::PaletteColor(i));
  p.pixels = v.stream.bytes();
  p.imageSize = static_cast<std::uint32_t>(v.imageSize >= 0 ? v.imageSize : static_cast<std::int64_t>(p.pixels.size()));
  p.pixelOffset = v.pixelOffset;
  return zantrel::test::AssembleBmp(p);
}

std::vector<std::uint8_t> Indices(std::initializer_list<int> values) {
  return std::vector<std::uint8_t>(values.begin(), values.end());
}

// The escapes and edge cases, at either depth (the 4 bpp variants use indices below 16).
std::vector<Variant> Variants(int bpp) {
  const auto s = [bpp] { return RleStream(bpp); };
  const std::uint8_t pair = bpp == 8 ? 0x07 : 0x3C;  // a run value: one index, or two in turn
  std::vector<Variant> v;
  v.push_back({"runs", s().Run(5, pair).Run(8, 2).EndOfLine().Run(1, 9).Run(12, 4).EndOfLine()
                           .Run(13, 1).EndOfLine().Run(2, 5).Run(3, 6).Run(4, 7).Run(4, 8).EndOfPicture()});
  v.push_back({"absolute", s().Absolute(Indices({1, 2, 3})).Absolute(Indices({4, 5, 6, 7})).EndOfLine()
                               .Run(1, 9).Absolute(Indices({10, 11, 12, 13, 14})).Run(3, pair)
                               .Absolute(Indices({15, 1, 2, 3})).EndOfLine()
                               .Run(2, 3).Absolute(Indices({6, 5, 4})).EndOfPicture()});
  v.push_back({"delta", s().Run(2, 3).Delta(3, 0).Run(2, 4).Delta(2, 2).Run(3, pair).EndOfLine()
                            .Delta(5, 1).Absolute(Indices({1, 2, 3})).EndOfPicture()});
  v.push_back({"delta-zero", s().Run(2, 3).Delta(0, 0).Run(2, 4).Delta(0, 1).Run(1, 5).EndOfPicture()});
  v.push_back({"early-end-of-line", s().Run(3, 2).EndOfLine().EndOfLine().Run(4, 3).EndOfLine()
                                        .Absolute(Indices({1, 2, 3})).EndOfPicture()});
  v.push_back({"no-end-of-picture", s().Run(13, 1).EndOfLine().Run(13, 2).EndOfLine()});
  v.push_back({"early-end-of-picture", s().Run(13, 1).EndOfLine().Run(6, 2).EndOfPicture()
                                           .Run(13, 3).EndOfLine()});
  v.push_back({"ends-mid-row", s().Run(13, 1).EndOfLine().Run(4, 2).Run(3, 3)});
  v.push_back({"ends-mid-row-absolute", s().Run(13, 1).EndOfLine().Run(1, 2).Absolute(Indices({3, 4, 5}))});
  v.push_back({"ends-after-delta", s().Run(3, 1).Delta(2, 1).Run(3, 2)});
  v.push_back({"odd-last-byte", s().Run(13, 1).EndOfLine().Run(4, 2).Bytes({7})});
  v.push_back({"runs-past-edge", s().Run(20, pair).Run(3, 2).EndOfLine().Run(10, 3)
                                     .Absolute(Indices({1, 2, 3, 4, 5, 6})).Run(2, 7).EndOfLine()
                                     .Absolute(Indices({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}))
                                     .EndOfPicture()});
  v.push_back({"rows-past-top", s().Run(13, 1).EndOfLine().Run(13, 2).EndOfLine().Run(13, 3).EndOfLine()
                                    .Run(13, 4).EndOfLine().Run(5, 5),
               13, 3});
  v.push_back({"delta-past-edge", s().Run(2, 1).Delta(200, 0).Run(3, 2).EndOfLine().Run(2, 3).Delta(11, 1)
                                      .Run(1, 4).EndOfPicture()});
  v.push_back({"delta-past-top", s().Run(2, 1).EndOfLine().Run(3, 2).Delta(1, 9).Run(4, 3).EndOfPicture()});
  v.push_back({"delta-cut", s().Run(4, 1).EndOfLine().Run(3, 2).Bytes({0, 2, 5}), 13, 6});
  v.push_back({"absolute-cut", s().Run(4, 1).EndOfLine().Run(3, 2).Bytes({0, 9, 1, 2, 3})});
  v.push_back({"size-zero", s().Run(13, 1).EndOfLine().Run(13, 2).EndOfPicture(), 13, 6, 0});
  v.push_back({"size-short", s().Run(13, 1).EndOfLine().Run(13, 2).EndOfLine().Run(5, 3).Run(5, 4)
                                 .EndOfPicture(),
               13, 6, 10});
  v.push_back({"size-mid-pair", s().Run(13, 1).EndOfLine().Run(13, 2).EndOfPicture(), 13, 6, 5});
  // The stream goes on past the end of the file: what the file lacks reads as zeros.
  v.push_back({"past-file", s().Run(13, 1).EndOfLine().Run(4, 2).Run(2, 3), 13, 6, 1000});
  v.push_back({"past-file-absolute", s().Run(13, 1).EndOfLine().Run(2, 2).Bytes({0, 8, 0x13, 0x57}), 13, 6,
               0xFFFFFFFF});
  v.push_back({"past-file-delta", s().Run(13, 1).EndOfLine().Run(2, 2).Bytes({0, 2}), 13, 6, 64});
  v.push_back({"empty", s(), 13, 6});
  v.push_back({"end-of-picture-only", s().EndOfPicture()});
  v.push_back({"one-pixel", s().Run(1, pair).EndOfPicture(), 1, 1});
  v.push_back({"v4-header", s().Run(5, 1).Absolute(Indices({2, 3, 4})).EndOfPicture(), 13, 6, -1, 108});
  v.push_back({"v5-header", s().Run(5, 1).Absolute(Indices({2, 3, 4})).EndOfPicture(), 13, 6, -1, 124});
  v.push_back({"short-table", s().Run(5, 1).Absolute(Indices({2, 3, 4, 9, 10})).EndOfPicture(), 13, 6, -1,
               40, 3});
  v.push_back({"pixel-offset-zero", s().Run(5, 1).Absolute(Indices({2, 3, 4})).EndOfPicture(), 13, 6, -1,
               40, 0, 0});
  // Long runs. At 8 bpp the longest absolute run, 255 pixels, is left out: Wine's loader takes its
  // padding for none and reads the pixels again as commands (tests/platform checks ours).
  RleStream wide = s();
  std::vector<std::uint8_t> ramp;
  for (int i = 0; i < (bpp == 8 ? 254 : 255); ++i) ramp.push_back(static_cast<std::uint8_t>(bpp == 8 ? i : i % 16));
  wide.Run(255, pair).Run(45, 3).EndOfLine().Absolute(ramp).Absolute(ramp).EndOfLine().Run(7, 2).Delta(250, 0)
      .Run(255, 5);
  v.push_back({"long-runs", wide, 300, 3});
  return v;
}

// A command stream drawn at random: runs, absolute runs, escapes and stray bytes.
RleStream RandomStream(int bpp, std::uint32_t seed) {
  auto next = [&seed](std::uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  const std::uint32_t byteRange = bpp == 8 ? 255 : 256;  // no 255 at 8 bpp: see the "long-runs" note
  RleStream s(bpp);
  const int commands = 8 + static_cast<int>(next(40));
  for (int c = 0; c < commands; ++c) {
    switch (next(8)) {
      case 0: case 1: case 2: s.Run(1 + static_cast<int>(next(20)), static_cast<std::uint8_t>(next(byteRange))); break;
      case 3: case 4: {
        std::vector<std::uint8_t> pixels(3 + next(bpp == 8 ? 252 : 30));  // 255 at 8 bpp is left out
        for (auto& p : pixels) p = static_cast<std::uint8_t>(next(bpp == 8 ? byteRange : 16));
        s.Absolute(pixels);
        break;
      }
      case 5: s.EndOfLine(); break;
      case 6: s.Delta(static_cast<std::uint8_t>(next(6)), static_cast<std::uint8_t>(next(2))); break;
      default: s.Bytes({static_cast<std::uint8_t>(next(byteRange))}); break;
    }
  }
  return s;
}

const bool kRegistered = [] {
  for (int bpp : {8, 4}) {
    std::vector<NamedFile> files;
    const std::string depth = bpp == 8 ? "rle8-" : "rle4-";
    for (const Variant& v : Variants(bpp)) files.push_back({depth + v.name, FileOf(v, bpp)});
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
      Variant v{"random-" + std::to_string(seed), RandomStream(bpp, seed * 7919u + static_cast<std::uint32_t>(bpp)),
                static_cast<std::int32_t>(9 + seed % 5), static_cast<std::int32_t>(4 + seed % 4)};
      files.push_back({depth + v.name, FileOf(v, bpp)});
    }
    zantrel::diff::AddFilePictures("bmpfile-", std::move(files));
  }
  return true;
}();

}  // namespace
