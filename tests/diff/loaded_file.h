// A bitmap file as the platform's loader gives it, as one catalogue picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/diff/catalogue.h"

namespace zantrel::diff {

// Loads the file's bytes with LoadImageA. A refused file gives an empty picture holding one zero
// byte. A loaded one gives its width, height and depth, and as bits: its GetObjectA record, its
// own bits, the picture copied with BitBlt into zeroed 32, 24 and 16 bpp DIB sections, and its
// bits again after pixels and a line were drawn on it in its own format.
Picture LoadedFilePicture(const std::string& name, const std::vector<std::uint8_t>& file);

// Registers one loaded-file picture per (name, file) pair.
struct NamedFile {
  std::string name;
  std::vector<std::uint8_t> bytes;
};
void AddFilePictures(const std::string& prefix, std::vector<NamedFile> files);

}  // namespace zantrel::diff
