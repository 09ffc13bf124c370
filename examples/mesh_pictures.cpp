// zantrel-mesh-pictures OUTDIR: draws a cube and a sphere of 1932 triangles in the three
// wireframe views and flat-shaded, and writes each picture as a 32 bpp bitmap file.
#include <cstdio>
#include <string>

#include "examples/shapes.h"
#include "surface/mesh.h"
#include "surface/surface.h"
#include "tools/bitmap_writer.h"

namespace {

constexpr std::int32_t kSize = 400;
constexpr Color kSphereColor = 0x0000C0FF;
constexpr Color kCubeColor = 0x00FFFFFF;

bool Write(const Surface& surface, const std::string& path) {
  const bool ok = WriteBitmapFile(path.c_str(), surface.pixels, surface.width, surface.height);
  std::printf("%s %s\n", ok ? "wrote" : "cannot write", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zantrel-mesh-pictures OUTDIR\n");
    return 2;
  }
  const std::string folder = argv[1];
  Mesh sphere, cube;
  BuildExampleScene(sphere, cube);

  Surface surface;
  if (!surface.Create(kSize, kSize, 32)) return 1;
  const MeshOrigin centre{kSize / 2, kSize / 2};
  bool ok = true;

  surface.Clear(0);
  surface.DrawVertexMesh(sphere.vertices, centre, VIEW_FRONT, kSphereColor);
  surface.DrawVertexMesh(cube.vertices, centre, VIEW_FRONT, kCubeColor);
  ok &= Write(surface, folder + "/mesh-front.bmp");

  surface.Clear(0);
  surface.DrawEdgeMesh(sphere.edges, centre, VIEW_TOP, kSphereColor);
  surface.DrawEdgeMesh(cube.edges, centre, VIEW_TOP, kCubeColor);
  ok &= Write(surface, folder + "/mesh-top.bmp");

  surface.Clear(0);
  surface.DrawTriangleMesh(sphere.triangles, centre, VIEW_SIDE, kSphereColor);
  surface.DrawTriangleMesh(cube.triangles, centre, VIEW_SIDE, kCubeColor);
  ok &= Write(surface, folder + "/mesh-side.bmp");

  // One triangle list over both meshes; the lists hold pointers only.
  ObjList<MeshTriangle> scene;
  for (Mesh* mesh : {&sphere, &cube}) {
    for (ListNode<MeshTriangle>* node = mesh->triangles.Head(); !node->isTail;) {
      node = node->next;
      scene.Append(node->item);
    }
  }
  ObjList<MeshVertex> noVertices;
  surface.DrawShadedMesh(noVertices, scene);
  ok &= Write(surface, folder + "/mesh-shaded.bmp");
  return ok ? 0 : 1;
}
