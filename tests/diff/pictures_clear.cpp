// Clears of a whole surface on each depth, with colours that exercise each depth's rounding.
#include <cstdio>

#include "surface/surface.h"
#include "tests/diff/catalogue.h"

namespace {

constexpr int kDepths[] = {16, 24, 32};
constexpr Color kColors[] = {0x00000000, 0x00FFFFFF, 0x00123456, 0x00070F1F, 0x00F8F8F8};

const bool kRegistered = [] {
  for (int depth : kDepths) {
    for (Color color : kColors) {
      char name[48];
      std::snprintf(name, sizeof name, "clear-%dbpp-%06x", depth, static_cast<unsigned>(color));
      zantrel::diff::AddPicture(name, [depth, color] {
        Surface surface;
        surface.Create(13, 7, depth);
        surface.Clear(color);
        return zantrel::diff::Capture(surface);
      });
    }
  }
  return true;
}();

}  // namespace
