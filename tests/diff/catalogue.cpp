// zantrel-catalogue PICTURES OUTDIR draws each picture of PICTURES (see its head) into
// OUTDIR/<name>.pic: "ZPIC", width, height and bits per pixel as little-endian 32-bit integers,
// then the bits. A picture is surface A's bitmap after the steps, unless a bmp step made it.
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "examples/shapes.h"
#include "field/ball_field.h"
#include "surface/surface.h"
#include "tests/support/ball_setup.h"
#include "tests/support/bmp_file.h"

namespace zantrel::diff {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Step = std::vector<std::string>;  // a command and its arguments

std::uint32_t Hash(std::uint32_t i) {  // noise
  i = (i ^ (i >> 16)) * 0x7FEB352Du;
  i = (i ^ (i >> 15)) * 0x846CA68Bu;
  return i ^ (i >> 16);
}

// Appends the bits as the bitmap holds them, bottom row first; its record, zeros for no bitmap.
BITMAP AppendBits(Bytes& out, HBITMAP bitmap) {
  BITMAP r{};
  if (!bitmap || GetObjectA(bitmap, sizeof r, &r) != sizeof r) return {};
  const auto* bits = static_cast<const std::uint8_t*>(r.bmBits);
  if (bits) out.insert(out.end(), bits, bits + r.bmWidthBytes * r.bmHeight);
  return r;
}

// A picture (see the top) of a bitmap of this record, made of these bits.
Bytes Picture(const BITMAP& r, const Bytes& bits) {
  Bytes out = {'Z', 'P', 'I', 'C'};
  for (LONG v : {r.bmWidth, r.bmHeight, LONG(r.bmBitsPixel)}) test::Put32(out, v);
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

// Pixels of the bmp step, 13 a row: every value of the low bits then noise, or noise with alpha or
// unused bits set in two of every three pixels (16 bpp) or one (32 bpp).
Bytes Values(int bpp, bool alpha, std::int32_t& height) {
  const std::uint32_t count = alpha ? 39 : 129, bytes = bpp / 8, pitch = (13 * bpp + 31) / 32 * 4;
  height = (count + 12) / 13;
  Bytes pixels(pitch * height);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t v = i < 64 ? i * (bpp == 16 ? 0x0421u : 0x04104105u) : Hash(i - 64);
    if (alpha && bpp == 16) v = Hash(i) | (i % 3 ? 0x8000 : 0);
    if (alpha && bpp == 32) v = Hash(i + 100) | (i % 3 ? 0 : 0xFF000000);
    const std::uint32_t at = i / 13 * pitch + i % 13 * bytes;
    for (std::uint32_t b = 0; b < bytes; ++b) pixels[at + b] = v >> 8 * b;
  }
  return pixels;
}

// Pixels as they are (at 4 bpp one nibble each) in an absolute run, padded to 16 bits.
Bytes Absolute(int bpp, const Bytes& pixels) {
  Bytes run = {0, std::uint8_t(pixels.size())};
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (bpp == 8) run.push_back(pixels[i]);
    else if (i % 2 == 0) run.push_back(std::uint8_t(pixels[i] << 4));
    else run.back() |= pixels[i] & 0xF;
  }
  if (run.size() % 2) run.push_back(0);
  return run;
}

// Random runs, absolute runs, escapes and stray bytes; no byte 255 at 8 bpp (see long runs).
void AddRandomCommands(Bytes& out, int bpp, std::uint32_t seed) {
  const auto next = [&seed](std::uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return std::uint8_t((seed >> 8) % range);
  };
  const std::uint32_t byteRange = bpp == 8 ? 255 : 256;
  for (std::uint32_t c = 0, commands = 8 + next(40); c < commands; ++c) {
    const std::uint32_t kind = next(8);
    const std::uint8_t count = 1 + next(20), value = next(byteRange);
    Bytes command = {value};  // a stray byte
    if (kind < 3) command = {count, value};
    if (kind == 3 || kind == 4) {
      Bytes pixels(3 + next(bpp == 8 ? 252 : 30));
      for (auto& p : pixels) p = next(bpp == 8 ? byteRange : 16);
      command = Absolute(bpp, pixels);
    }
    if (kind == 5) command = {0, 0};
    if (kind == 6) command = {0, 2, std::uint8_t(count % 6), std::uint8_t(value % 2)};
    out.insert(out.end(), command.begin(), command.end());
  }
}

