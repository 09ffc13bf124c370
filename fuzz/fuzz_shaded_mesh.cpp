// Surface::DrawShadedMesh with arbitrary meshes: corners anywhere (huge, infinite, NaN), shared or
// coincident corners, triangles taller than the filler's tables, and lists longer than the sort
// table holds (past 9998 triangles). The renderer must stay within its tables; and with a
// recording canvas its fills must be exactly the front-facing triangles among the first 9998,
// in ascending order of their z sums, later ones first among equal sums.
#include <algorithm>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/object_counts.h"
#include "surface/shaded_mesh.h"
#include "surface/surface.h"

namespace {

struct Fill {
  Color color;
  std::int32_t c[6];
  bool operator==(const Fill&) const = default;
};

struct RecordingCanvas {
  std::int32_t width, height;
  Color pen = 0x12345678;
  std::vector<Fill> fills;
  void Clear(Color) {}
  void SetPenColor(Color c) { pen = c; }
  void FillTriangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                    std::int32_t x2, std::int32_t y2) {
    fills.push_back({pen, {x0, y0, x1, y1, x2, y2}});
  }
};

// Links the triangles straight into the list: Append walks the whole chain each time, which
// would make ten thousand triangles cost more than drawing them.
void LinkTriangles(ObjList<MeshTriangle>& list, std::vector<MeshTriangle>& triangles) {
  ListNode<MeshTriangle>* last = list.Head();
  for (MeshTriangle& t : triangles) {
    auto* node = new ListNode<MeshTriangle>;
    node->item = &t;
    node->prev = last;
    last->next = node;
    last->isTail = false;
    last = node;
  }
  last->isTail = true;
}

std::vector<Fill> Expected(const std::vector<MeshTriangle>& triangles, std::int32_t width,
                             std::int32_t height) {
  const std::size_t n = std::min<std::size_t>(triangles.size(), kMaxShadedTriangles);
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  auto key = [&](std::size_t i) { return triangles[i].p->z + triangles[i].q->z + triangles[i].r->z; };
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return key(a) != key(b) ? key(a) < key(b) : a > b;
  });
  const MeshOrigin centre{width / 2, height / 2};
  std::vector<Fill> fills;
  for (std::size_t i : order) {
    const MeshTriangle& t = triangles[i];
    const double d = FacingZ(*t.p, *t.q, *t.r);
    if (!(d > 0)) continue;
    const MeshPixel p = ProjectVertex(*t.p, centre, VIEW_FRONT);
    const MeshPixel q = ProjectVertex(*t.q, centre, VIEW_FRONT);
    const MeshPixel r = ProjectVertex(*t.r, centre, VIEW_FRONT);
    fills.push_back({ShadeColor(d), {p.x, p.y, q.x, q.y, r.x, r.y}});
  }
  return fills;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::int32_t w = in.ConsumeIntegralInRange(0, 120), h = in.ConsumeIntegralInRange(0, 120);
  const bool many = in.ConsumeIntegralInRange(0, 31) == 31;  // costly: sorting is quadratic
  const std::size_t count = many ? in.ConsumeIntegralInRange<std::size_t>(9990, 10010)
                                 : in.ConsumeIntegralInRange<std::size_t>(0, 40);

  std::vector<MeshVertex> vertices(in.ConsumeIntegralInRange<std::size_t>(1, 24));
  for (MeshVertex& v : vertices) {
    v.x = FuzzDouble(in);
    v.y = FuzzDouble(in);
    v.z = FuzzDouble(in);
  }
  // The input describes a pattern of triangles; a long list repeats it.
  std::vector<MeshTriangle> pattern(in.ConsumeIntegralInRange<std::size_t>(1, 16));
  for (MeshTriangle& t : pattern) {
    t.p = &vertices[in.ConsumeIntegralInRange<std::size_t>(0, vertices.size() - 1)];
    t.q = &vertices[in.ConsumeIntegralInRange<std::size_t>(0, vertices.size() - 1)];
    t.r = &vertices[in.ConsumeIntegralInRange<std::size_t>(0, vertices.size() - 1)];
  }
  std::vector<MeshTriangle> triangles(count);
  for (std::size_t i = 0; i < count; ++i) triangles[i] = pattern[i % pattern.size()];

  const auto before = LiveObjects();
  {
    ObjList<MeshVertex> vertexList;
    ObjList<MeshTriangle> triangleList;
    LinkTriangles(triangleList, triangles);

    Surface surface;  // left empty for a zero size: every call on it must be harmless
    if (w > 0 && h > 0) Require(surface.Create(w, h, 32), "create surface");
    surface.DrawShadedMesh(vertexList, triangleList);

    // A NaN sum has no place in an order, so the order is checked for number sums only.
    const bool ordered = std::none_of(triangles.begin(), triangles.end(), [](const MeshTriangle& t) {
      return std::isnan(t.p->z + t.q->z + t.r->z);
    });
    // The recorded order is checked on long lists too, but on fewer of them: each costs a second.
    if (!many || in.ConsumeIntegralInRange(0, 7) == 7) {
      RecordingCanvas canvas{w, h, 0x12345678, {}};
      RenderShadedMesh(canvas, triangleList);
      if (ordered) Require(canvas.fills == Expected(triangles, w, h), "painter's order and shading");
      if (canvas.fills.empty()) Require(canvas.pen == 0x12345678, "no fill leaves the pen alone");
    }
  }
  Require(LiveObjects() == before, "no platform object outlives its surface");
  return 0;
}
