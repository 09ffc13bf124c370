// Bitmaps for the platform tests, each selected into a memory DC of its own and freed with it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/bmp_file.h"
#include "tests/support/dib_section.h"

namespace zantrel::test {

struct Picture {
  explicit Picture(HBITMAP made) : bitmap(made), original(SelectObject(dc, made)) {
    if (bitmap) GetObjectA(bitmap, sizeof record, &record);
  }
  ~Picture() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  // Row y of a bottom-up picture, the top one 0.
  const std::uint8_t* Row(int y) const {
    return static_cast<const std::uint8_t*>(record.bmBits) + (record.bmHeight - 1 - y) * record.bmWidthBytes;
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap;
  HGDIOBJ original;  // the DC's first bitmap
  BITMAP record{};
};

// A zeroed bottom-up DIB section, with bit fields when masks are given.
inline HBITMAP MakeDib(int width, int height, int bpp, const std::array<std::uint32_t, 3>& masks = {}) {
  void* bits = nullptr;
  BITMAPINFO info{{DibHeader(width, height, bpp, BI_RGB)}, {}};
  return masks[0] ? MakeBitfieldDib(width, height, bpp, masks, &bits)
                  : CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

inline HBITMAP LoadFile(const std::vector<std::uint8_t>& bytes) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const auto path = std::filesystem::temp_directory_path() / ("zantrel-" + std::string(test->name()) + ".bmp");
  EXPECT_TRUE(WriteBytes(path.string(), bytes));
  const UINT flags = LR_LOADFROMFILE | LR_CREATEDIBSECTION;
  HANDLE bitmap = LoadImageA(nullptr, path.string().c_str(), IMAGE_BITMAP, 0, 0, flags);
  std::filesystem::remove(path);
  return static_cast<HBITMAP>(bitmap);
}

}  // namespace zantrel::test
