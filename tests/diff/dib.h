// A DIB section selected into its own memory DC, for pictures drawn through raw GDI calls.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "tests/diff/catalogue.h"
#include "tests/support/dib_section.h"

namespace zantrel::diff {

// A zeroed bottom-up BI_RGB DIB section; bits receives its pixel pointer.
inline HBITMAP MakeDibSection(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                              void** bits) {
  BITMAPINFO info{};
  info.bmiHeader = zantrel::test::DibHeader(width, height, bitsPerPixel, BI_RGB);
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

class Dib {
 public:
  Dib(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = MakeDibSection(width, height, bitsPerPixel, &bits_);
    original_ = SelectObject(dc_, bitmap_);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;
  ~Dib() {
    SelectObject(dc_, original_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  HDC dc() const { return dc_; }
  Picture Capture() const { return CaptureBitmap(bitmap_); }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;
  void* bits_ = nullptr;
};

// Selects a solid pen for the lifetime of the object.
class ScopedPen {
 public:
  ScopedPen(HDC dc, COLORREF color) : dc_(dc), pen_(CreatePen(PS_SOLID, 1, color)) {
    previous_ = SelectObject(dc_, pen_);
  }
  ScopedPen(const ScopedPen&) = delete;
  ScopedPen& operator=(const ScopedPen&) = delete;
  ~ScopedPen() {
    SelectObject(dc_, previous_);
    DeleteObject(pen_);
  }

 private:
  HDC dc_;
  HPEN pen_;
  HGDIOBJ previous_;
};

}  // namespace zantrel::diff
