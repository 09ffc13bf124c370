// The drawing steps. `surface S W H BPP` makes surface S (A..Z); the other steps draw through the
// surface or through raw GDI calls on its device context. The picture is surface A's bitmap, with
// any raw bits a step appends, unless a file step makes the whole picture.
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>

#include "examples/shapes.h"
#include "field/ball_field.h"
#include "surface/surface.h"
#include "tests/diff/catalogue.h"
#include "tests/support/bmp_file.h"

namespace zantrel::diff {
namespace {

struct Canvas {
  std::array<Surface, 26> surfaces;
  BallField field;
  std::vector<std::uint8_t> appended;
  std::optional<Picture> picture;
};

struct Args {
  const Step& step;
  Canvas& canvas;
  std::int32_t Int(std::size_t i) const {
    std::size_t used = 0;
    const long long value = std::stoll(Word(i), &used, Word(i).find("0x") != std::string::npos ? 16 : 10);
    if (used != Word(i).size()) throw std::invalid_argument("not a number: " + Word(i));
    return std::int32_t(value);
  }
  Color C(std::size_t i) const { return Color(Int(i)); }
  Surface& S(std::size_t i) const {
    if (Word(i).size() != 1 || Word(i)[0] < 'A' || Word(i)[0] > 'Z') throw std::invalid_argument("not a surface");
    return canvas.surfaces[Word(i)[0] - 'A'];
  }
  HDC Dc(std::size_t i) const { return S(i).dc; }
  const std::string& Word(std::size_t i) const { return step.at(i); }
};

// An "F" in ink on paper over the top-left width x height: flips and channel swaps show at once.
void Letter(const Args& a) {
  const int width = a.Int(4), height = a.Int(5);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool stem = x >= 2 && x <= 4 && y >= 1 && y < height - 1;
      const bool top = y >= 1 && y <= 2 && x >= 2 && x < width - 2;
      const bool middle = y >= height / 2 - 1 && y <= height / 2 && x >= 2 && x < width - 4;
      SetPixel(a.Dc(1), x, y, stem || top || middle ? a.C(2) : a.C(3));
    }
  }
}

// The k-th of the 96 points of the square ring of radius 12, counter-clockwise from (12, 0).
std::array<int, 2> RingPoint(int k) {
  const int side = k / 24, step = k % 24 - 12;
  const std::array<int, 2> points[] = {{12, step}, {-step, 12}, {-12, -step}, {step, -12}};
  return points[side];
}

void Wire(Surface& s, const std::string& method, ObjList<MeshVertex>& vertices, Mesh* mesh, MeshOrigin origin,
          std::int32_t view, Color color) {
  if (method == "vertex") s.DrawVertexMesh(vertices, origin, view, color);
  else if (method == "skip-visited") s.DrawVertexMeshSkipVisited(vertices, origin, view, color);
  else if (method == "inside") s.DrawVertexMeshInside(vertices, origin, view, color);
  else if (method == "edge" && mesh) s.DrawEdgeMesh(mesh->edges, origin, view, color);
  else if (method == "triangle" && mesh) s.DrawTriangleMesh(mesh->triangles, origin, view, color);
  else throw std::invalid_argument("unknown wire method " + method);
}

// A bitmap file of one layout (header size, bits per pixel, bit fields 0 or 1) loaded through
// the surface: copied onto a grey 32 bpp surface, and below it copied again after a diagonal was
// drawn on the loaded bitmap in its own format; the loaded raw bits follow in the picture.
void File(const Args& a) {
  test::BmpLayout bmp{std::uint32_t(a.Int(2)), std::uint16_t(a.Int(3)), a.Int(4) != 0};
  bmp.width = bmp.bitsPerPixel == 1 ? 19 : 11;  // odd widths pad every row
  if (bmp.bitfields) bmp.masks = {bmp.bitsPerPixel == 16 ? 0xF800u : 0xFF0000u, bmp.bitsPerPixel == 16 ? 0x07E0u : 0xFF00u,
                                  bmp.bitsPerPixel == 16 ? 0x001Fu : 0xFFu};
  const auto path = std::filesystem::temp_directory_path() / ("zantrel-catalogue-" + a.Word(2) + "-" + a.Word(3) + ".bmp");
  test::WriteBytes(path.string(), test::MakeBmp(bmp));
  Surface loaded;
  loaded.LoadBitmapFile(path.string().c_str());
  std::filesystem::remove(path);
  a.canvas.appended = CaptureBitmap(loaded.bitmap).bits;
  Surface& target = a.S(1);
  target.Create(loaded.width + 2, 2 * loaded.height + 3, 32);
  target.Clear(0x00808080);
  target.Blit(loaded, 1, 1);
  loaded.SetPenColor(0x0000FF80);
  loaded.DrawLine(0, 0, loaded.width, loaded.height);
  target.Blit(loaded, 1, loaded.height + 2);
}

