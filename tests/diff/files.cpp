// Bitmaps made from fields: files loaded with LoadImageA or by a surface, and DIB sections made
// with bit-field masks. Each picture shows what the platform made of one.
#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string_view>

#include "tests/diff/catalogue.h"
#include "tests/support/bmp_file.h"
#include "tests/support/dib_section.h"

namespace zantrel::diff {

std::uint32_t Hash(std::uint32_t i) {
  i = (i ^ (i >> 16)) * 0x7FEB352Du;
  i = (i ^ (i >> 15)) * 0x846CA68Bu;
  return i ^ (i >> 16);
}

namespace {

// 13 pixels a row: every value of the low bits then noise, or noise with alpha or unused bits
// set in two of every three pixels (16 bpp) or one (32 bpp).
std::vector<std::uint8_t> Values(int bpp, bool alpha, std::int32_t& height) {
  const std::uint32_t count = alpha ? 39 : 129, bytes = bpp / 8, pitch = (13 * bpp + 31) / 32 * 4;
  height = (count + 12) / 13;
  std::vector<std::uint8_t> pixels(pitch * height);
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
void AddAbsolute(std::vector<std::uint8_t>& out, int bpp, const std::vector<std::uint8_t>& pixels) {
  out.insert(out.end(), {0, std::uint8_t(pixels.size())});
  const std::size_t start = out.size();
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (bpp == 8) out.push_back(pixels[i]);
    else if (i % 2 == 0) out.push_back(std::uint8_t(pixels[i] << 4));
    else out.back() |= pixels[i] & 0xF;
  }
  if ((out.size() - start) % 2) out.push_back(0);
}

// A command stream drawn at random: runs, absolute runs, escapes and stray bytes. No byte 255 at
// 8 bpp (see rle8-long-runs).
void AddRandomCommands(std::vector<std::uint8_t>& out, int bpp, std::uint32_t seed) {
  const auto next = [&seed](std::uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return std::uint8_t((seed >> 8) % range);
  };
  const std::uint32_t byteRange = bpp == 8 ? 255 : 256;
  for (std::uint32_t c = 0, commands = 8 + next(40); c < commands; ++c) {
    const std::uint32_t kind = next(8);
    const std::uint8_t count = 1 + next(20), value = next(byteRange);
    if (kind < 3) out.insert(out.end(), {count, value});
    if (kind == 3 || kind == 4) {
      std::vector<std::uint8_t> pixels(3 + next(bpp == 8 ? 252 : 30));
      for (auto& p : pixels) p = next(bpp == 8 ? byteRange : 16);
      AddAbsolute(out, bpp, pixels);
    }
    if (kind == 5) out.insert(out.end(), {0, 0});
    if (kind == 6) out.insert(out.end(), {0, 2, std::uint8_t(count % 6), std::uint8_t(value % 2)});
    if (kind == 7) out.push_back(value);
  }
}

// The numbers after a command's letter: N,M,... where F-L stands for F, F + 1, ... L.
std::vector<std::uint8_t> Numbers(const std::string& word) {
  std::vector<std::uint8_t> numbers;
  std::istringstream in(word.substr(1));
  for (std::string part; std::getline(in, part, ',');) {
    const int last = std::stoi(part.substr(part.find('-') + 1));
    for (int n = std::stoi(part); n <= last; ++n) numbers.push_back(n);
  }
  return numbers;
}

// A run-length command: NxV a run of N pixels of V, a... absolute pixels, dR,U a delta, b... raw
// bytes, eol, eop.
void AddCommand(std::vector<std::uint8_t>& out, int bpp, const std::string& word) {
  const auto x = word.find('x');
  std::vector<std::uint8_t> bytes;
  if (word == "eol" || word == "eop") bytes = {0, std::uint8_t(word == "eop")};
  else if (x != word.npos) bytes = {std::uint8_t(std::stoi(word)), Numbers(word.substr(x)).at(0)};
  else if (word[0] == 'a') AddAbsolute(out, bpp, Numbers(word));
  else if (word[0] == 'd') bytes = {0, 2, Numbers(word).at(0), Numbers(word).at(1)};
  else if (word[0] == 'b') bytes = Numbers(word);
  else throw std::invalid_argument("not a run-length command: " + word);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// The bitmap's GetObjectA record and bits, the picture copied with BitBlt into black 32, 24 and
// 16 bpp DIB sections, its colours read back, and its bits after pixels and a line were drawn on
// it in its own format. One zero byte when there is no bitmap.
Picture Examine(HBITMAP bitmap) {
  BITMAP r{};
  if (!bitmap || GetObjectA(bitmap, sizeof r, &r) != sizeof r) return {0, 0, 0, {0}};
  Picture picture{r.bmWidth, r.bmHeight, r.bmBitsPixel, {}};
  for (LONG field : {LONG(r.bmType), r.bmWidth, r.bmHeight, r.bmWidthBytes, LONG(r.bmPlanes),
                     LONG(r.bmBitsPixel), LONG(r.bmBits != nullptr)}) {
    test::Put32(picture.bits, field);
  }
  const auto append = [&picture](HBITMAP b) {
    const auto bits = CaptureBitmap(b).bits;
    picture.bits.insert(picture.bits.end(), bits.begin(), bits.end());
  };
  append(bitmap);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  for (int depth : {32, 24, 16}) {
    Surface copy;
    copy.Create(r.bmWidth, r.bmHeight, depth);
    BitBlt(copy.dc, 0, 0, r.bmWidth, r.bmHeight, dc, 0, 0, SRCCOPY);
    append(copy.bitmap);
  }
  for (int i = 0; i < r.bmWidth * r.bmHeight; ++i) {
    test::Put32(picture.bits, GetPixel(dc, i % r.bmWidth, i / r.bmWidth));
  }
  const COLORREF kInks[] = {0x000000, 0xFFFFFF, 0x204060, 0x00FF80};  // indexed: the nearest
  for (int i = 0; i < 4; ++i) SetPixel(dc, i, 0, kInks[i]);
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 1, kInks[3]));
  MoveToEx(dc, 0, r.bmHeight - 1, nullptr);
  LineTo(dc, r.bmWidth, -1);
  DeleteObject(SelectObject(dc, pen));
  append(bitmap);
  SelectObject(dc, original);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return picture;
}

constexpr std::string_view kFields =
    " header width height bpp colors table offset imagesize keep masks seed ";
constexpr std::string_view kWords = " bitfields section surface ";

// Named by its content, so that catalogues drawing at once never load each other's files.
std::string TempFile(const std::vector<std::uint8_t>& bytes) {
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const auto name = "zantrel-" + std::to_string(std::hash<std::string_view>{}(content)) + ".bmp";
  const auto path = (std::filesystem::temp_directory_path() / name).string();
  test::WriteBytes(path, bytes);
  return path;
}

}  // namespace

