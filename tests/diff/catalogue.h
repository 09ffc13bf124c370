// The differential catalogue: pictures drawn by the native build and by the Windows build under
// Wine and compared byte for byte. Most are drawing steps in pictures.txt; generated bitmap-file
// families register themselves from their own pictures_*.cpp with AddPicture.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace zantrel::diff {

// A picture's raw device-independent bits as the bitmap holds them. height < 0 means the first
// row in memory is the top one (top-down), as in BITMAPINFOHEADER.
struct Picture {
  std::int32_t width = 0, height = 0, bitsPerPixel = 0;
  std::vector<std::uint8_t> bits;
};

using Step = std::vector<std::string>;  // a command and its arguments

// Runs the steps of pictures.txt and returns surface A's picture; throws std::invalid_argument
// on an unknown command or a bad argument.
Picture DrawSteps(const std::vector<Step>& steps);

// Registers a generated picture; returns true so a family can initialise a constant with it.
bool AddPicture(std::string name, std::function<Picture()> draw);

// The bits of any DIB section, found through GetObjectA; topDown says how its rows are stored,
// which only the caller knows.
Picture CaptureBitmap(HBITMAP bitmap, bool topDown = false);

}  // namespace zantrel::diff
