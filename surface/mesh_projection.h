// Model coordinate to pixel arithmetic shared by the wireframe views and the shaded renderer.
#pragma once

#include <cstdint>
#include <limits>

#include "field/wrap32.h"
#include "surface/mesh.h"

struct MeshPixel {
  std::int32_t x;
  std::int32_t y;
};

// Truncation toward zero. Coordinates are meant to fit in 32 bits; those that do not saturate
// (and NaN gives 0) rather than invoke the undefined conversion.
constexpr std::int32_t TruncateCoordinate(double w) {
  if (!(w == w)) return 0;
  if (w >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (w <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(w);
}

// The pixel of v in a view, or false for a view code that is not one of the three. The origin
// sum wraps like the 32-bit arithmetic it models.
constexpr bool ProjectVertex(const MeshVertex& v, const MeshOrigin& origin, std::int32_t view,
                             MeshPixel& pixel) {
  switch (view) {
    case VIEW_FRONT:
      pixel = {wrap32::Add(origin.x, TruncateCoordinate(v.x)),
               wrap32::Sub(origin.y, TruncateCoordinate(v.y))};
      return true;
    case VIEW_TOP:
      pixel = {wrap32::Add(origin.x, TruncateCoordinate(v.x)),
               wrap32::Add(origin.y, TruncateCoordinate(v.z))};
      return true;
    case VIEW_SIDE:
      pixel = {wrap32::Sub(origin.x, TruncateCoordinate(v.z)),
               wrap32::Sub(origin.y, TruncateCoordinate(v.y))};
      return true;
    default:
      return false;
  }
}
