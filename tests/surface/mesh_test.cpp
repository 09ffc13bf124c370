// Wireframe views and the shaded renderer, watched through recording canvases and checked on
// real surfaces.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "examples/shapes.h"
#include "surface/mesh_views.h"
#include "surface/shaded_mesh.h"
#include "surface/surface.h"

namespace {

struct Line {
  std::int32_t x0, y0, x1, y1;
  bool operator==(const Line&) const = default;
};

struct LineCanvas {
  std::vector<Color> pens;
  std::vector<Line> lines;
  void SetPenColor(Color c) { pens.push_back(c); }
  void DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) { lines.push_back({x0, y0, x1, y1}); }
};

struct Fill {
  Color color;
  std::int32_t x0, y0, x1, y1, x2, y2;
  bool operator==(const Fill&) const = default;
};

struct FillCanvas {
  std::int32_t width = 400, height = 400;
  int clears = 0;
  Color clearColor = 1, pen = 0x123;
  std::vector<Fill> fills;
  void Clear(Color c) { ++clears, clearColor = c; }
  void SetPenColor(Color c) { pen = c; }
  void FillTriangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    fills.push_back({pen, x0, y0, x1, y1, x2, y2});
  }
};

// Vertices and triangles owned by the test; lists hold pointers into them.
struct Model {
  std::vector<std::unique_ptr<MeshVertex>> vertices;
  std::vector<std::unique_ptr<MeshTriangle>> triangles;
  MeshVertex* V(double x, double y, double z = 0) {
    vertices.push_back(std::make_unique<MeshVertex>());
    vertices.back()->x = x, vertices.back()->y = y, vertices.back()->z = z;
    return vertices.back().get();
  }
  MeshTriangle* T(MeshVertex* p, MeshVertex* q, MeshVertex* r) {
    triangles.push_back(std::make_unique<MeshTriangle>(MeshTriangle{p, q, r}));
    return triangles.back().get();
  }
  // A flat triangle at depth z with corners (x, 0), (x + 10, 0), (x, 10): faces the viewer.
  MeshTriangle* Facing(double x, double z) { return T(V(x, 0, z), V(x + 10, 0, z), V(x, 10, z)); }
  bool AllClear() const {
    for (const auto& v : vertices) if (v->visited) return false;
    return true;
  }
};

template <class T>
void AppendAll(ObjList<T>& list, std::initializer_list<T*> items) {
  for (T* item : items) list.Append(item);
}

void Link(MeshVertex* a, MeshVertex* b) {
  a->neighbours.Append(b);
  b->neighbours.Append(a);
}

constexpr MeshOrigin kOrigin{100, 100};
constexpr Color kPen = 0x00ABCDEF;

TEST(MeshViews, ProjectionTruncatesEachCoordinateBeforeTheOrigin) {
  struct Case {
    std::int32_t view;
    double x, y, z;
    std::int32_t px, py;  // -1, -1: nothing drawn
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {VIEW_FRONT, -2.5, 2.5, 7, 98, 98},   {VIEW_FRONT, 2.9, -2.9, 0, 102, 102},
      {VIEW_TOP, 3, 9, 4.9, 103, 104},      {VIEW_SIDE, 9, 1.5, 2, 98, 99},
      {VIEW_FRONT, nan, 1e300, 0, 100, std::numeric_limits<std::int32_t>::min() + 101},
      {0, 1, 1, 1, -1, -1},                 {4, 1, 1, 1, -1, -1},
  };
  for (const Case& c : cases) {
    Model m;
    MeshVertex* v = m.V(c.x, c.y, c.z);
    MeshEdge edge{v, v};
    MeshTriangle triangle{v, v, v};
    ObjList<MeshEdge> edges;
    ObjList<MeshTriangle> triangles;
    edges.Append(&edge);
    triangles.Append(&triangle);
    LineCanvas canvas;
    DrawEdges(canvas, edges, kOrigin, c.view, kPen);
    DrawTriangleOutlines(canvas, triangles, kOrigin, c.view, kPen);
    EXPECT_EQ(canvas.pens, (std::vector<Color>{kPen, kPen}));
    const Line point{c.px, c.py, c.px, c.py};
    EXPECT_EQ(canvas.lines, c.px < 0 ? std::vector<Line>{} : std::vector<Line>(4, point)) << "view " << c.view;
  }
}

