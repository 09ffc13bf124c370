// Object management of the native gdi32: device contexts, DIB sections, pens, brushes, stock
// objects, selection and deletion with GDI's rules.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

#include "platform/native/gdi/format.h"
#include "platform/native/gdi/objects.h"
#include "platform/native/gdi/window_dc.h"

using namespace zantrel::gdi;

namespace {

// Pixel memory GDI may hand out; larger requests are refused rather than attempted.
constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 30;

template <typename T>
T* MakeStock(Kind kind, COLORREF color) {
  auto* object = new T;
  object->kind = kind;
  object->stock = true;
  object->color = color;
  Register(object);
  return object;
}

struct StockObjects {
  Brush* white = MakeStock<Brush>(Kind::kBrush, 0xFFFFFF);
  Brush* lightGray = MakeStock<Brush>(Kind::kBrush, 0xC0C0C0);
  Brush* gray = MakeStock<Brush>(Kind::kBrush, 0x808080);
  Brush* darkGray = MakeStock<Brush>(Kind::kBrush, 0x404040);
  Brush* black = MakeStock<Brush>(Kind::kBrush, 0);
  Brush* hollow = MakeStock<Brush>(Kind::kBrush, 0);
  Pen* whitePen = MakeStock<Pen>(Kind::kPen, 0xFFFFFF);
  Pen* blackPen = MakeStock<Pen>(Kind::kPen, 0);
  Pen* nullPen = MakeStock<Pen>(Kind::kPen, 0);
};

StockObjects& Stock() {
  static auto* stock = new StockObjects;  // never destroyed, like the registry
  return *stock;
}

bool IsNullPen(const Pen* pen) { return pen == Stock().nullPen; }

Bitmap* NewBitmap(int width, int height, int bpp) {
  const std::int64_t pitch = ((std::int64_t{width} * bpp + 31) / 32) * 4;
  if (width <= 0 || height <= 0 || pitch * height > kMaxPixelBytes) return nullptr;
  auto* memory = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(pitch * height), 1));
  if (!memory) return nullptr;
  auto* b = new (std::nothrow) Bitmap;
  if (!b) {
    std::free(memory);
    return nullptr;
  }
  b->kind = Kind::kBitmap;
  b->width = width;
  b->height = height;
  b->bitsPerPixel = bpp;
  b->pitch = static_cast<int>(pitch);
  b->memory = memory;
  return b;
}

void FreeBitmap(Bitmap* b) {
  Unregister(b);
  if (b->ownsMemory) std::free(b->memory);
  delete b;
}

void FreeObject(Object* o) {
  if (o->kind == Kind::kBitmap) return FreeBitmap(static_cast<Bitmap*>(o));
  Unregister(o);
  if (o->kind == Kind::kPen) {
    delete static_cast<Pen*>(o);
  } else {
    delete static_cast<Brush*>(o);
  }
}

void Hold(Object* o) {
  if (!o->stock) ++o->selectedInto;
}

// An object deleted while selected is freed when the last DC lets go of it, as GDI does: until
// then the DC draws with it as before.
void Deselect(Object* o) {
  if (o->stock) return;
  if (--o->selectedInto == 0 && o->pendingDelete) FreeObject(o);
}

Dc* NewDc() {
  auto* dc = new (std::nothrow) Dc;
  if (!dc) return nullptr;
  dc->kind = Kind::kDc;
  dc->bitmap = DefaultBitmap();
  dc->pen = Stock().blackPen;
  dc->brush = Stock().white;
  SelectionChanged(*dc);
  Register(dc);
  return dc;
}

}  // namespace

