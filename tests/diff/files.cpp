// Bitmap files built field by field and loaded with LoadImageA, and DIB sections made with
// bit-field masks: each picture is what the platform made of one (see Examine).
#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>

#include "surface/surface.h"
#include "tests/diff/catalogue.h"
#include "tests/support/bmp_file.h"
#include "tests/support/dib_section.h"
#include "tests/support/rle_stream.h"

namespace zantrel::diff {
namespace {

using test::RleStream;

std::uint32_t Hash(std::uint32_t i) {
  i = (i ^ (i >> 16)) * 0x7FEB352Du;
  i = (i ^ (i >> 15)) * 0x846CA68Bu;
  return i ^ (i >> 16);
}

// Pixel values: every value of the low bits then noise, or with alpha or unused bits in two of
// every three pixels (16 bpp) or one (32 bpp).
std::vector<std::uint32_t> Values(int bpp, bool alpha) {
  std::vector<std::uint32_t> values;
  for (std::uint32_t i = 0; i < 129 && !alpha; ++i) {
    const std::uint32_t noise = bpp == 16 ? Hash(i - 64) & 0xFFFF : Hash(i - 64);
    values.push_back(i < 64 ? i * (bpp == 16 ? 0x0421u : 0x04104105u) : noise);
  }
  for (std::uint32_t i = 0; i < 39 && alpha; ++i) {
    values.push_back(bpp == 16 ? (Hash(i) & 0xFFFF) | (i % 3 ? 0x8000 : 0) : Hash(i + 100) | (i % 3 ? 0 : 0xFF000000));
  }
  return values;
}

// The values 13 to a row, each in bpp / 8 bytes, rows padded to 32 bits.
std::vector<std::uint8_t> Rows(const std::vector<std::uint32_t>& values, int bpp) {
  const std::size_t pitch = (13 * bpp + 31) / 32 * 4;
  std::vector<std::uint8_t> pixels(pitch * ((values.size() + 12) / 13));
  for (std::size_t i = 0; i < values.size(); ++i) {
    for (int b = 0; b < bpp / 8; ++b) pixels[i / 13 * pitch + i % 13 * (bpp / 8) + b] = std::uint8_t(values[i] >> (8 * b));
  }
  return pixels;
}

// A command stream drawn at random: runs, absolute runs, escapes and stray bytes.
void AddRandomCommands(RleStream& s, int bpp, std::uint32_t seed) {
  auto next = [&seed](std::uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  const std::uint32_t byteRange = bpp == 8 ? 255 : 256;  // no 255 at 8 bpp: see rle8-long-runs
  for (int c = 0, commands = 8 + next(40); c < commands; ++c) {
    const std::uint32_t kind = next(8);
    if (kind < 3) s.Run(1 + next(20), next(byteRange));
    if (kind == 3 || kind == 4) {
      std::vector<std::uint8_t> pixels(3 + next(bpp == 8 ? 252 : 30));
      for (auto& p : pixels) p = next(bpp == 8 ? byteRange : 16);
      s.Absolute(pixels);
    }
    if (kind == 5) s.EndOfLine();
    if (kind == 6) s.Delta(next(6), next(2));
    if (kind == 7) s.Bytes({std::uint8_t(next(byteRange))});
  }
}

// One run-length command: NxV a run of N pixels of V, aI,J,... absolute pixels (aF-L a ramp),
// dR,U a delta, bB,C,... raw bytes, eol, eop.
void AddCommand(RleStream& s, const std::string& word) {
  if (word == "eol") return void(s.EndOfLine());
  if (word == "eop") return void(s.EndOfPicture());
  if (const auto x = word.find('x'); x != std::string::npos) return void(s.Run(std::stoi(word), std::stoi(word.substr(x + 1))));
  std::vector<std::uint8_t> numbers;
  std::istringstream in(word.substr(1));
  for (std::string part; std::getline(in, part, ',');) {
    const auto dash = part.find('-');
    for (int n = std::stoi(part); n <= std::stoi(part.substr(dash == std::string::npos ? 0 : dash + 1)); ++n) numbers.push_back(n);
  }
  if (word[0] == 'a') s.Absolute(numbers);
  else if (word[0] == 'd' && numbers.size() == 2) s.Delta(numbers[0], numbers[1]);
  else if (word[0] == 'b') for (std::uint8_t b : numbers) s.Bytes({b});
  else throw std::invalid_argument("not a run-length command: " + word);
}

// What the platform made of a bitmap: its GetObjectA record, its bits, the picture copied with
// BitBlt into black 32, 24 and 16 bpp DIB sections, its colours read back, and its bits again
// after pixels and a line were drawn on it in its own format. One zero byte when there is none.
Picture Examine(HBITMAP bitmap) {
  BITMAP record{};
  if (!bitmap || GetObjectA(bitmap, sizeof record, &record) != sizeof record) return {0, 0, 0, {0}};
  Picture picture{record.bmWidth, record.bmHeight, record.bmBitsPixel, {}};
  for (LONG field : {LONG(record.bmType), record.bmWidth, record.bmHeight, record.bmWidthBytes, LONG(record.bmPlanes),
                     LONG(record.bmBitsPixel), LONG(record.bmBits != nullptr)}) {
    test::Put32(picture.bits, field);
  }
  const auto append = [&picture](const Picture& p) { picture.bits.insert(picture.bits.end(), p.bits.begin(), p.bits.end()); };
  append(CaptureBitmap(bitmap));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  for (int depth : {32, 24, 16}) {
    Surface copy;
    copy.Create(record.bmWidth, record.bmHeight, depth);
    BitBlt(copy.dc, 0, 0, record.bmWidth, record.bmHeight, dc, 0, 0, SRCCOPY);
    append(CaptureBitmap(copy.bitmap));
  }
  for (int y = 0; y < record.bmHeight; ++y) {
    for (int x = 0; x < record.bmWidth; ++x) test::Put32(picture.bits, GetPixel(dc, x, y));
  }
  const COLORREF kInks[] = {0x000000, 0xFFFFFF, 0x204060, 0x00FF80};  // an indexed picture maps them
  for (int i = 0; i < 4; ++i) SetPixel(dc, i, 0, kInks[i]);
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 1, kInks[3]));
  MoveToEx(dc, 0, record.bmHeight - 1, nullptr);
  LineTo(dc, record.bmWidth, -1);
  DeleteObject(SelectObject(dc, pen));
  append(CaptureBitmap(bitmap));
  SelectObject(dc, original);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return picture;
}

}  // namespace

