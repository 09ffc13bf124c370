// Builds Windows bitmap files of every layout for the loader's tests and pictures.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zantrel::test {

struct BmpLayout {
  std::uint32_t headerSize = 40;  // 12 (core), 40 (info), 108 (V4) or 124 (V5)
  std::uint16_t bitsPerPixel = 24;
  bool bitfields = false;  // BI_BITFIELDS with `masks` (16 and 32 bpp)
  bool topDown = false;
  std::int32_t width = 11;
  std::int32_t height = 7;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
};

// The colour (0x00RRGGBB) of pixel (x, y) of the test picture: an "F" over a gradient.
inline std::uint32_t TestColor(std::int32_t x, std::int32_t y, std::int32_t height) {
  const bool ink = (x == 1 && y >= 1 && y < height - 1) || (y == 1 && x >= 1 && x <= 6) ||
                   (y == height / 2 && x >= 1 && x <= 4);
  if (ink) return 0x00F02810;
  return static_cast<std::uint32_t>(((x * 23) & 0xFF) << 8 | ((y * 37) & 0xFF) | 0x400000);
}

// The palette index of pixel (x, y) in an indexed picture with `colors` entries.
inline std::uint32_t TestIndex(std::int32_t x, std::int32_t y, std::int32_t height, int colors) {
  return TestColor(x, y, height) == 0x00F02810 ? 1u : static_cast<std::uint32_t>((x + 3 * y) % colors);
}

inline std::uint32_t PaletteColor(int i) {
  return i == 1 ? 0x00F02810u : static_cast<std::uint32_t>((i * 71) << 16 | (i * 13) << 8 | (255 - i)) & 0xFFFFFF;
}

inline void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void Set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Packs a channel value (0..255) into the bits of a mask.
inline std::uint32_t Pack(std::uint32_t value, std::uint32_t mask) {
  if (!mask) return 0;
  int shift = 0, bits = 0;
  while (!((mask >> shift) & 1)) ++shift;
  while (shift + bits < 32 && ((mask >> (shift + bits)) & 1)) ++bits;
  const std::uint32_t scaled = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
  return (scaled << shift) & mask;
}

// Any bitmap file, well formed or not, from its parts in file order.
struct BmpParts {
  std::uint32_t headerSize = 40;  // 12, 40, 108 or 124, or any other size to be refused
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitsPerPixel = 8;
  std::uint32_t compression = 0;  // BI_RGB 0, BI_RLE8 1, BI_RLE4 2, BI_BITFIELDS 3
  std::uint32_t imageSize = 0;
  std::uint32_t colorsUsed = 0;
  // Red, green, blue and alpha: inside V4 and V5 headers; after an info header for BI_BITFIELDS
  // (red, green and blue only).
  std::array<std::uint32_t, 4> masks{};
  std::vector<std::uint32_t> table;  // 0x00RRGGBB; three bytes each after a core header
  std::vector<std::uint8_t> pixels;
  std::int64_t pixelOffset = -1;  // the file header's pixel offset; -1: where the pixels are
};

inline std::vector<std::uint8_t> AssembleBmp(const BmpParts& p) {
  std::vector<std::uint8_t> out = {'B', 'M'};
  Put32(out, 0);  // file size, set below
  Put32(out, 0);
  Put32(out, 0);  // pixel offset, set below
  Put32(out, p.headerSize);
  if (p.headerSize == 12) {
    Put16(out, static_cast<std::uint32_t>(p.width));
    Put16(out, static_cast<std::uint32_t>(p.height));
    Put16(out, 1);
    Put16(out, p.bitsPerPixel);
  } else {
    Put32(out, static_cast<std::uint32_t>(p.width));
    Put32(out, static_cast<std::uint32_t>(p.height));
    Put16(out, 1);
    Put16(out, p.bitsPerPixel);
    Put32(out, p.compression);
    Put32(out, p.imageSize);
    Put32(out, 0);  // resolution
    Put32(out, 0);
    Put32(out, p.colorsUsed);
    Put32(out, 0);  // colours important
    if (p.headerSize >= 108) {
      for (std::uint32_t m : p.masks) Put32(out, m);
    }
    while (out.size() < 14 + p.headerSize) out.push_back(0);
  }
  if (p.headerSize == 40 && p.compression == 3) {
    for (int i = 0; i < 3; ++i) Put32(out, p.masks[static_cast<std::size_t>(i)]);
  }
  for (std::uint32_t c : p.table) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
    out.push_back(static_cast<std::uint8_t>(c >> 16));
    if (p.headerSize != 12) out.push_back(0);
  }
  Set32(out, 10, static_cast<std::uint32_t>(p.pixelOffset >= 0 ? p.pixelOffset : static_cast<std::int64_t>(out.size())));
  out.insert(out.end(), p.pixels.begin(), p.pixels.end());
  Set32(out, 2, static_cast<std::uint32_t>(out.size()));
  return out;
}

// The test picture in one layout.
inline std::vector<std::uint8_t> MakeBmp(const BmpLayout& bmp) {
  const int bpp = bmp.bitsPerPixel;
  const int colors = bpp <= 8 ? 1 << bpp : 0;
  std::array<std::uint32_t, 3> masks = bmp.masks;
  if (!bmp.bitfields) {
    masks = bpp == 16 ? std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                      : std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};
  }
  BmpParts parts;
  parts.headerSize = bmp.headerSize;
  parts.width = bmp.width;
  parts.height = bmp.topDown ? -bmp.height : bmp.height;
  parts.bitsPerPixel = bmp.bitsPerPixel;
  parts.compression = bmp.bitfields ? 3 : 0;
  if (bmp.bitfields) parts.masks = {masks[0], masks[1], masks[2], 0};
  for (int i = 0; i < colors; ++i) parts.table.push_back(PaletteColor(i));
  const std::size_t pitch = static_cast<std::size_t>((bmp.width * bpp + 31) / 32 * 4);
  for (std::int32_t row = 0; row < bmp.height; ++row) {
    const std::int32_t y = bmp.topDown ? row : bmp.height - 1 - row;
    std::vector<std::uint8_t> line(pitch, 0);
    for (std::int32_t x = 0; x < bmp.width; ++x) {
      const std::uint32_t c = TestColor(x, y, bmp.height);
      const std::uint32_t r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
      const std::size_t at = static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp) / 8;
      if (bpp <= 8) {
        const std::uint32_t index = TestIndex(x, y, bmp.height, colors);
        const int shift = 8 - bpp - (x * bpp) % 8;
        line[at] = static_cast<std::uint8_t>(line[at] | (index << shift));
      } else {
        std::uint32_t v = bpp == 24 ? c : Pack(r, masks[0]) | Pack(g, masks[1]) | Pack(b, masks[2]);
        for (int i = 0; i < bpp / 8; ++i) line[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
      }
    }
    parts.pixels.insert(parts.pixels.end(), line.begin(), line.end());
  }
  return AssembleBmp(parts);
}

inline bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace zantrel::test
