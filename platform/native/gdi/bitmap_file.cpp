// LoadImageA(IMAGE_BITMAP, LR_LOADFROMFILE | LR_CREATEDIBSECTION): a Windows bitmap file becomes a
// DIB section of the file's depth, drawn as the platform's loader draws it.
//
// Accepted: core (12-byte), info (40), V4 (108) and V5 (124) headers; 1, 4, 8, 16, 24 and 32 bits
// per pixel; BI_RGB, BI_BITFIELDS (16 and 32 bpp), BI_RLE8 (8 bpp) and BI_RLE4 (4 bpp); bottom-up
// and, uncompressed, top-down. Indexed pictures get their depth's full colour table: a longer
// table in the file is cut, a shorter one padded with black. 16 bpp pictures become 5-5-5 and
// 32 bpp ones 8-8-8, their pixels kept as they are when the file has those masks (unused bits
// included) and otherwise converted through their colour. The headers must be whole and the
// pixels must start inside the file; pixel bytes and colour entries that a cut-short file lacks
// read as zero. Nothing beyond the picture itself is allocated, and nothing outside the file read.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/native/gdi/format.h"
#include "platform/native/gdi/objects.h"
#include "platform/native/gdi/run_length.h"

using namespace zantrel::gdi;

namespace {

constexpr std::int64_t kMaxFileBytes = std::int64_t{256} << 20;
constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kCoreHeader = 12, kInfoHeader = 40, kV4Header = 108, kV5Header = 124;
constexpr std::uint32_t k555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr std::uint32_t k888[3] = {0xFF0000, 0x00FF00, 0x0000FF};

std::uint32_t U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ReadFile(const char* path, std::vector<std::uint8_t>& data) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && size <= kMaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    data.resize(static_cast<std::size_t>(size));
    ok = std::fread(data.data(), 1, data.size(), file) == data.size();
  }
  std::fclose(file);
  return ok;
}

// What the headers say, checked for sense but not yet against the pixel data.
struct Layout {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t rows = 0;
  bool topDown = false;
  std::uint32_t bpp = 0;
  std::uint32_t compression = BI_RGB;
  std::uint32_t imageSize = 0;  // the run-length stream's length
  std::uint32_t masks[3] = {};  // of 16 and 32 bpp pixels
  std::size_t tableAt = 0;      // file offset of the colour table
  std::size_t entryBytes = 4;
  std::uint32_t tableEntries = 0;  // the entries the file's table takes up
};

