// What a surface holds of the platform's objects when it loads over a picture, loads a bad file
// or fails to create: never more than one device context and one bitmap, nothing left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/native/gdi/objects.h"
#include "surface/surface.h"
#include "tests/support/bmp_file.h"

namespace {

using zantrel::gdi::Kind;
using zantrel::gdi::LiveCount;

struct Held {
  int dcs, bitmaps;
  bool operator==(const Held&) const = default;
};
Held Count() { return {LiveCount(Kind::kDc), LiveCount(Kind::kBitmap)}; }

std::string WriteFile(const char* name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  EXPECT_TRUE(zantrel::test::WriteBytes(path, bytes));
  return path;
}

TEST(SurfaceObjects, LoadingOverAPictureReleasesItFirst) {
  const Held before = Count();
  const std::string good = WriteFile("zantrel-objects-good.bmp", zantrel::test::MakeBmp({}));
  std::vector<std::uint8_t> truncated = zantrel::test::MakeBmp({});
  truncated.resize(30);  // inside the header
  const std::string bad = WriteFile("zantrel-objects-bad.bmp", truncated);
  {
    Surface s;
    ASSERT_TRUE(s.Create(40, 30, 32));
    s.LoadBitmapFile(good.c_str());  // over a created picture
    EXPECT_EQ(Count(), (Held{before.dcs + 1, before.bitmaps + 1}));
    EXPECT_EQ(s.width, 11);
    s.LoadBitmapFile(good.c_str());  // over a loaded one
    EXPECT_EQ(Count(), (Held{before.dcs + 1, before.bitmaps + 1}));
    s.LoadBitmapFile(bad.c_str());   // a bad file: the old picture is gone, nothing new
    EXPECT_EQ(s.bitmap, nullptr);
    EXPECT_EQ(s.dc, nullptr);
    EXPECT_EQ(Count(), before);
  }
  EXPECT_EQ(Count(), before);
  std::filesystem::remove(good);
  std::filesystem::remove(bad);
}

TEST(SurfaceObjects, PlatformRefusalLeavesAnEmptySurfaceThatStaysHarmless) {
  const Held before = Count();
  Surface s;
  ASSERT_TRUE(s.Create(8, 6, 32));
  // 2 GiB of pixels: supported depth and positive size, refused by the platform.
  EXPECT_FALSE(s.Create(32768, 16384, 32));
  EXPECT_EQ(s.dc, nullptr);
  EXPECT_EQ(s.bitmap, nullptr);
  EXPECT_EQ(s.pixels, nullptr);
  EXPECT_EQ(s.width, 8);  // the size of the last picture stays
  EXPECT_EQ(Count(), before);
  Surface other;
  ASSERT_TRUE(other.Create(4, 4, 24));
  s.SetPenColor(0x00FFFFFF);
  s.Clear(0x00FFFFFF);
  s.DrawLine(-5, -5, 20, 20);
  s.FillTriangle(0, 0, 7, 0, 0, 5);
  s.Blit(other, 0, 0);
  s.BlitMasked(other, other, 0, 0);
  other.Blit(s, 0, 0);
  other.BlitMasked(s, s, 1, 1);
  s.Present(nullptr, 0, 0);
  EXPECT_EQ(GetPixel(other.dc, 0, 0), 0u);  // nothing came from the empty surface
  EXPECT_EQ(Count(), (Held{before.dcs + 1, before.bitmaps + 1}));
}

}  // namespace
