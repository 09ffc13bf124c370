// zantrel-catalogue OUTDIR [NAME-PREFIX]: draws every catalogue picture (or those whose names
// start with the prefix) and writes each as OUTDIR/<name>.pic: "ZPIC", then width, height and
// bits per pixel as little-endian 32-bit integers, then the raw bits.
// zantrel-catalogue --list: prints the names, one per line.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tests/diff/catalogue.h"

namespace {

bool WritePicture(const std::string& path, const zantrel::diff::Picture& picture) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  unsigned char header[16] = {'Z', 'P', 'I', 'C'};
  const std::int32_t fields[3] = {picture.width, picture.height, picture.bitsPerPixel};
  for (int f = 0; f < 3; ++f) {
    const auto v = static_cast<std::uint32_t>(fields[f]);
    for (int i = 0; i < 4; ++i) header[4 + 4 * f + i] = static_cast<unsigned char>(v >> (8 * i));
  }
  bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header;
  if (!picture.bits.empty()) {
    ok = ok && std::fwrite(picture.bits.data(), 1, picture.bits.size(), file) == picture.bits.size();
  }
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const auto& entry : zantrel::diff::Catalogue()) std::printf("%s\n", entry.name.c_str());
    return 0;
  }
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: zantrel-catalogue OUTDIR [NAME-PREFIX] | --list\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string prefix = argc == 3 ? argv[2] : "";
  int failures = 0;
  for (const auto& entry : zantrel::diff::Catalogue()) {
    if (entry.name.compare(0, prefix.size(), prefix) != 0) continue;
    try {
      if (!WritePicture(folder + "/" + entry.name + ".pic", entry.draw())) {
        std::fprintf(stderr, "%s: cannot write\n", entry.name.c_str());
        ++failures;
      }
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s: %s\n", entry.name.c_str(), error.what());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
