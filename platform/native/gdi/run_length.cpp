#include "platform/native/gdi/run_length.h"

#include "platform/native/gdi/format.h"

namespace zantrel::gdi {
namespace {

enum Escape : std::uint8_t { kEndOfLine = 0, kEndOfPicture = 1, kDelta = 2 };

// The value of pixel k of a run: a byte of its own at 8 bpp; at 4 bpp the nibbles of the run's
// bytes, high one first, whatever column the run starts in.
std::uint32_t RunPixel(bool nibbles, std::uint8_t byte, int k) {
  return nibbles ? (k & 1 ? byte & 0xF : byte >> 4) : byte;
}

}  // namespace

void DrawRunLength(Bitmap& b, const FileTail& in, std::uint32_t length) {
  const bool nibbles = b.bitsPerPixel == 4;
  int x = 0;
  int y = b.height - 1;  // rows run from the bottom one up
  int spanStart = 0;     // where the pixels drawn since the last escape begin on row y
  auto put = [&](int column, std::uint32_t value) { b.format->put(Row(b, y), column, value); };
  std::uint64_t i = 0;
  while (i + 1 < length) {
    const int count = in.At(i);
    const std::uint8_t code = in.At(i + 1);
    i += 2;
    if (count > 0) {  // encoded run: count pixels of one byte's value or two nibbles in turn
      const int n = count < b.width - x ? count : b.width - x;
      for (int k = 0; k < n; ++k) put(x + k, RunPixel(nibbles, code, k));
      x += n;
      continue;
    }
    if (code > kDelta) {  // absolute run: `code` pixels follow, padded to a 16-bit boundary
      const std::uint32_t bytes = nibbles ? (code + 1u) / 2 : code;
      if (bytes > length - i) break;
      const int n = code < b.width - x ? code : b.width - x;
      for (int k = 0; k < n; ++k) {
        put(x + k, RunPixel(nibbles, in.At(i + static_cast<std::uint32_t>(nibbles ? k / 2 : k)), k));
      }
      x += n;
      i += (bytes + 1) & ~1u;
      continue;
    }
    // An escape keeps what was drawn before it.
    if (code == kEndOfPicture) return;
    if (code == kEndOfLine) {
      x = 0;
      if (--y < 0) return;
    } else {
      if (i + 1 >= length) return;
      x += in.At(i);
      if (x > b.width) x = b.width;
      y -= in.At(i + 1);
      if (y < 0) return;
      i += 2;
    }
    spanStart = x;
  }
  for (int column = spanStart; column < x; ++column) put(column, 0);
}

}  // namespace zantrel::gdi
