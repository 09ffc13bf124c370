// zantrel-mesh-pictures OUTDIR: draws a cube and a sphere of 1932 triangles in the three
// wireframe views and flat-shaded, and writes each picture as a 32 bpp bitmap file.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "examples/shapes.h"
#include "surface/mesh.h"
#include "surface/surface.h"
#include "tools/bitmap_writer.h"
#include "platform/program_options.h"

namespace {

constexpr std::int32_t kSize = 400;
constexpr Color kSphereColor = 0x0000C0FF;
constexpr Color kCubeColor = 0x00FFFFFF;

constexpr ProgramInfo kProgram{
    "zantrel-mesh-pictures", "OUTDIR",
    "Draws a cube and a sphere of 1932 triangles in the three wireframe views (front, top, side)\n"
    "and flat-shaded, and writes each as a 400 x 400 32-bit bitmap file into OUTDIR, which is\n"
    "created when missing.",
    {}};

// The one OUTDIR argument, or the status to exit with.
std::optional<int> ReadArguments(int argc, char** argv, std::string& folder) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (const std::optional<int> status = AnswerStandardOption(kProgram, argument)) return status;
    if (IsOption(argument) || !folder.empty()) {
      return RejectUnexpectedArgument(kProgram, argument, "only one OUTDIR is taken");
    }
    if (argument.empty()) return RejectArgument(kProgram, "", "OUTDIR is empty");
    folder = argument;
  }
  if (folder.empty()) return RejectArgument(kProgram, "", "missing OUTDIR");
  return std::nullopt;
}

bool Write(const Surface& surface, const std::string& path) {
  const bool ok = WriteBitmapFile(path.c_str(), surface.pixels, surface.width, surface.height);
  std::printf("%s %s\n", ok ? "wrote" : "cannot write", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  if (const std::optional<int> status = ReadArguments(argc, argv, folder)) return *status;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "zantrel-mesh-pictures: cannot create %s: %s\n", folder.c_str(),
                 error.message().c_str());
    return 1;
  }
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
