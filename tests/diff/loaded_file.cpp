#include "tests/diff/loaded_file.h"

#include <filesystem>

#include "tests/diff/dib.h"
#include "tests/support/bmp_file.h"

namespace zantrel::diff {
namespace {

void Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendCopy(std::vector<std::uint8_t>& out, HDC source, const BITMAP& record, int bitsPerPixel) {
  Dib target(record.bmWidth, record.bmHeight, bitsPerPixel);
  BitBlt(target.dc(), 0, 0, record.bmWidth, record.bmHeight, source, 0, 0, SRCCOPY);
  Append(out, target.Capture().bits);
}

}  // namespace

Picture LoadedFilePicture(const std::string& name, const std::vector<std::uint8_t>& file) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("zantrel-catalogue-" + name + ".bmp")).string();
  zantrel::test::WriteBytes(path, file);
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  std::filesystem::remove(path);
  Picture picture;
  if (!bitmap) {
    picture.bits = {0};
    return picture;
  }
  BITMAP record{};
  GetObjectA(bitmap, sizeof record, &record);
  picture.width = record.bmWidth;
  picture.height = record.bmHeight;
  picture.bitsPerPixel = record.bmBitsPixel;
  for (std::int32_t field : {static_cast<std::int32_t>(record.bmType), static_cast<std::int32_t>(record.bmWidth),
                             static_cast<std::int32_t>(record.bmHeight), static_cast<std::int32_t>(record.bmWidthBytes),
                             static_cast<std::int32_t>(record.bmPlanes), static_cast<std::int32_t>(record.bmBitsPixel),
                             static_cast<std::int32_t>(record.bmBits != nullptr)}) {
    zantrel::test::Put32(picture.bits, static_cast<std::uint32_t>(field));
  }
  Append(picture.bits, CaptureBitmap(bitmap).bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  for (int depth : {32, 24, 16}) AppendCopy(picture.bits, dc, record, depth);
  // Colours that an indexed picture maps to its nearest entries, black among them.
  const COLORREF kInks[] = {0x00000000, 0x00FFFFFF, 0x00204060, 0x0000FF80};
  for (int i = 0; i < 4; ++i) SetPixel(dc, i, 0, kInks[i]);
  {
    ScopedPen pen(dc, kInks[3]);
    MoveToEx(dc, 0, record.bmHeight - 1, nullptr);
    LineTo(dc, record.bmWidth, -1);
  }
  Append(picture.bits, CaptureBitmap(bitmap).bits);
  SelectObject(dc, original);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return picture;
}

void AddFilePictures(const std::string& prefix, std::vector<NamedFile> files) {
  for (NamedFile& file : files) {
    const std::string name = prefix + file.name;
    AddPicture(name, [name, bytes = std::move(file.bytes)] { return LoadedFilePicture(name, bytes); });
  }
}

}  // namespace zantrel::diff
