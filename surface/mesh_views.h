// The wireframe views as templates over the canvas (SetPenColor(color), DrawLine(x0, y0, x1, y1)),
// so tests can record every line in order; the Surface methods instantiate them with the surface.
// None of them allocates.
#pragma once

#include <cstdint>

#include "color.h"
#include "mesh.h"
#include "mesh_projection.h"

enum class VertexWalk {
  kAll,          // every listed vertex, lines to every unvisited neighbour
  kSkipVisited,  // as kAll, but a listed vertex already visited is skipped
  kInside,       // as kAll, but only to neighbours that are themselves listed
};

template <class Canvas>
void DrawMeshLine(Canvas& canvas, const MeshVertex& from, const MeshVertex& to,
                  const MeshOrigin& origin, std::int32_t view) {
  const MeshPixel a = ProjectVertex(from, origin, view);
  const MeshPixel b = ProjectVertex(to, origin, view);
  canvas.DrawLine(a.x, a.y, b.x, b.y);
}

// Each edge between listed vertices is drawn once, from the end that comes first in the list:
// by the later end's turn the earlier one is visited. The flags are cleared on every listed
// vertex before returning, whatever the view.
template <class Canvas>
void WalkVertexMesh(Canvas& canvas, ObjList<MeshVertex>& vertices, const MeshOrigin& origin,
                    std::int32_t view, Color color, VertexWalk walk) {
  canvas.SetPenColor(color);
  if (IsMeshView(view)) {
    for (ListNode<MeshVertex>* node = vertices.Head(); !node->isTail;) {
      node = node->next;
      MeshVertex& s = *node->item;
      if (walk == VertexWalk::kSkipVisited && s.visited) continue;
      for (ListNode<MeshVertex>* edge = s.neighbours.Head(); !edge->isTail;) {
        edge = edge->next;
        MeshVertex& n = *edge->item;
        // The membership test comes first, visited neighbour or not: the cost that
        // Surface::DrawVertexMeshInside states, a search of the list per neighbour entry.
        if (walk == VertexWalk::kInside && !vertices.Find(&n)) continue;
        if (!n.visited) DrawMeshLine(canvas, s, n, origin, view);
      }
      s.visited = 1;
    }
  }
  for (ListNode<MeshVertex>* node = vertices.Head(); !node->isTail;) {
    node = node->next;
    node->item->visited = 0;
  }
}

template <class Canvas>
void DrawEdges(Canvas& canvas, ObjList<MeshEdge>& edges, const MeshOrigin& origin,
               std::int32_t view, Color color) {
  canvas.SetPenColor(color);
  if (!IsMeshView(view)) return;
  for (ListNode<MeshEdge>* node = edges.Head(); !node->isTail;) {
    node = node->next;
    DrawMeshLine(canvas, *node->item->a, *node->item->b, origin, view);
  }
}

// Shared edges are drawn once per triangle.
template <class Canvas>
void DrawTriangleOutlines(Canvas& canvas, ObjList<MeshTriangle>& triangles,
                          const MeshOrigin& origin, std::int32_t view, Color color) {
  canvas.SetPenColor(color);
  if (!IsMeshView(view)) return;
  for (ListNode<MeshTriangle>* node = triangles.Head(); !node->isTail;) {
    node = node->next;
    const MeshTriangle& t = *node->item;
    DrawMeshLine(canvas, *t.p, *t.q, origin, view);
    DrawMeshLine(canvas, *t.q, *t.r, origin, view);
    DrawMeshLine(canvas, *t.r, *t.p, origin, view);
  }
}
