// Surface: an off-screen picture on a GDI memory device context with one bitmap selected.
//
// Manual
//   Surface s;                      // empty: every field null or zero
//   s.Create(400, 400, 32);         // black DIB section, bottom-up BI_RGB, 16/24/32 bpp
//   s.SetPenColor(0x00FFFFFF);      // Color is 0x00BBGGRR
//   s.Clear(0);                     // whole picture
//   s.DrawLine(10, 10, 20, 10);     // both end pixels
//   s.Present(window, 0, 0);        // one BitBlt into the window's client area
//
// Pixel coordinates: (0, 0) is the top-left pixel, x right, y down. Nothing checks coordinates;
// the platform clips every call to the picture. Every operation on a surface without a device
// context draws nothing and never faults. Only Create reports failure.
#pragma once

#include <cstdint>

#include "../field/obj_list.h"
#include "../platform/win32.h"
#include "color.h"

struct MeshVertex;
struct MeshEdge;
struct MeshTriangle;
struct MeshOrigin;

class Surface {
 public:
  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface();  // deletes dc, bitmap, pen (in that order)

  // Replaces the picture with a new black DIB section; false (surface untouched) for a depth
  // other than 16, 24, 32 or a non-positive size. When the platform fails, false with the old
  // picture released and what was made before the failure held (Release frees it).
  bool Create(std::int32_t w, std::int32_t h, std::int32_t bitsPerPixel);
  // Loads a Windows bitmap file as the picture, releasing what the surface held first.
  void LoadBitmapFile(const char* path);
  // Deletes dc and bitmap; keeps pen, penColor, width, height.
  void Release();
  // Copies the whole picture into the window with its top-left pixel at client (x, y).
  void Present(HWND window, std::int32_t x, std::int32_t y) const;
  // Copies the whole source picture onto this one at (x, y).
  void Blit(const Surface& source, std::int32_t x, std::int32_t y);
  // Destination AND mask, then XOR sprite, each pass the size of its own source.
  void BlitMasked(const Surface& sprite, const Surface& mask, std::int32_t x, std::int32_t y);
  void Clear(Color color);
  // Makes and selects a new solid 1-pixel pen; frees the pen it replaces.
  void SetPenColor(Color color);
  // Line from (x0, y0) to (x1, y1) including both end pixels; the end pixel in penColor.
  void DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
  // Fills a triangle with the current pen, one span per row. Draws nothing for one of more than
  // 300 rows or with a vertex x outside -4999..4999: the filler's row tables and sentinels.
  void FillTriangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                    std::int32_t x2, std::int32_t y2);

  // Wireframe views of a mesh (see surface/mesh.h); each sets the pen to color first.
  void DrawVertexMesh(ObjList<MeshVertex>& vertices, const MeshOrigin& origin, std::int32_t view,
                      Color color);
  void DrawVertexMeshSkipVisited(ObjList<MeshVertex>& vertices, const MeshOrigin& origin,
                                 std::int32_t view, Color color);
  // Only lines to neighbours in the list: the whole list is searched for every neighbour entry,
  // so the time grows with the vertices times the neighbour entries.
  void DrawVertexMeshInside(ObjList<MeshVertex>& vertices, const MeshOrigin& origin,
                            std::int32_t view, Color color);
  void DrawEdgeMesh(ObjList<MeshEdge>& edges, const MeshOrigin& origin, std::int32_t view,
                    Color color);
  void DrawTriangleMesh(ObjList<MeshTriangle>& triangles, const MeshOrigin& origin,
                        std::int32_t view, Color color);
  // Clears to grey and paints the front-facing triangles back to front, flat-shaded.
  void DrawShadedMesh(ObjList<MeshVertex>& vertices, ObjList<MeshTriangle>& triangles);

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  BITMAP bitmapRecord{};
  HPEN pen = nullptr;
  Color penColor = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint8_t* pixels = nullptr;
};
