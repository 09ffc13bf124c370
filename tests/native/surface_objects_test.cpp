// What a surface holds of the platform's objects through every operation: one device context,
// one bitmap and one pen at most, nothing left behind when it goes, whatever fails on the way.
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
  int dcs, bitmaps, pens, brushes;
  bool operator==(const Held&) const = default;
};
Held Count() { return {LiveCount(Kind::kDc), LiveCount(Kind::kBitmap), LiveCount(Kind::kPen), LiveCount(Kind::kBrush)}; }
Held Plus(Held base, int dcs, int bitmaps, int pens) { return {base.dcs + dcs, base.bitmaps + bitmaps, base.pens + pens, base.brushes}; }

// The file cut to `keep` bytes when that is given (30: inside the header).
std::string WriteFile(const char* name, std::vector<std::uint8_t> bytes, std::size_t keep = 0) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  if (keep) bytes.resize(keep);
  EXPECT_TRUE(zantrel::test::WriteBytes(path, bytes));
  return path;
}

TEST(SurfaceObjects, EveryOperationGivesBackWhatItReplaces) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "SurfaceObjects";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "SurfaceObjects", "", 0, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
  const std::string good = WriteFile("zantrel-objects-good.bmp", zantrel::test::MakeBmp({}));
  const std::string bad = WriteFile("zantrel-objects-bad.bmp", zantrel::test::MakeBmp({}), 30);
  const Held before = Count();
  {
    Surface s;
    s.SetPenColor(0x01);
    s.SetPenColor(0x02);  // no device context: the replaced pen is freed all the same
    EXPECT_EQ(Count(), Plus(before, 0, 0, 1));
    ASSERT_TRUE(s.Create(4, 3, 32));
    s.SetPenColor(0x00FFFFFF);  // frees the pen made before the device context
    s.SetPenColor(0x00FFFFFF);  // and the one it selected
    s.Clear(0x00FFFFFF);        // a brush made and freed
    s.Present(window, 5, 2);    // the window's device context released
    EXPECT_EQ(Count(), Plus(before, 1, 1, 1));
    HDC screen = GetDC(window);  // the whole picture at client (5, 2)
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(GetPixel(screen, x, y), x >= 5 && x < 9 && y >= 2 && y < 5 ? 0x00FFFFFFu : 0u) << x << "," << y;
      }
    }
    ReleaseDC(window, screen);
    s.LoadBitmapFile(good.c_str());  // over a created picture, then over a loaded one
    s.LoadBitmapFile(good.c_str());
    EXPECT_EQ(Count(), Plus(before, 1, 1, 1));
    EXPECT_EQ(s.width, 11);
    EXPECT_EQ(GetPixel(s.dc, 1, 1), 0x001028F0u);  // the file's ink, read through the new DC
    s.LoadBitmapFile(bad.c_str());  // a bad file: the old picture is gone, nothing new
    EXPECT_EQ(s.dc, nullptr);
    EXPECT_EQ(Count(), Plus(before, 0, 0, 1));
    ASSERT_TRUE(s.Create(8, 6, 32));
    EXPECT_FALSE(s.Create(32768, 16384, 32));  // 2 GiB of pixels: refused by the platform
    EXPECT_EQ(s.pixels, nullptr);
    EXPECT_EQ(s.width, 8);  // the size of the last picture stays
    EXPECT_EQ(Count(), Plus(before, 0, 0, 1));
    // An empty surface draws and copies nothing, and nothing is copied from it.
    Surface other;
    ASSERT_TRUE(other.Create(4, 4, 24));
    s.Clear(0x00FFFFFF);
    s.DrawLine(-5, -5, 20, 20);
    s.FillTriangle(0, 0, 7, 0, 0, 5);
    s.Blit(other, 0, 0);
    s.BlitMasked(other, other, 0, 0);
    s.Present(window, 0, 0);
    other.Blit(s, 0, 0);
    other.BlitMasked(s, s, 1, 1);
    EXPECT_EQ(GetPixel(other.dc, 0, 0), 0u);
    EXPECT_EQ(Count(), Plus(before, 1, 1, 1));
  }
  EXPECT_EQ(Count(), before);
  DestroyWindow(window);
  std::filesystem::remove(good);
  std::filesystem::remove(bad);
}

}  // namespace
