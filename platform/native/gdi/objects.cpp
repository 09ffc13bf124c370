#include "platform/native/gdi/objects.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/native/gdi/format.h"

namespace zantrel::gdi {
namespace {

// The live objects: an open-addressing set of pointers that allocates only when it grows, so
// steady drawing registers and unregisters without touching the heap. Never destroyed: globals
// of the program (a Surface, say) free their objects in destructors that may run after any
// static of this file would have been torn down.
class LiveSet {
 public:
  void Insert(Object* object) {
    if (2 * (used_ + 1) > slots_.size()) Grow();
    std::size_t i = Slot(object);
    while (slots_[i] && slots_[i] != Tombstone()) i = (i + 1) & (slots_.size() - 1);
    if (!slots_[i]) ++used_;
    slots_[i] = object;
    ++count_;
  }
  void Erase(Object* object) {
    if (object == lastFound) lastFound = nullptr;
    const std::size_t i = Find(object);
    if (i == kNone) return;
    slots_[i] = Tombstone();
    --count_;
  }
  bool Contains(const Object* object) const { return Find(object) != kNone; }
  template <class F>
  void ForEach(F f) const {
    for (Object* o : slots_) {
      if (o && o != Tombstone()) f(o);
    }
  }

 private:
  static constexpr std::size_t kNone = ~std::size_t{0};
  static Object* Tombstone() { return reinterpret_cast<Object*>(alignof(Object)); }
  std::size_t Slot(const Object* object) const {
    const auto bits = reinterpret_cast<std::uintptr_t>(object);
    return static_cast<std::size_t>((bits >> 4) * 0x9E3779B97F4A7C15ull >> 20) & (slots_.size() - 1);
  }
  std::size_t Find(const Object* object) const {
    if (slots_.empty() || !object || object == Tombstone()) return kNone;
    for (std::size_t i = Slot(object);; i = (i + 1) & (slots_.size() - 1)) {
      if (!slots_[i]) return kNone;
      if (slots_[i] == object) return i;
    }
  }
  void Grow() {
    std::vector<Object*> old = std::move(slots_);
    const std::size_t size = old.empty() ? 64 : (count_ * 4 > old.size() ? old.size() * 2 : old.size());
    slots_.assign(size, nullptr);
    used_ = count_ = 0;
    for (Object* o : old) {
      if (o && o != Tombstone()) Insert(o);
    }
  }
  std::vector<Object*> slots_;
  std::size_t used_ = 0;   // slots not empty, tombstones included
  std::size_t count_ = 0;  // live objects
};

LiveSet& Live() {
  static auto* live = new LiveSet;
  return *live;
}

}  // namespace

void Register(Object* object) { Live().Insert(object); }
void Unregister(Object* object) { Live().Erase(object); }

Object* Lookup(const void* handle) {
  auto* object = static_cast<Object*>(const_cast<void*>(handle));
  if (!handle || !Live().Contains(object)) return nullptr;
  lastFound = object;
  return object;
}

int LiveCount(Kind kind) {
  int count = 0;
  Live().ForEach([&](const Object* object) { count += object->kind == kind && !object->stock; });
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
