// GDI objects of the native layer. A handle is a pointer to one of these records; every live
// object is registered, so a stale or foreign handle is refused as GDI refuses it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/native/windows.h"

namespace zantrel::gdi {

enum class Kind { kDc, kBitmap, kPen, kBrush };

struct Object {
  Kind kind;
  bool stock = false;
};

struct Format;

// Pixel storage with a top-left pointer and a signed stride, whatever way up it lies in memory.
struct Bitmap : Object {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 1;
  int pitch = 0;              // bytes per row in memory, a multiple of 4
  std::uint8_t* memory = nullptr;  // first byte as handed out (bottom row when bottom-up)
  std::uint8_t* top = nullptr;     // first byte of the top row
  std::ptrdiff_t stride = 0;       // bytes from one row to the one below it
  bool ownsMemory = true;
  RGBQUAD palette[256] = {};
  int paletteSize = 0;
  std::uint32_t masks[3] = {};  // red, green, blue channel masks of 16 and 32 bpp bitfields
  const Format* format = nullptr;
  int selectedInto = 0;  // number of DCs holding it
  bool pendingDelete = false;
};

struct Pen : Object {
  COLORREF color = 0;
};

struct Brush : Object {
  COLORREF color = 0;
};

struct Dc : Object {
  Bitmap* bitmap = nullptr;
  Pen* pen = nullptr;
  Brush* brush = nullptr;
  POINT position{0, 0};
  Bitmap* ownBitmap = nullptr;  // the client-area pixels of a window DC, freed with the DC
};

// Handle bookkeeping: registration, lookup by kind, live counts for leak tests.
void Register(Object* object);
void Unregister(Object* object);
Object* Lookup(const void* handle);
template <typename T>
T* As(const void* handle, Kind kind) {
  Object* object = Lookup(handle);
  return object && object->kind == kind ? static_cast<T*>(object) : nullptr;
}
int LiveCount(Kind kind);

// Prepares a bitmap's rows and picks its pixel format; memory must already be set.
void AttachFormat(Bitmap* bitmap, bool topDown);
Bitmap* DefaultBitmap();
// A registered DIB section (height < 0: top-down), zeroed; null when refused.
Bitmap* NewDibSection(int width, int height, int bpp, const std::uint32_t* masks,
                      const RGBQUAD* palette, int paletteSize);
bool PenDraws(const Dc& dc);

}  // namespace zantrel::gdi
