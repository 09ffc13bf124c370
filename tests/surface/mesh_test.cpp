// Wireframe views and the shaded renderer, watched through recording canvases and checked on
// real surfaces.
#include <gtest/gtest.h>

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
  void DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    lines.push_back({x0, y0, x1, y1});
  }
};

struct Fill {
  Color color;
  std::int32_t x0, y0, x1, y1, x2, y2;
  bool operator==(const Fill&) const = default;
};

struct FillCanvas {
  std::int32_t width = 400;
  std::int32_t height = 400;
  int clears = 0;
  Color clearColor = 1;
  Color pen = 0;
  std::vector<Fill> fills;
  void Clear(Color c) { ++clears, clearColor = c; }
  void SetPenColor(Color c) { pen = c; }
  void FillTriangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                    std::int32_t x2, std::int32_t y2) {
    fills.push_back({pen, x0, y0, x1, y1, x2, y2});
  }
};

// Vertices owned by the test; lists of pointers into them.
struct Vertices {
  std::vector<std::unique_ptr<MeshVertex>> owned;
  MeshVertex* Add(double x, double y, double z = 0) {
    owned.push_back(std::make_unique<MeshVertex>());
    owned.back()->x = x, owned.back()->y = y, owned.back()->z = z;
    return owned.back().get();
  }
};

void Link(MeshVertex* a, MeshVertex* b) {
  a->neighbours.Append(b);
  b->neighbours.Append(a);
}

bool AllClear(const Vertices& v) {
  for (const auto& vertex : v.owned) {
    if (vertex->visited) return false;
  }
  return true;
}

constexpr MeshOrigin kOrigin{100, 100};
constexpr Color kPen = 0x00ABCDEF;

// A unit square a-b-c-d (pixel corners 100..110) with symmetric adjacency.
struct Square {
  Vertices v;
  MeshVertex *a = v.Add(0, 0), *b = v.Add(10, 0), *c = v.Add(10, 10), *d = v.Add(0, 10);
  Square() { Link(a, b), Link(b, c), Link(c, d), Link(d, a); }
};

TEST(MeshViews, ProjectionTruncatesEachCoordinateBeforeTheOrigin) {
  struct Case {
    std::int32_t view;
    double x, y, z;
    MeshPixel pixel;
  };
  const Case cases[] = {
      {VIEW_FRONT, -2.5, 2.5, 7, {98, 98}},
      {VIEW_TOP, 3, 9, 4.9, {103, 104}},
      {VIEW_SIDE, 9, 1.5, 2, {98, 99}},
      {VIEW_FRONT, 2.9, -2.9, 0, {102, 102}},
  };
  for (const Case& c : cases) {
    MeshVertex from, to;
    from.x = c.x, from.y = c.y, from.z = c.z;
    MeshEdge edge{&from, &from};
    ObjList<MeshEdge> edges;
    edges.Append(&edge);
    LineCanvas canvas;
    DrawEdges(canvas, edges, kOrigin, c.view, kPen);
    ASSERT_EQ(canvas.lines.size(), 1u) << "view " << c.view;
    EXPECT_EQ(canvas.lines[0], (Line{c.pixel.x, c.pixel.y, c.pixel.x, c.pixel.y})) << "view " << c.view;
  }
}

TEST(MeshViews, UnknownViewOrEmptyListSetsThePenAndDrawsNothing) {
  Square sq;
  ObjList<MeshVertex> listed;
  listed.Append(sq.a);
  listed.Append(sq.b);
  sq.a->visited = 1;  // a stale flag on a listed vertex is cleared even without a view
  for (std::int32_t view : {0, 4, -1}) {
    for (VertexWalk walk : {VertexWalk::kAll, VertexWalk::kSkipVisited, VertexWalk::kInside}) {
      LineCanvas canvas;
      WalkVertexMesh(canvas, listed, kOrigin, view, kPen, walk);
      EXPECT_EQ(canvas.pens, std::vector<Color>{kPen});
      EXPECT_TRUE(canvas.lines.empty());
      EXPECT_TRUE(AllClear(sq.v));
    }
  }
  ObjList<MeshEdge> noEdges;
  ObjList<MeshTriangle> noTriangles;
  LineCanvas canvas;
  DrawEdges(canvas, noEdges, kOrigin, VIEW_FRONT, kPen);
  DrawTriangleOutlines(canvas, noTriangles, kOrigin, VIEW_TOP, kPen);
  EXPECT_EQ(canvas.pens, (std::vector<Color>{kPen, kPen}));
  EXPECT_TRUE(canvas.lines.empty());
}

