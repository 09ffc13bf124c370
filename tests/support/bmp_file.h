// Windows bitmap files, well formed or not, for the loader's tests and pictures; DIB sections.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace zantrel::test {

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(v >> shift));
}
inline void Set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = std::uint8_t(v >> (8 * i));
}

// Where a file's 32-bit header fields lie, for writing bad values over a well-formed file.
enum BmpField : std::size_t { kMagicField = 0, kPixelOffsetField = 10, kHeaderSizeField = 14,
  kWidthField = 18, kHeightField = 22, kPlanesAndDepthField = 26, kCompressionField = 30 };
constexpr std::uint32_t PlanesAndDepth(std::uint32_t planes, std::uint32_t bitsPerPixel) {
  return planes | bitsPerPixel << 16;
}

// Any bitmap file from its parts in file order.
struct BmpParts {
  std::uint32_t headerSize = 40;  // 12, 40, 108 or 124, or any other size to be refused
  std::int32_t width = 0, height = 0;
  std::uint16_t bitsPerPixel = 8;
  std::uint32_t compression = 0;  // BI_RGB 0, BI_RLE8 1, BI_RLE4 2, BI_BITFIELDS 3
  std::uint32_t imageSize = 0, colorsUsed = 0;
  std::array<std::uint32_t, 4> masks{};  // RGBA in V4/V5 headers, RGB after BI_BITFIELDS info
  std::vector<std::uint32_t> table{};  // 0x00RRGGBB; three bytes each after a core header
  std::vector<std::uint8_t> pixels{};
  std::int64_t pixelOffset = -1;  // the file header's pixel offset; -1: where the pixels are
};

inline std::vector<std::uint8_t> AssembleBmp(const BmpParts& p) {
  std::vector<std::uint8_t> out = {'B', 'M'};
  for (std::uint32_t field : {0u, 0u, 0u, p.headerSize}) Put32(out, field);  // sizes set below
  const std::int32_t planesAndDepth = std::int32_t(PlanesAndDepth(1, p.bitsPerPixel));
  if (p.headerSize == 12) {  // width, height, planes and depth of 16 bits each
    for (std::int32_t v : {(p.width & 0xFFFF) | p.height << 16, planesAndDepth}) Put32(out, v);
  } else {
    for (std::int32_t v : {p.width, p.height, planesAndDepth}) Put32(out, v);
    for (std::uint32_t v : {p.compression, p.imageSize, 0u, 0u, p.colorsUsed, 0u}) Put32(out, v);
    for (std::size_t i = 0; i < 4 && p.headerSize >= 108; ++i) Put32(out, p.masks[i]);
    out.resize(std::max<std::size_t>(out.size(), 14 + p.headerSize));
  }
  for (int i = 0; i < 3 && p.headerSize == 40 && p.compression == 3; ++i) Put32(out, p.masks[i]);
  for (std::uint32_t c : p.table) {
    out.insert(out.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
    if (p.headerSize != 12) out.push_back(0);
  }
  Set32(out, 10, std::uint32_t(p.pixelOffset >= 0 ? p.pixelOffset : std::int64_t(out.size())));
  out.insert(out.end(), p.pixels.begin(), p.pixels.end());
  Set32(out, 2, std::uint32_t(out.size()));
  return out;
}

inline std::uint32_t PaletteColor(int i) {
  return i == 1 ? 0x00F02810 : std::uint32_t((i * 71) << 16 | (i * 13) << 8 | (255 - i)) & 0xFFFFFF;
}

inline bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

// A temporary file of the bytes, named by its content: programs running at once never load each
// other's files. Throws when it cannot be written, which would otherwise pass for a refused file.
inline std::string TempBmpFile(const std::vector<std::uint8_t>& bytes) {
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const auto name = "zantrel-" + std::to_string(std::hash<std::string_view>{}(content)) + ".bmp";
  const auto path = (std::filesystem::temp_directory_path() / name).string();
  if (!WriteBytes(path, bytes)) throw std::runtime_error("cannot write " + path);
  return path;
}

// The DIB section LoadImageA makes of a bitmap file of these bytes; the file is removed again.
inline HBITMAP LoadBmp(const std::vector<std::uint8_t>& bytes) {
  const std::string path = TempBmpFile(bytes);
  const UINT flags = LR_LOADFROMFILE | LR_CREATEDIBSECTION;
  HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, flags);
  std::filesystem::remove(path);
  return static_cast<HBITMAP>(bitmap);
}

// A bitmap selected into a memory DC of its own, both freed with it.
struct SelectedBitmap {
  explicit SelectedBitmap(HBITMAP made) : bitmap(made), original(SelectObject(dc, made)) {}
  ~SelectedBitmap() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap;
  HGDIOBJ original;  // the DC's first bitmap
};

// Bottom-up DIB sections, BI_RGB or BI_BITFIELDS with red, green and blue masks.
inline BITMAPINFOHEADER DibHeader(int width, int height, int bpp, DWORD compression) {
  return {sizeof(BITMAPINFOHEADER), width, height, 1, WORD(bpp), compression, 0, 0, 0, 0, 0};
}

inline HBITMAP MakeBitfieldDib(std::int32_t width, std::int32_t height, int bpp,
                               const std::array<std::uint32_t, 3>& masks, void** bits) {
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{DibHeader(width, height, bpp, BI_BITFIELDS), {masks[0], masks[1], masks[2]}};
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits,
                          nullptr, 0);
}

}  // namespace zantrel::test
