// Surface::FillTriangle with arbitrary vertices: tall, huge, degenerate and far-off triangles.
// The fill must never index past its 300-row tables, and must equal a reference fill written
// from the same stepping rules with unbounded tables: for a triangle within the limits the same
// pixels, for one beyond them (more than 300 rows, or an x outside the sentinels) no pixel at all.
#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/object_counts.h"
#include "surface/surface.h"

namespace {

using Spans = std::map<std::int64_t, std::pair<std::int64_t, std::int64_t>>;  // row: left, right

// One directed edge: every pixel from the start vertex up to, not including, the end vertex.
void Walk(Spans& spans, std::int64_t x, std::int64_t y, std::int64_t endX, std::int64_t endY) {
  std::int64_t dx = endX - x, dy = endY - y;
  const std::int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  dx = std::abs(dx);
  dy = std::abs(dy);
  auto record = [&](std::int64_t px, std::int64_t row) {
    auto [it, fresh] = spans.try_emplace(row, px, px);
    if (!fresh) {
      it->second.first = std::min(it->second.first, px);
      it->second.second = std::max(it->second.second, px);
    }
  };
  std::int64_t err = 0;
  const std::int64_t steps = std::max(dx, dy);
  for (std::int64_t k = 0; k < steps; ++k) {
    record(x, y);
    if (dx >= dy) {
      err += dy;
      if (err >= dx) err -= dx, y += sy;
      x += sx;
    } else {
      err += dx;
      if (err >= dy) err -= dy, x += sx;
      y += sy;
    }
  }
}

std::vector<std::uint8_t> Pixels(const Surface& s) {
  const std::size_t bytes = static_cast<std::size_t>(s.bitmapRecord.bmWidthBytes) * s.height;
  return {s.pixels, s.pixels + bytes};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::int32_t w = in.ConsumeIntegralInRange(1, 96), h = in.ConsumeIntegralInRange(1, 96);
  constexpr std::int32_t kDepths[] = {32, 24, 16};
  const std::int32_t depth = kDepths[in.ConsumeIntegralInRange(0, 2)];
  std::int32_t v[6];
  for (int i = 0; i < 6; ++i) {
    v[i] = in.ConsumeIntegralInRange(0, 3) == 0 ? FuzzCoordinate(in, i % 2 ? h : w)
                                                 : in.ConsumeIntegralInRange(-40, 140);
  }
  const auto before = LiveObjects();
  {
    Surface empty;
    empty.FillTriangle(v[0], v[1], v[2], v[3], v[4], v[5]);  // no device context: nothing

    Surface filled, expected;
    Require(filled.Create(w, h, depth) && expected.Create(w, h, depth), "create surfaces");
    filled.SetPenColor(0x00FFFFFF);
    expected.SetPenColor(0x00FFFFFF);
    filled.FillTriangle(v[0], v[1], v[2], v[3], v[4], v[5]);

    const std::int64_t top = std::min({v[1], v[3], v[5]}), bottom = std::max({v[1], v[3], v[5]});
    const bool withinX = v[0] > -5000 && v[0] < 5000 && v[2] > -5000 && v[2] < 5000 &&
                         v[4] > -5000 && v[4] < 5000;
    if (withinX && bottom - top <= 299) {
      Spans spans;
      Walk(spans, v[0], v[1], v[2], v[3]);
      Walk(spans, v[2], v[3], v[4], v[5]);
      Walk(spans, v[4], v[5], v[0], v[1]);
      // Rows are drawn from the top down to the first one no edge recorded.
      for (std::int64_t row = top; spans.count(row); ++row) {
        const auto [left, right] = spans[row];
        expected.DrawLine(static_cast<std::int32_t>(left), static_cast<std::int32_t>(row),
                          static_cast<std::int32_t>(right), static_cast<std::int32_t>(row));
      }
    }
    Require(Pixels(filled) == Pixels(expected), "fill equals the reference spans");
  }
  Require(LiveObjects() == before, "no platform object outlives its surface");
  return 0;
}
