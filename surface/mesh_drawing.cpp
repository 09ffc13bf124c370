// The Surface mesh methods: each one instantiates its template with the surface as the canvas.
#include "surface/mesh_views.h"
#include "surface/shaded_mesh.h"
#include "surface/surface.h"

void Surface::DrawVertexMesh(ObjList<MeshVertex>& vertices, const MeshOrigin& origin,
                             std::int32_t view, Color color) {
  WalkVertexMesh(*this, vertices, origin, view, color, VertexWalk::kAll);
}

void Surface::DrawVertexMeshSkipVisited(ObjList<MeshVertex>& vertices, const MeshOrigin& origin,
                                        std::int32_t view, Color color) {
  WalkVertexMesh(*this, vertices, origin, view, color, VertexWalk::kSkipVisited);
}

void Surface::DrawVertexMeshInside(ObjList<MeshVertex>& vertices, const MeshOrigin& origin,
                                   std::int32_t view, Color color) {
  WalkVertexMesh(*this, vertices, origin, view, color, VertexWalk::kInside);
}

void Surface::DrawEdgeMesh(ObjList<MeshEdge>& edges, const MeshOrigin& origin, std::int32_t view,
                           Color color) {
  DrawEdges(*this, edges, origin, view, color);
}

void Surface::DrawTriangleMesh(ObjList<MeshTriangle>& triangles, const MeshOrigin& origin,
                               std::int32_t view, Color color) {
  DrawTriangleOutlines(*this, triangles, origin, view, color);
}

void Surface::DrawShadedMesh(ObjList<MeshVertex>&, ObjList<MeshTriangle>& triangles) {
  RenderShadedMesh(*this, triangles);
}