namespace zantrel::gdi {

HDC CreateWindowDC(std::uint8_t* pixels, int width, int height, RECT* changed) {
  auto* b = new Bitmap;
  b->kind = Kind::kBitmap;
  b->width = width;
  b->height = height;
  b->bitsPerPixel = 32;
  b->pitch = width * 4;
  b->memory = pixels;
  b->ownsMemory = false;
  b->changed = changed;
  AttachFormat(b, false);
  Dc* dc = NewDc();
  dc->bitmap = b;
  dc->ownBitmap = b;
  SelectionChanged(*dc);
  return reinterpret_cast<HDC>(static_cast<Object*>(dc));
}

Bitmap* NewDibSection(int width, int height, int bpp, const std::uint32_t* masks,
                      const RGBQUAD* palette, int paletteSize) {
  Bitmap* b = NewBitmap(width, height < 0 ? -height : height, bpp);
  if (!b) return nullptr;
  if (masks) std::memcpy(b->masks, masks, sizeof b->masks);
  // An indexed picture always has its depth's full table; entries the caller leaves out are black.
  if (bpp <= 8) b->paletteSize = 1 << bpp;
  if (palette && paletteSize > 0) {
    const int given = paletteSize < b->paletteSize ? paletteSize : b->paletteSize;
    std::memcpy(b->palette, palette, sizeof(RGBQUAD) * static_cast<std::size_t>(given));
  }
  AttachFormat(b, height < 0);
  Register(b);
  return b;
}

}  // namespace zantrel::gdi

HDC CreateCompatibleDC(HDC) { return reinterpret_cast<HDC>(static_cast<Object*>(NewDc())); }

BOOL DeleteDC(HDC handle) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  if (!dc) return FALSE;
  Unregister(dc);
  if (dc->ownBitmap) {
    FreeBitmap(dc->ownBitmap);
  } else {
    Deselect(dc->bitmap);
  }
  Deselect(dc->pen);
  Deselect(dc->brush);
  delete dc;
  return TRUE;
}

HGDIOBJ GetStockObject(int index) {
  StockObjects& s = Stock();
  switch (index) {
    case WHITE_BRUSH: return s.white;
    case LTGRAY_BRUSH: return s.lightGray;
    case GRAY_BRUSH: return s.gray;
    case DKGRAY_BRUSH: return s.darkGray;
    case BLACK_BRUSH: return s.black;
    case NULL_BRUSH: return s.hollow;
    case WHITE_PEN: return s.whitePen;
    case BLACK_PEN: return s.blackPen;
    case NULL_PEN: return s.nullPen;
    default: return nullptr;
  }
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  Object* o = Lookup(object);
  if (!dc || !o) return nullptr;
  switch (o->kind) {
    case Kind::kBitmap: {
      auto* b = static_cast<Bitmap*>(o);
      if (dc->ownBitmap) return nullptr;  // window DCs draw on their window only
      if (b == dc->bitmap) return b;
      if (b->selectedInto > 0 && !b->stock) return nullptr;  // one DC at a time
      Bitmap* previous = dc->bitmap;
      Hold(b);
      dc->bitmap = b;
      SelectionChanged(*dc);
      Deselect(previous);
      return previous;
    }
    case Kind::kPen: {
      Pen* previous = dc->pen;
      Hold(o);
      dc->pen = static_cast<Pen*>(o);
      SelectionChanged(*dc);
      Deselect(previous);
      return previous;
    }
    case Kind::kBrush: {
      Brush* previous = dc->brush;
      Hold(o);
      dc->brush = static_cast<Brush*>(o);
      Deselect(previous);
      return previous;
    }
    default: return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ object) {
  Object* o = Lookup(object);
  if (!o || o->kind == Kind::kDc) return FALSE;
  if (o->stock) return TRUE;
  if (o->pendingDelete) return FALSE;
  if (o->selectedInto > 0) {
    o->pendingDelete = true;
  } else {
    FreeObject(o);
  }
  return TRUE;
}

int GetObjectA(HANDLE handle, int size, LPVOID buffer) {
  Bitmap* b = As<Bitmap>(handle, Kind::kBitmap);
  if (!b) return 0;
  if (!buffer) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP record{};
  record.bmWidth = b->width;
  record.bmHeight = b->height;
  record.bmWidthBytes = b->pitch;
  record.bmPlanes = 1;
  record.bmBitsPixel = static_cast<WORD>(b->bitsPerPixel);
  record.bmBits = b->stock ? nullptr : b->memory;
  std::memcpy(buffer, &record, sizeof record);
  return sizeof(BITMAP);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == static_cast<LONG>(0x80000000u))
    return nullptr;
  const int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
  std::uint32_t masks[3] = {};
  const std::uint32_t* maskPtr = nullptr;
  if (h.biCompression == BI_BITFIELDS) {
    if (bpp != 16 && bpp != 32) return nullptr;
    std::memcpy(masks, reinterpret_cast<const std::uint8_t*>(info) + h.biSize, sizeof masks);
    if (!masks[0] || !masks[1] || !masks[2]) return nullptr;  // every channel needs bits
    maskPtr = masks;
  } else if (h.biCompression != BI_RGB) {
    return nullptr;
  }
  int colors = 0;
  if (bpp <= 8) colors = h.biClrUsed && h.biClrUsed < (1u << bpp) ? static_cast<int>(h.biClrUsed) : 1 << bpp;
  Bitmap* b = NewDibSection(h.biWidth, h.biHeight, bpp, maskPtr, colors ? info->bmiColors : nullptr, colors);
  if (!b) return nullptr;
  if (bits) *bits = b->memory;
  return reinterpret_cast<HBITMAP>(static_cast<Object*>(b));
}