// bmp PIXELS KEY=VALUE... WORD...: PIXELS are noise (random bytes), values or alpha (see Values),
// rle (the words as run-length commands) or random (a random stream from seed=N). Keys: header
// width height bpp colors table (entries; default: colors, or all of an indexed depth) offset
// (the pixel offset) imagesize keep (pixel bytes kept) masks=R,G,B,A. Words: bitfields; section
// makes a DIB section in place of a file loaded with LoadImageA; surface loads the file by a
// surface and copies it onto the target, a grey 32 bpp surface, and below it again after a
// diagonal was drawn on it in its own format, its bits as loaded following.
Picture BitmapPicture(const Step& step, Surface& target) {
  std::map<std::string, std::string> fields;
  std::vector<std::string> words, commands;
  for (std::size_t i = 2; i < step.size(); ++i) {
    const std::string& w = step[i];
    const auto equals = w.find('=');
    const std::string key = " " + w.substr(0, equals) + " ";
    if (equals == std::string::npos) {
      (kWords.find(key) != kWords.npos ? words : commands).push_back(w);
    } else if (kFields.find(key) != kFields.npos) {
      fields[w.substr(0, equals)] = w.substr(equals + 1);
    } else {
      throw std::invalid_argument("unknown field " + w);
    }
  }
  const auto field = [&fields](const std::string& key, std::int64_t otherwise) {
    return fields.count(key) ? std::stoll(fields[key], nullptr, 0) : otherwise;
  };
  const auto has = [&words](const char* word) { return std::ranges::count(words, word) > 0; };
  const std::string& pixels = step.at(1);
  const bool rle = pixels == "rle" || pixels == "random";
  const int bpp = field("bpp", 8), seed = field("seed", 0);
  if (!rle && !commands.empty()) throw std::invalid_argument("unknown word " + commands[0]);
  test::BmpParts p{.headerSize = std::uint32_t(field("header", 40)),
                   .width = std::int32_t(field("width", seed ? 9 + seed % 5 : 13)),
                   .height = std::int32_t(field("height", seed ? 4 + seed % 4 : rle ? 6 : 5)),
                   .bitsPerPixel = std::uint16_t(bpp),
                   .compression = has("bitfields") ? 3u : 0u,
                   .colorsUsed = std::uint32_t(field("colors", 0))};
  for (int i = 0; i < field("table", p.colorsUsed ? p.colorsUsed : bpp <= 8 ? 1 << bpp : 0); ++i) {
    p.table.push_back(test::PaletteColor(i));
  }
  std::istringstream masks(fields["masks"]);
  std::string mask;
  for (std::size_t i = 0; std::getline(masks, mask, ','); ++i) {
    p.masks.at(i) = std::stoul(mask, nullptr, 0);
  }
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
  if (has("section")) {
    void* bits = nullptr;
    HBITMAP dib = test::MakeBitfieldDib(13, p.height, bpp, {p.masks[0], p.masks[1], p.masks[2]},
                                        &bits);
    if (dib) std::ranges::copy(p.pixels, static_cast<std::uint8_t*>(bits));
    return Examine(dib);
  }
  const std::string path = TempFile(test::AssembleBmp(p));
  if (!has("surface")) {
    const UINT flags = LR_LOADFROMFILE | LR_CREATEDIBSECTION;
    HANDLE loaded = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, flags);
    std::filesystem::remove(path);
    return Examine(static_cast<HBITMAP>(loaded));
  }
  Surface loaded;
  loaded.LoadBitmapFile(path.c_str());
  std::filesystem::remove(path);
  const auto bits = CaptureBitmap(loaded.bitmap).bits;
  target.Create(loaded.width + 2, 2 * loaded.height + 3, 32);
  target.Clear(0x00808080);
  target.Blit(loaded, 1, 1);
  loaded.SetPenColor(0x0000FF80);
  loaded.DrawLine(0, 0, loaded.width, loaded.height);
  target.Blit(loaded, 1, loaded.height + 2);
  Picture picture = CaptureBitmap(target.bitmap);
  picture.bits.insert(picture.bits.end(), bits.begin(), bits.end());
  return picture;
}

}  // namespace zantrel::diff
