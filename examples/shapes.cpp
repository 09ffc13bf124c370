#include "examples/shapes.h"

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

template <class T>
void DeleteItems(ObjList<T>& list) {
  for (ListNode<T>* node = list.Head(); !node->isTail;) {
    node = node->next;
    delete node->item;
  }
  list.Clear();
}

}  // namespace

Mesh::~Mesh() {
  DeleteItems(triangles);
  DeleteItems(edges);
  DeleteItems(vertices);
}

MeshVertex* Mesh::AddVertex(double x, double y, double z) {
  auto* v = new MeshVertex;
  v->x = x;
  v->y = y;
  v->z = z;
  vertices.Append(v);
  return v;
}

void Mesh::Connect(MeshVertex* a, MeshVertex* b) {
  if (a == b || a->neighbours.Find(b)) return;
  a->neighbours.Append(b);
  b->neighbours.Append(a);
  edges.Append(new MeshEdge{a, b});
}

void Mesh::AddTriangle(MeshVertex* p, MeshVertex* q, MeshVertex* r) {
  const double e1x = q->x - p->x, e1y = q->y - p->y, e1z = q->z - p->z;
  const double e2x = r->x - p->x, e2y = r->y - p->y, e2z = r->z - p->z;
  const double nx = e1y * e2z - e1z * e2y, ny = e1z * e2x - e1x * e2z, nz = e1x * e2y - e1y * e2x;
  const double outward = nx * (p->x + q->x + r->x) + ny * (p->y + q->y + r->y) +
                         nz * (p->z + q->z + r->z);
  if (outward < 0) std::swap(q, r);
  triangles.Append(new MeshTriangle{p, q, r});
  Connect(p, q);
  Connect(q, r);
  Connect(r, p);
}

std::int32_t Mesh::TriangleCount() const {
  std::int32_t count = 0;
  for (const ListNode<MeshTriangle>* node = triangles.Head(); !node->isTail; node = node->next) {
    ++count;
  }
  return count;
}

void BuildCube(Mesh& mesh, double half) {
  MeshVertex* corner[8];
  for (int i = 0; i < 8; ++i) {
    corner[i] = mesh.AddVertex(i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half);
  }
  // Two triangles per face, each face given by its four corners around it.
  constexpr int kFaces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
  for (const auto& f : kFaces) {
    mesh.AddTriangle(corner[f[0]], corner[f[1]], corner[f[2]]);
    mesh.AddTriangle(corner[f[0]], corner[f[2]], corner[f[3]]);
  }
}

void BuildSphere(Mesh& mesh, double radius, std::int32_t rings, std::int32_t segments) {
  if (rings < 2 || segments < 3) return;
  using std::numbers::pi;
  MeshVertex* north = mesh.AddVertex(0, radius, 0);
  MeshVertex* south = mesh.AddVertex(0, -radius, 0);
  // ring r (1 .. rings - 1) at polar angle r * pi / rings; vertex (r, s) at index
  // (r - 1) * segments + s of the band table.
  auto vertexAt = [segments](std::int32_t r, std::int32_t s) {
    return static_cast<std::size_t>((r - 1) * segments + (s % segments));
  };
  const std::int32_t bands = rings - 1;
  std::vector<MeshVertex*> band(static_cast<std::size_t>(bands * segments));
  for (std::int32_t r = 1; r < rings; ++r) {
    const double polar = pi * r / rings;
    for (std::int32_t s = 0; s < segments; ++s) {
      const double azimuth = 2 * pi * s / segments;
      band[vertexAt(r, s)] = mesh.AddVertex(radius * std::sin(polar) * std::cos(azimuth),
                                      radius * std::cos(polar),
                                      radius * std::sin(polar) * std::sin(azimuth));
    }
  }
  for (std::int32_t s = 0; s < segments; ++s) {
    mesh.AddTriangle(north, band[vertexAt(1, s)], band[vertexAt(1, s + 1)]);
    for (std::int32_t r = 1; r < bands; ++r) {
      mesh.AddTriangle(band[vertexAt(r, s)], band[vertexAt(r + 1, s)], band[vertexAt(r + 1, s + 1)]);
      mesh.AddTriangle(band[vertexAt(r, s)], band[vertexAt(r + 1, s + 1)], band[vertexAt(r, s + 1)]);
    }
    mesh.AddTriangle(south, band[vertexAt(bands, s + 1)], band[vertexAt(bands, s)]);
  }
}

void RotateMesh(Mesh& mesh, double aboutX, double aboutY) {
  const double cx = std::cos(aboutX), sx = std::sin(aboutX);
  const double cy = std::cos(aboutY), sy = std::sin(aboutY);
  for (ListNode<MeshVertex>* node = mesh.vertices.Head(); !node->isTail;) {
    node = node->next;
    MeshVertex& v = *node->item;
    const double y = v.y * cx - v.z * sx;
    const double z1 = v.y * sx + v.z * cx;
    const double x = v.x * cy + z1 * sy;
    const double z = -v.x * sy + z1 * cy;
    v.x = x;
    v.y = y;
    v.z = z;
  }
}

void TranslateMesh(Mesh& mesh, double dx, double dy, double dz) {
  for (ListNode<MeshVertex>* node = mesh.vertices.Head(); !node->isTail;) {
    node = node->next;
    node->item->x += dx;
    node->item->y += dy;
    node->item->z += dz;
  }
}

void BuildExampleScene(Mesh& sphere, Mesh& cube) {
  using std::numbers::pi;
  BuildSphere(sphere, 110, 22, 46);
  RotateMesh(sphere, pi / 7, pi / 9);
  TranslateMesh(sphere, -55, 0, 0);
  BuildCube(cube, 45);
  RotateMesh(cube, pi / 6, pi / 5);
  TranslateMesh(cube, 120, 20, 90);
}
