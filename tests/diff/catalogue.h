// The differential catalogue: named pictures, drawn the same way by the native build and by the
// Win32 build, whose bytes must match. A family of pictures registers itself from its own file:
//
//   namespace {
//   const bool kRegistered = [] {
//     for (int i = 0; i < 8; ++i) zantrel::diff::AddPicture("clear-" + std::to_string(i), [i] { ... });
//     return true;
//   }();
//   }
//
// Names are file names: lower-case letters, digits, '-', '_' and '.' only, unique.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

class Surface;

namespace zantrel::diff {

// A picture's raw device-independent bits as the bitmap holds them. height < 0 means the first
// row in memory is the top one (top-down), as in BITMAPINFOHEADER.
struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 0;
  std::vector<std::uint8_t> bits;
};

using DrawPicture = std::function<Picture()>;

struct Entry {
  std::string name;
  DrawPicture draw;
};

// Every registered picture, in registration order.
std::vector<Entry>& Catalogue();

// Registers a picture; returns true so a family can initialise a constant with it.
bool AddPicture(std::string name, DrawPicture draw);

// The bits of a surface's bitmap (bottom-up).
Picture Capture(const Surface& surface);

// The bits of any DIB section, found through GetObjectA; topDown says how its rows are stored,
// which only the caller knows.
Picture CaptureBitmap(HBITMAP bitmap, bool topDown = false);

}  // namespace zantrel::diff
