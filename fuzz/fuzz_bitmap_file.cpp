// The bitmap-file loader on arbitrary bytes, through its real path: the bytes become a file
// (an in-memory one) that Surface::LoadBitmapFile opens by name. A refused file must leave the
// surface empty; an accepted one, in whatever format it came, must clear, draw, fill and copy to
// and from a 32-bit surface without a fault.
#include <sys/mman.h>
#include <unistd.h>

#include "fuzz/fuzz_input.h"
#include "fuzz/object_counts.h"
#include "surface/surface.h"

namespace {

struct MemoryFile {
  int fd = memfd_create("bitmap", 0);
  char path[64];
  MemoryFile() { std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd); }
};

void Exercise(Surface& loaded) {
  const std::int32_t w = loaded.width, h = loaded.height;
  Require(loaded.dc && w > 0 && h > 0, "a loaded picture has a dc and a size");
  Require(loaded.bitmapRecord.bmWidth == w && loaded.bitmapRecord.bmHeight == h,
          "size copied from the bitmap record");
  Require(loaded.pixels == nullptr, "a loaded picture hands out no pixel pointer");

  Surface target;
  Require(target.Create(48, 40, 32), "a small 32-bit surface can be made");
  target.Blit(loaded, 0, 0);
  target.Blit(loaded, 1 - w, 1 - h);
  target.Blit(loaded, 47, 39);
  target.BlitMasked(loaded, loaded, -3, 5);

  for (std::int32_t y : {0, h - 1}) {
    for (std::int32_t x : {0, w - 1}) GetPixel(loaded.dc, x, y);
  }
  Require(GetPixel(loaded.dc, w - 1, h - 1) != CLR_INVALID, "the last pixel is addressable");
  loaded.Blit(target, -7, -7);
  // Copies across a whole indexed picture look up every pixel's colour in the table; a file of a
  // few bytes can ask for millions of pixels, and those would stall the search. The limit is what
  // a file of the fuzzer's 4 KiB at 8 bpp holds (fuzz_surface_ops draws on big pictures).
  constexpr std::int64_t kWholePictureLimit = std::int64_t{1} << 12;
  if (std::int64_t{w} * h > kWholePictureLimit) return;
  loaded.SetPenColor(0x00C08040);
  loaded.DrawLine(0, 0, w - 1, h - 1);
  loaded.DrawLine(w - 1, 0, 0, h - 1);
  loaded.DrawLine(-5, h / 2, w + 5, h / 2);
  loaded.FillTriangle(0, 0, w > 4000 ? 4000 : w, 0, 2, h > 299 ? 299 : h);
  loaded.Blit(loaded, 1, 1);  // overlapping copy onto itself
  loaded.Clear(0x00FFFFFF);
}

// Whether a file's header asks for more than `limit` bytes of pixels (rows padded to 32 bits).
bool AsksForMoreThan(std::int64_t limit, const std::uint8_t* data, std::size_t size) {
  if (size < 30) return false;
  auto u16 = [data](std::size_t at) { return std::int64_t{data[at] | (data[at + 1] << 8)}; };
  auto i32 = [data](std::size_t at) {
    return std::int64_t{static_cast<std::int32_t>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                                                   (static_cast<std::uint32_t>(data[at + 3]) << 24))};
  };
  const bool core = i32(14) == 12;
  const std::int64_t width = core ? u16(18) : i32(18);
  const std::int64_t height = core ? u16(20) : i32(22);
  const std::int64_t rowBytes = (width * (core ? u16(24) : u16(28)) + 31) / 32 * 4;  // below 2^48
  return rowBytes > 0 && (height < 0 ? -height : height) > limit / rowBytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A few bytes of run-length stream or a cut-short file describe pictures of up to 1 GiB. Past
  // 16 MiB they take the same paths as smaller ones, but each costs the sanitizers a long
  // allocation and release, which would slow the search down to a crawl.
  constexpr std::int64_t kMaxPixelBytes = std::int64_t{16} << 20;
  if (AsksForMoreThan(kMaxPixelBytes, data, size)) return 0;
  static MemoryFile file;
  Require(file.fd >= 0, "memfd_create");
  Require(ftruncate(file.fd, 0) == 0, "ftruncate");
  Require(pwrite(file.fd, data, size, 0) == static_cast<ssize_t>(size), "pwrite");

  const auto before = LiveObjects();
  {
    Surface surface;
    surface.LoadBitmapFile(file.path);
    if (!surface.bitmap) {
      Require(!surface.dc && surface.width == 0 && surface.height == 0 && !surface.pixels,
              "a refused file leaves a new surface empty");
    } else {
      Exercise(surface);
      // Loading again over a held picture lets the first one go.
      surface.LoadBitmapFile(file.path);
      Require(surface.bitmap != nullptr, "the same file loads twice");
    }
  }
  Require(LiveObjects() == before, "no platform object outlives its surface");
  return 0;
}