// A run-length command: NxV a run of N pixels of V, a... absolute pixels, dR,U a delta, b... raw
// bytes, eol, eop; after the letter N,M,... where F-L stands for F, F + 1, ... L.
void AddCommand(Bytes& out, int bpp, const std::string& word) {
  const std::string command = word == "eol" ? "b0,0" : word == "eop" ? "b0,1" : word;
  const auto letter = command.find_first_of("xadb");
  if (letter == command.npos) throw std::invalid_argument("not a run-length command: " + word);
  Bytes bytes;
  std::istringstream in(command.substr(letter + 1));
  for (std::string part; std::getline(in, part, ',');) {
    const int last = std::stoi(part.substr(part.find('-') + 1));
    for (int n = std::stoi(part); n <= last; ++n) bytes.push_back(n);
  }
  if (command[letter] == 'x') bytes.insert(bytes.begin(), std::uint8_t(std::stoi(command)));
  if (command[letter] == 'a') bytes = Absolute(bpp, bytes);
  if (command[letter] == 'd') bytes.insert(bytes.begin(), {0, 2});
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// The bitmap's GetObjectA record and bits, the picture copied with BitBlt into black 32, 24 and
// 16 bpp DIB sections, its colours read back, and its bits after pixels and a line were drawn on
// it in its own format. One zero byte when there is no bitmap. The bitmap is freed.
Bytes Examine(HBITMAP bitmap) {
  const test::SelectedBitmap selected(bitmap);
  const HDC dc = selected.dc;
  BITMAP r{};
  if (!bitmap || GetObjectA(bitmap, sizeof r, &r) != sizeof r) return Picture({}, {0});
  Bytes out;
  const LONG fields[] = {r.bmType,   r.bmWidth,     r.bmHeight,         r.bmWidthBytes,
                         r.bmPlanes, r.bmBitsPixel, r.bmBits != nullptr};
  for (LONG field : fields) test::Put32(out, field);
  AppendBits(out, bitmap);
  for (int depth : {32, 24, 16}) {
    Surface copy;
    copy.Create(r.bmWidth, r.bmHeight, depth);
    BitBlt(copy.dc, 0, 0, r.bmWidth, r.bmHeight, dc, 0, 0, SRCCOPY);
    AppendBits(out, copy.bitmap);
  }
  for (int i = 0; i < r.bmWidth * r.bmHeight; ++i) {
    test::Put32(out, GetPixel(dc, i % r.bmWidth, i / r.bmWidth));
  }
  const COLORREF kInks[] = {0x000000, 0xFFFFFF, 0x204060, 0x00FF80};  // indexed: the nearest
  for (int i = 0; i < 4; ++i) SetPixel(dc, i, 0, kInks[i]);
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 1, kInks[3]));
  MoveToEx(dc, 0, r.bmHeight - 1, nullptr);
  LineTo(dc, r.bmWidth, -1);
  DeleteObject(SelectObject(dc, pen));
  AppendBits(out, bitmap);
  return Picture(r, out);
}

