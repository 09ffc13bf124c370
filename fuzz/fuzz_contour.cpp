// BallField::DrawContour with arbitrary grids and balls: any cell count (the refused ones too),
// any drawing-area size up to the 32-bit limits, any threshold, and balls of any shape, radius,
// centre and scale (zero and negative scales, radii whose square wraps). The tracer must stay
// within its corner-flag table and do no undefined arithmetic; the field stays finite; a grid
// the table cannot hold draws nothing; a traced grid evaluates each corner once plus once per
// crossed edge and draws one segment per two crossings; every field kernel the CPU runs draws
// exactly what the point by point pass draws, with the corners decided by bounds and with every
// corner evaluated; and the bounded corner pass gives every corner's flags on any grid.
#include <algorithm>
#include <cmath>
#include <limits>

#include "contour/contour_trace.h"
#include "field/ball_field.h"
#include "field/field_kernels.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/object_counts.h"
#include "surface/surface.h"

namespace {

constexpr int kPoints = 9;  // more than a lane group, so the batch has a remainder

// Grids near the table's limit cost half a million evaluations each, so they come rarely.
std::int32_t Cells(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 31)) {
    case 0: return in.ConsumeIntegral<std::int32_t>();
    case 1: return in.ConsumeIntegralInRange(-3, 0);
    case 31: return in.ConsumeIntegralInRange(700, 710);
    default: return in.ConsumeIntegralInRange(1, 40);
  }
}

struct CountingBalls {
  const BallField& balls;
  mutable std::size_t evaluations = 0;
  double FieldValue(std::int32_t x, std::int32_t y, std::int32_t threshold) const {
    ++evaluations;
    return balls.FieldValue(x, y, threshold);
  }
};

std::int32_t Extent(FuzzedDataProvider& in) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: return in.ConsumeIntegral<std::int32_t>();
    case 1: return in.ConsumeBool() ? kMax - in.ConsumeIntegralInRange(0, 3) : kMin + in.ConsumeIntegralInRange(0, 3);
    default: return in.ConsumeIntegralInRange(-50, 450);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto before = LiveObjects();
  {
    BallField balls;
    const int ballCount = in.ConsumeIntegralInRange(0, in.ConsumeIntegralInRange(0, 15) == 0 ? 40 : 4);
    for (int i = 0; i < ballCount; ++i) {
      const std::int32_t shape = in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegral<std::int32_t>()
                                                                       : in.ConsumeIntegralInRange(1, 2);
      const std::uint32_t radius = in.ConsumeBool() ? in.ConsumeIntegral<std::uint32_t>()
                                                    : in.ConsumeIntegralInRange<std::uint32_t>(0, 200);
      Ball* ball = balls.AddBall(shape, radius);
      ball->centerX = FuzzCoordinate(in, 200);
      ball->centerY = FuzzCoordinate(in, 200);
      ball->scaleX = in.ConsumeBool() ? FuzzCoordinate(in, 2) : in.ConsumeIntegralInRange(-2, 3);
      ball->scaleY = in.ConsumeBool() ? FuzzCoordinate(in, 2) : in.ConsumeIntegralInRange(-2, 3);
    }
    const std::int32_t cells = Cells(in), width = Extent(in), height = Extent(in);
    const std::int32_t threshold = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>()
                                                    : in.ConsumeIntegralInRange(-3, 3);

    std::int32_t xs[kPoints], ys[kPoints];
    for (int i = 0; i < kPoints; ++i) {
      const std::int32_t x = xs[i] = FuzzCoordinate(in, 200), y = ys[i] = FuzzCoordinate(in, 200);
      Require(std::isfinite(balls.FieldValue(x, y, threshold)), "the field is finite everywhere");
      Ball* picked = balls.PickBall(x, y);
      Require(!picked || balls.Find(picked), "a picked ball is one of the field's");
    }
    for (const FieldKernel* kernel : AvailableFieldKernels()) {
      UseFieldKernel(kernel->set);
      std::uint8_t inside[kPoints];
      balls.InsidePoints(xs, ys, kPoints, threshold, inside);
      for (int i = 0; i < kPoints; ++i) {
        Require(inside[i] == (balls.FieldValue(xs[i], ys[i], threshold) >= 0.0 ? 1 : 0),
                "every kernel's points are inside exactly where the field is not negative");
      }
    }

    // The bounded corner pass on a small grid anywhere, of any steps (coordinates that wrap, blocks
    // where a ball's steps wrap): InsideRow's flags, row by row.
    {
      constexpr std::int32_t kSide = 24;
      const std::int32_t x0 = FuzzCoordinate(in, 200), dx = in.ConsumeBool() ? FuzzCoordinate(in, 8) : in.ConsumeIntegralInRange(-3, 3);
      const std::int32_t y0 = FuzzCoordinate(in, 200), dy = in.ConsumeBool() ? FuzzCoordinate(in, 8) : in.ConsumeIntegralInRange(-3, 3);
      const std::int32_t columns = in.ConsumeIntegralInRange(1, kSide), rows = in.ConsumeIntegralInRange(1, kSide);
      std::uint8_t bounded[kSide * kSide], every[kSide * kSide];
      const std::int64_t evaluated = balls.InsideGrid(x0, dx, columns, y0, dy, rows, threshold, bounded);
      for (std::int32_t r = 0; r < rows; ++r) {
        const auto y = static_cast<std::int32_t>(static_cast<std::uint32_t>(y0) - static_cast<std::uint32_t>(r) * static_cast<std::uint32_t>(dy));
        balls.InsideRow(x0, dx, columns, y, threshold, every + r * columns);
      }
      Require(std::equal(bounded, bounded + rows * columns, every), "the bounded corner pass gives every corner's flags");
      Require(evaluated >= 0 && evaluated <= rows * columns, "no corner is evaluated twice");
    }

    Surface surface;
    if (in.ConsumeBool()) Require(surface.Create(64, 64, 32), "create surface");
    surface.SetPenColor(0x00FFFFFF);
    balls.DrawContour(cells, width, height, threshold, &surface);
    balls.DrawContour(cells, width, height, threshold, nullptr);

    CountingBalls field{balls};
    RecordingCanvas canvas;
    TraceContour(field, cells, width, height, threshold, canvas);
    // BallField itself decides blocks of corners by bounds, or takes whole rows of corners, and
    // rows of edge midpoints, in every kernel's lanes.
    for (const FieldKernel* kernel : AvailableFieldKernels()) {
      UseFieldKernel(kernel->set);
      RecordingCanvas bounded, rows;
      TraceContour(balls, cells, width, height, threshold, bounded);
      TraceContour(EveryCornerField<BallField>{balls}, cells, width, height, threshold, rows);
      Require(bounded.segments == canvas.segments, "every kernel's bounded pass draws what the point one draws");
      Require(rows.segments == canvas.segments, "every kernel's row passes draw what the point one draws");
    }
    if (!ContourGridFits(cells)) {
      Require(field.evaluations == 0 && canvas.segments.empty(), "a refused grid draws nothing");
    } else {
      const std::size_t corners = static_cast<std::size_t>(cells + 1) * (cells + 1);
      const std::size_t crossings = field.evaluations - corners;
      Require(field.evaluations >= corners && crossings == 2 * canvas.segments.size(),
              "one evaluation per corner and per crossing, one segment per two crossings");
    }
  }
  Require(LiveObjects() == before, "no platform object outlives its surface");
  return 0;
}
