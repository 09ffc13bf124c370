// The catalogue's pictures: drawing steps (steps.cpp) and bitmaps made from files (files.cpp).
#pragma once

#include <string>
#include <vector>

#include "surface/surface.h"

namespace zantrel::diff {

struct Picture {  // raw device-independent bits as a bitmap holds them, bottom row first
  std::int32_t width = 0, height = 0, bitsPerPixel = 0;
  std::vector<std::uint8_t> bits;
};
using Step = std::vector<std::string>;  // a command and its arguments

Picture DrawSteps(const std::string& steps);  // separated by semicolons; throws on a bad one
Picture CaptureBitmap(HBITMAP bitmap);
// `bmp ...`; target is the surface a file loaded by a surface is copied onto.
Picture BitmapPicture(const Step& step, Surface& target);
std::uint32_t Hash(std::uint32_t i);  // noise

}  // namespace zantrel::diff