TEST(MeshViews, VertexWalksDrawEachEdgeOnceFromTheEarlierVertex) {
  Square sq;
  ObjList<MeshVertex> all;
  for (MeshVertex* v : {sq.a, sq.b, sq.c, sq.d}) all.Append(v);
  ObjList<MeshVertex> two;  // adjacent corners a and b only
  two.Append(sq.a);
  two.Append(sq.b);
  ObjList<MeshVertex> twice;  // a listed twice
  for (MeshVertex* v : {sq.a, sq.b, sq.a}) twice.Append(v);

  const Line ab{100, 100, 110, 100}, ad{100, 100, 100, 90}, bc{110, 100, 110, 90},
      cd{110, 90, 100, 90};
  struct Case {
    const char* name;
    ObjList<MeshVertex>* list;
    VertexWalk walk;
    std::vector<Line> lines;
  };
  const Case cases[] = {
      {"square", &all, VertexWalk::kAll, {ab, ad, bc, cd}},
      {"square skipping", &all, VertexWalk::kSkipVisited, {ab, ad, bc, cd}},
      {"square inside", &all, VertexWalk::kInside, {ab, ad, bc, cd}},
      {"two corners", &two, VertexWalk::kAll, {ab, ad, bc}},
      {"two corners inside", &two, VertexWalk::kInside, {ab}},
      // The repeat of a finds b visited and d (outside the list) still unvisited.
      {"repeat", &twice, VertexWalk::kAll, {ab, ad, bc, ad}},
      {"repeat skipped", &twice, VertexWalk::kSkipVisited, {ab, ad, bc}},
      {"repeat inside", &twice, VertexWalk::kInside, {ab}},
  };
  for (const Case& c : cases) {
    LineCanvas canvas;
    WalkVertexMesh(canvas, *c.list, kOrigin, VIEW_FRONT, kPen, c.walk);
    EXPECT_EQ(canvas.lines, c.lines) << c.name;
    EXPECT_TRUE(AllClear(sq.v)) << c.name;
  }
}

TEST(MeshViews, OneSidedSelfAndDoubledNeighbours) {
  Vertices v;
  MeshVertex *a = v.Add(0, 0), *b = v.Add(5, 0), *c = v.Add(0, 5);
  b->neighbours.Append(a);  // named only by the later vertex: never drawn
  a->neighbours.Append(a);  // itself: a one-pixel line
  a->neighbours.Append(c);  // twice: drawn twice
  a->neighbours.Append(c);
  ObjList<MeshVertex> list;
  for (MeshVertex* m : {a, b, c}) list.Append(m);
  LineCanvas canvas;
  WalkVertexMesh(canvas, list, kOrigin, VIEW_FRONT, kPen, VertexWalk::kAll);
  EXPECT_EQ(canvas.lines, (std::vector<Line>{{100, 100, 100, 100}, {100, 100, 100, 95},
                                             {100, 100, 100, 95}}));
}

TEST(MeshViews, TrianglesDrawSharedEdgesTwiceInCornerOrder) {
  Square sq;
  MeshTriangle t1{sq.a, sq.b, sq.c}, t2{sq.a, sq.c, sq.d};
  ObjList<MeshTriangle> triangles;
  triangles.Append(&t1);
  triangles.Append(&t2);
  LineCanvas canvas;
  DrawTriangleOutlines(canvas, triangles, kOrigin, VIEW_FRONT, kPen);
  EXPECT_EQ(canvas.lines, (std::vector<Line>{{100, 100, 110, 100}, {110, 100, 110, 90},
                                             {110, 90, 100, 100}, {100, 100, 110, 90},
                                             {110, 90, 100, 90}, {100, 90, 100, 100}}));
}