void ShadedScene(const Args& a) {
  Mesh sphere, cube;
  BuildExampleScene(sphere, cube);
  ObjList<MeshTriangle> scene;
  for (Mesh* mesh : {&sphere, &cube}) {
    for (ListNode<MeshTriangle>* node = mesh->triangles.Head(); !node->isTail;) scene.Append((node = node->next)->item);
  }
  a.S(1).DrawShadedMesh(sphere.vertices, scene);
}

struct Command {
  std::size_t words;  // the command and its arguments; 0 for any number
  std::function<void(const Args&)> run;
};

const std::map<std::string, Command> kCommands = {
    {"surface", {5, [](const Args& a) { a.S(1).Create(a.Int(2), a.Int(3), a.Int(4)); }}},
    {"pen", {3, [](const Args& a) { a.S(1).SetPenColor(a.C(2)); }}},
    {"clear", {3, [](const Args& a) { a.S(1).Clear(a.C(2)); }}},
    {"line", {6, [](const Args& a) { a.S(1).DrawLine(a.Int(2), a.Int(3), a.Int(4), a.Int(5)); }}},
    {"triangle", {8, [](const Args& a) { a.S(1).FillTriangle(a.Int(2), a.Int(3), a.Int(4), a.Int(5), a.Int(6), a.Int(7)); }}},
    {"blit", {5, [](const Args& a) { a.S(1).Blit(a.S(2), a.Int(3), a.Int(4)); }}},
    {"masked", {6, [](const Args& a) { a.S(1).BlitMasked(a.S(2), a.S(3), a.Int(4), a.Int(5)); }}},
    {"segment", {6, [](const Args& a) { MoveToEx(a.Dc(1), a.Int(2), a.Int(3), nullptr), LineTo(a.Dc(1), a.Int(4), a.Int(5)); }}},
    {"lineto", {4, [](const Args& a) { LineTo(a.Dc(1), a.Int(2), a.Int(3)); }}},
    {"pixel", {5, [](const Args& a) { SetPixel(a.Dc(1), a.Int(2), a.Int(3), a.C(4)); }}},
    {"readback", {4, [](const Args& a) {  // row `from` read back, written one to the right in row `to`
       for (int x = 0; x + 1 < a.S(1).width; ++x) SetPixel(a.Dc(1), x + 1, a.Int(3), GetPixel(a.Dc(1), x, a.Int(2)) | 0x0F0F0F);
     }}},
    {"rect", {7, [](const Args& a) {  // left top right bottom, a colour or the stock white brush
       const RECT r{a.Int(2), a.Int(3), a.Int(4), a.Int(5)};
       const bool stock = a.Word(6) == "white";
       HBRUSH brush = stock ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)) : CreateSolidBrush(a.C(6));
       FillRect(a.Dc(1), &r, brush);
       if (!stock) DeleteObject(brush);
     }}},
    {"letter", {6, Letter}},  // ink paper width height
    {"gradient", {2, [](const Args& a) {  // different at every pixel: a blit's footprint shows under AND and XOR
       for (int y = 0; y < a.S(1).height; ++y) {
         for (int x = 0; x < a.S(1).width; ++x) SetPixel(a.Dc(1), x, y, RGB(x * 9 + 3, y * 11 + 5, (x * y * 7) & 0xFF));
       }
     }}},
    {"bitblt", {10, [](const Args& a) {  // D S x y sourceX sourceY width height copy|and|invert
       const std::map<std::string, DWORD> rops = {{"copy", SRCCOPY}, {"and", SRCAND}, {"invert", SRCINVERT}};
       BitBlt(a.Dc(1), a.Int(3), a.Int(4), a.Int(7), a.Int(8), a.Dc(2), a.Int(5), a.Int(6), rops.at(a.Word(9)));
     }}},
    {"ring", {6, [](const Args& a) {  // raw line from (x, y) to ring point k times scale
       const auto [dx, dy] = RingPoint(a.Int(4));
       MoveToEx(a.Dc(1), a.Int(2), a.Int(3), nullptr);
       LineTo(a.Dc(1), a.Int(2) + dx * a.Int(5), a.Int(3) + dy * a.Int(5));
     }}},
    {"fan", {3, [](const Args& a) {  // every ring point times scale through the surface, pen by pen
       const int scale = a.Int(2), centre = 12 * scale + 2;
       for (int k = 0; k < 96; ++k) {
         a.S(1).SetPenColor(0x00102030u * Color(k % 7 + 1));
         a.S(1).DrawLine(centre, centre, centre + RingPoint(k)[0] * scale, centre + RingPoint(k)[1] * scale);
       }
     }}},
    {"ball", {7, [](const Args& a) {  // round|square radius x y scaleX scaleY
       Ball* ball = a.canvas.field.AddBall(a.Word(1) == "round" ? BALL_ROUND : BALL_SQUARE, std::uint32_t(a.Int(2)));
       ball->centerX = a.Int(3), ball->centerY = a.Int(4), ball->scaleX = a.Int(5), ball->scaleY = a.Int(6);
     }}},
    {"contour", {6, [](const Args& a) { a.canvas.field.DrawContour(a.Int(2), a.Int(3), a.Int(4), a.Int(5), &a.S(1)); }}},
    {"wires", {4, [](const Args& a) {  // the example scene by one method in one view
       Mesh sphere, cube;
       BuildExampleScene(sphere, cube);
       for (Mesh* mesh : {&sphere, &cube}) {
         Wire(a.S(1), a.Word(2), mesh->vertices, mesh, {200, 200}, a.Int(3), mesh == &cube ? 0x00FFFFFF : 0x0000C0FF);
       }
     }}},
    {"half-sphere", {3, [](const Args& a) {  // a vertex walk over the vertices left of the middle
       Mesh sphere;
       BuildSphere(sphere, 150, 12, 20);
       ObjList<MeshVertex> half;
       for (ListNode<MeshVertex>* node = sphere.vertices.Head(); !node->isTail;) {
         if ((node = node->next)->item->x < 0) half.Append(node->item);
       }
       Wire(a.S(1), a.Word(2), half, nullptr, {210, 190}, VIEW_FRONT, 0x0040FF40);
     }}},
    {"shaded-scene", {2, ShadedScene}},
    {"shaded-cube", {3, [](const Args& a) {  // turned by a step number
       Mesh cube;
       BuildCube(cube, 70);
       RotateMesh(cube, 0.3 * a.Int(2), 0.5 * a.Int(2) + 0.2);
       a.S(1).DrawShadedMesh(cube.vertices, cube.triangles);
     }}},
    {"shaded-empty", {2, [](const Args& a) {
       ObjList<MeshVertex> vertices;
       ObjList<MeshTriangle> triangles;
       a.S(1).DrawShadedMesh(vertices, triangles);
     }}},
    {"file", {5, File}},
    {"bmp", {0, [](const Args& a) { a.canvas.picture = BitmapPicture(a.step); }}},
};

}  // namespace

Picture CaptureBitmap(HBITMAP bitmap) {
  BITMAP record{};
  Picture picture;
  if (!bitmap || GetObjectA(bitmap, sizeof record, &record) != sizeof record) return picture;
  picture = {record.bmWidth, record.bmHeight, record.bmBitsPixel, {}};
  const auto* bits = static_cast<const std::uint8_t*>(record.bmBits);
  if (bits) picture.bits.assign(bits, bits + std::size_t(record.bmWidthBytes) * record.bmHeight);
  return picture;
}

Picture DrawSteps(const std::vector<Step>& steps) {
  Canvas canvas;
  for (const Step& step : steps) {
    const auto command = kCommands.find(step[0]);
    if (command == kCommands.end()) throw std::invalid_argument("unknown step " + step[0]);
    if (command->second.words && step.size() != command->second.words) throw std::invalid_argument("wrong argument count");
    command->second.run(Args{step, canvas});
  }
  if (canvas.picture) return *canvas.picture;
  Picture picture = CaptureBitmap(canvas.surfaces[0].bitmap);
  picture.bits.insert(picture.bits.end(), canvas.appended.begin(), canvas.appended.end());
  return picture;
}

}  // namespace zantrel::diff
