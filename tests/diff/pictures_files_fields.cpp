// Bitmap files at the edges of the format: colour tables longer or shorter than the depth's,
// pixel offsets of every kind, pixel data cut short, bit-field masks of odd widths and places,
// alpha and unused bits, header sizes the loader refuses. Also DIB sections made with the same
// masks, copied into the plain depths: the one colour rule serves every copy.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/diff/dib.h"
#include "tests/diff/loaded_file.h"
#include "tests/support/dib_section.h"
#include "tests/support/bmp_file.h"

namespace {

using zantrel::diff::NamedFile;
using zantrel::test::BmpParts;

constexpr std::uint32_t kBitfields = 3;

std::uint32_t Hash(std::uint32_t i) {
  i ^= i >> 16;
  i *= 0x7FEB352Du;
  i ^= i >> 15;
  i *= 0x846CA68Bu;
  return i ^ (i >> 16);
}

// width x height pixels of pseudo-random bytes, rows padded as the depth pads them.
std::vector<std::uint8_t> NoisePixels(int width, int height, int bpp, std::uint32_t salt) {
  const std::size_t pitch = static_cast<std::size_t>((width * bpp + 31) / 32 * 4);
  std::vector<std::uint8_t> pixels(pitch * static_cast<std::size_t>(height));
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(Hash(static_cast<std::uint32_t>(i) + salt));
  return pixels;
}

BmpParts Indexed(int bpp, std::uint32_t colorsUsed, int tableEntries) {
  BmpParts p;
  p.width = 13;
  p.height = 5;
  p.bitsPerPixel = static_cast<std::uint16_t>(bpp);
  p.colorsUsed = colorsUsed;
  for (int i = 0; i < tableEntries; ++i) p.table.push_back(zantrel::test::PaletteColor(i));
  p.pixels = NoisePixels(p.width, p.height, bpp, static_cast<std::uint32_t>(bpp * 1000 + tableEntries));
  return p;
}

BmpParts Direct(int bpp, std::uint32_t headerSize, std::uint32_t compression, std::array<std::uint32_t, 4> masks,
                const std::vector<std::uint32_t>& values) {
  BmpParts p;
  p.headerSize = headerSize;
  p.width = 13;
  p.height = static_cast<std::int32_t>((values.size() + 12) / 13);
  p.bitsPerPixel = static_cast<std::uint16_t>(bpp);
  p.compression = compression;
  p.masks = masks;
  const std::size_t pitch = static_cast<std::size_t>((p.width * bpp + 31) / 32 * 4);
  p.pixels.assign(pitch * static_cast<std::size_t>(p.height), 0);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t at = (i / 13) * pitch + (i % 13) * static_cast<std::size_t>(bpp / 8);
    for (int b = 0; b < bpp / 8; ++b) p.pixels[at + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(values[i] >> (8 * b));
  }
  return p;
}

// Pixel values for a mask set: every value of the low bits, then noise.
std::vector<std::uint32_t> FieldValues(int bpp) {
  std::vector<std::uint32_t> values;
  for (std::uint32_t i = 0; i < 64; ++i) values.push_back(i * (bpp == 16 ? 0x0421u : 0x04104105u));
  for (std::uint32_t i = 0; i < 65; ++i) values.push_back(bpp == 16 ? Hash(i) & 0xFFFF : Hash(i));
  return values;
}

struct Masks {
  const char* name;
  int bpp;
  std::array<std::uint32_t, 4> masks;  // red, green, blue, alpha
};
constexpr Masks kOddMasks[] = {
    {"16-2-3-1", 16, {0xC000, 0x3800, 0x0400, 0}},
    {"16-1-9-2-4", 16, {0x8000, 0x7FC0, 0x0030, 0x000F}},
    {"16-4-4-4", 16, {0x0F00, 0x00F0, 0x000F, 0xF000}},
    {"16-3-3-2", 16, {0x00E0, 0x001C, 0x0003, 0}},
    {"16-6-5-5", 16, {0xFC00, 0x03E0, 0x001F, 0}},
    {"16-5-6-5", 16, {0xF800, 0x07E0, 0x001F, 0}},
    {"16-gaps", 16, {0xA000, 0x0A50, 0x0005, 0}},
    {"16-green-only", 16, {0, 0xFFFF, 0, 0}},
    {"16-zero", 16, {0, 0, 0, 0}},
    {"32-10-10-10-2", 32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}},
    {"32-12-12-8", 32, {0xFFF00000, 0x000FFF00, 0x000000FF, 0}},
    {"32-2-3-1", 32, {0xC0000000, 0x38000000, 0x04000000, 0}},
    {"32-16-8-8", 32, {0xFFFF0000, 0x0000FF00, 0x000000FF, 0}},
    {"32-1-7-24", 32, {0x80000000, 0x7F000000, 0x00FFFFFF, 0}},
    {"32-bgr", 32, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}},
    {"32-gaps", 32, {0x00000A00, 0x00000500, 0x000000F0, 0}},
    {"32-zero", 32, {0, 0, 0, 0}},
};

