// The flat-shaded renderer as a template over the canvas (width, height, Clear, SetPenColor,
// FillTriangle), so tests can record every fill; Surface::DrawShadedMesh instantiates it.
//
// Painter's order: triangles are insertion-sorted by the sum of their corners' z into a fixed
// table and filled back to front. A triangle goes in front of those with an equal key, so among
// equal keys the later one in the list is filled first.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "../field/wrap32.h"
#include "color.h"
#include "mesh.h"
#include "mesh_projection.h"

constexpr Color kMeshClearColor = 0x00555555;
constexpr std::int32_t kSortSlots = 10000;
// Slots 1..N hold the sorted triangles and slot N + 1 must stay empty to end the sequence.
// Triangles past this many in a list are ignored: the tables are never outgrown.
constexpr std::int32_t kMaxShadedTriangles = kSortSlots - 2;

struct SortSlot {
  MeshTriangle* triangle;
  std::int32_t key;  // index into the key array; 0 marks an empty slot
};

// z of the unit normal of triangle PQR, 0 for a degenerate one (zero or NaN length).
inline double FacingZ(const MeshVertex& p, const MeshVertex& q, const MeshVertex& r) {
  const double e1x = q.x - p.x, e1y = q.y - p.y, e1z = q.z - p.z;
  const double e2x = r.x - p.x, e2y = r.y - p.y, e2z = r.z - p.z;
  const double nx = e1y * e2z - e1z * e2y;
  const double ny = e1z * e2x - e1x * e2z;
  const double nz = e1x * e2y - e1y * e2x;
  const double length2 = nx * nx + ny * ny + nz * nz;
  if (length2 == 0 || std::isnan(length2)) return 0;
  return nz / std::sqrt(length2);
}

// Full brightness 230, 170, 80 scaled by the facing; d is in (0, 1].
inline Color ShadeColor(double d) {
  const auto channel = [d](double full) {
    return static_cast<Color>(static_cast<std::int32_t>(full * d) & 0xFF);
  };
  return channel(230) + 256 * channel(170) + 65536 * channel(80);
}

template <class Canvas>
void RenderShadedMesh(Canvas& canvas, ObjList<MeshTriangle>& triangles) {
  const std::int32_t cx = canvas.width / 2;
  const std::int32_t cy = canvas.height / 2;
  canvas.Clear(kMeshClearColor);

  std::array<SortSlot, kSortSlots> slots{};
  std::array<double, kSortSlots> keys;  // each written before it is read
  std::int32_t k = 1;
  for (ListNode<MeshTriangle>* node = triangles.Head(); !node->isTail && k <= kMaxShadedTriangles;) {
    node = node->next;
    MeshTriangle* t = node->item;
    keys[k] = t->p->z + t->q->z + t->r->z;
    std::int32_t i = 1;
    while (slots[i].key != 0 && keys[k] > keys[slots[i].key]) ++i;
    std::int32_t empty = i;
    while (slots[empty].key != 0) ++empty;
    for (std::int32_t j = empty - 1; j >= i; --j) slots[j + 1] = slots[j];
    slots[i] = {t, k};
    ++k;
  }

  const MeshOrigin centre{cx, cy};
  for (std::int32_t i = 1; slots[i].key != 0; ++i) {
    const MeshTriangle& t = *slots[i].triangle;
    const double d = FacingZ(*t.p, *t.q, *t.r);
    if (!(d > 0)) continue;  // facing away, edge-on or degenerate
    const MeshPixel p = ProjectVertex(*t.p, centre, VIEW_FRONT);
    const MeshPixel q = ProjectVertex(*t.q, centre, VIEW_FRONT);
    const MeshPixel r = ProjectVertex(*t.r, centre, VIEW_FRONT);
    canvas.SetPenColor(ShadeColor(d));
    canvas.FillTriangle(p.x, p.y, q.x, q.y, r.x, r.y);
  }
}
