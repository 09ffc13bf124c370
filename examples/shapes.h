// Small meshes for the examples, the picture catalogue and the benchmarks: a cube and a UV
// sphere, centred on the model origin, with symmetric adjacency, an edge list and outward-facing
// triangles (counter-clockwise seen from outside).
#pragma once

#include <cstdint>

#include "surface/mesh.h"

// Owns its records; the lists hold pointers only.
struct Mesh {
  ObjList<MeshVertex> vertices;
  ObjList<MeshEdge> edges;
  ObjList<MeshTriangle> triangles;

  Mesh() = default;
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;
  ~Mesh();

  MeshVertex* AddVertex(double x, double y, double z);
  // Links a and b as neighbours and lists the edge, once per pair.
  void Connect(MeshVertex* a, MeshVertex* b);
  // Adds the triangle turned to face away from the origin, and connects its sides.
  void AddTriangle(MeshVertex* p, MeshVertex* q, MeshVertex* r);
  std::int32_t TriangleCount() const;
};

// A cube of edge 2 * half: 8 vertices, 12 edges, 12 triangles.
void BuildCube(Mesh& mesh, double half);
// A UV sphere: rings bands from pole to pole, segments around; 2 * segments * (rings - 1)
// triangles (rings 22, segments 46: 1932).
void BuildSphere(Mesh& mesh, double radius, std::int32_t rings, std::int32_t segments);
// Turns every vertex by the given angles (radians), about x first, then about y.
void RotateMesh(Mesh& mesh, double aboutX, double aboutY);
void TranslateMesh(Mesh& mesh, double dx, double dy, double dz);

// The example scene: a 1932-triangle sphere left of centre and a turned cube in front of it
// to the right, sized for a 400 x 400 picture with the model origin at its centre.
void BuildExampleScene(Mesh& sphere, Mesh& cube);
