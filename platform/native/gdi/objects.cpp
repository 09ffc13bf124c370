#include "platform/native/gdi/objects.h"

#include <unordered_set>

#include "platform/native/gdi/format.h"

namespace zantrel::gdi {
namespace {

// Never destroyed: globals of the program (a Surface, say) free their objects in destructors
// that may run after any static of this file would have been torn down.
std::unordered_set<Object*>& Live() {
  static auto* live = new std::unordered_set<Object*>;
  return *live;
}

}  // namespace

void Register(Object* object) { Live().insert(object); }
void Unregister(Object* object) { Live().erase(object); }

Object* Lookup(const void* handle) {
  auto* object = static_cast<Object*>(const_cast<void*>(handle));
  return handle && Live().count(object) ? object : nullptr;
}

int LiveCount(Kind kind) {
  int count = 0;
  for (const Object* object : Live()) count += object->kind == kind && !object->stock;
  return count;
}

void AttachFormat(Bitmap* b, bool topDown) {
  b->top = topDown ? b->memory : b->memory + static_cast<std::ptrdiff_t>(b->height - 1) * b->pitch;
  b->stride = topDown ? b->pitch : -b->pitch;
  b->format = FormatFor(*b);
}

// The 1 x 1 monochrome bitmap every new memory DC starts with.
Bitmap* DefaultBitmap() {
  static std::uint8_t bits[4] = {};
  static Bitmap* bitmap = [] {
    auto* b = new Bitmap;
    b->kind = Kind::kBitmap;
    b->stock = true;
    b->width = b->height = 1;
    b->bitsPerPixel = 1;
    b->pitch = 2;  // device-dependent bitmaps pad rows to 16 bits
    b->memory = bits;
    b->ownsMemory = false;
    b->paletteSize = 2;
    b->palette[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
    AttachFormat(b, true);
    Register(b);
    return b;
  }();
  return bitmap;
}

}  // namespace zantrel::gdi
