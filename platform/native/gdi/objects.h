// GDI objects of the native layer. A handle is a pointer to one of these records; every live
// object is registered, so a stale or foreign handle is refused as GDI refuses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "platform/native/windows.h"

namespace zantrel::gdi {

enum class Kind { kDc, kBitmap, kPen, kBrush };

// Records of one type are recycled through a free list and never given back, so drawing that
// makes and deletes a brush or a window DC per frame costs no heap allocation after the first.
struct FreeRecord {
  FreeRecord* next;
};
template <class T>
struct Pooled {
  static void* operator new(std::size_t size) {
    if (void* p = Take(size)) return p;
    return ::operator new(size);
  }
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (void* p = Take(size)) return p;
    return ::operator new(size, std::nothrow);
  }
  static void operator delete(void* p, std::size_t size) {
    if (!p) return;
    if (size != sizeof(T)) return ::operator delete(p);
    auto* record = static_cast<FreeRecord*>(p);
    record->next = Head();
    Head() = record;
  }

 private:
  static FreeRecord*& Head() {
    static FreeRecord* head = nullptr;
    return head;
  }
  static void* Take(std::size_t size) {
    FreeRecord*& head = Head();
    if (!head || size != sizeof(T)) return nullptr;
    FreeRecord* record = head;
    head = record->next;
    return record;
  }
};

struct Object {
  Kind kind;
  bool stock = false;
  int selectedInto = 0;        // number of DCs holding it (stock objects are not counted)
  bool pendingDelete = false;  // deleted while held: freed when the last DC lets go of it
};

struct Format;

// Pixel storage with a top-left pointer and a signed stride, whatever way up it lies in memory.
struct Bitmap : Object, Pooled<Bitmap> {
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
  // A window's pixels whose backend wants to know where they change: every drawing call widens
  // this rectangle by what it may have changed (a copy, by what it did change). Null otherwise.
  RECT* changed = nullptr;
};

// Widens the bitmap's changed rectangle, if it keeps one, by [left, right) x [top, bottom).
inline void NoteChanged(const Bitmap& b, std::int64_t left, std::int64_t top, std::int64_t right,
                        std::int64_t bottom) {
  if (!b.changed || left >= right || top >= bottom) return;
  RECT& c = *b.changed;
  const bool empty = c.left >= c.right || c.top >= c.bottom;
  c.left = static_cast<LONG>(empty || left < c.left ? left : c.left);
  c.top = static_cast<LONG>(empty || top < c.top ? top : c.top);
  c.right = static_cast<LONG>(empty || right > c.right ? right : c.right);
  c.bottom = static_cast<LONG>(empty || bottom > c.bottom ? bottom : c.bottom);
}

struct Pen : Object, Pooled<Pen> {
  COLORREF color = 0;
};

struct Brush : Object, Pooled<Brush> {
  COLORREF color = 0;
};

struct Dc : Object, Pooled<Dc> {
  Bitmap* bitmap = nullptr;
  Pen* pen = nullptr;
  Brush* brush = nullptr;
  POINT position{0, 0};
  Bitmap* ownBitmap = nullptr;  // the client-area pixels of a window DC, freed with the DC
  // Derived from the selected pen and bitmap whenever either is selected (pens and pictures never
  // change once made), so that drawing a line converts no colour.
  bool penDraws = false;
  std::uint32_t penValue = 0;
  // SetPixel's last colour on this bitmap: the value it stores and the colour it reports.
  bool pixelKnown = false;
  COLORREF pixelColor = 0;
  std::uint32_t pixelValue = 0;
  COLORREF pixelReported = 0;
};

// Handle bookkeeping: registration, lookup by kind, live counts for leak tests.
void Register(Object* object);
void Unregister(Object* object);
Object* Lookup(const void* handle);
// The object the last lookup found, until it is unregistered: drawing names the same device
// context call after call, and this spares it the search of the live set.
inline Object* lastFound = nullptr;
template <typename T>
T* As(const void* handle, Kind kind) {
  Object* object = handle && handle == lastFound ? lastFound : Lookup(handle);
  return object && object->kind == kind ? static_cast<T*>(object) : nullptr;
}
// The DC a handle names when it is the one last found, else null (the caller then looks it up):
// a drawing call's path that calls nothing, so saves no registers.
inline Dc* LastDc(const void* handle) {
  Object* object = lastFound;
  return handle && handle == object && object->kind == Kind::kDc ? static_cast<Dc*>(object) : nullptr;
}
int LiveCount(Kind kind);

// Prepares a bitmap's rows and picks its pixel format; memory must already be set.
void AttachFormat(Bitmap* bitmap, bool topDown);
Bitmap* DefaultBitmap();
// A registered DIB section (height < 0: top-down), zeroed; null when refused.
Bitmap* NewDibSection(int width, int height, int bpp, const std::uint32_t* masks,
                      const RGBQUAD* palette, int paletteSize);
// Recomputes what a DC derives from its pen and bitmap; called whenever either changes.
void SelectionChanged(Dc& dc);

}  // namespace zantrel::gdi
