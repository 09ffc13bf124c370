// Pictures of the drawing routines: contour frames of several scenes and grids, triangle fills,
// the three wireframe views and shaded meshes, on each depth where the routine allows it.
#include <cstdio>
#include <string>

#include "examples/shapes.h"
#include "field/ball_field.h"
#include "surface/mesh.h"
#include "surface/surface.h"
#include "tests/diff/catalogue.h"

namespace {

using zantrel::diff::AddPicture;
using zantrel::diff::Capture;

constexpr int kDepths[] = {16, 24, 32};

struct BallSetup {
  std::int32_t shape;
  std::uint32_t radius;
  std::int32_t x, y, scaleX, scaleY;
};

struct Scene {
  const char* name;
  std::vector<BallSetup> balls;
};

const Scene kScenes[] = {
    {"app", {{BALL_ROUND, 80, -50, 0, 2, 1}, {BALL_ROUND, 80, 50, 0, 1, 1},
             {BALL_SQUARE, 50, 0, 30, 2, 1}}},
    {"lone-round", {{BALL_ROUND, 80, 0, 0, 1, 1}}},
    {"lone-square", {{BALL_SQUARE, 50, 0, 30, 2, 1}}},
    {"merged", {{BALL_ROUND, 90, -30, -20, 1, 1}, {BALL_ROUND, 90, 30, 20, 1, 1}}},
    {"stretched", {{BALL_ROUND, 60, 0, 0, 3, 1}, {BALL_SQUARE, 40, 120, -120, 1, 2}}},
    {"off-centre", {{BALL_ROUND, 100, 190, 190, 1, 1}, {BALL_SQUARE, 60, -210, 0, 1, 1}}},
};

void Fill(BallField& field, const Scene& scene) {
  for (const BallSetup& b : scene.balls) {
    Ball* ball = field.AddBall(b.shape, b.radius);
    ball->centerX = b.x, ball->centerY = b.y, ball->scaleX = b.scaleX, ball->scaleY = b.scaleY;
  }
}

void AddContours() {
  for (const Scene& scene : kScenes) {
    for (std::int32_t cells : {200, 50, 13}) {
      AddPicture("contour-" + std::string(scene.name) + "-" + std::to_string(cells), [&scene, cells] {
        BallField field;
        Fill(field, scene);
        Surface surface;
        surface.Create(400, 400, 32);
        surface.SetPenColor(0x00FFFFFF);
        field.DrawContour(cells, 400, 400, 2, &surface);
        return Capture(surface);
      });
    }
  }
  for (int depth : {16, 24}) {
    AddPicture("contour-app-200-" + std::to_string(depth) + "bpp", [depth] {
      BallField field;
      Fill(field, kScenes[0]);
      Surface surface;
      surface.Create(400, 400, depth);
      surface.SetPenColor(0x0080FF40);
      field.DrawContour(200, 400, 400, 2, &surface);
      return Capture(surface);
    });
  }
}

struct TriangleCase {
  const char* name;
  std::int32_t x0, y0, x1, y1, x2, y2;
};

constexpr TriangleCase kTriangles[] = {
    {"isosceles", 0, 0, 10, 0, 5, 5},        {"scalene", 0, 0, 3, 7, 9, 2},
    {"scalene-reordered", 0, 0, 9, 2, 3, 7}, {"flat", 0, 3, 8, 3, 4, 3},
    {"column", 2, 1, 2, 6, 2, 4},            {"point", 5, 5, 5, 5, 5, 5},
    {"large", -20, 5, 60, 30, 10, 62},       {"clipped-left", -40, 10, 20, 20, -5, 60},
    {"clipped-bottom", 10, 40, 60, 70, 30, 90}, {"sliver", 0, 0, 63, 1, 62, 2},
    {"tall", 30, -100, 31, 199, 29, 50},     {"too-tall", 30, -100, 31, 200, 29, 50},
};

void AddFills() {
  for (const TriangleCase& t : kTriangles) {
    for (int depth : kDepths) {
      AddPicture("fill-" + std::string(t.name) + "-" + std::to_string(depth) + "bpp", [&t, depth] {
        Surface surface;
        surface.Create(64, 64, depth);
        surface.Clear(0x00203040);
        surface.SetPenColor(0x00E6AA50);
        surface.FillTriangle(t.x0 + 20, t.y0 + 20, t.x1 + 20, t.y1 + 20, t.x2 + 20, t.y2 + 20);
        return Capture(surface);
      });
    }
  }
}

enum class Wire { kVertex, kSkipVisited, kInside, kEdge, kTriangle };

void AddWireframes() {
  constexpr struct {
    const char* name;
    Wire wire;
  } kMethods[] = {{"vertex", Wire::kVertex}, {"skip-visited", Wire::kSkipVisited},
                  {"inside", Wire::kInside}, {"edge", Wire::kEdge}, {"triangle", Wire::kTriangle}};
  constexpr struct {
    const char* name;
    std::int32_t code;
  } kViews[] = {{"front", VIEW_FRONT}, {"top", VIEW_TOP}, {"side", VIEW_SIDE}, {"none", 4}};
  for (const auto& method : kMethods) {
    for (const auto& view : kViews) {
      const std::string name = std::string("wire-") + method.name + "-" + view.name;
      AddPicture(name, [wire = method.wire, code = view.code] {
        Mesh sphere, cube;
        BuildExampleScene(sphere, cube);
        Surface surface;
        surface.Create(400, 400, 32);
        const MeshOrigin origin{200, 200};
        for (Mesh* mesh : {&sphere, &cube}) {
          const Color color = mesh == &cube ? 0x00FFFFFF : 0x0000C0FF;
          switch (wire) {
            case Wire::kVertex: surface.DrawVertexMesh(mesh->vertices, origin, code, color); break;
            case Wire::kSkipVisited:
              surface.DrawVertexMeshSkipVisited(mesh->vertices, origin, code, color);
              break;
            case Wire::kInside: surface.DrawVertexMeshInside(mesh->vertices, origin, code, color); break;
            case Wire::kEdge: surface.DrawEdgeMesh(mesh->edges, origin, code, color); break;
            case Wire::kTriangle: surface.DrawTriangleMesh(mesh->triangles, origin, code, color); break;
          }
        }
        return Capture(surface);
      });
    }
  }
  // Part of a mesh: the inside walk keeps to the listed half, the others reach out of it.
  for (const auto& method : kMethods) {
    if (method.wire == Wire::kEdge || method.wire == Wire::kTriangle) continue;
    AddPicture(std::string("wire-") + method.name + "-half-sphere", [wire = method.wire] {
      Mesh sphere;
      BuildSphere(sphere, 150, 12, 20);
      ObjList<MeshVertex> half;
      for (ListNode<MeshVertex>* node = sphere.vertices.Head(); !node->isTail;) {
        node = node->next;
        if (node->item->x < 0) half.Append(node->item);
      }
      Surface surface;
      surface.Create(400, 400, 24);
      const MeshOrigin origin{210, 190};
      if (wire == Wire::kVertex) surface.DrawVertexMesh(half, origin, VIEW_FRONT, 0x0040FF40);
      if (wire == Wire::kSkipVisited) {
        surface.DrawVertexMeshSkipVisited(half, origin, VIEW_FRONT, 0x0040FF40);
      }
      if (wire == Wire::kInside) surface.DrawVertexMeshInside(half, origin, VIEW_FRONT, 0x0040FF40);
      return Capture(surface);
    });
  }
}

void AddShaded() {
  for (int depth : kDepths) {
    AddPicture("shaded-scene-" + std::to_string(depth) + "bpp", [depth] {
      Mesh sphere, cube;
      BuildExampleScene(sphere, cube);
      ObjList<MeshTriangle> scene;
      for (Mesh* mesh : {&sphere, &cube}) {
        for (ListNode<MeshTriangle>* node = mesh->triangles.Head(); !node->isTail;) {
          node = node->next;
          scene.Append(node->item);
        }
      }
      Surface surface;
      surface.Create(400, 400, depth);
      surface.DrawShadedMesh(sphere.vertices, scene);
      return Capture(surface);
    });
  }
  for (int turn = 0; turn < 6; ++turn) {
    AddPicture("shaded-cube-turn" + std::to_string(turn), [turn] {
      Mesh cube;
      BuildCube(cube, 70);
      RotateMesh(cube, 0.3 * turn, 0.5 * turn + 0.2);
      Surface surface;
      surface.Create(300, 240, 32);
      surface.DrawShadedMesh(cube.vertices, cube.triangles);
      return Capture(surface);
    });
  }
  AddPicture("shaded-empty", [] {
    ObjList<MeshVertex> vertices;
    ObjList<MeshTriangle> triangles;
    Surface surface;
    surface.Create(31, 17, 16);
    surface.DrawShadedMesh(vertices, triangles);
    return Capture(surface);
  });
}

const bool kRegistered = [] {
  AddContours();
  AddFills();
  AddWireframes();
  AddShaded();
  return true;
}();

}  // namespace