std::vector<NamedFile> Files() {
  std::vector<NamedFile> f;
  auto add = [&f](std::string name, const BmpParts& p) { f.push_back({std::move(name), zantrel::test::AssembleBmp(p)}); };

  // Colour tables: counts above the depth's (the first entries serve), below it (black fills),
  // above 256, and a count that runs the table into the pixels and past the end of the file.
  add("table-8bpp-300", Indexed(8, 300, 300));
  add("table-8bpp-100000", Indexed(8, 100000, 256));
  add("table-4bpp-20", Indexed(4, 20, 20));
  add("table-1bpp-5", Indexed(1, 5, 5));
  add("table-8bpp-2", Indexed(8, 2, 2));
  add("table-4bpp-3", Indexed(4, 3, 3));
  add("table-1bpp-1", Indexed(1, 1, 1));
  {
    BmpParts p = Indexed(8, 0, 16);
    p.pixelOffset = 14 + 40 + 16 * 4;
    add("table-8bpp-into-pixels", p);
  }
  {
    BmpParts p = Indexed(8, 256, 16);
    p.pixels.resize(40);
    p.pixelOffset = 14 + 40 + 16 * 4;
    add("table-8bpp-past-file", p);
  }
  {
    BmpParts p = Indexed(8, 300, 300);
    p.pixelOffset = 0;
    add("table-8bpp-300-offset-zero", p);
    p = Indexed(4, 20, 20);
    p.pixelOffset = 0;
    add("table-4bpp-20-offset-zero", p);
    p = Direct(24, 40, 0, {}, FieldValues(32));
    p.colorsUsed = 4;
    p.table = {0x123456, 0x654321, 0xABCDEF, 0xFEDCBA};
    add("table-24bpp-4", p);
    p.pixelOffset = 0;
    add("table-24bpp-4-offset-zero", p);
  }

  // Pixel offsets: 0 and 14 both mean "after the table"; others count from the file's start,
  // into the headers if they say so. At the file's end, no pixel is there.
  for (std::int64_t offset : {0, 1, 5, 13, 14, 15, 20, 54}) {
    BmpParts p = Direct(24, 40, 0, {}, FieldValues(32));
    p.pixelOffset = offset;
    add("offset-" + std::to_string(offset), p);
  }
  {
    BmpParts p = Indexed(8, 0, 256);
    p.pixelOffset = static_cast<std::int64_t>(14 + 40 + 256 * 4 + p.pixels.size());
    add("offset-at-end", p);
  }

  // Pixel data cut short: what the file holds, then zeros.
  for (int bpp : {1, 4, 8, 24, 32}) {
    BmpParts p = bpp <= 8 ? Indexed(bpp, 0, 1 << bpp) : Direct(bpp, 40, 0, {}, FieldValues(32));
    p.pixels.resize(p.pixels.size() * 2 / 3 + 1);
    add("cut-" + std::to_string(bpp) + "bpp", p);
  }
  {
    BmpParts p = Direct(16, 40, kBitfields, {0xF800, 0x07E0, 0x001F, 0}, FieldValues(16));
    p.pixels.resize(p.pixels.size() / 2 + 1);
    add("cut-16bpp-565", p);
    p = Direct(32, 108, kBitfields, {0x3FF00000, 0x000FFC00, 0x000003FF, 0}, FieldValues(32));
    p.pixels.resize(p.pixels.size() / 2 + 3);
    add("cut-32bpp-10-10-10", p);
  }

  // Bit fields of every width and place, in info headers (masks after them) and V4 headers.
  for (const Masks& m : kOddMasks) {
    add(std::string("fields-") + m.name, Direct(m.bpp, 40, kBitfields, m.masks, FieldValues(m.bpp)));
    add(std::string("fields-") + m.name + "-v4", Direct(m.bpp, 108, kBitfields, m.masks, FieldValues(m.bpp)));
  }

  // Alpha and unused bits: kept where the file's pixels are the picture's own format, else lost.
  std::vector<std::uint32_t> alpha16, alpha32;
  for (std::uint32_t i = 0; i < 39; ++i) {
    alpha16.push_back((Hash(i) & 0xFFFF) | (i % 3 ? 0x8000 : 0));
    alpha32.push_back(Hash(i + 100) | (i % 3 ? 0 : 0xFF000000));
  }
  struct AlphaCase {
    const char* name;
    int bpp;
    std::uint32_t headerSize, compression;
    std::array<std::uint32_t, 4> masks;
  };
  const AlphaCase kAlphaCases[] = {
      {"16bpp-rgb", 16, 40, 0, {}},
      {"16bpp-rgb-v5", 16, 124, 0, {0x7C00, 0x03E0, 0x001F, 0x8000}},
      {"16bpp-555", 16, 40, kBitfields, {0x7C00, 0x03E0, 0x001F, 0}},
      {"16bpp-555-v4-alpha", 16, 108, kBitfields, {0x7C00, 0x03E0, 0x001F, 0x8000}},
      {"16bpp-555-v5", 16, 124, kBitfields, {0x7C00, 0x03E0, 0x001F, 0}},
      {"16bpp-565", 16, 40, kBitfields, {0xF800, 0x07E0, 0x001F, 0}},
      {"32bpp-rgb", 32, 40, 0, {}},
      {"32bpp-rgb-v5-alpha", 32, 124, 0, {0, 0, 0, 0xFF000000}},
      {"32bpp-888", 32, 40, kBitfields, {0xFF0000, 0x00FF00, 0x0000FF, 0}},
      {"32bpp-888-v4-alpha", 32, 108, kBitfields, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000}},
      {"32bpp-888-v5-alpha", 32, 124, kBitfields, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000}},
      {"32bpp-rgbx-v4-alpha", 32, 108, kBitfields, {0xFF000000, 0x00FF0000, 0x0000FF00, 0xFF}},
  };
  for (const AlphaCase& a : kAlphaCases) {
    add(std::string("alpha-") + a.name, Direct(a.bpp, a.headerSize, a.compression, a.masks, a.bpp == 16 ? alpha16 : alpha32));
  }

  // Header sizes between the known ones are refused.
  for (std::uint32_t size : {52u, 56u, 64u}) add("header-" + std::to_string(size), Direct(24, size, 0, {}, FieldValues(32)));
  return f;
}

