// LoadImageA with bitmap files of every layout, and with broken or hostile ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "tests/support/bmp_file.h"

namespace {

using zantrel::test::BmpLayout;
using zantrel::test::MakeBmp;

std::string TempPath() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return (std::filesystem::temp_directory_path() /
          (std::string("zantrel-load-") + info->name() + ".bmp"))
      .string();
}

HBITMAP LoadBytes(const std::vector<std::uint8_t>& bytes) {
  const std::string path = TempPath();
  EXPECT_TRUE(zantrel::test::WriteBytes(path, bytes));
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  std::filesystem::remove(path);
  return bitmap;
}

// The colour GDI reports for a file colour at a depth: 16 bpp keeps 5 bits per channel.
COLORREF Expected(std::uint32_t rgb, int bpp) {
  std::uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  if (bpp == 16) {
    r = (r & 0xF8) | (r >> 5), g = (g & 0xF8) | (g >> 5), b = (b & 0xF8) | (b >> 5);
  }
  return r | (g << 8) | (b << 16);
}

TEST(BitmapFiles, EveryLayoutLoadsWithItsPixels) {
  for (std::uint32_t header : {12u, 40u, 108u, 124u}) {
    for (std::uint16_t bpp : {1, 4, 8, 16, 24, 32}) {
      for (int variant = 0; variant < 3; ++variant) {
        BmpLayout bmp;
        bmp.headerSize = header;
        bmp.bitsPerPixel = bpp;
        bmp.topDown = variant == 1;
        bmp.bitfields = variant == 2;
        if (header == 12 && variant != 0) continue;
        if (bmp.bitfields && bpp != 16 && bpp != 32) continue;
        // Wine's loader leaves top-down pictures blank and misreads core colour tables.
        if (!kNativePlatform && (bmp.topDown || (header == 12 && bpp <= 8))) continue;
        if (bmp.bitfields) {
          bmp.masks = bpp == 16 ? std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}
                                 : std::array<std::uint32_t, 3>{0x0000FF, 0x00FF00, 0xFF0000};
        }
        const std::string what = std::to_string(header) + "/" + std::to_string(bpp) + "/" +
                                 std::to_string(variant);
        HBITMAP bitmap = LoadBytes(MakeBmp(bmp));
        ASSERT_NE(bitmap, nullptr) << what;
        BITMAP record{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
        EXPECT_EQ(record.bmWidth, bmp.width) << what;
        EXPECT_EQ(record.bmHeight, bmp.height) << what;
        EXPECT_EQ(record.bmBitsPixel, bpp) << what;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ original = SelectObject(dc, bitmap);
        for (int y = 0; y < bmp.height; ++y) {
          for (int x = 0; x < bmp.width; ++x) {
            const std::uint32_t rgb =
                bpp <= 8 ? zantrel::test::PaletteColor(static_cast<int>(
                               zantrel::test::TestIndex(x, y, bmp.height, 1 << bpp)))
                         : zantrel::test::TestColor(x, y, bmp.height);
            ASSERT_EQ(GetPixel(dc, x, y), Expected(rgb, bpp)) << what << " at " << x << "," << y;
          }
        }
        SelectObject(dc, original);
        DeleteDC(dc);
        DeleteObject(bitmap);
      }
    }
  }
}

std::vector<std::uint8_t> Valid() {
  BmpLayout bmp;
  bmp.bitsPerPixel = 8;
  return MakeBmp(bmp);
}

