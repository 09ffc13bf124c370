#include "platform/native/gdi/format.h"

#include <bit>

namespace zantrel::gdi {
namespace {

constexpr std::uint32_t Red(COLORREF c) { return c & 0xFF; }
constexpr std::uint32_t Green(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr std::uint32_t Blue(COLORREF c) { return (c >> 16) & 0xFF; }
constexpr COLORREF Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r | (g << 8) | (b << 16);
}

// 32 bpp BI_RGB: B, G, R, x bytes.
std::uint32_t FromColor8888(const Bitmap&, COLORREF c) { return (Red(c) << 16) | (Green(c) << 8) | Blue(c); }
COLORREF ToColor8888(const Bitmap&, std::uint32_t p) { return Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
std::uint32_t Get32(const std::uint8_t* row, int x) {
  const std::uint8_t* p = row + 4 * x;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put32(std::uint8_t* row, int x, std::uint32_t v) { StorePixel32(row + 4 * x, v); }

// 24 bpp: B, G, R bytes.
std::uint32_t Get24(const std::uint8_t* row, int x) {
  const std::uint8_t* p = row + 3 * x;
  return p[0] | (p[1] << 8) | (p[2] << 16);
}
void Put24(std::uint8_t* row, int x, std::uint32_t v) {
  std::uint8_t* p = row + 3 * x;
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
}

// 16 bpp 5-5-5: channels truncated on the way in, top bits replicated on the way out.
std::uint32_t FromColor555(const Bitmap&, COLORREF c) {
  return ((Red(c) << 7) & 0x7C00) | ((Green(c) << 2) & 0x03E0) | (Blue(c) >> 3);
}
COLORREF ToColor555(const Bitmap&, std::uint32_t p) {
  return Rgb(((p >> 7) & 0xF8) | ((p >> 12) & 0x07), ((p >> 2) & 0xF8) | ((p >> 7) & 0x07),
             ((p << 3) & 0xF8) | ((p >> 2) & 0x07));
}
std::uint32_t Get16(const std::uint8_t* row, int x) { return row[2 * x] | (row[2 * x + 1] << 8); }
void Put16(std::uint8_t* row, int x, std::uint32_t v) {
  row[2 * x] = static_cast<std::uint8_t>(v);
  row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Bitfields of any masks (16 or 32 bpp). A channel is the run of set bits from the mask's lowest
// one; a mask with gaps counts only that first run.
int Shift(std::uint32_t mask) { return mask ? std::countr_zero(mask) : 0; }
int Width(std::uint32_t mask) { return std::countr_one(mask >> Shift(mask)); }
std::uint32_t PutChannel(std::uint32_t value8, std::uint32_t mask) {
  const int w = Width(mask);
  if (w == 0) return 0;
  const std::uint32_t v = w >= 8 ? value8 << (w - 8) : value8 >> (8 - w);
  return (v << Shift(mask)) & mask;
}
// GDI's reading of a channel: its top eight bits (at most) moved to the top of a byte, then
// repeated once below themselves. Five to seven bits fill the byte that way; a narrower channel
// does not: two bits ab read as abab0000, one bit as 11000000 or 0.
std::uint32_t GetChannel(std::uint32_t pixel, std::uint32_t mask) {
  int w = Width(mask);
  if (w == 0) return 0;
  int shift = Shift(mask);
  if (w > 8) shift += w - 8, w = 8;
  const std::uint32_t top = ((pixel >> shift) & ((1u << w) - 1)) << (8 - w);
  return (top | (top >> w)) & 0xFF;
}
std::uint32_t FromColorFields(const Bitmap& b, COLORREF c) {
  return PutChannel(Red(c), b.masks[0]) | PutChannel(Green(c), b.masks[1]) | PutChannel(Blue(c), b.masks[2]);
}
COLORREF ToColorFields(const Bitmap& b, std::uint32_t p) {
  return Rgb(GetChannel(p, b.masks[0]), GetChannel(p, b.masks[1]), GetChannel(p, b.masks[2]));
}

// Palettized 1, 4 and 8 bpp: the nearest palette entry, the first one on ties.
std::uint32_t FromColorIndexed(const Bitmap& b, COLORREF c) {
  std::uint32_t best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < b.paletteSize; ++i) {
    const int dr = static_cast<int>(Red(c)) - b.palette[i].rgbRed;
    const int dg = static_cast<int>(Green(c)) - b.palette[i].rgbGreen;
    const int db = static_cast<int>(Blue(c)) - b.palette[i].rgbBlue;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) bestDistance = d, best = static_cast<std::uint32_t>(i);
  }
  return best;
}
// 1 bpp: a colour found in the table takes its entry; any other colour is drawn as the opposite
// of the entry nearest the background colour (white in every DC here), so that it shows.
std::uint32_t FromColorMono(const Bitmap& b, COLORREF c) {
  for (int i = 0; i < b.paletteSize; ++i) {
    if (Rgb(b.palette[i].rgbRed, b.palette[i].rgbGreen, b.palette[i].rgbBlue) == (c & 0xFFFFFF)) {
      return static_cast<std::uint32_t>(i);
    }
  }
  constexpr COLORREF kBackground = 0xFFFFFF;
  const std::uint32_t background = FromColorIndexed(b, kBackground);
  return (c & 0xFFFFFF) == kBackground ? background : 1 - background;
}
COLORREF ToColorIndexed(const Bitmap& b, std::uint32_t p) {
  if (static_cast<int>(p) >= b.paletteSize) return 0;
  const RGBQUAD& q = b.palette[p];
  return Rgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
}
std::uint32_t Get8(const std::uint8_t* row, int x) { return row[x]; }
void Put8(std::uint8_t* row, int x, std::uint32_t v) { row[x] = static_cast<std::uint8_t>(v); }
std::uint32_t Get4(const std::uint8_t* row, int x) { return (row[x / 2] >> (x & 1 ? 0 : 4)) & 0xF; }
void Put4(std::uint8_t* row, int x, std::uint32_t v) {
  const int shift = x & 1 ? 0 : 4;
  row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & ~(0xF << shift)) | ((v & 0xF) << shift));
}
std::uint32_t Get1(const std::uint8_t* row, int x) { return (row[x / 8] >> (7 - (x & 7))) & 1; }
void Put1(std::uint8_t* row, int x, std::uint32_t v) {
  const int bit = 7 - (x & 7);
  row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~(1 << bit)) | ((v & 1) << bit));
}

