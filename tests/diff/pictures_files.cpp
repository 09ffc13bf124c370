// Bitmap files of every layout loaded through the surface: the loaded bits, the picture copied
// onto a 32 bpp surface, and a line drawn on the loaded bitmap in its own format.
#include <filesystem>
#include <string>

#include "surface/surface.h"
#include "tests/diff/catalogue.h"
#include "tests/support/bmp_file.h"

namespace {

using zantrel::diff::AddPicture;
using zantrel::diff::Capture;
using zantrel::test::BmpLayout;

struct Layout {
  std::string name;
  BmpLayout bmp;
};

std::vector<Layout> Layouts() {
  std::vector<Layout> layouts;
  constexpr struct {
    const char* name;
    std::uint32_t size;
  } kHeaders[] = {{"core", 12}, {"info", 40}, {"v4", 108}, {"v5", 124}};
  for (const auto& header : kHeaders) {
    for (std::uint16_t bpp : {1, 4, 8, 16, 24, 32}) {
      for (bool topDown : {false, true}) {
        if (topDown && header.size == 12) continue;  // a core header has no sign to flip
        // Left out, as Wine's loader gets them wrong (tests/platform checks ours): top-down
        // files load blank, and core-header colour tables are misread.
        if (topDown || (header.size == 12 && bpp <= 8)) continue;
        BmpLayout bmp;
        bmp.headerSize = header.size;
        bmp.bitsPerPixel = bpp;
        bmp.topDown = topDown;
        bmp.width = bpp == 1 ? 19 : 11;  // odd widths pad every row
        layouts.push_back({std::string(header.name) + "-" + std::to_string(bpp) + "bpp" +
                               (topDown ? "-topdown" : ""),
                           bmp});
        if ((bpp == 16 || bpp == 32) && header.size != 12) {
          bmp.bitfields = true;
          bmp.masks = bpp == 16 ? std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}
                                 : std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};
          layouts.push_back({layouts.back().name + "-bitfields", bmp});
        }
      }
    }
  }
  return layouts;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("zantrel-catalogue-" + name + ".bmp")).string();
}

const bool kRegistered = [] {
  for (const Layout& layout : Layouts()) {
    AddPicture("file-" + layout.name, [layout] {
      const std::string path = TempPath(layout.name);
      zantrel::test::WriteBytes(path, zantrel::test::MakeBmp(layout.bmp));
      Surface loaded;
      loaded.LoadBitmapFile(path.c_str());
      std::filesystem::remove(path);
      // The loaded bits, then the same picture converted by a copy onto a 32 bpp surface
      // and, below it, a diagonal drawn on the loaded bitmap in its own format.
      zantrel::diff::Picture bits = Capture(loaded);
      Surface target;
      target.Create(loaded.width + 2, 2 * loaded.height + 3, 32);
      target.Clear(0x00808080);
      target.Blit(loaded, 1, 1);
      loaded.SetPenColor(0x0000FF80);
      loaded.DrawLine(0, 0, loaded.width, loaded.height);
      target.Blit(loaded, 1, loaded.height + 2);
      zantrel::diff::Picture picture = Capture(target);
      // Both pictures in one: the composed 32 bpp picture with the raw bits appended.
      picture.bits.insert(picture.bits.end(), bits.bits.begin(), bits.bits.end());
      return picture;
    });
  }
  return true;
}();

}  // namespace