HPEN CreatePen(int style, int, COLORREF color) {
  if (style == PS_NULL) return reinterpret_cast<HPEN>(GetStockObject(NULL_PEN));
  auto* pen = new Pen;
  pen->kind = Kind::kPen;
  pen->color = color;
  Register(pen);
  return reinterpret_cast<HPEN>(static_cast<Object*>(pen));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* brush = new Brush;
  brush->kind = Kind::kBrush;
  brush->color = color;
  Register(brush);
  return reinterpret_cast<HBRUSH>(static_cast<Object*>(brush));
}

namespace {

[[gnu::noinline]] BOOL MoveToExAnyhow(HDC handle, int x, int y, LPPOINT previous) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->position;
  dc->position = POINT{x, y};
  return TRUE;
}

}  // namespace

// On the DC last named, without a call (so saving no registers); a lookup the general way.
BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
  Dc* dc = LastDc(handle);
  if (!dc) return MoveToExAnyhow(handle, x, y, previous);
  if (previous) *previous = dc->position;
  dc->position = POINT{x, y};
  return TRUE;
}

namespace {

[[gnu::noinline]] COLORREF SetPixelAnyhow(HDC handle, int x, int y, COLORREF color) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  if (!dc) return CLR_INVALID;
  const Bitmap& b = *dc->bitmap;
  if (!dc->pixelKnown || dc->pixelColor != color) {
    dc->pixelKnown = true;
    dc->pixelColor = color;
    dc->pixelValue = SetPixelValue(b, color);
    dc->pixelReported = b.format->toColor(b, dc->pixelValue);
  }
  // Outside the bitmap nothing is drawn, but the colour that would have been is still reported.
  if (x >= 0 && y >= 0 && x < b.width && y < b.height) {
    b.format->put(Row(b, y), x, dc->pixelValue);
    NoteChanged(b, x, y, std::int64_t{x} + 1, std::int64_t{y} + 1);
  }
  return dc->pixelReported;
}

}  // namespace

// A DC drawing point after point on 32-bit pixels in one colour calls nothing: the rest, a new
// handle or colour or another depth, goes the general way.
COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
  Dc* dc = LastDc(handle);
  if (!dc || !dc->pixelKnown || dc->pixelColor != color || dc->bitmap->bitsPerPixel != 32 ||
      dc->bitmap->changed) {
    return SetPixelAnyhow(handle, x, y, color);
  }
  const Bitmap& b = *dc->bitmap;
  if (x >= 0 && y >= 0 && x < b.width && y < b.height) {
    StorePixel32(Row(b, y) + std::ptrdiff_t{x} * 4, dc->pixelValue);
  }
  return dc->pixelReported;
}

COLORREF GetPixel(HDC handle, int x, int y) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  if (!dc) return CLR_INVALID;
  const Bitmap& b = *dc->bitmap;
  if (x < 0 || y < 0 || x >= b.width || y >= b.height) return CLR_INVALID;
  return PixelColor(b, x, y);
}