// `bmp PIXELS KEY=VALUE... [WORD...]`: PIXELS is noise (random bytes), values or alpha (see
// Values), rle (the run-length commands among the words) or random (a random stream, seed=N).
// Fields: header= width= height= bpp= colors= table= (entries; default: colors, or all of an
// indexed depth) masks=R,G,B,A offset= (pixel offset) imagesize= keep= (pixel bytes kept). Words:
// bitfields; section makes a DIB section in place of loading a file.
Picture BitmapPicture(const Step& step) {
  std::map<std::string, std::string> fields;
  std::vector<std::string> words;
  for (std::size_t i = 2; i < step.size(); ++i) {
    const auto equals = step[i].find('=');
    if (equals == std::string::npos) words.push_back(step[i]);
    else fields[step[i].substr(0, equals)] = step[i].substr(equals + 1);
  }
  const auto field = [&fields](const std::string& key, std::int64_t otherwise) {
    return fields.count(key) ? std::stoll(fields[key], nullptr, 0) : otherwise;
  };
  const auto word = [&words](const std::string& w) { return std::find(words.begin(), words.end(), w) != words.end(); };
  const std::string& source = step.at(1);
  const int bpp = field("bpp", 8);
  const std::uint32_t seed = field("seed", 0);
  test::BmpParts p{.headerSize = std::uint32_t(field("header", 40)),
                   .width = std::int32_t(field("width", seed ? 9 + seed % 5 : 13)),
                   .bitsPerPixel = std::uint16_t(bpp),
                   .compression = word("bitfields") ? 3u : 0u,
                   .colorsUsed = std::uint32_t(field("colors", 0))};
  for (int i = 0; i < field("table", p.colorsUsed ? p.colorsUsed : bpp <= 8 ? 1 << bpp : 0); ++i) {
    p.table.push_back(test::PaletteColor(i));
  }
  std::istringstream masks(fields["masks"]);
  std::string mask;
  for (std::size_t i = 0; i < 4 && std::getline(masks, mask, ','); ++i) p.masks[i] = std::stoul(mask, nullptr, 0);
  if (source == "noise") {
    p.height = field("height", 5);
    p.pixels.resize((p.width * bpp + 31) / 32 * 4 * p.height);
    for (std::size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = Hash(i + bpp * 1000 + p.table.size());
  } else if (source == "values" || source == "alpha") {
    const auto values = Values(bpp == 16 ? 16 : 32, source == "alpha");
    p.height = (values.size() + 12) / 13;
    p.pixels = Rows(values, bpp);
  } else if (source == "rle" || source == "random") {
    RleStream s(bpp);
    if (seed) AddRandomCommands(s, bpp, seed * 7919u + bpp);
    for (const std::string& command : words) AddCommand(s, command);
    p.height = field("height", seed ? 4 + seed % 4 : 6);
    p.compression = bpp == 8 ? 1 : 2;
    p.pixels = s.bytes();
    p.imageSize = field("imagesize", p.pixels.size());
  } else {
    throw std::invalid_argument("unknown pixels " + source);
  }
  p.pixelOffset = field("offset", -1);
  p.pixels.resize(field("keep", p.pixels.size()));
  if (word("section")) {
    void* bits = nullptr;
    HBITMAP section = test::MakeBitfieldDib(p.width, p.height, bpp, {p.masks[0], p.masks[1], p.masks[2]}, &bits);
    if (section) std::copy(p.pixels.begin(), p.pixels.end(), static_cast<std::uint8_t*>(bits));
    return Examine(section);
  }
  const std::string path = (std::filesystem::temp_directory_path() / "zantrel-catalogue.bmp").string();
  test::WriteBytes(path, test::AssembleBmp(p));
  auto* bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  std::filesystem::remove(path);
  return Examine(bitmap);
}

}  // namespace zantrel::diff
