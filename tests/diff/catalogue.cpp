#include "tests/diff/catalogue.h"

#include <stdexcept>

#include "surface/surface.h"

namespace zantrel::diff {

std::vector<Entry>& Catalogue() {
  static std::vector<Entry> entries;
  return entries;
}

bool AddPicture(std::string name, DrawPicture draw) {
  if (name.empty()) throw std::invalid_argument("empty picture name");
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                    c == '.';
    if (!ok) throw std::invalid_argument("bad picture name: " + name);
  }
  for (const Entry& entry : Catalogue()) {
    if (entry.name == name) throw std::invalid_argument("duplicate picture name: " + name);
  }
  Catalogue().push_back({std::move(name), std::move(draw)});
  return true;
}

Picture CaptureBitmap(HBITMAP bitmap, bool topDown) {
  BITMAP record{};
  Picture picture;
  if (!bitmap || GetObjectA(bitmap, sizeof record, &record) != sizeof record) return picture;
  picture.width = record.bmWidth;
  picture.height = topDown ? -record.bmHeight : record.bmHeight;
  picture.bitsPerPixel = record.bmBitsPixel;
  const std::size_t bytes = static_cast<std::size_t>(record.bmWidthBytes) *
                            static_cast<std::size_t>(record.bmHeight);
  const auto* bits = static_cast<const std::uint8_t*>(record.bmBits);
  if (bits) picture.bits.assign(bits, bits + bytes);
  return picture;
}

Picture Capture(const Surface& surface) { return CaptureBitmap(surface.bitmap); }

}  // namespace zantrel::diff