// A square a-b-c-d, pixel corners 100..110, symmetric adjacency.
struct Square : Model {
  MeshVertex *a = V(0, 0), *b = V(10, 0), *c = V(10, 10), *d = V(0, 10);
  Square() { Link(a, b), Link(b, c), Link(c, d), Link(d, a); }
};

TEST(MeshViews, VertexWalksDrawEachEdgeOnceFromTheEarlierVertex) {
  Square sq;
  ObjList<MeshVertex> all, two, twice;
  AppendAll(all, {sq.a, sq.b, sq.c, sq.d});
  AppendAll(two, {sq.a, sq.b});            // adjacent corners only
  AppendAll(twice, {sq.a, sq.b, sq.a});    // a listed twice
  const Line ab{100, 100, 110, 100}, ad{100, 100, 100, 90}, bc{110, 100, 110, 90}, cd{110, 90, 100, 90};
  struct Case {
    ObjList<MeshVertex>* list;
    VertexWalk walk;
    std::int32_t view;
    std::vector<Line> lines;
  };
  const Case cases[] = {
      {&all, VertexWalk::kAll, VIEW_FRONT, {ab, ad, bc, cd}},
      {&all, VertexWalk::kSkipVisited, VIEW_FRONT, {ab, ad, bc, cd}},
      {&all, VertexWalk::kInside, VIEW_FRONT, {ab, ad, bc, cd}},
      {&two, VertexWalk::kAll, VIEW_FRONT, {ab, ad, bc}},
      {&two, VertexWalk::kInside, VIEW_FRONT, {ab}},
      {&twice, VertexWalk::kAll, VIEW_FRONT, {ab, ad, bc, ad}},  // b visited, d not listed
      {&twice, VertexWalk::kSkipVisited, VIEW_FRONT, {ab, ad, bc}},
      {&twice, VertexWalk::kInside, VIEW_FRONT, {ab}},
      {&all, VertexWalk::kAll, 4, {}},
  };
  for (const Case& c : cases) {
    LineCanvas canvas;
    WalkVertexMesh(canvas, *c.list, kOrigin, c.view, kPen, c.walk);
    EXPECT_EQ(canvas.lines, c.lines) << static_cast<int>(c.walk) << " view " << c.view;
    EXPECT_EQ(canvas.pens, std::vector<Color>{kPen});
    EXPECT_TRUE(sq.AllClear());
  }
  // One-sided, self and doubled neighbours: drawn as named, from the earlier vertex only.
  Model m;
  MeshVertex *a = m.V(0, 0), *b = m.V(5, 0), *c = m.V(0, 5);
  b->neighbours.Append(a);
  AppendAll(a->neighbours, {a, c, c});
  ObjList<MeshVertex> list;
  AppendAll(list, {a, b, c});
  LineCanvas canvas;
  WalkVertexMesh(canvas, list, kOrigin, VIEW_FRONT, kPen, VertexWalk::kAll);
  EXPECT_EQ(canvas.lines, (std::vector<Line>{{100, 100, 100, 100}, {100, 100, 100, 95}, {100, 100, 100, 95}}));
}

