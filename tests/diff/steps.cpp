// The drawing steps: `surface S W H BPP` makes surface S (A..Z); the others draw through a surface
// or through raw GDI calls on its device context. The picture is surface A's bitmap, unless a
// bitmap step (files.cpp) makes it.
#include <array>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

#include "examples/shapes.h"
#include "field/ball_field.h"
#include "tests/diff/catalogue.h"

namespace zantrel::diff {
namespace {

struct Canvas {
  std::array<Surface, 26> surfaces;
  BallField field;
  Picture picture;
};

struct Args {
  const Step& step;
  Canvas& canvas;
  std::int32_t Int(std::size_t i) const {
    std::size_t used = 0;
    const long long value = std::stoll(step.at(i), &used, 0);
    if (used != step[i].size()) throw std::invalid_argument("not a number: " + step[i]);
    return std::int32_t(value);
  }
  Surface& S(std::size_t i) const { return canvas.surfaces.at(step.at(i)[0] - 'A'); }
};

// The k-th of the 96 points of the square ring of radius 12, counter-clockwise from (12, 0).
std::array<int, 2> RingPoint(int k) {
  const int side = k / 24, step = k % 24 - 12;
  const std::array<int, 2> points[] = {{12, step}, {-step, 12}, {-12, -step}, {step, -12}};
  return points[side];
}

// A wireframe of the vertices, or of the mesh's edges or triangles, by the method named.
void Wire(const Args& a, ObjList<MeshVertex>& vertices, Mesh* mesh, MeshOrigin at, Color color) {
  Surface& s = a.S(1);
  const std::string& method = a.step.at(2);
  const std::int32_t view = a.step.size() > 3 ? a.Int(3) : VIEW_FRONT;
  if (method == "vertex") s.DrawVertexMesh(vertices, at, view, color);
  else if (method == "skip-visited") s.DrawVertexMeshSkipVisited(vertices, at, view, color);
  else if (method == "inside") s.DrawVertexMeshInside(vertices, at, view, color);
  else if (method == "edge" && mesh) s.DrawEdgeMesh(mesh->edges, at, view, color);
  else if (method == "triangle" && mesh) s.DrawTriangleMesh(mesh->triangles, at, view, color);
  else throw std::invalid_argument("unknown wire method " + method);
}

template <typename T>
void AppendIf(ObjList<T>& to, ObjList<T>& from, bool (*wanted)(const T*)) {
  for (ListNode<T>* node = from.Head(); !node->isTail;) {
    if (wanted((node = node->next)->item)) to.Append(node->item);
  }
}

// The steps of more than one call.
void Draw(const std::string& name, const Args& a, Surface& s) {
  const auto n = [&a](std::size_t i) { return a.Int(i); };
  if (name == "segment") {
    MoveToEx(s.dc, n(2), n(3), nullptr);
    LineTo(s.dc, n(4), n(5));
  } else if (name == "readback") {  // row `from` read back, written one to the right in row `to`
    for (int x = 0; x + 1 < s.width; ++x) {
      SetPixel(s.dc, x + 1, n(3), GetPixel(s.dc, x, n(2)) | 0x0F0F0F);
    }
  } else if (name == "rect") {  // left top right bottom, a colour or the stock white brush
    const RECT r{n(2), n(3), n(4), n(5)};
    const bool stock = a.step.at(6) == "white";
    HBRUSH brush = stock ? HBRUSH(GetStockObject(WHITE_BRUSH)) : CreateSolidBrush(n(6));
    FillRect(s.dc, &r, brush);
    if (!stock) DeleteObject(brush);
  } else if (name == "noise") {  // a colour of its own at every pixel: flips and footprints show
    for (int i = 0; i < s.width * s.height; ++i) {
      SetPixel(s.dc, i % s.width, i / s.width, Hash(i + n(2)) & 0xFFFFFF);
    }
  } else if (name == "bitblt") {  // D S x y sourceX sourceY width height copy|and|invert
    const std::map<std::string, DWORD> rops = {
        {"copy", SRCCOPY}, {"and", SRCAND}, {"invert", SRCINVERT}};
    BitBlt(s.dc, n(3), n(4), n(7), n(8), a.S(2).dc, n(5), n(6), rops.at(a.step.at(9)));
  } else if (name == "ring") {  // a raw line from (x, y) to ring point k times scale
    const auto [dx, dy] = RingPoint(n(4));
    MoveToEx(s.dc, n(2), n(3), nullptr);
    LineTo(s.dc, n(2) + dx * n(5), n(3) + dy * n(5));
  } else if (name == "fan") {  // every ring point times scale through the surface, pen by pen
    const int scale = n(2), centre = 12 * scale + 2;
    for (int k = 0; k < 96; ++k) {
      const auto [dx, dy] = RingPoint(k);
      s.SetPenColor(0x00102030u * Color(k % 7 + 1));
      s.DrawLine(centre, centre, centre + dx * scale, centre + dy * scale);
    }
  } else if (name == "wires" || name == "shaded-scene") {  // the example scene
    Mesh sphere, cube;
    BuildExampleScene(sphere, cube);
    ObjList<MeshTriangle> scene;
    for (Mesh* mesh : {&sphere, &cube}) {
      AppendIf<MeshTriangle>(scene, mesh->triangles, [](const MeshTriangle*) { return true; });
      const Color color = mesh == &cube ? 0x00FFFFFF : 0x0000C0FF;
      if (name == "wires") Wire(a, mesh->vertices, mesh, {200, 200}, color);
    }
    if (name == "shaded-scene") s.DrawShadedMesh(sphere.vertices, scene);
  } else if (name == "half-sphere") {  // a vertex walk over the vertices left of the middle
    Mesh sphere;
    BuildSphere(sphere, 150, 12, 20);
    ObjList<MeshVertex> half;
    AppendIf<MeshVertex>(half, sphere.vertices, [](const MeshVertex* v) { return v->x < 0; });
    Wire(a, half, nullptr, {210, 190}, 0x0040FF40);
  } else if (name == "shaded-cube") {  // turned by a step number
    Mesh cube;
    BuildCube(cube, 70);
    RotateMesh(cube, 0.3 * n(2), 0.5 * n(2) + 0.2);
    s.DrawShadedMesh(cube.vertices, cube.triangles);
  } else if (name == "shaded-empty") {
    Mesh none;
    s.DrawShadedMesh(none.vertices, none.triangles);
  } else {
    throw std::invalid_argument("unknown step " + name);
  }
}

void Run(const Args& a) {
  const std::string& name = a.step[0];
  const auto n = [&a](std::size_t i) { return a.Int(i); };
  if (name == "bmp") {
    a.canvas.picture = BitmapPicture(a.step, a.canvas.surfaces[0]);
    return;
  }
  if (name == "ball") {  // round|square radius x y scaleX scaleY
    Ball* ball = a.canvas.field.AddBall(a.step[1] == "round" ? BALL_ROUND : BALL_SQUARE, n(2));
    ball->centerX = n(3), ball->centerY = n(4), ball->scaleX = n(5), ball->scaleY = n(6);
    return;
  }
  Surface& s = a.S(1);
  if (name == "surface") s.Create(n(2), n(3), n(4));
  else if (name == "pen") s.SetPenColor(n(2));
  else if (name == "clear") s.Clear(n(2));
  else if (name == "line") s.DrawLine(n(2), n(3), n(4), n(5));
  else if (name == "triangle") s.FillTriangle(n(2), n(3), n(4), n(5), n(6), n(7));
  else if (name == "blit") s.Blit(a.S(2), n(3), n(4));
  else if (name == "masked") s.BlitMasked(a.S(2), a.S(3), n(4), n(5));
  else if (name == "lineto") LineTo(s.dc, n(2), n(3));
  else if (name == "pixel") SetPixel(s.dc, n(2), n(3), n(4));
  else if (name == "contour") a.canvas.field.DrawContour(n(2), n(3), n(4), n(5), &s);
  else Draw(name, a, s);
}

}  // namespace

Picture CaptureBitmap(HBITMAP bitmap) {
  BITMAP record{};
  if (!bitmap || GetObjectA(bitmap, sizeof record, &record) != sizeof record) return {};
  const auto* bits = static_cast<const std::uint8_t*>(record.bmBits);
  const std::size_t size = bits ? record.bmWidthBytes * record.bmHeight : 0;
  return {record.bmWidth, record.bmHeight, record.bmBitsPixel, {bits, bits + size}};
}

Picture DrawSteps(const std::string& text) {
  Canvas canvas;
  std::istringstream steps(text);
  for (std::string words; std::getline(steps, words, ';');) {
    std::istringstream in(words);
    const Step step{std::istream_iterator<std::string>(in), {}};
    if (!step.empty()) Run(Args{step, canvas});
  }
  return canvas.picture.bits.empty() ? CaptureBitmap(canvas.surfaces[0].bitmap) : canvas.picture;
}

}  // namespace zantrel::diff
