// Mesh records for the wireframe views and the shaded renderer.
//
// A mesh is plain records joined by pointers; whoever builds it links and frees them. Lists hold
// pointers only, so one vertex may be reachable from the vertex list, from its neighbours'
// `neighbours` lists, and from edges and triangles. Adjacency should be symmetric (u names v
// exactly when v names u) for every edge to be drawn once by the vertex walks.
//
// Views map model coordinates to pixels around an origin; T truncates toward zero:
//   VIEW_FRONT  (origin.x + T(x), origin.y - T(y))   z not shown, y up
//   VIEW_TOP    (origin.x + T(x), origin.y + T(z))   y not shown, z down
//   VIEW_SIDE   (origin.x - T(z), origin.y - T(y))   x not shown, z left
// Any other view code draws nothing.
#pragma once

#include <cstdint>

#include "../field/obj_list.h"

struct MeshVertex {
  double x = 0;
  double y = 0;
  double z = 0;
  ObjList<MeshVertex> neighbours;
  std::uint8_t visited = 0;  // 1 only while a vertex walk is running
};

struct MeshEdge {
  MeshVertex* a = nullptr;
  MeshVertex* b = nullptr;
};

// Corners counter-clockwise as seen from positive z (x right, y up) face the viewer.
struct MeshTriangle {
  MeshVertex* p = nullptr;
  MeshVertex* q = nullptr;
  MeshVertex* r = nullptr;
};

// The pixel on which model point (0, 0, 0) lands.
struct MeshOrigin {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

constexpr std::int32_t VIEW_FRONT = 1;
constexpr std::int32_t VIEW_TOP = 2;
constexpr std::int32_t VIEW_SIDE = 3;