bool ReadHeaders(const std::vector<std::uint8_t>& file, Layout& l) {
  if (file.size() < kFileHeader + 4 || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint8_t* info = file.data() + kFileHeader;
  l.headerSize = U32(info);
  const bool core = l.headerSize == kCoreHeader;
  if (!core && l.headerSize != kInfoHeader && l.headerSize != kV4Header && l.headerSize != kV5Header) {
    return false;
  }
  if (l.headerSize > file.size() - kFileHeader) return false;
  std::int64_t height;
  std::uint32_t colorsUsed = 0;
  if (core) {
    l.width = U16(info + 4);
    height = U16(info + 6);
    if (U16(info + 8) != 1) return false;
    l.bpp = U16(info + 10);
    l.entryBytes = 3;
  } else {
    l.width = static_cast<std::int32_t>(U32(info + 4));
    height = static_cast<std::int32_t>(U32(info + 8));
    if (U16(info + 12) != 1) return false;
    l.bpp = U16(info + 14);
    l.compression = U32(info + 16);
    l.imageSize = U32(info + 20);
    colorsUsed = U32(info + 32);
  }
  l.topDown = height < 0;
  l.rows = l.topDown ? -height : height;
  if (l.width <= 0 || l.rows <= 0 || l.width > 0x7FFFFFFF / 32 || l.rows > 0x7FFFFFFF) return false;
  switch (l.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  // Run-length pictures are bottom-up by definition, and each kind has one depth.
  const bool runLength = l.compression == BI_RLE8 || l.compression == BI_RLE4;
  if (runLength && (l.topDown || l.bpp != (l.compression == BI_RLE8 ? 8u : 4u))) return false;
  if (l.compression == BI_BITFIELDS && l.bpp != 16 && l.bpp != 32) return false;
  if (l.compression != BI_RGB && l.compression != BI_BITFIELDS && !runLength) return false;

  l.tableAt = kFileHeader + l.headerSize;
  if (l.compression == BI_BITFIELDS) {
    // An info header is followed by the masks; V4 and V5 headers hold them.
    const std::uint8_t* masks = info + kInfoHeader;
    if (l.headerSize == kInfoHeader) {
      if (file.size() - l.tableAt < sizeof l.masks) return false;
      l.tableAt += sizeof l.masks;
    }
    for (int i = 0; i < 3; ++i) l.masks[i] = U32(masks + 4 * i);
  } else if (l.bpp == 16) {
    std::memcpy(l.masks, k555, sizeof l.masks);
  } else if (l.bpp == 32) {
    std::memcpy(l.masks, k888, sizeof l.masks);
  }
  // A table of up to 256 entries follows; a count above that names 256.
  constexpr std::uint32_t kMaxEntries = 256;
  l.tableEntries = colorsUsed > kMaxEntries ? kMaxEntries : colorsUsed;
  if (core || (colorsUsed == 0 && l.bpp <= 8)) l.tableEntries = l.bpp <= 8 ? 1u << l.bpp : 0;
  return true;
}

// Copies each row's pixels as far as the file holds them, in memory order; the row padding and the
// bits past a row's last pixel stay zero.
void CopyRows(Bitmap& b, const FileTail& bits) {
  const std::size_t pitch = static_cast<std::size_t>(b.pitch);
  const std::uint64_t rowBits = static_cast<std::uint64_t>(b.width) * static_cast<std::uint64_t>(b.bitsPerPixel);
  const std::size_t wholeBytes = static_cast<std::size_t>(rowBits / 8);
  const int lastBits = static_cast<int>(rowBits % 8);
  std::uint8_t* out = b.memory;
  for (std::size_t at = 0; out < b.memory + pitch * static_cast<std::size_t>(b.height) && at < bits.size;
       at += pitch, out += pitch) {
    const std::size_t held = bits.size - at;
    std::memcpy(out, bits.data + at, held < wholeBytes ? held : wholeBytes);
    if (lastBits && held > wholeBytes) out[wholeBytes] = bits.data[at + wholeBytes] & (0xFF << (8 - lastBits));
  }
}

// Rewrites the 16 or 32 bpp pixels within the first `held` bytes in memory from the file's masks
// into the bitmap's own format, through their colour. The pixels after them are zero either way,
// so the work is bounded by the file, not by the picture it describes.
void ConvertPixels(Bitmap& b, std::size_t held, const std::uint32_t (&fileMasks)[3]) {
  const std::size_t pitch = static_cast<std::size_t>(b.pitch);
  const std::size_t pixelBytes = static_cast<std::size_t>(b.bitsPerPixel / 8);
  std::uint8_t* row = b.memory;
  for (std::size_t at = 0; at < held; at += pitch, row += pitch) {
    const std::size_t rowPixels = (held - at + pixelBytes - 1) / pixelBytes;
    const int pixels = rowPixels < static_cast<std::size_t>(b.width) ? static_cast<int>(rowPixels) : b.width;
    for (int x = 0; x < pixels; ++x) {
      const COLORREF c = MaskedColor(b.format->get(row, x), fileMasks);
      b.format->put(row, x, b.format->fromColor(b, c));
    }
  }
}

HBITMAP Decode(const std::vector<std::uint8_t>& file) {
  Layout l;
  if (!ReadHeaders(file, l)) return nullptr;
  const FileTail whole{file.data(), file.size()};

  RGBQUAD palette[256] = {};
  const int colors = l.bpp <= 8 ? 1 << l.bpp : 0;
  const std::uint32_t fromFile = l.tableEntries < static_cast<std::uint32_t>(colors) ? l.tableEntries : colors;
  for (std::uint32_t i = 0; i < fromFile; ++i) {
    const std::uint64_t at = l.tableAt + std::uint64_t{i} * l.entryBytes;
    palette[i] = RGBQUAD{whole.At(at), whole.At(at + 1), whole.At(at + 2), 0};
  }

  // The pixels start at the file header's offset; 0 and 14, which would put them on the file or
  // info header, mean "right after the colour table".
  std::uint64_t bitsAt = U32(file.data() + 10);
  if (bitsAt == 0 || bitsAt == kFileHeader) bitsAt = l.tableAt + std::uint64_t{l.tableEntries} * l.entryBytes;
  if (bitsAt > file.size()) return nullptr;
  const FileTail bits{file.data() + bitsAt, file.size() - static_cast<std::size_t>(bitsAt)};

  const bool direct = l.bpp >= 16 && l.bpp != 24;
  const std::uint32_t* plain = l.bpp == 16 ? k555 : nullptr;
  Bitmap* b = NewDibSection(static_cast<int>(l.width), static_cast<int>(l.topDown ? -l.rows : l.rows),
                            static_cast<int>(l.bpp), plain, colors ? palette : nullptr, colors);
  if (!b) return nullptr;
  if (l.compression == BI_RLE8 || l.compression == BI_RLE4) {
    DrawRunLength(*b, bits, l.imageSize);
  } else {
    CopyRows(*b, bits);
    const std::size_t bytes = static_cast<std::size_t>(b->pitch) * static_cast<std::size_t>(b->height);
    const std::uint32_t(&own)[3] = l.bpp == 16 ? k555 : k888;
    if (direct && std::memcmp(l.masks, own, sizeof own) != 0) {
      ConvertPixels(*b, bits.size < bytes ? bits.size : bytes, l.masks);
    }
  }
  return reinterpret_cast<HBITMAP>(static_cast<Object*>(b));
}

}  // namespace

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int, int, UINT flags) {
  if (!name || type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE)) return nullptr;
  std::vector<std::uint8_t> file;
  if (!ReadFile(name, file)) return nullptr;
  return Decode(file);
}