TEST(BitmapFiles, BrokenAndHostileFilesGiveNull) {
  // Wine's loader hands out a bitmap for some of these (blank, or with whatever memory lies past
  // the file); ours refuses every one, so those are checked in the native build only.
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool wineLoadsIt;
  };
  std::vector<Case> cases;
  auto mutate = [&](const char* name, auto change, bool wineLoadsIt = false) {
    std::vector<std::uint8_t> bytes = Valid();
    change(bytes);
    cases.push_back({name, std::move(bytes), wineLoadsIt});
  };
  using zantrel::test::Set32;
  auto set16 = [](std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v), b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  // Cut inside the headers, or before the pixels start (at 1077 the table's last byte is missing);
  // a file cut inside its pixels loads (tests/platform/load_image_variants_test.cpp).
  for (std::size_t keep : {0u, 2u, 13u, 14u, 30u, 53u, 1077u}) {
    mutate("truncated", [keep](auto& b) { b.resize(keep); }, keep >= 30);
  }
  mutate("not BM", [](auto& b) { b[0] = 'M', b[1] = 'B'; });
  mutate("header size 0", [](auto& b) { Set32(b, 14, 0); });
  mutate("header size 13", [](auto& b) { Set32(b, 14, 13); });
  mutate("header size 64", [](auto& b) { Set32(b, 14, 64); });
  mutate("header size past the file", [](auto& b) { Set32(b, 14, 0x7FFFFFF0); });
  mutate("two planes", [&](auto& b) { set16(b, 26, 2); }, true);
  mutate("zero bits per pixel", [&](auto& b) { set16(b, 28, 0); });
  mutate("seven bits per pixel", [&](auto& b) { set16(b, 28, 7); });
  mutate("64 bits per pixel", [&](auto& b) { set16(b, 28, 64); });
  mutate("unknown compression", [](auto& b) { Set32(b, 30, 9); }, true);
  mutate("bitfields on 8 bpp", [](auto& b) { Set32(b, 30, 3); }, true);
  // Run-length pictures have one depth each and are bottom-up by definition.
  mutate("BI_RLE4 on 8 bpp", [](auto& b) { Set32(b, 30, 2); }, true);
  mutate("BI_RLE8 on 4 bpp", [&](auto& b) { Set32(b, 30, 1), set16(b, 28, 4); }, true);
  mutate("BI_RLE8 on 24 bpp", [&](auto& b) { Set32(b, 30, 1), set16(b, 28, 24); }, true);
  mutate("top-down BI_RLE8", [](auto& b) { Set32(b, 30, 1), Set32(b, 22, static_cast<std::uint32_t>(-7)); }, true);
  mutate("pixel offset past the end", [](auto& b) { Set32(b, 10, static_cast<std::uint32_t>(b.size() + 1)); }, true);
  mutate("pixel offset huge", [](auto& b) { Set32(b, 10, 0xFFFFFFF0u); }, true);
  mutate("zero width", [](auto& b) { Set32(b, 18, 0); });
  mutate("negative width", [](auto& b) { Set32(b, 18, static_cast<std::uint32_t>(-11)); });
  mutate("zero height", [](auto& b) { Set32(b, 22, 0); });
  mutate("absurd size", [](auto& b) { Set32(b, 18, 1u << 30), Set32(b, 22, 1u << 30); });
  mutate("absurd width", [](auto& b) { Set32(b, 18, 0x7FFFFFFF); });
  mutate("most negative height", [](auto& b) { Set32(b, 22, 0x80000000u); });
  for (const Case& c : cases) {
    if (!kNativePlatform && c.wineLoadsIt) continue;
    HBITMAP bitmap = LoadBytes(c.bytes);
    EXPECT_EQ(bitmap, nullptr) << c.name << " (" << c.bytes.size() << " bytes)";
    if (bitmap) DeleteObject(bitmap);
  }
}

TEST(BitmapFiles, MissingFilesAndWrongRequestsGiveNull) {
  EXPECT_EQ(LoadImageA(nullptr, "no-such-file.bmp", IMAGE_BITMAP, 0, 0,
                       LR_LOADFROMFILE | LR_CREATEDIBSECTION),
            nullptr);
  const std::string folder = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(LoadImageA(nullptr, folder.c_str(), IMAGE_BITMAP, 0, 0,
                       LR_LOADFROMFILE | LR_CREATEDIBSECTION),
            nullptr);
  EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

}  // namespace
