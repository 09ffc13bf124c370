// The differential catalogue: pictures drawn by the native build and by the Windows build under
// Wine and compared byte for byte, each described as drawing steps in pictures.txt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace zantrel::diff {

// Raw device-independent bits as a bitmap holds them, bottom row first.
struct Picture {
  std::int32_t width = 0, height = 0, bitsPerPixel = 0;
  std::vector<std::uint8_t> bits;
};

using Step = std::vector<std::string>;  // a command and its arguments

// Runs the steps and returns their picture; throws std::invalid_argument on an unknown command
// or a bad argument.
Picture DrawSteps(const std::vector<Step>& steps);

// The bits of any DIB section, found through GetObjectA.
Picture CaptureBitmap(HBITMAP bitmap);

// `bmp ...`: a bitmap file built from fields and loaded with LoadImageA, or a DIB section made
// with CreateDIBSection, and what the platform made of it (files.cpp).
Picture BitmapPicture(const Step& step);

}  // namespace zantrel::diff
