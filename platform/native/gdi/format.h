// Pixel formats: how a COLORREF becomes a pixel value and back, and how pixels are read and
// written. One table per format, chosen once when a bitmap is made.
#pragma once

#include <cstdint>

#include "platform/native/gdi/objects.h"

namespace zantrel::gdi {

struct Format {
  // Pixel value GDI stores for a colour (no dithering for solid pens and brushes).
  std::uint32_t (*fromColor)(const Bitmap&, COLORREF);
  // Colour GDI reports for a pixel value (SetPixel's and GetPixel's result).
  COLORREF (*toColor)(const Bitmap&, std::uint32_t);
  std::uint32_t (*get)(const std::uint8_t* row, int x);
  void (*put)(std::uint8_t* row, int x, std::uint32_t value);
};

const Format* FormatFor(const Bitmap& bitmap);

inline std::uint8_t* Row(const Bitmap& bitmap, int y) { return bitmap.top + y * bitmap.stride; }

// A 32-bit pixel's value at p, low byte first, as both 32-bit formats lay it out.
inline void StorePixel32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

// Where rows top..bottom-1 begin in memory: at the top one of a top-down bitmap, the bottom one of
// a bottom-up one. Without row padding those rows are one run from there.
inline std::uint8_t* FirstRowInMemory(const Bitmap& bitmap, int top, int bottom) {
  return Row(bitmap, bitmap.stride > 0 ? top : bottom - 1);
}

// The pixel value a pen or brush colour stores. Besides plain 0x00BBGGRR colours a
// COLORREF may carry flags in its top byte: with bit 24 set it names an entry of the default
// 20-colour palette (any other index gives entry 0, black); 0x10FFnnnn names a pixel value
// directly, which only formats with a colour table have, so direct-colour formats store 0.
// Every other top byte is ignored.
std::uint32_t PixelValue(const Bitmap& bitmap, COLORREF color);
// The pixel value SetPixel stores: PixelValue's, except that on a 1 bpp picture every colour takes
// the nearest table entry, without the pens' rule that makes a colour missing from the table show.
std::uint32_t SetPixelValue(const Bitmap& bitmap, COLORREF color);

// Whether two direct-colour bitmaps (16 bpp and up) hold a colour in the same pixel value, so that
// pixels move between them unconverted, unused bits included. Standard masks are the plain
// format: 5-5-5 bitfields are 16 bpp BI_RGB, 8-8-8 bitfields are 32 bpp BI_RGB.
bool SameDirectLayout(const Bitmap& a, const Bitmap& b);

// Colour of a pixel value read through red, green and blue channel masks.
COLORREF MaskedColor(std::uint32_t pixel, const std::uint32_t (&masks)[3]);

// Colour of a pixel as a plain 0x00BBGGRR COLORREF (no flags in the top byte), from any format
// (blits convert through it).
inline COLORREF PixelColor(const Bitmap& b, int x, int y) {
  return b.format->toColor(b, b.format->get(Row(b, y), x));
}

}  // namespace zantrel::gdi
