// Writes a 32 bpp bottom-up picture as a Windows bitmap file (BITMAPINFOHEADER, BI_RGB).
#pragma once

#include <cstdint>
#include <cstdio>

inline bool WriteBitmapFile(const char* path, const std::uint8_t* bottomUpPixels, int width,
                            int height) {
  constexpr std::uint32_t kFileHeaderBytes = 14;  // BITMAPFILEHEADER
  constexpr std::uint32_t kInfoHeaderBytes = 40;  // BITMAPINFOHEADER
  constexpr std::uint32_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
  const std::uint32_t imageBytes = static_cast<std::uint32_t>(width) * 4u * static_cast<std::uint32_t>(height);
  std::uint8_t header[kHeaderBytes] = {'B', 'M'};
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put32(2, kHeaderBytes + imageBytes);  // file size
  put32(10, kHeaderBytes);               // where the pixels start
  put32(kFileHeaderBytes, kInfoHeaderBytes);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  header[26] = 1;   // planes
  header[28] = 32;  // bits per pixel
  put32(34, imageBytes);
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                  std::fwrite(bottomUpPixels, 1, imageBytes, file) == imageBytes;
  return std::fclose(file) == 0 && ok;
}