// bmp PIXELS KEY=VALUE... WORD...: PIXELS are noise (random bytes), values or alpha (see Values),
// rle (the words as run-length commands) or random (commands from seed=N). Keys: header width
// height bpp colors table (entries; default: colors, or all of an indexed depth) offset imagesize
// keep (pixel bytes kept) masks=R,G,B,A (hex). Words: bitfields; section: a DIB section, not a
// file loaded with LoadImageA; surface: the file loaded by a surface, copied onto a grey 32 bpp
// one and below it again after a diagonal was drawn on it, its bits as loaded following.
Bytes BitmapPicture(const Step& step) {
  constexpr std::string_view kKeys = " header width height bpp colors table offset imagesize "
                                     "keep masks seed bitfields section surface ";
  std::map<std::string, std::string> fields;  // KEY=VALUE, or WORD=1
  std::vector<std::string> commands;
  for (std::size_t i = 2; i < step.size(); ++i) {
    const std::string& w = step[i];
    const auto equals = w.find('=');
    if (kKeys.find(" " + w.substr(0, equals) + " ") == kKeys.npos) commands.push_back(w);
    else fields[w.substr(0, equals)] = equals == w.npos ? "1" : w.substr(equals + 1);
  }
  const auto field = [&fields](const std::string& key, std::int64_t otherwise) {
    return fields.count(key) ? std::stoll(fields[key], nullptr, 0) : otherwise;
  };
  const std::string& pixels = step.at(1);
  const bool rle = pixels == "rle" || pixels == "random";
  const int bpp = field("bpp", 8), seed = field("seed", 0);
  if (!rle && !commands.empty()) throw std::invalid_argument("unknown word " + commands[0]);
  test::BmpParts p{.headerSize = std::uint32_t(field("header", 40)),
                   .width = std::int32_t(field("width", seed ? 9 + seed % 5 : 13)),
                   .height = std::int32_t(field("height", seed ? 4 + seed % 4 : rle ? 6 : 5)),
                   .bitsPerPixel = std::uint16_t(bpp),
                   .compression = field("bitfields", 0) ? 3u : 0u,
                   .colorsUsed = std::uint32_t(field("colors", 0))};
  const auto entries = field("table", p.colorsUsed ? p.colorsUsed : bpp <= 8 ? 1 << bpp : 0);
  for (int i = 0; i < entries; ++i) p.table.push_back(test::PaletteColor(i));
  std::sscanf(fields["masks"].c_str(), "%x,%x,%x,%x", &p.masks[0], &p.masks[1], &p.masks[2],
              &p.masks[3]);
  if (pixels == "noise") {
    p.pixels.resize((p.width * bpp + 31) / 32 * 4 * p.height);
    const std::uint32_t salt = bpp * 1000 + p.table.size();
    for (std::size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = Hash(i + salt);
  } else if (pixels == "values" || pixels == "alpha") {
    p.pixels = Values(bpp, pixels == "alpha", p.height);
  } else if (rle) {
    if (pixels == "random") AddRandomCommands(p.pixels, bpp, seed * 7919u + bpp);
    for (const std::string& command : commands) AddCommand(p.pixels, bpp, command);
    p.compression = bpp == 8 ? 1 : 2;
    p.imageSize = field("imagesize", p.pixels.size());
  } else {
    throw std::invalid_argument("unknown pixels " + pixels);
  }
  p.pixelOffset = field("offset", -1);
  p.pixels.resize(field("keep", p.pixels.size()));
  if (field("section", 0)) {
    void* bits = nullptr;
    HBITMAP dib = test::MakeBitfieldDib(13, p.height, bpp, {p.masks[0], p.masks[1], p.masks[2]},
                                        &bits);
    if (dib) std::ranges::copy(p.pixels, static_cast<std::uint8_t*>(bits));
    return Examine(dib);
  }
  if (!field("surface", 0)) return Examine(test::LoadBmp(test::AssembleBmp(p)));
  const std::string path = test::TempBmpFile(test::AssembleBmp(p));
  Surface loaded, target;
  loaded.LoadBitmapFile(path.c_str());
  std::remove(path.c_str());
  Bytes asLoaded;
  AppendBits(asLoaded, loaded.bitmap);
  target.Create(loaded.width + 2, 2 * loaded.height + 3, 32);
  target.Clear(0x00808080);
  target.Blit(loaded, 1, 1);
  loaded.SetPenColor(0x0000FF80);
  loaded.DrawLine(0, 0, loaded.width, loaded.height);
  target.Blit(loaded, 1, loaded.height + 2);
  Bytes bits;
  const BITMAP r = AppendBits(bits, target.bitmap);
  bits.insert(bits.end(), asLoaded.begin(), asLoaded.end());
  return Picture(r, bits);
}

// The k-th of the 96 points of the square ring of radius 12, counter-clockwise from (12, 0).
std::array<int, 2> RingPoint(int k) {
  const int side = k / 24, step = k % 24 - 12;
  const std::array<int, 2> points[] = {{12, step}, {-step, 12}, {-12, -step}, {step, -12}};
  return points[side];
}

// A wireframe of the vertices, or of the mesh's edges or triangles, by the method named.
void Wire(Surface& s, const std::string& method, std::int32_t view, ObjList<MeshVertex>& vertices,
          Mesh* mesh, MeshOrigin at, Color color) {
  if (method == "vertex") s.DrawVertexMesh(vertices, at, view, color);
  else if (method == "skip-visited") s.DrawVertexMeshSkipVisited(vertices, at, view, color);
  else if (method == "inside") s.DrawVertexMeshInside(vertices, at, view, color);
  else if (method == "edge" && mesh) s.DrawEdgeMesh(mesh->edges, at, view, color);
  else if (method == "triangle" && mesh) s.DrawTriangleMesh(mesh->triangles, at, view, color);
  else throw std::invalid_argument("unknown wire method " + method);
}

// A step: `surface S W H BPP` makes surface S (A..Z), the others draw through it or its DC;
// `bitblt D S x y sourceX sourceY width height rop` copies from S to D.
void Run(const Step& step, std::array<Surface, 26>& surfaces, BallField& field) {
  const auto n = [&step](std::size_t i) {
    std::size_t used = 0;
    const int value = std::stoi(step.at(i), &used, 0);
    return used == step[i].size() ? value : throw std::invalid_argument("not a number: " + step[i]);
  };
  const auto surface = [&](std::size_t i) -> Surface& { return surfaces.at(step.at(i)[0] - 'A'); };
  const std::string& name = step[0];
  if (name == "ball") {  // round|square radius x y scaleX scaleY
    const std::int32_t shape = step[1] == "round" ? BALL_ROUND : BALL_SQUARE;
    test::Place(field, {shape, std::uint32_t(n(2)), n(3), n(4), n(5), n(6)});
    return;
  }
  Surface& s = surface(1);
  if (name == "surface") s.Create(n(2), n(3), n(4));
  else if (name == "pen") s.SetPenColor(n(2));
  else if (name == "clear") s.Clear(n(2));
  else if (name == "line") s.DrawLine(n(2), n(3), n(4), n(5));
  else if (name == "triangle") s.FillTriangle(n(2), n(3), n(4), n(5), n(6), n(7));
  else if (name == "blit") s.Blit(surface(2), n(3), n(4));
  else if (name == "masked") s.BlitMasked(surface(2), surface(3), n(4), n(5));
  else if (name == "lineto") LineTo(s.dc, n(2), n(3));
  else if (name == "pixel") SetPixel(s.dc, n(2), n(3), n(4));
  else if (name == "contour") field.DrawContour(n(2), n(3), n(4), n(5), &s);
  else if (name == "bitblt") BitBlt(s.dc, n(3), n(4), n(7), n(8), surface(2).dc, n(5), n(6), n(9));
  else if (name == "segment") {
    MoveToEx(s.dc, n(2), n(3), nullptr);
    LineTo(s.dc, n(4), n(5));
  } else if (name == "readback") {  // row `from` read back, written one to the right in row `to`
    for (int x = 0; x + 1 < s.width; ++x) {
      SetPixel(s.dc, x + 1, n(3), GetPixel(s.dc, x, n(2)) | 0x0F0F0F);
    }
  } else if (name == "rect") {  // left top right bottom, a colour or the stock white brush
    const RECT r{n(2), n(3), n(4), n(5)};
    const bool stock = step.at(6) == "white";
    HBRUSH brush = stock ? HBRUSH(GetStockObject(WHITE_BRUSH)) : CreateSolidBrush(n(6));
    FillRect(s.dc, &r, brush);
    if (!stock) DeleteObject(brush);
  } else if (name == "noise") {  // a colour of its own at every pixel: flips and footprints show
    for (int i = 0; i < s.width * s.height; ++i) {
      SetPixel(s.dc, i % s.width, i / s.width, Hash(i + n(2)) & 0xFFFFFF);
    }
  } else if (name == "ring") {  // a raw line from (x, y) to ring point k times scale
    const auto [dx, dy] = RingPoint(n(4));
    MoveToEx(s.dc, n(2), n(3), nullptr);
    LineTo(s.dc, n(2) + dx * n(5), n(3) + dy * n(5));
  } else if (name == "fan") {  // every ring point, scaled to the surface, drawn pen by pen
    const int scale = (s.width - 5) / 24, centre = 12 * scale + 2;
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
      for (ListNode<MeshTriangle>* node = mesh->triangles.Head(); !node->isTail;) {
        scene.Append((node = node->next)->item);
      }
      const Color color = mesh == &cube ? 0x00FFFFFF : 0x0000C0FF;
      if (name == "wires") Wire(s, step.at(2), n(3), mesh->vertices, mesh, {200, 200}, color);
    }
    if (name == "shaded-scene") s.DrawShadedMesh(sphere.vertices, scene);
  } else if (name == "half-sphere") {  // a vertex walk over the vertices left of the middle
    Mesh sphere;
    BuildSphere(sphere, 150, 12, 20);
    ObjList<MeshVertex> half;
    for (ListNode<MeshVertex>* node = sphere.vertices.Head(); !node->isTail;) {
      if ((node = node->next)->item->x < 0) half.Append(node->item);
    }
    Wire(s, step.at(2), VIEW_FRONT, half, nullptr, {210, 190}, 0x0040FF40);
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

Bytes DrawSteps(const std::string& text) {
  std::array<Surface, 26> surfaces;
  BallField field;
  std::istringstream steps(text);
  for (std::string words; std::getline(steps, words, ';');) {
    std::istringstream in(words);
    const Step step{std::istream_iterator<std::string>(in), {}};
    if (step.empty()) continue;
    if (step[0] == "bmp") return BitmapPicture(step);
    Run(step, surfaces, field);
  }
  Bytes bits;
  const BITMAP r = AppendBits(bits, surfaces[0].bitmap);
  return Picture(r, bits);
}

using Group = std::vector<std::pair<std::string, std::string>>;  // label and value
using Lists = std::map<std::string, Group>;
using Pictures = std::map<std::string, std::string>;  // name and steps

// @LIST, FIRST..LAST (labels padded to FIRST's width) or ALT|ALT... with ALT = LABEL[=VALUE].
Group ParseGroup(const std::string& body, const Lists& lists) {
  if (body.starts_with('@')) return lists.at(body.substr(1));
  Group group;
  if (const auto dots = body.find(".."); dots != std::string::npos) {
    for (int i = std::stoi(body); i <= std::stoi(body.substr(dots + 2)); ++i) {
      const std::string n = std::to_string(i);
      group.emplace_back(std::string(dots - std::min(dots, n.size()), '0') + n, n);
    }
    return group;
  }
  std::istringstream in(body);
  for (std::string alternative; std::getline(in, alternative, '|');) {
    const auto equals = alternative.find('=');  // npos + 1: the value is the whole alternative
    group.emplace_back(alternative.substr(0, equals), alternative.substr(equals + 1));
  }
  return group;
}

// One picture per alternative of the name's first group, its value standing for $N (the group's
// number) in the steps; the rest of the name is expanded in turn.
void Expand(const std::string& name, const std::string& steps, char n, const Lists& lists,
            Pictures& out) {
  const auto open = name.find('{'), close = name.find('}', open);
  if (open == std::string::npos) {
    if (!out.emplace(name, steps).second) throw std::invalid_argument("repeated name " + name);
    return;
  }
  const std::regex placeholder(std::string("\\$") + n);
  for (const auto& [label, value] : ParseGroup(name.substr(open + 1, close - open - 1), lists)) {
    const auto text = std::regex_replace(steps, placeholder, value);  // no value holds a $
    Expand(name.substr(0, open) + label + name.substr(close + 1), text, n + 1, lists, out);
  }
}

Pictures ReadPictures(std::istream& in) {
  std::string text(std::istreambuf_iterator<char>(in), {});
  text = std::regex_replace(text, std::regex("\n(?= )"), "");  // a line continued
  std::istringstream lines(std::regex_replace(text, std::regex(" *([|=]) *"), "$1"));
  Lists lists;
  Pictures pictures;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const auto equals = line.find('='), colon = line.find(':');
    if (line[0] == '@') {
      lists[line.substr(1, equals - 1)] = ParseGroup(line.substr(equals + 1), lists);
    } else if (colon != std::string::npos) {
      Expand(line.substr(0, colon), line.substr(colon + 1), '1', lists, pictures);
    } else {
      throw std::invalid_argument("neither a list nor a picture: " + line);
    }
  }
  return pictures;
}

}  // namespace
}  // namespace zantrel::diff

// Names each picture on standard output ("picture NAME") before drawing it, so that a run that
// dies names the picture it died on; --after NAME resumes such a run behind that picture.
int main(int argc, char** argv) {
  using namespace zantrel;
  const bool resumes = argc == 5 && std::string(argv[3]) == "--after";
  std::ifstream in(argc == 3 || resumes ? argv[1] : "");
  if (!in) {
    std::fprintf(stderr, "usage: zantrel-catalogue PICTURES OUTDIR [--after NAME]\n");
    return 2;
  }
  std::string file = argv[1];  // what an error is about
  bool drawing = !resumes;
  try {
    for (const auto& [name, steps] : diff::ReadPictures(in)) {
      if (!drawing) {
        drawing = name == argv[4];
        continue;
      }
      std::printf("picture %s\n", name.c_str());
      std::fflush(stdout);
      file = std::string(argv[2]) + "/" + name + ".pic";
      if (!test::WriteBytes(file, diff::DrawSteps(steps))) throw std::runtime_error("not written");
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), error.what());
    return 1;
  }
  return 0;
}
