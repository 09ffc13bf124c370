// Writes a 32 bpp bottom-up picture as a Windows bitmap file (BITMAPINFOHEADER, BI_RGB).
#pragma once

#include <cstdint>
#include <cstdio>

inline bool WriteBitmapFile(const char* path, const std::uint8_t* bottomUpPixels, int width,
                            int height) {
  const std::uint32_t imageBytes = static_cast<std::uint32_t>(width) * 4u * static_cast<std::uint32_t>(height);
  std::uint8_t header[54] = {'B', 'M'};
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put32(2, 54 + imageBytes);
  put32(10, 54);
  put32(14, 40);
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