constexpr Format k8888{FromColor8888, ToColor8888, Get32, Put32};
constexpr Format k888{FromColor8888, ToColor8888, Get24, Put24};
constexpr Format k555{FromColor555, ToColor555, Get16, Put16};
constexpr Format kFields16{FromColorFields, ToColorFields, Get16, Put16};
constexpr Format kFields32{FromColorFields, ToColorFields, Get32, Put32};
constexpr Format kIndexed8{FromColorIndexed, ToColorIndexed, Get8, Put8};
constexpr Format kIndexed4{FromColorIndexed, ToColorIndexed, Get4, Put4};
constexpr Format kIndexed1{FromColorMono, ToColorIndexed, Get1, Put1};

}  // namespace

const Format* FormatFor(const Bitmap& b) {
  const bool fields = b.masks[0] | b.masks[1] | b.masks[2];
  switch (b.bitsPerPixel) {
    case 32:
      return fields && !(b.masks[0] == 0xFF0000 && b.masks[1] == 0xFF00 && b.masks[2] == 0xFF)
                 ? &kFields32 : &k8888;
    case 24: return &k888;
    case 16:
      return fields && !(b.masks[0] == 0x7C00 && b.masks[1] == 0x3E0 && b.masks[2] == 0x1F)
                 ? &kFields16 : &k555;
    case 8: return &kIndexed8;
    case 4: return &kIndexed4;
    default: return &kIndexed1;
  }
}

bool SameDirectLayout(const Bitmap& a, const Bitmap& b) {
  if (a.format != b.format || a.bitsPerPixel < 16) return false;
  const bool fields = a.format == &kFields16 || a.format == &kFields32;
  return !fields || (a.masks[0] == b.masks[0] && a.masks[1] == b.masks[1] && a.masks[2] == b.masks[2]);
}

namespace {

constexpr COLORREF kDefaultPalette[20] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CAA6,
    0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

}  // namespace

COLORREF MaskedColor(std::uint32_t pixel, const std::uint32_t (&masks)[3]) {
  return Rgb(GetChannel(pixel, masks[0]), GetChannel(pixel, masks[1]), GetChannel(pixel, masks[2]));
}

namespace {

// Resolves a COLORREF's top-byte flags: true when it names a pixel value directly (in `value`),
// else false with `color` made a plain colour.
bool NamesPixelValue(const Bitmap& bitmap, COLORREF& color, std::uint32_t& value) {
  if ((color >> 16) == 0x10FF) {
    const std::uint32_t index = color & 0xFFFF;
    value = bitmap.bitsPerPixel <= 8 && index < static_cast<std::uint32_t>(bitmap.paletteSize) ? index : 0;
    return true;
  }
  if (color & 0x01000000) {
    const std::uint32_t index = color & 0xFFFF;
    color = index < 20 ? kDefaultPalette[index] : kDefaultPalette[0];
  }
  color &= 0xFFFFFF;
  return false;
}

}  // namespace

std::uint32_t PixelValue(const Bitmap& bitmap, COLORREF color) {
  std::uint32_t value;
  return NamesPixelValue(bitmap, color, value) ? value : bitmap.format->fromColor(bitmap, color);
}

std::uint32_t SetPixelValue(const Bitmap& bitmap, COLORREF color) {
  std::uint32_t value;
  if (NamesPixelValue(bitmap, color, value)) return value;
  return bitmap.format == &kIndexed1 ? FromColorIndexed(bitmap, color) : bitmap.format->fromColor(bitmap, color);
}

}  // namespace zantrel::gdi
