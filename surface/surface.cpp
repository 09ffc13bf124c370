#include "surface/surface.h"

#include <cstring>

namespace {

bool SupportedDepth(std::int32_t bitsPerPixel) {
  return bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

}  // namespace

Surface::~Surface() {
  if (dc) DeleteDC(dc);  // first, so neither bitmap nor pen is still selected when deleted
  if (bitmap) DeleteObject(bitmap);
  if (pen) DeleteObject(pen);
  dc = nullptr;
  bitmap = nullptr;
  bitmapRecord = BITMAP{};
  pen = nullptr;
  penColor = 0;
  width = 0;
  height = 0;
  pixels = nullptr;
}

bool Surface::Create(std::int32_t w, std::int32_t h, std::int32_t bitsPerPixel) {
  // A non-positive size could only fail later in the platform; refuse it up front instead, with
  // the surface untouched, as for an unsupported depth.
  if (!SupportedDepth(bitsPerPixel) || w <= 0 || h <= 0) return false;
  Release();

  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
  void* bits = nullptr;
  bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  pixels = static_cast<std::uint8_t*>(bits);
  if (!bitmap) {
    pixels = nullptr;
    return false;
  }
  dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  if (!SelectObject(dc, bitmap)) return false;
  GetObjectA(bitmap, sizeof(BITMAP), &bitmapRecord);
  width = bitmapRecord.bmWidth;
  height = bitmapRecord.bmHeight;
  std::memset(pixels, 0, static_cast<std::size_t>(bitmapRecord.bmWidthBytes) *
                             static_cast<std::size_t>(bitmapRecord.bmHeight));
  return true;
}

void Surface::LoadBitmapFile(const char* path) {
  // Loading over a held picture would leak it; the surface lets it go first.
  Release();
  bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return;
  dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  GetObjectA(bitmap, sizeof(BITMAP), &bitmapRecord);
  width = bitmapRecord.bmWidth;
  height = bitmapRecord.bmHeight;
}

void Surface::Release() {
  if (dc) {
    DeleteDC(dc);
    dc = nullptr;
  }
  if (bitmap) {
    DeleteObject(bitmap);
    bitmap = nullptr;
    pixels = nullptr;
  }
  bitmapRecord = BITMAP{};
}

void Surface::Present(HWND window, std::int32_t x, std::int32_t y) const {
  if (!dc) return;
  HDC target = GetDC(window);
  if (!target) return;
  BitBlt(target, x, y, width, height, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, target);
}

void Surface::Blit(const Surface& source, std::int32_t x, std::int32_t y) {
  if (!dc || !source.dc) return;
  BitBlt(dc, x, y, source.width, source.height, source.dc, 0, 0, SRCCOPY);
}

void Surface::BlitMasked(const Surface& sprite, const Surface& mask, std::int32_t x,
                         std::int32_t y) {
  if (!dc) return;
  if (mask.dc) BitBlt(dc, x, y, mask.width, mask.height, mask.dc, 0, 0, SRCAND);
  if (sprite.dc) BitBlt(dc, x, y, sprite.width, sprite.height, sprite.dc, 0, 0, SRCINVERT);
}

void Surface::Clear(Color color) {
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(color);
  const RECT all{0, 0, width, height};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
}

void Surface::SetPenColor(Color color) {
  penColor = color;
  HPEN earlier = pen;
  pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ previous = dc ? SelectObject(dc, pen) : nullptr;
  if (previous) DeleteObject(previous);
  // Without a DC, or after a new DC replaced the one the earlier pen was selected into, that
  // pen is not what the selection returned; free it too so the surface never leaks a pen.
  if (earlier && earlier != previous) DeleteObject(earlier);
}

void Surface::DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
  if (!dc) return;
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SetPixel(dc, x1, y1, penColor);
}
