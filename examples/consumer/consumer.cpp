// Draws the demo's scene with an installed Zantrel and writes the pictures with a bitmap writer
// of its own: first.bmp, the scene as it starts, and moved.bmp, after the second ball has moved
// 80 pixels right and 60 down. Takes the folder to write into as its command line.
#include <zantrel/field/ball_field.h>
#include <zantrel/surface/surface.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace {

constexpr std::int32_t kSize = 400;

void Put(std::ofstream& file, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) file.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// BITMAPFILEHEADER, BITMAPINFOHEADER, then the rows as the surface stores them (bottom-up).
bool WritePicture(const Surface& surface, const std::string& path) {
  const std::uint32_t rowBytes = static_cast<std::uint32_t>(surface.width) * 4;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(surface.height);
  std::ofstream file(path, std::ios::binary);
  file.put('B');
  file.put('M');
  Put(file, 14 + 40 + imageBytes, 4);
  Put(file, 0, 4);
  Put(file, 14 + 40, 4);
  Put(file, 40, 4);
  Put(file, static_cast<std::uint32_t>(surface.width), 4);
  Put(file, static_cast<std::uint32_t>(surface.height), 4);
  Put(file, 1, 2);   // planes
  Put(file, 32, 2);  // bits per pixel
  Put(file, 0, 4);   // BI_RGB
  Put(file, imageBytes, 4);
  for (int unused = 0; unused < 4; ++unused) Put(file, 0, 4);  // resolution, palette
  file.write(reinterpret_cast<const char*>(surface.pixels), imageBytes);
  return static_cast<bool>(file.flush());
}

void AddBall(BallField& balls, std::int32_t shape, std::uint32_t radius, std::int32_t x,
             std::int32_t y, std::int32_t scaleX) {
  Ball* ball = balls.AddBall(shape, radius);
  ball->centerX = x;
  ball->centerY = y;
  ball->scaleX = scaleX;
  ball->scaleY = 1;
}

bool Draw(const BallField& balls, Surface& surface, const std::string& path) {
  surface.Clear(0);
  balls.DrawContour(200, kSize, kSize, 2, &surface);
  return WritePicture(surface, path);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  std::string folder = commandLine;
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    folder = folder.substr(1, folder.size() - 2);
  }
  if (folder.empty()) return 2;

  BallField balls;
  AddBall(balls, BALL_ROUND, 80, -50, 0, 2);
  AddBall(balls, BALL_ROUND, 80, 50, 0, 1);
  AddBall(balls, BALL_SQUARE, 50, 0, 30, 2);
  Surface surface;
  if (!surface.Create(kSize, kSize, 32)) return 1;
  surface.SetPenColor(0x00FFFFFF);
  if (!Draw(balls, surface, folder + "/first.bmp")) return 1;

  Ball* second = balls.Head()->next->next->item;
  second->centerX += 80;
  second->centerY -= 60;
  return Draw(balls, surface, folder + "/moved.bmp") ? 0 : 1;
}