namespace {

// Whether the C library's word fill (wmemset) runs as fast as its memset. WebAssembly's is a plain
// loop compiled without vector instructions; there vector stores fill a block that stays in the
// cache, and block copies (memory.copy, at memcpy speed) the rest.
#ifdef __wasm__
constexpr bool kFastWordFill = false;
#else
constexpr bool kFastWordFill = sizeof(wchar_t) == 4;
#endif

// Writes count pixels of a whole-byte format: one pixel, then copies of what is written so far,
// doubling, so a row costs a handful of memcpy calls. When all bytes agree it is a memset, and
// four-byte pixels are a word fill.
void FillBytes(std::uint8_t* out, const Bitmap& b, std::uint32_t value, std::size_t count) {
  const std::size_t pixelBytes = static_cast<std::size_t>(b.bitsPerPixel / 8);
  const std::size_t total = count * pixelBytes;
  b.format->put(out, 0, value);
  bool uniform = true;
  for (std::size_t i = 1; i < pixelBytes; ++i) uniform = uniform && out[i] == out[0];
  if (uniform) {
    std::memset(out, out[0], total);
    return;
  }
  if constexpr (kFastWordFill) {
    if (pixelBytes == 4 && reinterpret_cast<std::uintptr_t>(out) % alignof(wchar_t) == 0) {
      wchar_t word;
      std::memcpy(&word, out, 4);
      std::wmemset(reinterpret_cast<wchar_t*>(out), word, count);
      return;
    }
  } else if (pixelBytes == 4) {
    // Word stores fill a block that stays in the first-level cache; block copies the rest.
    constexpr std::size_t kBlockWords = 4096;
    std::uint32_t word;
    std::memcpy(&word, out, 4);
    const std::size_t block = count < kBlockWords ? count : kBlockWords;
    for (std::size_t i = 1; i < block; ++i) std::memcpy(out + 4 * i, &word, 4);
    for (std::size_t done = block; done < count; done += block) {
      std::memcpy(out + 4 * done, out, 4 * (block < count - done ? block : count - done));
    }
    return;
  }
  std::size_t done = pixelBytes;
  while (done < total) {
    const std::size_t chunk = done < total - done ? done : total - done;
    std::memcpy(out + done, out, chunk);
    done += chunk;
  }
}

}  // namespace

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
  Dc* dc = As<Dc>(handle, Kind::kDc);
  Brush* brush = As<Brush>(brushHandle, Kind::kBrush);
  if (!dc || !rect || !brush) return 0;
  if (brush == Stock().hollow) return 1;
  const Bitmap& b = *dc->bitmap;
  // An inverted rectangle is filled as GDI's pattern blit takes a negative extent: from the
  // pixel after the far edge up to and including the near one.
  std::int64_t left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
  if (right < left) std::swap(left, right), ++left, ++right;
  if (bottom < top) std::swap(top, bottom), ++top, ++bottom;
  left = left < 0 ? 0 : left;
  top = top < 0 ? 0 : top;
  right = right > b.width ? b.width : right;
  bottom = bottom > b.height ? b.height : bottom;
  const std::uint32_t value = PixelValue(b, brush->color);
  const int x0 = static_cast<int>(left), x1 = static_cast<int>(right);
  if (x0 >= x1 || top >= bottom) return 1;  // nothing left after clipping
  NoteChanged(b, x0, top, x1, bottom);
  if (b.bitsPerPixel % 8 == 0) {
    const std::size_t offset = static_cast<std::size_t>(x0) * static_cast<std::size_t>(b.bitsPerPixel / 8);
    const std::size_t count = static_cast<std::size_t>(x1 - x0);
    const std::size_t bytes = count * static_cast<std::size_t>(b.bitsPerPixel / 8);
    if (bytes == static_cast<std::size_t>(b.pitch)) {
      // Whole rows without padding are one run of memory: fill it as one long row.
      FillBytes(FirstRowInMemory(b, static_cast<int>(top), static_cast<int>(bottom)), b, value,
                count * static_cast<std::size_t>(bottom - top));
      return 1;
    }
    // Otherwise one row is filled and the others are copies of it.
    std::uint8_t* first = Row(b, static_cast<int>(top)) + offset;
    FillBytes(first, b, value, count);
    for (int y = static_cast<int>(top) + 1; y < bottom; ++y) std::memcpy(Row(b, y) + offset, first, bytes);
    return 1;
  }
  for (int y = static_cast<int>(top); y < bottom; ++y) {
    std::uint8_t* row = Row(b, y);
    for (int x = x0; x < x1; ++x) b.format->put(row, x, value);
  }
  return 1;
}

namespace zantrel::gdi {
void SelectionChanged(Dc& dc) {
  dc.penDraws = !IsNullPen(dc.pen);
  dc.penValue = PixelValue(*dc.bitmap, dc.pen->color);
  dc.pixelKnown = false;
}
}  // namespace zantrel::gdi