TEST(MeshViews, TrianglesOutlineInCornerOrderAndSurfacesLightTheEnds) {
  Square sq;
  MeshTriangle t1{sq.a, sq.b, sq.c}, t2{sq.a, sq.c, sq.d};
  ObjList<MeshTriangle> triangles;
  AppendAll(triangles, {&t1, &t2});
  LineCanvas canvas;
  DrawTriangleOutlines(canvas, triangles, kOrigin, VIEW_FRONT, kPen);
  EXPECT_EQ(canvas.lines, (std::vector<Line>{{100, 100, 110, 100}, {110, 100, 110, 90}, {110, 90, 100, 100},
                                             {100, 100, 110, 90}, {110, 90, 100, 90}, {100, 90, 100, 100}}));
  ObjList<MeshVertex> all;
  AppendAll(all, {sq.a, sq.b, sq.c, sq.d});
  MeshEdge diagonal{sq.a, sq.c};
  ObjList<MeshEdge> edges;
  edges.Append(&diagonal);
  Surface s;
  ASSERT_TRUE(s.Create(200, 200, 32));
  auto at = [&s](int x, int y) { return static_cast<Color>(GetPixel(s.dc, x, y)); };
  s.DrawVertexMesh(all, kOrigin, VIEW_FRONT, 0x000000FF);
  for (auto [x, y] : {std::pair{100, 100}, {110, 100}, {110, 90}, {100, 90}, {105, 90}}) EXPECT_EQ(at(x, y), 0x000000FFu);
  EXPECT_EQ(at(105, 95), 0u);
  s.DrawEdgeMesh(edges, kOrigin, VIEW_SIDE, 0x0000FF00);  // both ends project to x = 100
  for (int y = 90; y <= 100; ++y) EXPECT_EQ(at(100, y), 0x0000FF00u) << y;
  s.DrawVertexMeshSkipVisited(all, kOrigin, VIEW_TOP, 0x00FF0000);
  s.DrawVertexMeshInside(all, kOrigin, VIEW_TOP, 0x00FF0000);
  s.DrawTriangleMesh(triangles, kOrigin, VIEW_TOP, 0x00FF0000);
  EXPECT_EQ(at(110, 100), 0x00FF0000u);
  EXPECT_TRUE(sq.AllClear());
}

constexpr Color kFullShade = 230 + 256 * 170 + 65536 * 80;

TEST(ShadedMesh, CullsAndShadesByTheNormalAroundTheCentre) {
  Model m;
  MeshTriangle* facing = m.Facing(0, 0);
  MeshTriangle* away = m.T(m.V(0, 0), m.V(0, 10), m.V(10, 0));
  MeshTriangle* edgeOn = m.T(m.V(0, 0), m.V(0, 10), m.V(0, 0, 10));
  MeshTriangle* point = m.T(m.V(1, 1, 3), m.V(1, 1, 3), m.V(1, 1, 3));
  MeshTriangle* grazing = m.T(m.V(0, 0), m.V(10, 0), m.V(0, 0.01, 10));  // 0 < d < 1/230
  MeshTriangle* tilted = m.T(m.V(0, 0), m.V(10, 0), m.V(0, 10, 10));      // d = 1 / sqrt(2)
  ObjList<MeshTriangle> list;
  AppendAll(list, {facing, away, edgeOn, point, grazing, tilted});
  FillCanvas canvas;
  canvas.height = 300;
  RenderShadedMesh(canvas, list);
  EXPECT_EQ(canvas.clears, 1);
  EXPECT_EQ(canvas.clearColor, 0x00555555u);
  const Color half = 162 + 256 * 120 + 65536 * 56;  // 230, 170, 80 times 0.7071, truncated
  EXPECT_EQ(canvas.fills, (std::vector<Fill>{{kFullShade, 200, 150, 210, 150, 200, 140},  // z sum 0
                                             {half, 200, 150, 210, 150, 200, 140},  // z sum 10, listed last
                                             {0, 200, 150, 210, 150, 200, 150}}));
  ObjList<MeshTriangle> empty;
  FillCanvas untouched;
  RenderShadedMesh(untouched, empty);
  EXPECT_EQ(untouched.clears, 1);
  EXPECT_TRUE(untouched.fills.empty());
  EXPECT_EQ(untouched.pen, 0x123u);
}