// A DIB section with the masks and the same pixels, copied into 32, 24 and 16 bpp pictures, and
// read back colour by colour.
zantrel::diff::Picture MaskedDibPicture(const Masks& m) {
  void* bits = nullptr;
  HBITMAP source = zantrel::test::MakeBitfieldDib(13, 10, m.bpp, {m.masks[0], m.masks[1], m.masks[2]}, &bits);
  zantrel::diff::Picture picture;  // empty when refused: every mask needs bits
  if (!source) return picture;
  const BmpParts pixels = Direct(m.bpp, 40, 0, {}, FieldValues(m.bpp));
  std::copy(pixels.pixels.begin(), pixels.pixels.end(), static_cast<std::uint8_t*>(bits));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, source);
  picture.width = 13;
  picture.height = 10;
  picture.bitsPerPixel = m.bpp;
  for (int depth : {32, 24, 16}) {
    zantrel::diff::Dib target(13, 10, depth);
    BitBlt(target.dc(), 0, 0, 13, 10, dc, 0, 0, SRCCOPY);
    const auto copied = target.Capture().bits;
    picture.bits.insert(picture.bits.end(), copied.begin(), copied.end());
  }
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 13; ++x) zantrel::test::Put32(picture.bits, GetPixel(dc, x, y));
  }
  SelectObject(dc, original);
  DeleteDC(dc);
  DeleteObject(source);
  return picture;
}

const bool kRegistered = [] {
  zantrel::diff::AddFilePictures("bmpfile-", Files());
  for (const Masks& m : kOddMasks) {
    zantrel::diff::AddPicture(std::string("dib-fields-") + m.name, [&m] { return MaskedDibPicture(m); });
  }
  return true;
}();

}  // namespace
