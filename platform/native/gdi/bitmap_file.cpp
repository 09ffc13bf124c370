// LoadImageA(IMAGE_BITMAP, LR_LOADFROMFILE | LR_CREATEDIBSECTION): a Windows bitmap file becomes a
// DIB section in the file's own format.
//
// Accepted: core (12-byte), info (40), V4 (108) and V5 (124) headers; 1, 4, 8, 16, 24 and 32 bits
// per pixel; BI_RGB and BI_BITFIELDS; bottom-up and top-down. Everything is checked against the
// file's real size before it is read, and the pixel allocation is bounded by what the file holds,
// so a truncated, inconsistent or hostile file gives NULL and nothing else.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/native/gdi/format.h"
#include "platform/native/gdi/objects.h"

using namespace zantrel::gdi;

namespace {

constexpr std::int64_t kMaxFileBytes = std::int64_t{256} << 20;

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

// Rewrites 16 bpp pixels stored with the file's masks into the bitmap's own format.
void ConvertPixels(Bitmap& b, const std::uint32_t (&fileMasks)[3]) {
  for (int y = 0; y < b.height; ++y) {
    std::uint8_t* row = Row(b, y);
    for (int x = 0; x < b.width; ++x) {
      const COLORREF c = MaskedColor(b.format->get(row, x), fileMasks);
      b.format->put(row, x, b.format->fromColor(b, c));
    }
  }
}

HBITMAP Decode(const std::vector<std::uint8_t>& file) {
  constexpr std::size_t kFileHeader = 14;
  if (file.size() < kFileHeader + 12 || file[0] != 'B' || file[1] != 'M') return nullptr;
  const std::uint8_t* info = file.data() + kFileHeader;
  const std::uint32_t headerSize = U32(info);
  const std::size_t available = file.size() - kFileHeader;
  if (headerSize > available) return nullptr;

  std::int64_t width, height;
  std::uint32_t bpp, compression = BI_RGB, colorsUsed = 0;
  std::size_t entryBytes = 4;
  if (headerSize == 12) {
    width = U16(info + 4);
    height = static_cast<std::int16_t>(U16(info + 6));
    if (U16(info + 8) != 1) return nullptr;
    bpp = U16(info + 10);
    entryBytes = 3;
  } else if (headerSize == 40 || headerSize == 108 || headerSize == 124 ||
             (headerSize >= 40 && headerSize <= 124 && headerSize % 4 == 0)) {
    width = static_cast<std::int32_t>(U32(info + 4));
    height = static_cast<std::int32_t>(U32(info + 8));
    if (U16(info + 12) != 1) return nullptr;
    bpp = U16(info + 14);
    compression = U32(info + 16);
    colorsUsed = U32(info + 32);
  } else {
    return nullptr;
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
  if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return nullptr;
  const bool topDown = height < 0;
  const std::int64_t rows = topDown ? -height : height;
  if (width <= 0 || rows <= 0 || width > 0x7FFFFFFF / 32) return nullptr;

  std::size_t offset = headerSize;
  std::uint32_t masks[3] = {};
  const std::uint32_t* maskPtr = nullptr;
  if (compression == BI_BITFIELDS) {
    if (headerSize == 40) {  // masks follow the header; V4 and V5 carry them inside it
      if (offset + 12 > available) return nullptr;
      offset += 12;
    } else if (headerSize < 52) {
      return nullptr;
    }
    for (int i = 0; i < 3; ++i) masks[i] = U32(info + 40 + 4 * i);
    if (!masks[0] && !masks[1] && !masks[2]) return nullptr;
    maskPtr = masks;
  } else if (bpp == 16) {
    masks[0] = 0x7C00, masks[1] = 0x3E0, masks[2] = 0x1F;
  }

  RGBQUAD palette[256] = {};
  int colors = 0;
  if (bpp <= 8) {
    const std::uint32_t full = 1u << bpp;
    colors = static_cast<int>(colorsUsed && colorsUsed < full ? colorsUsed : full);
    if (colorsUsed > full && headerSize != 12) return nullptr;
    if (offset + colors * entryBytes > available) return nullptr;
    for (int i = 0; i < colors; ++i) {
      const std::uint8_t* e = info + offset + i * entryBytes;
      palette[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
  }

  // Pixels start at the file header's offset; they must all be in the file.
  const std::int64_t pitch = ((width * bpp + 31) / 32) * 4;
  const std::uint32_t bitsOffset = U32(file.data() + 10);
  if (bitsOffset < kFileHeader + headerSize || bitsOffset > file.size()) return nullptr;
  if (pitch * rows > static_cast<std::int64_t>(file.size() - bitsOffset)) return nullptr;

  // 16 bpp pictures become 5-5-5 DIB sections whatever masks the file has, as GDI makes them:
  // the file's pixels are converted through their colour.
  static constexpr std::uint32_t k555[3] = {0x7C00, 0x03E0, 0x001F};
  const bool convert = bpp == 16 && maskPtr && std::memcmp(masks, k555, sizeof masks) != 0;
  if (bpp == 16 && maskPtr) maskPtr = k555;
  Bitmap* b = NewDibSection(static_cast<int>(width), static_cast<int>(topDown ? -rows : rows),
                            static_cast<int>(bpp), maskPtr, colors ? palette : nullptr, colors);
  if (!b) return nullptr;
  std::memcpy(b->memory, file.data() + bitsOffset, static_cast<std::size_t>(pitch * rows));
  if (convert) ConvertPixels(*b, masks);
  return reinterpret_cast<HBITMAP>(static_cast<Object*>(b));
}

}  // namespace

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int, int, UINT flags) {
  if (!name || type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE)) return nullptr;
  std::vector<std::uint8_t> file;
  if (!ReadFile(name, file)) return nullptr;
  return Decode(file);
}