// The Surface methods draw what their templates record, with the end pixels lit.
TEST(MeshViews, SurfaceMethodsLightTheProjectedPixels) {
  Square sq;
  ObjList<MeshVertex> all;
  for (MeshVertex* v : {sq.a, sq.b, sq.c, sq.d}) all.Append(v);
  MeshEdge diagonal{sq.a, sq.c};
  ObjList<MeshEdge> edges;
  edges.Append(&diagonal);
  Surface s;
  ASSERT_TRUE(s.Create(200, 200, 32));
  auto at = [&s](int x, int y) { return static_cast<Color>(GetPixel(s.dc, x, y)); };
  s.DrawVertexMesh(all, kOrigin, VIEW_FRONT, 0x000000FF);
  EXPECT_EQ(s.penColor, 0x000000FFu);
  for (auto [x, y] : {std::pair{100, 100}, {110, 100}, {110, 90}, {100, 90}, {105, 90}}) {
    EXPECT_EQ(at(x, y), 0x000000FFu) << x << "," << y;
  }
  EXPECT_EQ(at(105, 95), 0u);
  s.DrawEdgeMesh(edges, kOrigin, VIEW_SIDE, 0x0000FF00);  // both ends project to x = 100
  for (int y = 90; y <= 100; ++y) EXPECT_EQ(at(100, y), 0x0000FF00u) << y;
  EXPECT_TRUE(AllClear(sq.v));
}

MeshTriangle* Triangle(Vertices& v, std::vector<std::unique_ptr<MeshTriangle>>& owned,
                       double z, double x0, double y0, double x1, double y1, double x2, double y2) {
  owned.push_back(std::make_unique<MeshTriangle>(
      MeshTriangle{v.Add(x0, y0, z), v.Add(x1, y1, z), v.Add(x2, y2, z)}));
  return owned.back().get();
}

constexpr Color kFullShade = 230 + 256 * 170 + 65536 * 80;

TEST(ShadedMesh, CullsAndShadesByTheNormal) {
  Vertices v;
  std::vector<std::unique_ptr<MeshTriangle>> owned;
  MeshTriangle* facing = Triangle(v, owned, 0, 0, 0, 10, 0, 0, 10);
  MeshTriangle* away = Triangle(v, owned, 0, 0, 0, 0, 10, 10, 0);
  MeshTriangle edgeOn{v.Add(0, 0, 0), v.Add(0, 10, 0), v.Add(0, 0, 10)};
  MeshTriangle* point = Triangle(v, owned, 3, 1, 1, 1, 1, 1, 1);
  // Tilted so that 0 < d < 1/230: drawn, but every channel truncates to 0.
  MeshTriangle grazing{v.Add(0, 0, 0), v.Add(10, 0, 0), v.Add(0, 0.01, 10)};
  ObjList<MeshTriangle> list;
  for (MeshTriangle* t : {facing, away, &edgeOn, point, &grazing}) list.Append(t);
  FillCanvas canvas;
  canvas.pen = 0x123;
  RenderShadedMesh(canvas, list);
  EXPECT_EQ(canvas.clears, 1);
  EXPECT_EQ(canvas.clearColor, 0x00555555u);
  ASSERT_EQ(canvas.fills.size(), 2u);
  EXPECT_EQ(canvas.fills[0], (Fill{kFullShade, 200, 200, 210, 200, 200, 190}));
  EXPECT_EQ(canvas.fills[1].color, 0u);

  ObjList<MeshTriangle> empty;
  FillCanvas untouched;
  untouched.pen = 0x123;
  RenderShadedMesh(untouched, empty);
  EXPECT_EQ(untouched.clears, 1);
  EXPECT_TRUE(untouched.fills.empty());
  EXPECT_EQ(untouched.pen, 0x123u);
}

