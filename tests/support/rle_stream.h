// Writes BI_RLE8 and BI_RLE4 pixel streams command by command, well formed or not.
#pragma once

#include <cstdint>
#include <vector>

namespace zantrel::test {

class RleStream {
 public:
  explicit RleStream(int bitsPerPixel) : nibbles_(bitsPerPixel == 4) {}

  // count pixels of `value` (at 4 bpp a byte of two nibbles that alternate, high one first).
  RleStream& Run(int count, std::uint8_t value) { return Bytes({std::uint8_t(count), value}); }
  // The pixels as they are (at 4 bpp one nibble each), padded to a 16-bit boundary.
  RleStream& Absolute(const std::vector<std::uint8_t>& pixels) {
    Bytes({0, std::uint8_t(pixels.size())});
    const std::size_t start = bytes_.size();
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      if (!nibbles_) bytes_.push_back(pixels[i]);
      else if (i % 2 == 0) bytes_.push_back(std::uint8_t(pixels[i] << 4));
      else bytes_.back() |= pixels[i] & 0xF;
    }
    if ((bytes_.size() - start) % 2) bytes_.push_back(0);
    return *this;
  }
  RleStream& EndOfLine() { return Bytes({0, 0}); }
  RleStream& EndOfPicture() { return Bytes({0, 1}); }
  RleStream& Delta(std::uint8_t right, std::uint8_t up) { return Bytes({0, 2, right, up}); }
  RleStream& Bytes(const std::vector<std::uint8_t>& raw) {
    bytes_.insert(bytes_.end(), raw.begin(), raw.end());
    return *this;
  }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  bool nibbles_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace zantrel::test
