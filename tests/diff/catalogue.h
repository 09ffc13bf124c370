// The differential catalogue: pictures drawn natively and by the Windows build under Wine, each
// described as steps in pictures.txt.
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
// `bmp ...` (files.cpp); target is the surface a file loaded by a surface is copied onto.
Picture BitmapPicture(const Step& step, Surface& target);
std::uint32_t Hash(std::uint32_t i);  // noise

}  // namespace zantrel::diff
