// The differential catalogue: pictures drawn by the native build and by the Windows build under
// Wine and compared byte for byte, each described as steps in pictures.txt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "surface/surface.h"

namespace zantrel::diff {

// Raw device-independent bits as a bitmap holds them, bottom row first.
struct Picture {
  std::int32_t width = 0, height = 0, bitsPerPixel = 0;
  std::vector<std::uint8_t> bits;
};

using Step = std::vector<std::string>;  // a command and its arguments

// Runs steps separated by semicolons; throws std::exception on a bad step.
Picture DrawSteps(const std::string& steps);
Picture CaptureBitmap(HBITMAP bitmap);
// The bitmap steps (files.cpp): `bmp ...`, and `file S HEADER BPP BITFIELDS` loaded by surface S.
Picture BitmapPicture(const Step& step);
Picture SurfaceFile(const Step& step, Surface& target);

}  // namespace zantrel::diff
