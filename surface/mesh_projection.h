// Model coordinate to pixel arithmetic shared by the wireframe views and the shaded renderer.
#pragma once

#include <cstdint>
#include <limits>

#include "../field/wrap32.h"
#include "mesh.h"

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

constexpr bool IsMeshView(std::int32_t view) {
  return view == VIEW_FRONT || view == VIEW_TOP || view == VIEW_SIDE;
}

// The pixel of v in one of the three views (IsMeshView). The origin sum wraps like the 32-bit
// arithmetic it models.
constexpr MeshPixel ProjectVertex(const MeshVertex& v, const MeshOrigin& origin, std::int32_t view) {
  switch (view) {
    case VIEW_TOP:
      return {wrap32::Add(origin.x, TruncateCoordinate(v.x)),
              wrap32::Add(origin.y, TruncateCoordinate(v.z))};
    case VIEW_SIDE:
      return {wrap32::Sub(origin.x, TruncateCoordinate(v.z)),
              wrap32::Sub(origin.y, TruncateCoordinate(v.y))};
    default:  // VIEW_FRONT
      return {wrap32::Add(origin.x, TruncateCoordinate(v.x)),
              wrap32::Sub(origin.y, TruncateCoordinate(v.y))};
  }
}