TEST(ShadedMesh, PaintsBackToFrontAndLaterFirstAmongEqualKeys) {
  Vertices v;
  std::vector<std::unique_ptr<MeshTriangle>> owned;
  MeshTriangle* front = Triangle(v, owned, 10, 0, 0, 10, 0, 0, 10);  // z sum 30
  MeshTriangle* back = Triangle(v, owned, 0, 1, 0, 11, 0, 1, 10);    // z sum 0
  MeshTriangle* tie1 = Triangle(v, owned, 5, 2, 0, 12, 0, 2, 10);   // z sum 15
  MeshTriangle* tie2 = Triangle(v, owned, 5, 3, 0, 13, 0, 3, 10);   // z sum 15
  auto order = [](std::initializer_list<MeshTriangle*> triangles) {
    ObjList<MeshTriangle> list;
    for (MeshTriangle* t : triangles) list.Append(t);
    FillCanvas canvas;
    RenderShadedMesh(canvas, list);
    std::vector<std::int32_t> firstX;
    for (const Fill& f : canvas.fills) firstX.push_back(f.x0 - 200);
    return firstX;
  };
  EXPECT_EQ(order({front, back}), (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(order({back, front}), (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(order({tie1, tie2}), (std::vector<std::int32_t>{3, 2}));
  EXPECT_EQ(order({tie2, tie1}), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(order({tie1, front, back, tie2}), (std::vector<std::int32_t>{1, 3, 2, 0}));
}

TEST(ShadedMesh, DrawsAFullTableAndIgnoresTrianglesBeyondIt) {
  Vertices v;
  MeshVertex *p = v.Add(0, 0, 0), *q = v.Add(10, 0, 0);
  // Triangle i has its third corner at pixel (200 + i % 100, 190 - i / 100) and z sum -i, so
  // keys count down: every insertion shifts the whole table, and each fill names its triangle.
  std::vector<MeshVertex> tops(kMaxShadedTriangles + 5);
  std::vector<MeshTriangle> triangles;
  for (std::size_t i = 0; i < tops.size(); ++i) {
    tops[i].x = static_cast<double>(i % 100);
    tops[i].y = 10 + static_cast<double>(i / 100);
    tops[i].z = -static_cast<double>(i);
    triangles.push_back({p, q, &tops[i]});
  }
  for (std::int32_t count : {kMaxShadedTriangles, kMaxShadedTriangles + 5}) {
    ObjList<MeshTriangle> list;
    for (std::int32_t i = 0; i < count; ++i) list.Append(&triangles[static_cast<std::size_t>(i)]);
    FillCanvas canvas;
    RenderShadedMesh(canvas, list);
    ASSERT_EQ(canvas.fills.size(), static_cast<std::size_t>(kMaxShadedTriangles)) << count;
    // Back to front, the first 9998 listed only: 9997 down to 0.
    for (std::size_t k = 0; k < canvas.fills.size(); ++k) {
      const Fill& f = canvas.fills[k];
      const std::int32_t index = (f.x2 - 200) + 100 * (190 - f.y2);
      ASSERT_EQ(index, kMaxShadedTriangles - 1 - static_cast<std::int32_t>(k)) << count;
    }
  }
}

TEST(ShadedMesh, SurfacePictureHasGreyBackdropAndShadedFace) {
  Vertices v;
  MeshTriangle t{v.Add(0, 0, 0), v.Add(10, 0, 0), v.Add(0, 10, 0)};
  ObjList<MeshTriangle> list;
  list.Append(&t);
  ObjList<MeshVertex> vertices;
  for (int depth : {16, 24, 32}) {
    Surface s;
    ASSERT_TRUE(s.Create(400, 400, depth));
    s.DrawShadedMesh(vertices, list);
    EXPECT_EQ(s.penColor, kFullShade);
    HDC dc = s.dc;
    const COLORREF grey = GetPixel(dc, 50, 50);
    const COLORREF face = GetPixel(dc, 202, 197);
    SetPixel(dc, 0, 0, kFullShade);  // the same colour through the depth's own rounding
    EXPECT_EQ(face, GetPixel(dc, 0, 0)) << depth;
    SetPixel(dc, 0, 0, 0x00555555);
    EXPECT_EQ(grey, GetPixel(dc, 0, 0)) << depth;
    EXPECT_NE(face, grey) << depth;
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
    // Seen from +z, exactly the faces towards the viewer are drawn: about half of them.
    FillCanvas canvas;
    RenderShadedMesh(canvas, mesh->triangles);
    EXPECT_GT(canvas.fills.size(), 0u);
    EXPECT_LT(canvas.fills.size(), static_cast<std::size_t>(mesh->TriangleCount()));
  }
  FillCanvas canvas;
  RenderShadedMesh(canvas, cube.triangles);
  EXPECT_EQ(canvas.fills.size(), 2u);  // the axis-aligned cube shows its front face only
}

}  // namespace
