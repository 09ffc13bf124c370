// Clears of a whole surface on each depth, with colours that exercise each depth's rounding; at
// 12 pixels wide no depth pads its rows, so the rows are one run of memory.
#include <cstdio>

#include "surface/surface.h"
#include "tests/diff/catalogue.h"

namespace {

constexpr int kDepths[] = {16, 24, 32};
constexpr Color kColors[] = {0x00000000, 0x00FFFFFF, 0x00123456, 0x00070F1F, 0x00F8F8F8};
struct Shape {
  int width;
  const char* kind;  // name prefix
};
constexpr Shape kShapes[] = {{13, ""}, {12, "unpadded-"}};

const bool kRegistered = [] {
  for (int depth : kDepths) {
    for (Color color : kColors) {
      for (const Shape& shape : kShapes) {
        char name[48];
        std::snprintf(name, sizeof name, "clear-%s%dbpp-%06x", shape.kind, depth,
                      static_cast<unsigned>(color));
        zantrel::diff::AddPicture(name, [depth, color, &shape] {
          Surface surface;
          surface.Create(shape.width, 7, depth);
          surface.Clear(color);
          return zantrel::diff::Capture(surface);
        });
      }
    }
  }
  return true;
}();

}  // namespace
