// Wireframe views and the flat-shaded renderer, recorded call by call through a canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

#include "examples/shapes.h"
#include "surface/mesh_views.h"
#include "surface/shaded_mesh.h"
#include "surface/surface.h"

namespace {

using Call = std::vector<std::int64_t>;  // line x0 ... y1; fill colour, x0 ... y2; clear colour

struct Canvas {
  int width = 400, height = 300;  // not square, so the centre shows which is which
  Color pen = 0;
  std::vector<Call> calls;
  void Clear(Color c) { calls.push_back({c}); }
  void SetPenColor(Color c) { pen = c; }
  void DrawLine(auto... ends) { calls.push_back({ends...}); }
  void FillTriangle(auto... corners) { calls.push_back({pen, corners...}); }
};

template <class T>
ObjList<T>& List(ObjList<T>&& list, const std::vector<T*>& items) {
  for (T* item : items) list.Append(item);
  return list;
}

using Pairs = std::vector<std::pair<MeshVertex*, MeshVertex*>>;

// The lines between the pairs where a view around (100, 100) puts them, T truncating toward zero:
// front (x, -y), top (x, z), side (-z, -y); any other view code draws nothing.
std::vector<Call> Lines(const Pairs& pairs, std::int32_t view) {
  std::vector<Call> lines;
  for (auto [u, v] : view >= VIEW_FRONT && view <= VIEW_SIDE ? pairs : Pairs{}) {
    Call& line = lines.emplace_back();
    for (const MeshVertex* w : {u, v}) {
      const std::int64_t x = std::trunc(w->x), y = std::trunc(w->y), z = std::trunc(w->z);
      line.insert(line.end(), {view == VIEW_SIDE ? 100 - z : 100 + x,
                               view == VIEW_TOP ? 100 + z : 100 - y});
    }
  }
  return lines;
}

TEST(MeshViews, DrawEveryEdgeOnceFromItsEarlierListedEndWhereTheViewPutsIt) {
  Mesh m;  // a quadrilateral a b c d whose corners lie apart in every view
  MeshVertex *a = m.AddVertex(-2.5, 2.5, 7), *b = m.AddVertex(12.9, -2.9, 0.5),
             *c = m.AddVertex(10, 9.5, -3.7), *d = m.AddVertex(0.2, 10, 4.9);
  for (auto [u, v] : {std::pair{a, b}, {b, c}, {c, d}, {d, a}}) m.Connect(u, v);
  using enum VertexWalk;
  const std::tuple<std::vector<MeshVertex*>, VertexWalk, Pairs> cases[] = {
      {{a, b, c, d}, kAll, {{a, b}, {a, d}, {b, c}, {c, d}}},  // listed, walk, lines drawn
      {{a, b}, kInside, {{a, b}}},
      {{a, b, a}, kAll, {{a, b}, {a, d}, {b, c}, {a, d}}},  // d is not listed
      {{a, b, a}, kSkipVisited, {{a, b}, {a, d}, {b, c}}},
  };
  MeshTriangle t{a, b, c};
  for (std::int32_t view = 0; view <= 4; ++view) {
    for (const auto& [listed, walk, lines] : cases) {
      Canvas canvas;
      WalkVertexMesh(canvas, List(ObjList<MeshVertex>{}, listed), {100, 100}, view, 7, walk);
      EXPECT_EQ(canvas.calls, Lines(lines, view)) << static_cast<int>(walk) << " view " << view;
      EXPECT_EQ(canvas.pen, 7u);
    }
    Canvas canvas;
    DrawTriangleOutlines(canvas, List(ObjList<MeshTriangle>{}, {&t}), {100, 100}, view, 7);
    DrawEdges(canvas, m.edges, {100, 100}, view, 7);
    EXPECT_EQ(canvas.calls, Lines({{a, b}, {b, c}, {c, a}, {a, b}, {b, c}, {c, d}, {d, a}}, view));
  }
  for (auto [w, pixel] : {std::pair{std::nan(""), 0}, {1e300, INT32_MAX}, {-1e300, INT32_MIN}}) {
    EXPECT_EQ(TruncateCoordinate(w), pixel) << w;  // NaN counts as 0, the rest saturates
  }
  Surface s;  // each Surface method draws its view, here around an origin of its own, in 24 bpp
  ASSERT_TRUE(s.Create(60, 60, 24));
  s.DrawShadedMesh(m.vertices, List(ObjList<MeshTriangle>{}, {&t}));  // first: it clears
  s.DrawVertexMesh(List(ObjList<MeshVertex>{}, {a, b}), {10, 10}, VIEW_FRONT, 0x0000FF);
  s.DrawVertexMeshSkipVisited(List(ObjList<MeshVertex>{}, {a}), {40, 10}, VIEW_TOP, 0x00FF00);
  s.DrawVertexMeshInside(List(ObjList<MeshVertex>{}, {c, d}), {10, 40}, VIEW_SIDE, 0xFF0000);
  s.DrawTriangleMesh(List(ObjList<MeshTriangle>{}, {&t}), {40, 40}, VIEW_FRONT, 0xFFFF00);
  s.DrawEdgeMesh(m.edges, {25, 25}, VIEW_SIDE, 0x00FFFF);
  for (auto [x, y, ink] : {std::tuple{10, 0, 0x0000FFu}, {52, 10, 0x00FF00u}, {6, 30, 0xFF0000u},
                           {50, 31, 0xFFFF00u}, {21, 15, 0x00FFFFu}, {59, 59, 0x555555u},
                           {36, 28, 63 * 65536 + 135 * 256 + 183u}}) {  // t: d = 0.797
    EXPECT_EQ(GetPixel(s.dc, x, y), ink) << x << "," << y;
  }
}

TEST(ShadedMesh, PaintsWhatFacesTheViewerBackToFrontShadedByTheNormalsZ) {
  Mesh m;
  MeshVertex *o = m.AddVertex(0, 0, 0), *x = m.AddVertex(10, 0, 0), *y = m.AddVertex(0, 10, 0);
  MeshTriangle triangles[] = {{o, y, x},                         // facing away
                              {o, y, m.AddVertex(0, 0, 10)},     // edge-on
                              {o, o, o},                         // a point
                              {o, x, m.AddVertex(0, 0.01, 10)},  // 0 < d < 1 / 230: black
                              {o, x, m.AddVertex(0, 10, 10)},    // d = 1 / sqrt(2)
                              {o, x, y}};  // facing, z sum 0: painted first, though listed last
  ObjList<MeshTriangle> list;
  for (MeshTriangle& t : triangles) list.Append(&t);
  Canvas canvas;
  RenderShadedMesh(canvas, list);
  const Call facing{230 + 256 * 170 + 65536 * 80, 200, 150, 210, 150, 200, 140};  // 400 x 300
  const Color half = 162 + 256 * 120 + 65536 * 56;  // 230, 170, 80 times 0.7071, truncated
  // Among the equal z sums of 10 the later listed goes first.
  EXPECT_EQ(canvas.calls, (std::vector<Call>{{0x00555555}, facing,
                                             {half, 200, 150, 210, 150, 200, 140},
                                             {0, 200, 150, 210, 150, 200, 150}}));
  // A full table holds the first listed: the facing one at z sum 0 and the copies that fit.
  for (int i = 0; i < kMaxShadedTriangles; ++i) list.Append(&triangles[5]);
  Canvas full;
  RenderShadedMesh(full, list);
  EXPECT_EQ(std::count(full.calls.begin(), full.calls.end(), facing), kMaxShadedTriangles - 5);
}

}  // namespace