// Back to front by the z sum; among equal sums the later listed goes first.
TEST(ShadedMesh, PaintsBackToFrontAndLaterFirstAmongEqualKeys) {
  Model m;
  MeshTriangle *front = m.Facing(0, 10), *back = m.Facing(1, 0), *tie2 = m.Facing(2, 5), *tie3 = m.Facing(3, 5);
  auto order = [](std::initializer_list<MeshTriangle*> triangles) {
    ObjList<MeshTriangle> list;
    AppendAll(list, triangles);
    FillCanvas canvas;
    RenderShadedMesh(canvas, list);
    std::vector<std::int32_t> firstX;
    for (const Fill& f : canvas.fills) firstX.push_back(f.x0 - 200);
    return firstX;
  };
  EXPECT_EQ(order({front, back}), (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(order({back, front}), (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(order({tie2, tie3}), (std::vector<std::int32_t>{3, 2}));
  EXPECT_EQ(order({tie2, front, back, tie3}), (std::vector<std::int32_t>{1, 3, 2, 0}));
}

TEST(ShadedMesh, DrawsAFullTableAndIgnoresTrianglesBeyondIt) {
  Model m;
  MeshVertex *p = m.V(0, 0), *q = m.V(10, 0);
  // Triangle i has its third corner at pixel (200 + i % 100, 190 - i / 100) and z sum -i, so
  // keys count down: every insertion shifts the whole table, and each fill names its triangle.
  std::vector<MeshVertex> tops(kMaxShadedTriangles + 5);
  std::vector<MeshTriangle> triangles;
  for (std::size_t i = 0; i < tops.size(); ++i) {
    tops[i].x = static_cast<double>(i % 100), tops[i].y = 10 + static_cast<double>(i / 100), tops[i].z = -static_cast<double>(i);
    triangles.push_back({p, q, &tops[i]});
  }
  ObjList<MeshTriangle> list;
  for (MeshTriangle& t : triangles) list.Append(&t);
  FillCanvas canvas;
  RenderShadedMesh(canvas, list);
  ASSERT_EQ(canvas.fills.size(), static_cast<std::size_t>(kMaxShadedTriangles));
  for (std::size_t k = 0; k < canvas.fills.size(); ++k) {  // 9997 down to 0: the first listed only
    const std::int32_t index = (canvas.fills[k].x2 - 200) + 100 * (190 - canvas.fills[k].y2);
    ASSERT_EQ(index, kMaxShadedTriangles - 1 - static_cast<std::int32_t>(k));
  }
}

TEST(ShadedMesh, SurfacePictureHasGreyBackdropAndShadedFace) {
  Model m;
  ObjList<MeshTriangle> list;
  list.Append(m.Facing(0, 0));
  ObjList<MeshVertex> vertices;
  for (int depth : {16, 24, 32}) {
    Surface s;
    ASSERT_TRUE(s.Create(400, 400, depth));
    s.DrawShadedMesh(vertices, list);
    const COLORREF grey = GetPixel(s.dc, 50, 50), face = GetPixel(s.dc, 202, 197);
    SetPixel(s.dc, 0, 0, kFullShade);  // the same colours through the depth's own rounding
    EXPECT_EQ(face, GetPixel(s.dc, 0, 0)) << depth;
    SetPixel(s.dc, 0, 0, 0x00555555);
    EXPECT_EQ(grey, GetPixel(s.dc, 0, 0)) << depth;
  }
}

TEST(Shapes, SphereAndCubeHaveSymmetricAdjacencyAndOutwardFaces) {
  Mesh sphere, cube;
  BuildSphere(sphere, 100, 22, 46);
  BuildCube(cube, 20);
  EXPECT_EQ(sphere.TriangleCount(), 1932);
  EXPECT_EQ(cube.TriangleCount(), 12);
  for (Mesh* mesh : {&sphere, &cube}) {
    for (ListNode<MeshVertex>* node = mesh->vertices.Head(); !node->isTail;) {
      node = node->next;
      for (ListNode<MeshVertex>* n = node->item->neighbours.Head(); !n->isTail;) {
        n = n->next;
        EXPECT_NE(n->item->neighbours.Find(node->item), nullptr);
      }
    }
  }
  FillCanvas canvas;
  RenderShadedMesh(canvas, cube.triangles);
  EXPECT_EQ(canvas.fills.size(), 2u);  // the axis-aligned cube shows its front face only
}

}  // namespace
